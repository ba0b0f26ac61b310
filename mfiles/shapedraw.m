%SHAPEDRAW  Gamma random numbers with given shapes and unit scale.
%   X = SHAPEDRAW(A) returns one draw from the gamma distribution with shape
%   A(i) and scale 1 for every element of the real double array A, in
%   storage order. X has the rows and columns of A.
%
%   The draws come from the toolbox's own generator (Wichmann-Hill, with
%   Cheng and Feast's ratio-of-uniforms gamma method). Each gateway has its
%   own stream, which starts from fixed seeds when the library is loaded
%   and continues from call to call: results are reproducible, and a call
%   on [a1 a2] gives the same values as a call on a1 followed by one on a2.
%   Shapes that are NaN give NaN; shapes below 2^-52 (zero, negative) give 0;
%   an infinite shape gives Inf.
%
%   Errors: a call without exactly one input ("Usage: x = shapedraw(a)"), a
%   sparse A ("Cannot handle sparse matrices.  Sorry."), an A that is not a
%   double array (gatebox:shapedraw:notDouble). A failed call draws nothing.
%
%   Example:
%      x = shapedraw(2.5 * ones(1, 1e5));  mean(x)   % about 2.5
%
%   See also RANDG, GAMRND, TRIALDRAW, DRAWCOUNTS.
