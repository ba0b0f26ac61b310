%OPCHARGE  Add to the global floating-point operation counter.
%   OPCHARGE(COUNT) adds COUNT to the first element of the global variable
%   FLOPCOUNT. COUNT is truncated toward zero (2.9 adds 2). When FLOPCOUNT
%   does not exist or is empty, nothing happens and nothing is reported;
%   OPCHARGE never creates it. AXISFOLD charges its additions the same way.
%
%   No built-in does this: it stands for flopcount(1) += fix(COUNT) with the
%   checks above, and never creates FLOPCOUNT.
%
%   Example:
%      >> global flopcount
%      >> flopcount = 0;
%      >> opcharge(5);  opcharge(7.9);
%      >> flopcount
%      flopcount = 12
%
%
%   Errors: not exactly one input ("Usage: opcharge(count)"), a count that is
%   negative, NaN, not finite, 2^32 or more, empty or not double
%   (gatebox:opcharge:... identifiers); a FLOPCOUNT that is not a double
%   array, which is left unchanged (gatebox:opcharge:flopcountNotDouble).
%
%   See also AXISFOLD.

%!test
%! global flopcount
%! old = flopcount;
%! unwind_protect
%!   flopcount = 0;
%!   opcharge (5);  opcharge (7.9);
%!   assert (flopcount, 12);
%!   flopcount = [10 20];
%!   opcharge (1);
%!   assert (flopcount, [11 20]);
%!   flopcount = [];
%!   opcharge (3);           # an empty counter: nothing charged
%!   assert (flopcount, []);
%! unwind_protect_cleanup
%!   flopcount = old;
%! end_unwind_protect
%!error <Usage: opcharge\(count\)> opcharge ()
%!error opcharge (-1)
%!error opcharge (NaN)
%!error opcharge (2^32)
%!demo
%! global flopcount
%! flopcount = 0;
%! opcharge (5); opcharge (7.9);     % counts are truncated: adds 5 and 7
%! B = axisfold (rand (3, 4, 5), 2); % charges 60 - 15 additions
%! flopcount                         % 57
