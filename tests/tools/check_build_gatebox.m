function check_build_gatebox (cmake_dir, mfiles, outdir)
  % CHECK_BUILD_GATEBOX  Build the toolbox with build_gatebox into OUTDIR and
  % compare it with the CMake build in CMAKE_DIR: the same set of gateways
  % (subfolders included), and the same result, to the bit, from one call of
  % each (a freshly loaded library of either build starts the same random
  % stream, so the sampling gateways compare exactly too).
  warning ('off', 'Octave:shadowed-function');  % mfiles/gamma.m is help only
  addpath (mfiles);
  built = build_gatebox (outdir);
  rmpath (mfiles);  % its help-only files must not shadow anything below

  expected = mex_names (cmake_dir);
  assert (isequal (sort (built(:)), expected), ...
          sprintf ('build_gatebox built {%s}, CMake built {%s}', ...
                   strjoin (sort (built), ' '), strjoin (expected', ' ')));
  assert (isequal (mex_names (outdir), expected), 'the MEX files on disk differ from the list returned');

  for k = 1:numel (expected)
    [sub, name] = fileparts (expected{k});
    c = sample_call (name);
    r_cmake = call_in (fullfile (cmake_dir, sub), name, c);
    r_user = call_in (fullfile (outdir, sub), name, c);
    assert (isequaln (r_user, r_cmake), sprintf ('%s: build_gatebox and CMake builds differ', expected{k}));
    printf ('  %-16s same result from both builds\n', expected{k});
  end
  printf ('%d gateways built by build_gatebox match the CMake build\n', numel (expected));
end

function names = mex_names (root)
  % Sorted column of the MEX files below ROOT, as 'name' or 'sub/name'.
  names = {};
  d = dir (fullfile (root, '*.mex'));
  names = [names, {d.name}];
  subs = dir (root);
  for s = subs([subs.isdir])'
    if (any (strcmp (s.name, {'.', '..'})))
      continue;
    end
    d = dir (fullfile (root, s.name, '*.mex'));
    names = [names, strcat([s.name '/'], {d.name})];
  end
  names = sort (regexprep (names, '\.mex$', ''))';
end

function r = call_in (dir, name, c)
  % The outputs and the flop count of one call of NAME with the gateway in
  % DIR first on the path (and cleared, so its library is loaded afresh).
  addpath (dir);
  unwind_protect
    clear (name);
    assert (strcmp (which (name), fullfile (dir, [name '.mex'])), ...
            sprintf ('%s resolves to %s, not to %s', name, which (name), dir));
    global flopcount
    flopcount = 0;
    out = cell (1, c.nargout);
    [out{:}] = feval (name, c.args{:});
    r = {out, flopcount};
    txt = evalc (sprintf ('help %s', name));
    assert (! isempty (strfind (txt, upper (name))), sprintf ('%s: no help text beside %s', name, dir));
    clear (name);
  unwind_protect_cleanup
    rmpath (dir);
  end_unwind_protect
end

function c = sample_call (name)
  % One ordinary call of every function, with the number of outputs.
  A = reshape (1:24, 2, 3, 4);
  switch (name)
    case 'trigamma',   c = struct ('args', {{[0.5 1 2 -1.5]}}, 'nargout', 1);
    case 'shapedraw',  c = struct ('args', {{[0.5 1 2.5 40]}}, 'nargout', 1);
    case 'trialdraw',  c = struct ('args', {{[0.1 0.5 0.9], 30}}, 'nargout', 1);
    case 'drawcounts', c = struct ('args', {{[0.2 0.5; 0.3 0.25; 0.5 0.25], 100}}, 'nargout', 1);
    case 'gamma',      c = struct ('args', {{[5 0.5 -0.5 30.25]}}, 'nargout', 1);
    case 'uppersubst', c = struct ('args', {{[2 1; 0 4], [4 1; 8 2]}}, 'nargout', 1);
    case 'lowersubst', c = struct ('args', {{[2 0; 1 4], [4 1; 8 2]}}, 'nargout', 1);
    case 'backapply',  c = struct ('args', {{[2 0; 1 4], [4; 8]}}, 'nargout', 1);
    case 'tilearray',  c = struct ('args', {{[1 2; 3 4], [2 3]}}, 'nargout', 1);
    case 'axisfold',   c = struct ('args', {{A, [1 3]}}, 'nargout', 1);
    case 'tallybins',  c = struct ('args', {{[1 2 2 3 3 3], 5}}, 'nargout', 1);
    case 'aliascheck', c = struct ('args', {{A, A}}, 'nargout', 1);
    case 'opcharge',   c = struct ('args', {{7.9}}, 'nargout', 0);
    otherwise
      error ('check_build_gatebox: no sample call for %s; add one', name);
  end
end
