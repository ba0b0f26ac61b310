function post_install (desc)
  % POST_INSTALL  Run by `pkg install` once the files are in place: moves
  % gamma's MEX file and help text into the subfolder standin/, which
  % PKG_ADD puts on the path, so that loading the package says one line about
  % the shadowed built-in gamma instead of Octave's warning and backtrace.
  standin = fullfile (desc.dir, 'standin');
  files = {'gamma.mex', 'gamma.m'};
  if (! exist (fullfile (desc.dir, files{1}), 'file'))
    return;   % no gamma built (not a Linux build)
  end
  [ok, msg] = mkdir (standin);
  if (! ok)
    error ('gatebox: cannot create %s: %s', standin, msg);
  end
  for k = 1:numel (files)
    [ok, msg] = movefile (fullfile (desc.dir, files{k}), standin);
    if (! ok)
      error ('gatebox: cannot move %s into %s: %s', files{k}, standin, msg);
    end
  end
end
