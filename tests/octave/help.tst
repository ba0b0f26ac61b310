## Every built gateway has help text that `help` shows while the MEX file
## does the work, and Contents.m lists it.

%!test
%! gwdir = fileparts (which ('trigamma'));
%! mexes = dir (fullfile (gwdir, '*.mex'));
%! assert (numel (mexes) > 0);
%! contents = fileread (fullfile (fileparts (which ('gatebox_demo')), 'Contents.m'));
%! for k = 1:numel (mexes)
%!   name = mexes(k).name(1:end-4);
%!   assert (exist (name), 3, name);                    # the MEX file is what runs
%!   txt = evalc (sprintf ('help %s', name));
%!   h1 = regexp (txt, [upper(name) '  \S[^\n]*'], 'match', 'once');
%!   assert (! isempty (h1), ['no help text for ' name]);
%!   assert (! isempty (strfind (txt, 'Example')), ['no example in help for ' name]);
%!   assert (! isempty (strfind (txt, 'See also')), ['no See also in help for ' name]);
%!   assert (! isempty (regexp (contents, ['\n%\s+' name '\s+-'], 'once')), ['Contents.m lacks ' name]);
%! end
