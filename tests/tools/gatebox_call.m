function r = gatebox_call (dir, name, c)
  % GATEBOX_CALL  The outputs and the flop count of one call C (from
  % gatebox_sample_call) of NAME, with the gateway in DIR first on the path
  % and its library loaded afresh; the path is restored afterwards.
  saved = path ();
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
    clear (name);
  unwind_protect_cleanup
    path (saved);
  end_unwind_protect
end
