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
%   No built-in does this: ISEQUAL compares values, which two arrays that do
%   not share storage may also hold.
%
%   Example:
%      >> a = rand(3);  b = a;  aliascheck(a, b)
%      ans = 1
%
%      >> b(1) = b(1);  aliascheck(a, b)
%      ans = 0
%
%
%   See also ISEQUAL.

%!test
%! a = rand (3);
%! b = a;
%! assert (aliascheck (a, b), 1);
%! b(1) = b(1);
%! assert (aliascheck (a, b), 0);
%! assert (aliascheck (a, a), 1);
%!assert (aliascheck (rand (2), rand (2)), 0)
%!test
%! c = {1, 2};
%! assert (aliascheck (c, c), 0)    # Octave passes a fresh copy of a cell
%!error <usage: aliascheck\(a,b\)> aliascheck (1)
%!error aliascheck (@sin, 1)
%!demo
%! a = rand (1000);
%! b = a;                  % no copy yet: a and b share storage
%! shared = aliascheck (a, b)
%! b(1) = 0;               % the change makes b its own copy
%! shared = aliascheck (a, b)
