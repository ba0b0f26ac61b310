## opcharge and the global flop counter in GNU Octave.

%!function r = charge_twice_from_zero ()
%!  ## flopcount = 0 is a constant of this function: charging must not change
%!  ## it, so every run starts again from 0.
%!  global flopcount
%!  flopcount = 0;
%!  opcharge (5);
%!  opcharge (7);
%!  r = flopcount;
%!endfunction

%!test
%! global flopcount
%! assert (charge_twice_from_zero (), 12);
%! assert (charge_twice_from_zero (), 12);
%! assert (charge_twice_from_zero (), 12);
%! clear -global flopcount

%!test
%! ## the same through axisfold's own charging: 3-by-4 over dim 1 charges 8
%! global flopcount
%! for k = 1:3
%!   flopcount = 0;
%!   axisfold (ones (3, 4), 1);
%!   assert (flopcount, 8);
%! end
%! clear -global flopcount

%!test
%! global flopcount
%! flopcount = 0;
%! opcharge (5); opcharge (7);
%! assert (flopcount, 12);
%! opcharge (2.9);
%! assert (flopcount, 14);
%! opcharge (0);
%! assert (flopcount, 14);
%! opcharge ([3 100 1000]);          # first element only
%! assert (flopcount, 17);
%! opcharge (4294967295);
%! assert (flopcount, 17 + 4294967295);
%! opcharge (2147483648.5);
%! assert (flopcount, 17 + 4294967295 + 2147483648);
%! clear -global flopcount

%!test
%! ## a matrix counter: only its first element grows; a value copied from it keeps its count
%! global flopcount
%! flopcount = [1 2; 3 4];
%! before = flopcount;
%! opcharge (10);
%! assert (flopcount, [11 2; 3 4]);
%! assert (before, [1 2; 3 4]);
%! clear -global flopcount

%!test
%! ## no counter, or an empty one: nothing happens and nothing is created
%! clear -global flopcount
%! opcharge (10);
%! assert (! any (strcmp (who ("global"), "flopcount")));
%! global flopcount
%! flopcount = [];
%! opcharge (10);
%! assert (isempty (flopcount));
%! clear -global flopcount

%!test
%! ## a counter that is not a double array is left as it is, with an error
%! global flopcount
%! flopcount = int32 (5);
%! try
%!   opcharge (1);
%!   error ("no error");
%! catch err
%!   assert (err.identifier, "gatebox:opcharge:flopcountNotDouble");
%! end
%! assert (flopcount, int32 (5));
%! flopcount = @sin;
%! fail ("opcharge (1)", "not a full double array");
%! assert (is_function_handle (flopcount));
%! clear -global flopcount

%!error <Usage: opcharge\(count\)> opcharge ()
%!error <Usage: opcharge\(count\)> opcharge (1, 2)
%!error <from 0 to 2\^32-1> opcharge (-1)
%!error <from 0 to 2\^32-1> opcharge (-0.5)
%!error <from 0 to 2\^32-1> opcharge (NaN)
%!error <from 0 to 2\^32-1> opcharge (Inf)
%!error <from 0 to 2\^32-1> opcharge (2^32)
%!error <COUNT is empty> opcharge ([])
%!error <full double array> opcharge (int32 (3))
%!error <full double array> opcharge (single (3))
%!error <full double array> opcharge (sparse (3))
%!error <full double array> opcharge ("3")
%!error <full double array> opcharge (@sin)

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
%! refuses ("gatebox:opcharge:usage", "Usage: opcharge(count)", @() opcharge ());
%! refuses ("gatebox:opcharge:notDouble", "COUNT must be a full double array; convert it with double(COUNT).", @() opcharge (single (1)));
%! refuses ("gatebox:opcharge:emptyCount", "COUNT is empty; expected the number of operations to charge.", @() opcharge ([]));
%! refuses ("gatebox:opcharge:badCount", "COUNT must be a number from 0 to 2^32-1 (4294967295).", @() opcharge (-1));

%!test
%! ## a counter that is not a full double array is left as it is
%! global flopcount
%! flopcount = int8 (3);
%! unwind_protect
%!   refuses ("gatebox:opcharge:flopcountNotDouble", "The global flopcount is not a full double array; it was left unchanged.", @() opcharge (1));
%!   assert (flopcount, int8 (3));
%! unwind_protect_cleanup
%!   clear -global flopcount
%! end_unwind_protect
