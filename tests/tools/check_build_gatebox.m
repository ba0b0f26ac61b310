function check_build_gatebox (cmake_dir, mfiles, outdir)
  % CHECK_BUILD_GATEBOX  Build the toolbox with build_gatebox into OUTDIR and
  % compare it with the CMake build in CMAKE_DIR: the same set of gateways
  % (subfolders included), and the same result, to the bit, from one call of
  % each (a freshly loaded library of either build starts the same random
  % stream, so the sampling gateways compare exactly too), with help text
  % beside every MEX file.
  warning ('off', 'Octave:shadowed-function');  % mfiles/gamma.m is help only
  addpath (mfiles);
  built = build_gatebox (outdir);
  rmpath (mfiles);  % its help-only files must not shadow anything below

  expected = gatebox_mex_names (cmake_dir);
  assert (isequal (sort (built(:)), expected), ...
          sprintf ('build_gatebox built {%s}, CMake built {%s}', ...
                   strjoin (sort (built), ' '), strjoin (expected', ' ')));
  assert (isequal (gatebox_mex_names (outdir), expected), 'the MEX files on disk differ from the list returned');

  for k = 1:numel (expected)
    [sub, name] = fileparts (expected{k});
    c = gatebox_sample_call (name);
    r_cmake = gatebox_call (fullfile (cmake_dir, sub), name, c);
    r_user = gatebox_call (fullfile (outdir, sub), name, c);
    assert (isequaln (r_user, r_cmake), sprintf ('%s: build_gatebox and CMake builds differ', expected{k}));
    assert (exist (fullfile (outdir, sub, [name '.m']), 'file') == 2, ['no help text beside ' expected{k}]);
    printf ('  %-16s same result from both builds\n', expected{k});
  end
  printf ('%d gateways built by build_gatebox match the CMake build\n', numel (expected));
end
