## The gatekit constructors in GNU Octave, through the probe gateway that
## returns what a constructor made (data uninitialised but for the leading
## element).  Kinds: 1 numeric array, 2 numeric matrix, 3 double matrix,
## 4 logical array, 5 char array.  Class codes: 6 double, 8 int8, 10 int16.

%!shared probe
%! addpath (fullfile (fileparts (which ('tilearray')), 'testing'));
%! probe = @gatekit_probe;

%!test
%! ## shape and class; the leading element is the zero the host created
%! a = probe (1, [3 5 2], 10, 0);
%! assert (size (a), [3 5 2]);
%! assert (class (a), 'int16');
%! assert (a(1), int16 (0));
%! b = probe (2, [4 6], 8, 0);   # Octave has no complex integer arrays
%! assert (size (b), [4 6]);
%! assert (class (b), 'int8');
%! assert (b(1), int8 (0));
%! c = probe (3, [2 7], 6, 0);
%! assert (size (c), [2 7]);
%! assert (class (c), 'double');
%! assert (c(1), 0);
%! assert (class (probe (4, [2 3 4], 3, 0)), 'logical');
%! assert (size (probe (5, [2 3], 4, 0)), [2 3]);
%! assert (ischar (probe (5, [2 3], 4, 0)));
%! assert (probe (1, [1 1], 6, 1), 0);

%!test
%! ## empty shapes: the data blocks stay as created, the shape is recorded
%! assert (size (probe (1, [0 3], 6, 1)), [0 3]);
%! assert (size (probe (1, [2 0 4], 8, 0)), [2 0 4]);
%! assert (size (probe (3, [0 0], 6, 1)), [0 0]);
%! assert (size (probe (4, [0 5], 3, 0)), [0 5]);

%!test
%! ## a large block advised for huge pages, then handed to Octave
%! a = probe (1, [1024 1024 4], 6, 0);
%! assert (size (a), [1024 1024 4]);
%! assert (a(1), 0);

%!error <too large> gatekit_probe (1, [-1 3], 6, 0)
%!error <too large> gatekit_probe (1, [2^32 2^32 0], 6, 0)
%!error <too large> gatekit_probe (2, [2^40 2^40], 6, 0)
