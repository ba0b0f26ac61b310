function rt_fail (msg)
  % Prints a line, then raises an error with the given message.
  disp ("before the error");
  error ("rt:fail", "rt_fail: %s", msg);
endfunction
