function rt_path ()
  % Prints the search path, one folder a line.
  printf ("%s\n", strjoin (strsplit (path (), pathsep ()), "\n"));
endfunction
