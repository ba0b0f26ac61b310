## build_gatebox reads the build description gatebox.build of its source
## root; a description it cannot follow stops it before anything is compiled,
## naming the file and line.

%!function root = fake_root (lines)
%! root = tempname ();
%! mkdir (root);  mkdir (fullfile (root, 'gateways'));
%! fclose (fopen (fullfile (root, 'gateways', 'mexversion.c'), 'w'));
%! fclose (fopen (fullfile (root, 'gateways', 'x.cpp'), 'w'));
%! fid = fopen (fullfile (root, 'gatebox.build'), 'w');
%! fprintf (fid, '%s\n', lines{:});
%! fclose (fid);
%!endfunction

%!function msg = build_error (lines)
%! root = fake_root (lines);
%! out = tempname ();
%! msg = '';
%! try
%!   evalc ('build_gatebox (out, root);');
%! catch err
%!   msg = [err.identifier ' ' err.message];
%! end
%! confirm_recursive_rmdir (false, 'local');
%! rmdir (root, 's');
%! if (exist (out, 'dir'))
%!   rmdir (out, 's');
%! end
%!endfunction

%!test
%! ## comments and blank lines are skipped; line numbers count them
%! msg = build_error ({'# a comment', '', 'flags exact -ffp-contract=off', ...
%!                     'gateway x sources=gateways/x.cpp colour=blue'});
%! assert (strncmp (msg, 'gatebox:build_gatebox:badDescription', 36), msg);
%! assert (! isempty (strfind (msg, 'gatebox.build:4:')), msg);
%! assert (! isempty (strfind (msg, 'colour=blue')), msg);

%!test
%! ## a record of an unknown kind, and a gateway without sources
%! msg = build_error ({'gateways x sources=gateways/x.cpp'});
%! assert (! isempty (strfind (msg, 'gatebox.build:1: unknown kind of record')), msg);
%! msg = build_error ({'gateway x libs=util'});
%! assert (! isempty (strfind (msg, 'gateway x lists no sources')), msg);

%!test
%! ## a library, version text or entry kind the description does not define
%! msg = build_error ({'gateway x sources=gateways/x.cpp libs=nolib'});
%! assert (! isempty (strfind (msg, 'names the library nolib')), msg);
%! msg = build_error ({'entry mex gateways/mex.map', ...
%!                     'gateway x sources=gateways/x.cpp version=r99'});
%! assert (! isempty (strfind (msg, 'unknown version r99')), msg);

%!error <no gatebox sources> build_gatebox (tempname (), tempname ())
