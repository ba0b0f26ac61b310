## Large outputs (64 KiB and more), which the gateways have the interpreter
## make so that Octave takes them back without a copy: every element as
## from a call on each part alone, the input's dimensions, a real double
## result, and a function of the user's named zeros never called.

%!function check_large ()
%!  x = reshape (100 * rand (1, 3e4) - 50, [30 50 20]);
%!  y = trigamma (x);
%!  assert (size (y), [30 50 20]);
%!  assert (isreal (y) && isa (y, 'double'));
%!  assert (y(:, :, 7), trigamma (x(:, :, 7)));
%!  assert (trigamma (complex (x, 1))(:, :, 3), y(:, :, 3));
%!  g = gamma (x);
%!  assert (size (g), size (x));
%!  assert (g(:, :, 20), gamma (x(:, :, 20)));
%!  T = triu (rand (120)) + 120 * eye (120);  b = rand (120, 80);
%!  assert (uppersubst (T, b)(:, 61:80), uppersubst (T, b(:, 61:80)));
%!  assert (lowersubst (T.', b)(:, 1:7), lowersubst (T.', b(:, 1:7)));
%!  assert (backapply (T, b)(:, 33), backapply (T, b(:, 33)));
%!  assert (backapply (T.', b)(:, 80), backapply (T.', b(:, 80)));
%!  ## the samplers: one call on the whole equals calls on the parts in order
%!  a = 0.1 + 9.9 * rand (1, 2e4);
%!  s = shapedraw ('state');
%!  whole = shapedraw (a);
%!  shapedraw ('state', s);
%!  assert (whole, [shapedraw(a(1:12345)), shapedraw(a(12346:end))]);
%!  p = rand (1, 2e4);
%!  s = trialdraw ('state');
%!  whole = trialdraw (p, 30);
%!  trialdraw ('state', s);
%!  assert (whole, [trialdraw(p(1:9999), 30), trialdraw(p(10000:end), 30)]);
%!  P = rand (4, 5e3);  P = P ./ sum (P);
%!  s = drawcounts ('state');
%!  whole = drawcounts (P, 50);
%!  drawcounts ('state', s);
%!  assert (whole, [drawcounts(P(:, 1:2500), 50), drawcounts(P(:, 2501:end), 50)]);
%!endfunction

%!test
%! check_large ();

%!test
%! ## with a user's zeros on the path, which records being called
%! d = tempname ();
%! mkdir (d);
%! unwind_protect
%!   fid = fopen (fullfile (d, 'zeros.m'), 'w');
%!   fprintf (fid, 'function z = zeros (varargin)\n  global user_zeros_called\n  user_zeros_called = true;\n  z = ones (varargin{:});\nend\n');
%!   fclose (fid);
%!   addpath (d);
%!   global user_zeros_called
%!   user_zeros_called = false;
%!   check_large ();
%!   assert (! user_zeros_called);
%!   z = zeros (2);  # the user's function is the one the name finds
%!   assert (user_zeros_called && isequal (z, ones (2)));
%! unwind_protect_cleanup
%!   rmpath (d);
%!   clear -global user_zeros_called
%!   confirm_recursive_rmdir (false, 'local');
%!   rmdir (d, 's');
%! end_unwind_protect
