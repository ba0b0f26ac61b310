## uppersubst and lowersubst in GNU Octave.  Worked examples by hand; the
## residual checks compare with Octave's own backslash on well-conditioned
## triangles (diagonal 1 to 2, off-diagonal elements below 1/n).

%!test
%! T = [2 1; 0 4];
%! assert (uppersubst (T, [4; 8]), [1; 2]);
%! assert (lowersubst (T, [4; 8]), [2; 2]);   # reads only [2 0; 0 4]

%!test
%! ## the triangle that is not named is never read
%! assert (uppersubst ([2 1; NaN 4], [4; 8]), [1; 2]);
%! assert (lowersubst ([2 NaN; 1 4], [4; 8]), [2; 1.5]);

%!test
%! ## a zero right-hand side over a zero diagonal element stays zero
%! assert (uppersubst ([0 0; 0 1], [0; 1]), [0; 1]);
%! assert (lowersubst ([1 0; 0 0], [1; 0]), [1; 0]);
%! ## otherwise the division follows IEEE arithmetic
%! assert (uppersubst ([0 0; 0 1], [1; 0]), [Inf; 0]);

%!test
%! ## several columns are the single-column results side by side
%! T = [3 1 -2; 0.5 2 1; 1 -1 4]; b = [1 -0 7; 2 5 8; 3 0 9];
%! for f = {@uppersubst, @lowersubst}
%!   X = f{1} (T, b);
%!   for j = 1:3
%!     assert (X(:,j), f{1} (T, b(:,j)));
%!   end
%! end

%!test
%! ## residuals against backslash, several sizes
%! randn ("state", 42); rand ("state", 42);
%! for n = [1 2 7 31 64 129 300]
%!   A = rand (n) / n + diag (1 + rand (n, 1));
%!   b = randn (n, 5);
%!   U = triu (A); L = tril (A);
%!   xu = uppersubst (A, b); xl = lowersubst (A, b);
%!   assert (xu, U \ b, 1e-12 * norm (U \ b, Inf));
%!   assert (xl, L \ b, 1e-12 * norm (L \ b, Inf));
%!   assert (norm (U * xu - b, Inf) <= 1e-13 * n * norm (b, Inf));
%!   assert (norm (L * xl - b, Inf) <= 1e-13 * n * norm (b, Inf));
%! end

%!test
%! ## shapes and classes
%! assert (size (uppersubst (zeros (0), zeros (0, 3))), [0 3]);
%! assert (size (lowersubst ([], [])), [0 0]);
%! assert (size (uppersubst (eye (3), zeros (3, 0))), [3 0]);
%! x = uppersubst ([2 1; 0 4], [4+1i; 8-2i]);     # the real part is used
%! assert (isreal (x));
%! assert (x, [1; 2]);
%! assert (uppersubst (-4, [2 6]), [-0.5 -1.5]);

%!error <Usage: x = uppersubst\(T,b\)> uppersubst (1)
%!error <Usage: x = uppersubst\(T,b\)> uppersubst (1, 2, 3)
%!error <Usage: x = lowersubst\(T,b\)> [a, b] = lowersubst (1, 2)
%!error <matrix must be square> uppersubst (ones (2, 3), [1; 2])
%!error <matrix must be square> uppersubst (sparse (ones (2, 3)), sparse ([1; 2]))
%!error <matrix must be square> lowersubst (ones (3, 2, 2), [1; 2; 3])
%!error <Sorry, can't handle sparse matrices yet\.> uppersubst (speye (2), [1; 2])
%!error <Sorry, can't handle sparse matrices yet\.> lowersubst (eye (2), sparse ([1; 2]))
%!error <Arguments must be matrices\.> uppersubst (ones (4, 2, 2), ones (4, 1))
%!error <Arguments must be matrices\.> lowersubst (eye (2), ones (2, 1, 2))
%!error <double array> uppersubst (single (eye (2)), [1; 2])
%!error <double array> lowersubst (eye (2), int8 ([1; 2]))
%!error <double array> uppersubst (@sin, 1)
%!error <double array> lowersubst (eye (2), {1, 2})
%!error <as many rows> uppersubst (eye (2), [1; 2; 3])
%!error <as many rows> lowersubst (eye (3), [1 2 3])
%!test
%! try
%!   uppersubst (eye (2), ones (3, 1));
%! catch err
%!   assert (err.identifier, 'gatebox:uppersubst:sizeMismatch');
%! end
%! try
%!   lowersubst (eye (2), true (2, 1));
%! catch err
%!   assert (err.identifier, 'gatebox:lowersubst:notDouble');
%! end
%!error <double array> uppersubst (1, containers.Map ())

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
%! refuses ("gatebox:uppersubst:usage", "Usage: x = uppersubst(T,b)", @() uppersubst (1));
%! refuses ("gatebox:uppersubst:notSquare", "matrix must be square", @() uppersubst (ones (2, 3), 1));
%! refuses ("gatebox:uppersubst:sparse", "Sorry, can't handle sparse matrices yet.", @() uppersubst (sparse (1), 1));
%! refuses ("gatebox:uppersubst:notMatrices", "Arguments must be matrices.", @() uppersubst (1, ones (1, 2, 2)));
%! refuses ("gatebox:uppersubst:notDouble", "T must be a double array; convert it with double(T).", @() uppersubst (single (1), 1));
%! refuses ("gatebox:uppersubst:notDouble", "b must be a double array; convert it with double(b).", @() uppersubst (1, single (1)));
%! refuses ("gatebox:uppersubst:sizeMismatch", "b must have as many rows as T.", @() uppersubst (1, [1; 2]));
%! refuses ("gatebox:lowersubst:usage", "Usage: x = lowersubst(T,b)", @() lowersubst (1));
%! refuses ("gatebox:lowersubst:notSquare", "matrix must be square", @() lowersubst (ones (2, 3), 1));
%! refuses ("gatebox:lowersubst:sparse", "Sorry, can't handle sparse matrices yet.", @() lowersubst (sparse (1), 1));
%! refuses ("gatebox:lowersubst:notMatrices", "Arguments must be matrices.", @() lowersubst (1, ones (1, 2, 2)));
%! refuses ("gatebox:lowersubst:notDouble", "T must be a double array; convert it with double(T).", @() lowersubst (single (1), 1));
%! refuses ("gatebox:lowersubst:notDouble", "b must be a double array; convert it with double(b).", @() lowersubst (1, single (1)));
%! refuses ("gatebox:lowersubst:sizeMismatch", "b must have as many rows as T.", @() lowersubst (1, [1; 2]));
