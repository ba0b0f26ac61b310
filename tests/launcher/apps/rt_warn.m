function rt_warn ()
  % Writes a warning and a partial line to standard error.
  warning ("rt:warn", "careful");
  fprintf (2, "no newline");
endfunction
