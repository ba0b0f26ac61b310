function names = gatebox_mex_names (root)
  % GATEBOX_MEX_NAMES  Sorted column of the toolbox's MEX files in ROOT and
  % its subfolders, as 'name' or 'sub/name'.  The project's own test and
  % benchmark gateways (subfolders testing/ and bench/) are not the toolbox's.
  names = {};
  d = dir (fullfile (root, '*.mex'));
  names = [names, {d.name}];
  subs = dir (root);
  for s = subs([subs.isdir])'
    if (any (strcmp (s.name, {'.', '..', 'testing', 'bench'})))
      continue;
    end
    d = dir (fullfile (root, s.name, '*.mex'));
    names = [names, strcat([s.name '/'], {d.name})];
  end
  names = sort (regexprep (names, '\.mex$', ''))';
end
