## trigamma in GNU Octave.  Reference values: psi(1, x), Octave's own
## trigamma, and closed forms (pi^2/6 at 1, pi^2/2 + 4 at -1/2).

%!test
%! assert (trigamma (1), pi^2/6, 1e-12);
%! assert (trigamma (-0.5), pi^2/2 + 4, 1e-12);
%! x = [0.1 0.5 1 2.5 7.9 8 50 1e3];
%! assert (trigamma (x), psi (1, x), 1e-10 * psi (1, x));

%!test
%! ## shape: every dimension of the input
%! assert (size (trigamma (zeros (0, 3))), [0 3]);
%! assert (size (trigamma (ones (2, 3))), [2 3]);
%! assert (size (trigamma (ones (2, 3, 4))), [2 3 4]);
%! assert (size (trigamma (zeros (2, 0, 3))), [2 0 3]);
%! assert (class (trigamma ([])), 'double');

%!test
%! ## special values: poles give +Inf, -Inf and NaN give NaN, +Inf gives 0
%! assert (trigamma ([0 -0 -2 -Inf NaN Inf]), [Inf Inf Inf NaN NaN 0]);

%!test
%! ## complex input: the real part is used, the result is real
%! y = trigamma ([1+2i, 3-1i]);
%! assert (isreal (y));
%! assert (y, trigamma ([1 3]));

%!error <Usage: x = trigamma\(n\)> trigamma ()
%!error <Usage: x = trigamma\(n\)> trigamma (1, 2)
%!error <Cannot handle sparse matrices\.  Sorry\.> trigamma (sparse ([1 2]))
%!error <double array> trigamma (single (1))
%!error <double array> trigamma (int32 (1))
%!error <double array> trigamma ('a')
%!error <double array> trigamma ({1})
%!error <double array> trigamma (@sin)
%!error <double array> trigamma (true)
%!test
%! try
%!   trigamma (uint8 (3));
%! catch err
%!   assert (err.identifier, 'gatebox:trigamma:notDouble');
%! end

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
%! refuses ("gatebox:trigamma:usage", "Usage: x = trigamma(n)", @() trigamma ());
%! refuses ("gatebox:trigamma:sparse", "Cannot handle sparse matrices.  Sorry.", @() trigamma (sparse (1)));
%! refuses ("gatebox:trigamma:notDouble", "N must be a double array; convert it with double(N).", @() trigamma (single (1)));
