function c = gatebox_sample_call (name)
  % GATEBOX_SAMPLE_CALL  One ordinary call of each gatebox function: its
  % arguments and number of outputs.
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
      error ('gatebox_sample_call: no sample call for %s; add one', name);
  end
end
