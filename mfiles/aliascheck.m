%ALIASCHECK  Test whether two arrays share their data storage.
%   TF = ALIASCHECK(A, B) returns 1 when the data of A and the data of B
%   start at the same address, and 0 otherwise. Nothing else is compared:
%   not the values, the class, the size or the names. Octave shares storage
%   between copies until one is changed, so after B = A, ALIASCHECK(A, B) is
%   1; after B(1) = B(1) it is 0.
%
%   Octave hands a function a fresh copy of the data of a complex, cell,
%   struct or range argument, so such values never report shared storage.
%
%   Errors: not exactly two inputs ("usage: aliascheck(a,b)"); a function
%   handle or object, which has no data storage (gatebox:aliascheck:noStorage).
%
%   Example:
%      a = rand(3); b = a; aliascheck(a, b)    % 1
%
%   See also ISEQUAL.
