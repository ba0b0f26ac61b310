%OPCHARGE  Add to the global floating-point operation counter.
%   OPCHARGE(COUNT) adds COUNT to the first element of the global variable
%   FLOPCOUNT. COUNT is truncated toward zero (2.9 adds 2). When FLOPCOUNT
%   does not exist or is empty, nothing happens and nothing is reported;
%   OPCHARGE never creates it. AXISFOLD charges its additions the same way.
%
%   Example:
%      global flopcount
%      flopcount = 0;
%      opcharge(5); opcharge(7);
%      flopcount    % 12
%
%   Errors: not exactly one input ("Usage: opcharge(count)"), a count that is
%   negative, NaN, not finite, 2^32 or more, empty or not double
%   (gatebox:opcharge:... identifiers); a FLOPCOUNT that is not a double
%   array, which is left unchanged (gatebox:opcharge:flopcountNotDouble).
%
%   See also AXISFOLD.
