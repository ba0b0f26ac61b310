function check_package (prefix, cmake_dir)
  % CHECK_PACKAGE  After `pkg load gatebox`: the package is listed with its
  % version, installed below PREFIX, every gateway the CMake build in
  % CMAKE_DIR made is there, runs from the package and gives the CMake
  % build's result, and `help` shows its help text.
  info = pkg ('list', 'gatebox');
  assert (numel (info) == 1 && info{1}.loaded, 'gatebox is not loaded');
  pkgdir = info{1}.dir;
  assert (strncmp (pkgdir, prefix, numel (prefix)), ['installed outside the prefix: ' pkgdir]);
  names = gatebox_mex_names (cmake_dir);
  in_sub = ! cellfun (@isempty, strfind (names, '/'));  % second builds, off the path
  for k = find (in_sub)'
    assert (isfile (fullfile (pkgdir, [names{k} '.mex'])), ['not installed: ' names{k}]);
    assert (isfile (fullfile (pkgdir, [names{k} '.m'])), ['no help beside ' names{k}]);
  end
  names = names(! in_sub);
  assert (numel (names) > 0);
  for k = 1:numel (names)
    name = names{k};
    where = pkgdir;   % gamma, which stands in for a built-in, is in standin/
    if (exist (fullfile (pkgdir, 'standin', [name '.mex']), 'file'))
      where = fullfile (pkgdir, 'standin');
    end
    assert (strcmp (which (name), fullfile (where, [name '.mex'])), ...
            sprintf ('%s resolves to %s', name, which (name)));
    c = gatebox_sample_call (name);
    r_pkg = gatebox_call (where, name, c);
    r_cmake = gatebox_call (cmake_dir, name, c);
    assert (isequaln (r_pkg, r_cmake), sprintf ('%s: package and CMake builds differ', name));
    txt = evalc (sprintf ('help %s', name));
    assert (! isempty (regexp (txt, [upper(name) '  \S'], 'once')), ['no help text for ' name]);
    printf ('  %-12s runs from the package, help shown\n', name);
  end
  txt = evalc ('help gatebox_demo');
  assert (! isempty (strfind (txt, 'GATEBOX_DEMO')), 'no help for gatebox_demo');
  assert (exist (fullfile (pkgdir, 'build_gatebox.m'), 'file') == 2, 'build_gatebox.m not installed');
  printf ('gatebox %s installed and loaded: %d functions\n', info{1}.version, numel (names));
end
