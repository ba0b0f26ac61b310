function rt_echo (varargin)
  % Prints its text arguments, one a line, with their class; partial last line.
  for k = 1:nargin
    printf ("%s:%s\n", class (varargin{k}), varargin{k});
  endfor
  printf ("done");
endfunction
