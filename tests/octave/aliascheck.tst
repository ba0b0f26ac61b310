## aliascheck in GNU Octave: Octave gives b = a the storage of a until one of
## them is changed (copy on write).

%!test
%! a = rand (3);
%! assert (aliascheck (a, a), 1);
%! b = a;
%! assert (aliascheck (a, b), 1);
%! assert (aliascheck (b, a), 1);
%! b(1) = 7;                         # the write gives b storage of its own
%! assert (aliascheck (a, b), 0);
%! c = a + 0;                         # equal contents, separate storage
%! assert (aliascheck (a, c), 0);

%!test
%! ## any class, sparse included: only the data addresses decide
%! for v = {int8([1 2]), single(3), true(2), "abc", sparse([1 0 2])}
%!   x = v{1};
%!   y = x;
%!   assert (aliascheck (x, y), 1);
%! end
%! assert (aliascheck (int8 ([1 2]), int8 ([1 2])), 0);

%!test
%! ## Octave 7.3 hands a gateway a fresh copy of the data of a complex, cell,
%! ## struct or range argument (split real and imaginary parts, converted
%! ## elements), one per argument: such values never report shared storage.
%! for v = {[1+2i 3], {1, 2}, struct("f", 1), 1:3}
%!   x = v{1};
%!   y = x;
%!   assert (aliascheck (x, y), 0);
%! end

%!test
%! ## a cell element handed out by c{1} shares the element's storage
%! c = {rand(4)};
%! e = c{1};
%! assert (aliascheck (e, c{1}), 1);

%!test
%! r = aliascheck ([1 2], [1 2]);
%! assert (size (r), [1 1]);
%! assert (class (r), "double");

%!error <usage: aliascheck\(a,b\)> aliascheck ()
%!error <usage: aliascheck\(a,b\)> aliascheck (1)
%!error <usage: aliascheck\(a,b\)> aliascheck (1, 2, 3)
%!error <function handles and objects> aliascheck (@sin, @sin)
%!error <function handles and objects> aliascheck (1, @sin)
%!error <function handles and objects> aliascheck (containers.Map (), 1)

%!function refuses (id, msg, f)
%!  ## f () must end with identifier id and message msg (Octave puts the
%!  ## function's name in front of a MEX file's message).
%!  try
%!    f ();
%!  catch err
%!    assert (err.identifier, id);
%!    name = strsplit (id, ":"){2};
%!    assert (any (strcmp (err.message, {msg, [name ": " msg]})), "message: %s", err.message);
%!    return;
%!  end_try_catch
%!  error ("no error for %s", id);
%!endfunction

%!test
%! ## one refusal of each kind, with its identifier gatebox:<function>:<reason>
%! refuses ("gatebox:aliascheck:usage", "usage: aliascheck(a,b)", @() aliascheck (1));
%! refuses ("gatebox:aliascheck:noStorage", "A and B must be arrays with data storage (numeric, logical, char, cell or struct); function handles and objects have none to compare.", @() aliascheck (@sin, 1));
