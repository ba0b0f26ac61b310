function orvane (varargin)
% orvane  Command-line front end to the gatebox functions.
%
%   orvane FUNCTION ARG...
%       calls the gatebox function FUNCTION with each ARG read as a double
%       array and prints the result, one row per line, each element with 17
%       significant digits (enough to give back the exact double).
%   orvane --list
%       names the functions it calls and whether this build has them.
%   orvane --help
%       prints this text.
%
%   An ARG is a number ("2.5", "-Inf", "NaN"), a row of numbers separated by
%   blanks or commas ("1,2,3") or a matrix whose rows are separated by
%   semicolons ("2 1; 0 4").  opcharge charges the global flopcount, which
%   starts at 0, and prints it.
%
%   From a shell:
%       orvane trigamma 1 "0.5 2"
%       orvane uppersubst "2 1; 0 4" "3; 8"

  functions = {"trigamma", "shapedraw", "trialdraw", "drawcounts", "gamma", ...
               "uppersubst", "lowersubst", "backapply", "tilearray", ...
               "axisfold", "tallybins", "aliascheck", "opcharge"};

  if (nargin == 0 || any (strcmp (varargin{1}, {"--help", "-h"})))
    printf ("%s", usage_text ());
    return;
  endif
  name = varargin{1};
  if (strcmp (name, "--list"))
    for k = 1:numel (functions)
      printf ("%-12s %s\n", functions{k}, ifelse_text (is_built (functions{k}), "", "(not built)"));
    endfor
    return;
  endif
  if (! any (strcmp (name, functions)))
    error ("orvane:unknownFunction",
           "orvane: '%s' is not a gatebox function; 'orvane --list' names them", name);
  endif
  if (! is_built (name))
    error ("orvane:notBuilt", "orvane: '%s' is not built for this platform", name);
  endif

  args = cell (1, nargin - 1);
  for k = 2:nargin
    args{k-1} = parse_array (varargin{k}, k - 1);
  endfor

  if (strcmp (name, "opcharge"))
    global flopcount;
    if (isempty (flopcount))
      flopcount = 0;
    endif
    feval (name, args{:});
    printf ("flopcount = %.17g\n", flopcount(1));
  else
    result = feval (name, args{:});
    print_array (result);
  endif
endfunction

% True when the compiled function is on the path (not only its help text).
function tf = is_built (name)
  tf = exist (name, "file") == 3;
endfunction

function s = ifelse_text (cond, yes, no)
  if (cond)
    s = yes;
  else
    s = no;
  endif
endfunction

% Reads "1 2; 3 4" as a double matrix without evaluating the text as code.
function x = parse_array (text, position)
  rows = strtrim (strsplit (text, ";"));
  x = [];
  for r = 1:numel (rows)
    fields = regexp (rows{r}, '[\s,]+', "split");
    fields = fields(! cellfun ("isempty", fields));
    values = str2double (fields);
    bad = isnan (values) & ! strcmpi (fields, "nan");
    if (isempty (fields) || any (bad))
      error ("orvane:badArgument",
             "orvane: argument %d ('%s') is not a number, row or matrix of numbers",
             position, text);
    endif
    if (r > 1 && numel (values) != columns (x))
      error ("orvane:badArgument",
             "orvane: argument %d ('%s') has rows of different lengths", position, text);
    endif
    x = [x; values];
  endfor
endfunction

% One row per line; complex values as re+imi.
function print_array (x)
  if (! (isnumeric (x) || islogical (x)))
    disp (x);
    return;
  endif
  x = double (x);
  if (isempty (x))
    printf ("[](%s)\n", strjoin (arrayfun (@num2str, size (x), "UniformOutput", false), "x"));
    return;
  endif
  if (ndims (x) > 2)
    x = reshape (x, rows (x), []);
  endif
  for i = 1:rows (x)
    if (iscomplex (x))
      cells = arrayfun (@(v) sprintf ("%.17g%+.17gi", real (v), imag (v)), x(i,:),
                        "UniformOutput", false);
    else
      cells = arrayfun (@(v) sprintf ("%.17g", v), x(i,:), "UniformOutput", false);
    endif
    printf ("%s\n", strjoin (cells, " "));
  endfor
endfunction

function s = usage_text ()
  s = ["usage: orvane FUNCTION ARG...   call a gatebox function, print its result\n", ...
       "       orvane --list            name the functions\n", ...
       "       orvane --help            this text\n", ...
       "An ARG is a number, a row (\"1,2,3\") or a matrix (\"2 1; 0 4\").\n"];
endfunction
