## Hostile calls: every gatebox function against a table of odd arguments --
## every class (numeric, logical, char, cell, struct, function handle,
## sparse, complex, a classdef object), empty, huge-but-empty and N-D shapes,
## special values, wrong argument and output counts, and sizes that cannot
## be allocated.  Every call must return or end in an Octave error with a
## message, no argument may come back changed, and the session must live to
## the end of the table.  CTest runs this file under a 3 GB address-space
## limit, so a size nobody can hold fails to allocate instead of taxing the
## machine.  A function whose MEX file is not built is skipped.

%!function [pool, names] = hostile_values ()
%!  pool = {[], zeros(0, 3), zeros(3, 0, 2), zeros(0, 2^40), zeros(2^31, 0), ...
%!          0, -0, 1, -1, 0.5, 2.9, -0.5, -1.7, NaN, Inf, -Inf, realmax, -realmax, ...
%!          realmin, 5e-324, 2^31 - 1, 2^31, -2^31 - 1, 2^32, 2^53, 1e300, 23, 171.7, ...
%!          [1 2 3], [1; 2; 3], [0.5; 0.5], magic(3), tril(magic(4)), ones(2, 3, 4), ...
%!          reshape(1:24, 2, 3, 4), [NaN Inf -Inf 0], [2 0; 1 4], ...
%!          1 + 2i, complex(1, 0), [1+1i, NaN], complex(single(1), single(2)), ...
%!          single(2.5), single([NaN 1]), int8(-3), uint8(200), int16([7 8]), uint16(7), ...
%!          int32(-7), uint32(7), int64(9), uint64(2^64), intmin("int64"), ...
%!          true, [true false], "abc", "", {}, {1, 2}, struct(), struct("a", {1, 2}), ...
%!          @sin, sparse(1), sparse([1 0; 0 2]), sparse(2^40, 3), sparse([1i 0]), sparse(true)};
%!  names = cellfun (@(v) sprintf ("%s %s", class (v), mat2str (size (v))), pool, "UniformOutput", false);
%!endfunction

## Equal arrays; sparse ones compared by their nonzeros (a full copy of a
## 2^40-row matrix cannot be made).
%!function same = hostile_same (a, b)
%!  if (issparse (a) || issparse (b))
%!    [ia, ja, va] = find (a);
%!    [ib, jb, vb] = find (b);
%!    same = issparse (a) && issparse (b) && isequal (size (a), size (b)) ...
%!           && isequal (class (a), class (b)) && isequal ([ia ja], [ib jb]) && isequaln (va, vb);
%!  else
%!    same = isequaln (a, b) && isequal (class (a), class (b));
%!  endif
%!endfunction

## One call with nout outputs; counts calls and errors.
%!function tally = hostile_call (tally, name, args, nout)
%!  try
%!    switch (nout)
%!      case 0
%!        feval (name, args{:});
%!      case 1
%!        y = feval (name, args{:});
%!      otherwise
%!        out = cell (1, nout);
%!        [out{:}] = feval (name, args{:});
%!    endswitch
%!  catch err
%!    if (isempty (err.message))
%!      error ("hostile: %s ended in an error without a message", name);
%!    endif
%!    tally.errors++;
%!  end_try_catch
%!  tally.calls++;
%!endfunction

## The table for one function: no arguments, every value alone, every pair
## (or each value with a plain partner for one-argument functions), triples,
## output counts 0 to 3 around a valid call, and the function's own extras.
%!function hostile_table (name, arity, valid, extra)
%!  if (exist (name, "file") != 3)
%!    printf ("  %-10s not built, skipped\n", name);
%!    return;
%!  endif
%!  [pool, names] = hostile_values ();
%!  nout = 1 - strcmp (name, "opcharge");
%!  t = struct ("calls", 0, "errors", 0);
%!  t = hostile_call (t, name, {}, 0);
%!  t = hostile_call (t, name, {}, 1);
%!  map = containers.Map ();
%!  for v = {map}
%!    t = hostile_call (t, name, {v{1}}, nout);
%!    t = hostile_call (t, name, {v{1}, 1}, nout);
%!    t = hostile_call (t, name, {1, v{1}}, nout);
%!  endfor
%!  for i = 1:numel (pool)
%!    t = hostile_call (t, name, pool(i), nout);
%!    if (arity >= 2)
%!      for j = 1:numel (pool)
%!        t = hostile_call (t, name, pool([i j]), nout);
%!      endfor
%!    else
%!      t = hostile_call (t, name, {pool{i}, 1}, nout);
%!      t = hostile_call (t, name, {1, pool{i}}, nout);
%!    endif
%!    t = hostile_call (t, name, pool([i i i]), nout);
%!    t = hostile_call (t, name, {valid{:}, pool{i}}, nout);
%!  endfor
%!  for k = 0:3
%!    t = hostile_call (t, name, valid, k);
%!  endfor
%!  for k = 1:numel (extra)
%!    t = hostile_call (t, name, extra{k}, nout);
%!  endfor
%!  [fresh] = hostile_values ();
%!  for i = 1:numel (pool)
%!    if (! hostile_same (pool{i}, fresh{i}))
%!      error ("hostile: %s changed its argument %s", name, names{i});
%!    endif
%!  endfor
%!  printf ("  %-10s %6d hostile calls, %6d ended in an error\n", name, t.calls, t.errors);
%!endfunction

## The samplers' keyword calls: 'state' with every value, with two values,
## 0 to 3 outputs, and other keywords; the state must stay a valid one.
%!function hostile_state (name)
%!  if (exist (name, "file") != 3)
%!    printf ("  %-10s not built, skipped\n", name);
%!    return;
%!  endif
%!  [pool, names] = hostile_values ();
%!  t = struct ("calls", 0, "errors", 0);
%!  words = {"state", "STATE", "seed", "state ", "st", ["state"; "state"], "twister"};
%!  for w = 1:numel (words)
%!    for k = 0:3
%!      t = hostile_call (t, name, words(w), k);
%!      t = hostile_call (t, name, {words{w}, 7}, k);
%!    endfor
%!    for i = 1:numel (pool)
%!      t = hostile_call (t, name, {words{w}, pool{i}}, 1);
%!    endfor
%!  endfor
%!  for i = 1:numel (pool)
%!    t = hostile_call (t, name, {"state", pool{i}}, 0);
%!    t = hostile_call (t, name, {"state", pool{i}, pool{i}}, 1);
%!    t = hostile_call (t, name, {"state", {pool{i}}}, 1);
%!  endfor
%!  t = hostile_call (t, name, {"state", containers.Map()}, 0);
%!  s = feval (name, "state");
%!  if (! (isequal (size (s), [1 3]) && all (s >= 1 & s <= [30268 30306 30322] & s == fix (s))))
%!    error ("hostile: %s left an invalid state %s", name, mat2str (s));
%!  endif
%!  [fresh] = hostile_values ();
%!  for i = 1:numel (pool)
%!    if (! hostile_same (pool{i}, fresh{i}))
%!      error ("hostile: %s changed its argument %s", name, names{i});
%!    endif
%!  endfor
%!  printf ("  %-10s %6d hostile state calls, %6d ended in an error\n", name, t.calls, t.errors);
%!endfunction

%!test hostile_state ("shapedraw");
%!test hostile_state ("trialdraw");
%!test hostile_state ("drawcounts");

## Sizes that cannot be allocated and counts beyond every integer range.
%!function c = hostile_sizes ()
%!  c = {{1, [2^31 2^31 2^31]}, {ones(2), 2^62}, {1, 2^31 - 1, 2^31 - 1}, ...
%!       {zeros(0, 2^40), [1 2^31]}, {ones(2, 3), [46341 46341]}, {1, uint64(2^64)}, ...
%!       {int8(1), [65536 65536 65536]}, {1 + 1i, [2^32 2]}};
%!endfunction

%!test hostile_table ("trigamma", 1, {[1 2]}, {});
%!test hostile_table ("shapedraw", 1, {[1 2]}, {{realmax}, {[Inf 1e300 5e-324]}});
%!test hostile_table ("gamma", 1, {[1 2]}, {{-realmax}, {[171.624 -171.5 1e-308]}});
%!test hostile_table ("trialdraw", 2, {[0.5 0.2], 10}, {{[0.5 0.5], 2^31 - 1}, {[0.5 NaN], realmax}, {0.5, -2^31}});
%!test hostile_table ("drawcounts", 2, {[0.5; 0.5], 10}, {{[0.5; 0.5], 2^31 - 1}, {[NaN; 0.5], realmax}, {zeros(0, 3), 5}});
%!test hostile_table ("uppersubst", 2, {[2 1; 0 4], [4; 8]}, {{zeros(0, 0), zeros(0, 2^40)}, {ones(3), ones(2, 5)}});
%!test hostile_table ("lowersubst", 2, {[2 0; 1 4], [4; 8]}, {{zeros(0, 0), zeros(0, 2^40)}, {ones(3), ones(2, 5)}});
%!test hostile_table ("backapply", 2, {[2 1; 0 4], [4; 8]}, {{zeros(0, 0), zeros(0, 2^40)}, {ones(3), ones(2, 5)}});
%!test hostile_table ("tilearray", 2, {[1 2; 3 4], [2 3]}, hostile_sizes ());
%!test hostile_table ("axisfold", 2, {ones(2, 3, 4), [1 3]}, {{zeros(0, 2^40, 3), 2}, {ones(2, 3), [1 1 1 1]}, {ones(2, 3), [2^31 1]}});
%!test hostile_table ("tallybins", 2, {[1 2 2 3], 4}, {{[], 2^31 - 1}, {[], 2^53}, {1e18}, {[1 2], realmax}, {[], 3e9}});
%!test hostile_table ("aliascheck", 2, {1, 2}, {});

## The global flop counter holding odd values while opcharge and axisfold charge it.
%!test
%! global flopcount
%! names = {"opcharge", "axisfold"};
%! calls = {{3}, {ones(3, 4), 1}};
%! nouts = [0 1];
%! [pool] = hostile_values ();
%! for f = 1:2
%!   if (exist (names{f}, "file") != 3)
%!     continue;
%!   endif
%!   t = struct ("calls", 0, "errors", 0);
%!   for i = [1:numel(pool), 0]
%!     if (i == 0)
%!       flopcount = containers.Map ();
%!     else
%!       flopcount = pool{i};
%!     endif
%!     t = hostile_call (t, names{f}, calls{f}, nouts(f));
%!   endfor
%!   clear -global flopcount
%!   t = hostile_call (t, names{f}, calls{f}, nouts(f));
%!   printf ("  %-10s %6d calls with an odd flopcount, %6d ended in an error\n", names{f}, t.calls, t.errors);
%! endfor
%! clear -global flopcount

%!test hostile_table ("opcharge", 1, {3}, {{2^32}, {-1}, {NaN}, {uint64(2^64)}});
