## Every example in the help texts runs as written and prints what the text
## says (octave-doctest runs the ">>" lines and compares the output).

%!test
%! pkg load doctest
%! names = {'shapedraw', 'trialdraw', 'drawcounts', 'trigamma', 'gamma', ...
%!          'uppersubst', 'lowersubst', 'backapply', 'tilearray', 'axisfold', ...
%!          'tallybins', 'aliascheck', 'opcharge'};
%! global flopcount
%! saved = flopcount;
%! unwind_protect
%!   [passed, total] = doctest (names);
%! unwind_protect_cleanup
%!   flopcount = saved;
%! end_unwind_protect
%! assert (total >= numel (names));
%! assert (passed, total);

%!test
%! ## every one of the 13 functions has an example
%! names = {'shapedraw', 'trialdraw', 'drawcounts', 'trigamma', 'gamma', ...
%!          'uppersubst', 'lowersubst', 'backapply', 'tilearray', 'axisfold', ...
%!          'tallybins', 'aliascheck', 'opcharge'};
%! for k = 1:numel (names)
%!   assert (! isempty (regexp (get_help_text (names{k}), '^\s*>> ', 'once', 'lineanchors')), ...
%!           ['no example in the help of ' names{k}]);
%! end
