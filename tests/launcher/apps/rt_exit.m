function rt_exit (status)
  % Ends the application with the given exit status.
  printf ("exiting\n");
  exit (str2double (status));
endfunction
