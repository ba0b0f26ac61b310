function package_checks (prefix)
  % PACKAGE_CHECKS  What a user meets with the gatebox package installed
  % below PREFIX and loaded: `pkg describe -verbose` shows its fields,
  % loading says at most one line and no backtrace, `test` passes and a demo
  % runs for every function, functions built on gamma answer as without
  % the package, and `pkg uninstall` leaves nothing behind.
  names = {'shapedraw', 'trialdraw', 'drawcounts', 'trigamma', 'gamma', ...
           'uppersubst', 'lowersubst', 'backapply', 'tilearray', 'axisfold', ...
           'tallybins', 'aliascheck', 'opcharge'};
  info = pkg ('list', 'gatebox');
  pkgdir = info{1}.dir;

  % The description and the licence.
  txt = evalc ('pkg describe -verbose gatebox');
  for want = {'Package name:', 'gatebox', 'Version:', info{1}.version, ...
              'Depends on:', 'octave >= 7.0.0', 'Provides:', 'Numerical'}
    assert (! isempty (strfind (txt, want{1})), ['pkg describe does not show ' want{1}]);
  end
  for k = 1:numel (names)
    assert (! isempty (regexp (txt, ['\n\s+' names{k} '\n'], 'once')), ...
            ['pkg describe does not list ' names{k}]);
  end
  desc = fileread (fullfile (pkgdir, 'packinfo', 'DESCRIPTION'));
  for f = {'Name', 'Version', 'Date', 'Author', 'Maintainer', 'Title', 'Description', ...
           'Categories', 'Depends', 'License'}
    assert (! isempty (regexp (desc, ['^' f{1} ': \S'], 'once', 'lineanchors')), ...
            ['DESCRIPTION has no ' f{1}]);
  end
  assert (! isempty (strfind (desc, 'License: BSD-3-Clause')));
  assert (! isempty (strfind (fileread (fullfile (pkgdir, 'packinfo', 'COPYING')), ...
                                'Copyright (c) 2026, the gatebox authors')));
  assert (! isempty (strfind (evalc ('news gatebox'), 'gatebox 0.1.0')));
  printf ('  pkg describe -verbose, DESCRIPTION, COPYING and NEWS\n');

  % Loading: one line about gamma, with Octave's own warning enabled.
  pkg unload gatebox
  assert (exist ('gamma'), 5);
  s = warning ('on', 'Octave:shadowed-function');
  txt = evalc ('pkg load gatebox');
  warning (s);
  lines = strsplit (strtrim (txt), "\n");
  assert (numel (lines) <= 1 && isempty (strfind (txt, 'called from')), ...
          ['loading says more than one line:' "\n" txt]);
  assert (exist ('gamma'), 3);
  printf ('  pkg load says: %s\n', txt(1:end-1));

  % Each function's tests pass and its demo runs, in the installed package.
  for k = 1:numel (names)
    [ok, n] = test (names{k}, 'quiet');
    assert (n > 0 && ok == n, sprintf ('test %s: %d of %d passed', names{k}, ok, n));
    code = test (names{k}, 'grabdemo');
    assert (! isempty (code), ['no demo for ' names{k}]);
    run_demo (code);
    printf ('  %-12s %2d tests pass, demo runs\n', names{k}, n);
  end
  [ok, n] = test ('gatebox', 'quiet');
  assert (n > 0 && ok == n, 'test gatebox failed');
  assert (! isempty (strfind (evalc ('help gatebox'), 'trialdraw')), 'help gatebox lists nothing');

  % Functions built on gamma, with the package and without it.
  calls = gamma_calls ();
  with = cellfun (@answer, calls, 'UniformOutput', false);
  pkg unload gatebox
  assert (exist ('gamma'), 5);
  without = cellfun (@answer, calls, 'UniformOutput', false);
  pkg load gatebox
  for k = 1:numel (calls)
    assert (isequaln (with{k}, without{k}), ...
            sprintf ('%s differs with the package', func2str (calls{k})));
  end
  printf ('  %d calls of functions built on gamma answer as without the package\n', numel (calls));
  % A full real double array gets the toolbox's exact factorials.
  assert (factorial (0:22), [1 cumprod(1:22)]);

  % Uninstalling takes every file and every path entry away.  (-local: as
  % root, pkg would otherwise update only the global list.)
  pkg uninstall -local gatebox
  assert (isempty (pkg ('list', 'gatebox')), 'still listed after pkg uninstall');
  assert (! isfolder (pkgdir), ['left behind: ' pkgdir]);
  [status, left] = system (sprintf ('find "%s" -name "*gatebox*" -o -name "*.mex" -o -name "*.m"', prefix));
  assert (status == 0 && isempty (strtrim (left)), ['left behind: ' left]);
  assert (isempty (strfind (path (), prefix)), 'the path still names the package');
  assert (exist ('gamma'), 5);
  printf ('  pkg uninstall leaves nothing below %s\n', prefix);
end

function run_demo (code)
  % The demo's code, run in a function workspace of its own.
  evalc (code);
end

function r = answer (f)
  % The value of f() with its class, or the text of its error.
  try
    v = f ();
    r = {class(v), issparse(v), size(v), v};
  catch err
    r = {'error', err.message};
  end
end

function calls = gamma_calls ()
  calls = {@() factorial (single (5)), @() factorial (single ([0 3; 4 5])), ...
           @() factorial (int8 ([3 4])), @() factorial (uint16 (7)), ...
           @() factorial (true (1, 3)), @() factorial (single (ones (2, 2, 2))), ...
           @() factorial (zeros (0, 3, 'single')), ...
           @() nchoosek (int16 (10), 3), @() nchoosek (single (7), 2), ...
           @() beta (single (2), single (3)), @() beta (single ([1 2; 3 4]), single (0.5)), ...
           @() gamma (single ([1.5 -0.5 0 NaN Inf])), @() gamma (int32 ([1 5])), ...
           @() gamma (uint8 (ones (2, 1, 3))), @() gamma (true (2, 2, 2)), @() gamma (false), ...
           @() gamma (sparse ([0 1 2.5])), @() gamma (sparse (zeros (3, 0))), ...
           @() gamma (single (ones (2, 3, 4))), @() gamma (int8 ([])), ...
           @() gamma (zeros (0, 3, 'single')), @() gamma (int64 (21)), ...
           @() gamma ('a'), @() gamma ({1})};
end
