## tilearray in GNU Octave.  Reference values: Octave's repmat, which tiles
## the same way (repmat (A, m) is m-by-m; repmat (A, [m n p]) appends
## dimensions), and explicit arrays for the call forms repmat reads otherwise.

%!shared A
%! A = reshape (1:6, 2, 3);

%!test
%! ## odd and even counts along every dimension (block doubling), extra factor
%! for c = 1:9
%!   assert (tilearray (A, [c 1]), repmat (A, [c 1]));
%!   assert (tilearray (A, [1 c]), repmat (A, [1 c]));
%!   assert (tilearray (A, [1 1 c]), repmat (A, [1 1 c]));
%!   assert (tilearray (A, [2 1 3 c]), repmat (A, [2 1 3 c]));
%! endfor
%! assert (tilearray (A, 3), repmat (A, 3));
%! assert (size (tilearray (ones (2, 4, 5), 3)), [6 12 5]);
%! assert (size (tilearray (ones (2, 2, 2), [2 3])), [4 6 2]);
%! B = reshape (1:24, 3, 1, 1, 2, 4);
%! assert (tilearray (B, [2 2 3 1 2]), repmat (B, [2 2 3 1 2]));

%!test
%! ## call forms
%! assert (tilearray (A, [2; 3]), repmat (A, [2 2]));   # one column: first value, doubled
%! assert (tilearray (A, 3, []), repmat (A, [3 1]));    # a lone count among several is not doubled
%! assert (tilearray (A, 2, 3), repmat (A, [2 3]));
%! assert (tilearray (A, [2 3], 4), repmat (A, [2 3 4]));
%! assert (tilearray (A, 1), A);
%! assert (tilearray (A, []), A);
%! assert (tilearray (A, zeros (0, 3)), A);             # an empty count vector has no counts
%! assert (tilearray (A, 2.9), repmat (A, 2));          # truncation toward zero
%! assert (tilearray (A, int32 ([2 3])), repmat (A, [2 3]));
%! assert (tilearray (A, single (2), uint8 (3)), repmat (A, [2 3]));
%! assert (tilearray (A, [true true]), A);

%!test
%! ## zero counts and empty inputs: empty results with the multiplied dimensions
%! assert (size (tilearray (A, [0 3])), [0 9]);
%! assert (size (tilearray (A, [0.5 3])), [0 9]);
%! assert (size (tilearray (A, [-0.5 3])), [0 9]);
%! assert (size (tilearray (A, [2 3 0])), [4 9 0]);
%! assert (size (tilearray (zeros (0, 3), [2 2])), [0 6]);
%! assert (class (tilearray (int8 (zeros (0, 3)), 2)), 'int8');

%!test
%! ## every numeric class, real and complex; logical and char
%! X = reshape (1:24, 2, 3, 4);
%! for cls = {'double', 'single', 'int8', 'uint8', 'int16', 'uint16', 'int32', 'uint32', 'int64', 'uint64'}
%!   Y = cast (X, cls{1});
%!   assert (tilearray (Y, [2 1 2 3]), repmat (Y, [2 1 2 3]));
%! endfor
%! ## complex: Octave has no complex integer arrays
%! for cls = {'double', 'single'}
%!   Z = complex (cast (X, cls{1}), -X - 1);
%!   T = tilearray (Z, [3 2]);
%!   assert (iscomplex (T));
%!   assert (T, repmat (Z, [3 2]));
%! endfor
%! assert (tilearray ('abc', [2 2]), repmat ('abc', 2));
%! assert (tilearray ("a\0b", [1 3]), repmat ("a\0b", [1 3]));
%! L = logical ([1 0 1; 0 0 1]);
%! assert (tilearray (L, [2 2 2]), repmat (L, [2 2 2]));
%! assert (tilearray (1:4, 2), repmat (1:4, 2));        # a range is passed as a matrix

%!test
%! ## an output larger than a few huge pages
%! R = rand (300, 300);
%! assert (tilearray (R, [3 4]), repmat (R, [3 4]));
%! C = complex (R, -R);
%! assert (tilearray (C, [1 1 3]), repmat (C, [1 1 3]));

%!test
%! ## the R12 build: its own usage text, one count from each count argument
%! d = fullfile (fileparts (which ('tilearray')), 'r12');
%! addpath (d);
%! unwind_protect
%!   assert (strcmp (fileparts (which ('tilearray')), d));
%!   assert (tilearray (A, [2 3], 4), repmat (A, [2 4]));
%!   assert (tilearray (A, 2, 3, 2), repmat (A, [2 3 2]));
%!   assert (tilearray (A, 3), repmat (A, 3));
%!   assert (tilearray (A, [2 3]), repmat (A, [2 3]));
%!   assert (tilearray (A, [2; 3]), repmat (A, 2));
%!   msg = '';
%!   try, tilearray (A); catch err, msg = err.message; end_try_catch
%!   assert (! isempty (strfind (msg, 'Usage: tilearray(A, [N M ...])')));
%!   msg = '';
%!   try, tilearray (A, 2, []); catch err, msg = err.message; end_try_catch
%!   assert (! isempty (strfind (msg, 'must not be empty')));
%! unwind_protect_cleanup
%!   rmpath (d);
%! end_unwind_protect
%! assert (tilearray (A, [2 3], 4), repmat (A, [2 3 4]));

%!error <Usage: tilearray\(A, \[M N \.\.\.\]\)> tilearray ()
%!error <Usage: tilearray\(A, \[M N \.\.\.\]\)> tilearray (1)
%!error <Usage: tilearray\(A, \[M N \.\.\.\]\)> tilearray ({1})
%!error <Sorry, can't handle sparse matrices yet\.> tilearray (sparse ([1 0 2]), 2)
%!error <Sorry, can't handle sparse matrices yet\.> tilearray (sparse (true), 2)
%!error <Sorry, can't handle cell arrays yet\.> tilearray ({1, 2}, 2)
%!error <A must be a numeric, logical or char array> tilearray (struct ('a', 1), 2)
%!error <A must be a numeric, logical or char array> tilearray (@sin, 2)
%!error <A must be a numeric, logical or char array> tilearray (containers.Map (), 2)
%!error <counts must be full numeric or logical> tilearray (1, 'ab')
%!error <counts must be full numeric or logical> tilearray (1, {2})
%!error <counts must be full numeric or logical> tilearray (1, sparse ([2 3]))
%!error <counts must be full numeric or logical> tilearray (1, 2, @sin)
%!error <counts must be whole numbers> tilearray (1, -1)
%!error <counts must be whole numbers> tilearray (1, [2 NaN])
%!error <counts must be whole numbers> tilearray (1, Inf)
%!error <counts must be whole numbers> tilearray (1, 2^31)
%!error <counts must be whole numbers> tilearray (1, 2, int64 (-3))
%!error <result is too large> tilearray (ones (2), [2^31-1 2^31-1 2^31-1])
%!error <result is too large> tilearray (ones (2), [2^31-1 2^31-1 2^31-1 2^31-1 0])

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
%! refuses ("gatebox:tilearray:usage", "Usage: tilearray(A, [M N ...])", @() tilearray (1));
%! refuses ("gatebox:tilearray:sparse", "Sorry, can't handle sparse matrices yet.", @() tilearray (sparse (1), 2));
%! refuses ("gatebox:tilearray:cell", "Sorry, can't handle cell arrays yet.", @() tilearray ({1}, 2));
%! refuses ("gatebox:tilearray:badClass", "A must be a numeric, logical or char array; structs, objects and function handles cannot be tiled.", @() tilearray (struct (), 2));
%! refuses ("gatebox:tilearray:badCountClass", "Replication counts must be full numeric or logical arrays.", @() tilearray (1, 'a'));
%! refuses ("gatebox:tilearray:badCount", "Replication counts must be whole numbers from 0 to 2147483647 after truncation toward zero; a count is negative, NaN, infinite or too large.", @() tilearray (1, -1));
%! refuses ("gatebox:tilearray:tooLarge", "The result is too large: its element or byte count overflows.", @() tilearray (1, [2^31-1 2^31-1 2^31-1]));
