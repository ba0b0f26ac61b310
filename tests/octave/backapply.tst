## backapply in GNU Octave.  Worked examples by hand; the residual checks
## compare with Octave's own backslash on well-conditioned triangles.

%!test
%! assert (backapply ([2 1; 0 4], [4; 8]), [1; 2]);       # T(2,1) = 0: upper
%! assert (backapply ([2 0; 1 4], [4; 8]), [2; 1.5]);     # T(2,1) = 1: lower
%! assert (backapply ([2 5; NaN 4], [4; 8]), [-3; 2]);    # NaN: upper

%!test
%! ## the triangle comes from T(2,1) alone
%! T = [2 0 0; 0 4 0; 1 0 5];
%! assert (backapply (T, [2; 4; 6]), [1; 1; 1.2], eps);
%! assert (backapply ([2 7 9; 1 4 8; 1 1 5], [2; 5; 8]), [1; 1; 1.2], eps);

%!test
%! ## no zero skip: every component is divided
%! assert (backapply ([0 0; 0 1], [0; 1]), [NaN; 1]);
%! assert (uppersubst ([0 0; 0 1], [0; 1]), [0; 1]);

%!test
%! assert (backapply (-4, [2 6]), [-0.5 -1.5]);
%! x = backapply ([2 0; 1 4], reshape (1:12, 2, 2, 3));  # N-D b: m-by-(product)
%! assert (size (x), [2 6]);
%! assert (x, backapply ([2 0; 1 4], reshape (1:12, 2, 6)));
%! assert (size (backapply ([], zeros (0, 4))), [0 4]);  # empty T
%! assert (size (backapply ([], [])), [0 0]);
%! assert (size (backapply (eye (3), zeros (3, 0))), [3 0]);
%! x = backapply ([2 0; 1 4], [4+1i; 8]);
%! assert (isreal (x));
%! assert (x, [2; 1.5]);

%!test
%! ## residuals against backslash, several sizes, both triangles
%! randn ("state", 7); rand ("state", 7);
%! for n = [2 3 9 40 65 257]
%!   A = rand (n) / n + diag (1 + rand (n, 1));
%!   b = randn (n, 7);
%!   U = triu (A); L = tril (A);
%!   xu = backapply (U, b); xl = backapply (L, b);
%!   assert (xu, U \ b, 1e-12 * norm (U \ b, Inf));
%!   assert (xl, L \ b, 1e-12 * norm (L \ b, Inf));
%!   assert (norm (U * xu - b, Inf) <= 1e-13 * n * norm (b, Inf));
%!   assert (norm (L * xl - b, Inf) <= 1e-13 * n * norm (b, Inf));
%! end

%!error <Usage: x = backapply\(T,b\)> backapply (1)
%!error <Usage: x = backapply\(T,b\)> [a, b] = backapply (1, 2)
%!error <matrix must be square> backapply (ones (2, 3), [1; 2])
%!error <matrix must be square> backapply (sparse (ones (2, 3)), [1; 2])
%!error <Cannot handle sparse matrices\.  Sorry\.> backapply (speye (2), [1; 2])
%!error <full matrix> backapply (eye (2), sparse ([1; 2]))
%!error <double array> backapply (single (eye (2)), [1; 2])
%!error <double array> backapply (eye (2), uint8 ([1; 2]))
%!error <double array> backapply (@cos, 1)
%!error <as many rows> backapply (eye (2), [1; 2; 3])
%!error <as many rows> backapply ([], [1; 2])
%!test
%! try
%!   backapply (eye (2), sparse ([1; 2]));
%! catch err
%!   assert (err.identifier, 'gatebox:backapply:sparse');
%! end
%!error <double array> backapply (containers.Map (), 1)

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
%! refuses ("gatebox:backapply:usage", "Usage: x = backapply(T,b)", @() backapply (1));
%! refuses ("gatebox:backapply:notSquare", "matrix must be square", @() backapply (ones (2, 3), 1));
%! refuses ("gatebox:backapply:sparse", "Cannot handle sparse matrices.  Sorry.", @() backapply (sparse (1), 1));
%! refuses ("gatebox:backapply:sparse", "b must be a full matrix; convert it with full(b).", @() backapply (1, sparse (1)));
%! refuses ("gatebox:backapply:notDouble", "T must be a double array; convert it with double(T).", @() backapply ('a', 1));
%! refuses ("gatebox:backapply:notDouble", "b must be a double array; convert it with double(b).", @() backapply (1, 'a'));
%! refuses ("gatebox:backapply:sizeMismatch", "b must have as many rows as T.", @() backapply (1, [1; 2]));
