function built = build_gatebox (outdir, srcroot)
  %BUILD_GATEBOX  Compile every gatebox gateway with the host's own mex command.
  %   BUILD_GATEBOX compiles each gateway from the toolbox sources into this
  %   folder, beside its help text, using the host's MEX compiler (mex in
  %   MATLAB, mkoctfile --mex in GNU Octave), and reports what it built.
  %   BUILD_GATEBOX(OUTDIR) writes the MEX files to OUTDIR instead and copies
  %   each function's help text beside its MEX file.
  %   BUILD_GATEBOX(OUTDIR, SRCROOT) takes the sources from the toolbox root
  %   SRCROOT (the folder holding gateways/, util/ and gatekit/); by default
  %   the parent of the folder this script is in.
  %   BUILT = BUILD_GATEBOX(...) returns the built gateways as a cell array of
  %   names, those of a second build in a subfolder as 'r12/tilearray'.
  %
  %   What is built, from which sources, and with which flags is read from
  %   the build description gatebox.build in SRCROOT, which the CMake build
  %   reads too. The flags keep results exact to the bit: C++17, no
  %   floating-point contraction (-ffp-contract=off), no fast math, no errno
  %   from the math library, hidden symbols, and on Linux a linker version
  %   script so that a gateway exports only its entry points. On Windows the
  %   gateways get their Windows-build behaviour.
  %
  %   Errors: a source tree without gatebox.build or gateways/
  %   (gatebox:build_gatebox:noSources), a description that cannot be read
  %   (gatebox:build_gatebox:badDescription), a failed compile
  %   (gatebox:build_gatebox:failed, with the compiler output).
  %
  %   Example:
  %      build_gatebox;  trigamma(1)
  %
  %   See also MEX, MKOCTFILE, GATEBOX_DEMO.
  here = fileparts (mfilename ('fullpath'));
  if (nargin < 2 || isempty (srcroot))
    srcroot = fileparts (here);
  end
  if (nargin < 1 || isempty (outdir))
    outdir = here;
  end
  desc_file = fullfile (srcroot, 'gatebox.build');
  if (~exist (desc_file, 'file') || ~exist (fullfile (srcroot, 'gateways', 'mexversion.c'), 'file'))
    error ('gatebox:build_gatebox:noSources', ...
           'build_gatebox: no gatebox sources in %s (expected gatebox.build, gateways/, util/, gatekit/)', srcroot);
  end
  desc = read_description (desc_file);
  if (~exist (outdir, 'dir'))
    mkdir (outdir);
  end
  is_octave = exist ('OCTAVE_VERSION', 'builtin') > 0;
  is_linux = isunix () && ~ismac ();

  % Include folders: the gateways' and each support library's.
  incs = {['-I' fullfile(srcroot, 'gateways')]};
  libnames = fieldnames (desc.libraries);
  for l = 1:numel (libnames)
    dirs = unique (cellfun (@fileparts, desc.libraries.(libnames{l}), 'UniformOutput', false));
    for d = 1:numel (dirs)
      inc = ['-I' fullfile(srcroot, dirs{d})];
      if (~any (strcmp (incs, inc)))
        incs{end+1} = inc;
      end
    end
  end

  % The exactness flags of gatebox.build, for C++ and for C.
  common = strtrim ([desc.flags.exact ' ' desc.flags.gateway ' ' desc.flags.user]);
  if (is_x86_32 (is_octave))
    common = [common ' ' desc.flags.x86_32];
  end
  cxxflags = [desc.flags.cxx ' ' common];
  if (is_octave)
    % mkoctfile reads the compiler flags from the environment: add ours for
    % the duration of the build and put the user's back afterwards.
    old_cxx = getenv ('CXXFLAGS');  old_c = getenv ('CFLAGS');
    restore = onCleanup (@() restore_env (old_cxx, old_c));
    setenv ('CXXFLAGS', [mkoctfile('-p', 'CXXFLAGS') ' ' cxxflags]);
    setenv ('CFLAGS', [mkoctfile('-p', 'CFLAGS') ' ' common]);
  end
  % A folder of its own for the files that give each gateway its mexVersion
  % text (the mex commands cannot pass a quoted text with blanks).
  work = tempname ();
  mkdir (work);
  cleanup_work = onCleanup (@() remove_folder (work));

  built = {};
  for k = 1:numel (desc.gateways)
    g = desc.gateways(k);
    if (~any (strcmp (g.hosts, 'octave')) || (ispc () && strcmp (g.windows, 'no')))
      continue;  % built for the own test host only, or not for this system
    end
    srcs = cellfun (@(s) fullfile (srcroot, s), g.sources, 'UniformOutput', false);
    missing = srcs(cellfun (@(s) ~exist (s, 'file'), srcs));
    if (~isempty (missing))
      fprintf ('  skipped %s: %s is not in this source tree\n', g.name, missing{1});
      continue;
    end
    for l = 1:numel (g.libs)
      if (~isfield (desc.libraries, g.libs{l}))
        error ('gatebox:build_gatebox:badDescription', ...
               'build_gatebox: gateway %s names the library %s, which gatebox.build does not describe', ...
               g.name, g.libs{l});
      end
      lsrc = cellfun (@(s) fullfile (srcroot, s), desc.libraries.(g.libs{l}), 'UniformOutput', false);
      srcs = [srcs, lsrc(:)'];
    end
    if (~isfield (desc.versions, g.version) || ~isfield (desc.entries, g.entry))
      error ('gatebox:build_gatebox:badDescription', ...
             'build_gatebox: gateway %s: unknown version %s or entry kind %s', g.name, g.version, g.entry);
    end
    vfile = fullfile (work, sprintf ('gatebox_mexversion_%d.c', k));
    fid = fopen (vfile, 'w');
    fprintf (fid, '#define GATEBOX_MEX_VERSION "%s"\n#include "mexversion.c"\n', desc.versions.(g.version));
    fclose (fid);
    srcs{end+1} = vfile;
    dest = outdir;
    if (~isempty (g.variant))
      dest = fullfile (outdir, g.variant);
      if (~exist (dest, 'dir'))
        mkdir (dest);
      end
    end
    defines = g.defines;
    if (ispc ())
      defines = [{'GATEBOX_WINDOWS_BEHAVIOUR=1'}, defines];
    elseif (strcmp (g.platform, 'yes'))
      defines = [defines, {'GATEBOX_WINDOWS_BEHAVIOUR=0'}];
    end
    defs = cellfun (@(d) ['-D' d], defines, 'UniformOutput', false);
    map = fullfile (srcroot, desc.entries.(g.entry));
    if (is_octave)
      args = [{'-o', fullfile(dest, [g.name '.mex'])}, incs, defs, srcs];
      if (is_linux)
        args{end+1} = ['-Wl,--version-script=' map];
      end
      [out, status] = mkoctfile ('--mex', args{:});
      if (status ~= 0)
        error ('gatebox:build_gatebox:failed', 'build_gatebox: building %s failed:\n%s', g.name, out);
      end
    else
      args = [{'-outdir', dest, '-output', g.name, ...
               ['CXXFLAGS=$CXXFLAGS ' cxxflags], ['CFLAGS=$CFLAGS ' common]}, incs, defs, srcs];
      if (is_linux)
        args{end+1} = ['LINKEXPORT=-Wl,--version-script,' map];
      end
      try
        mex (args{:});
      catch err
        error ('gatebox:build_gatebox:failed', 'build_gatebox: building %s failed:\n%s', g.name, err.message);
      end
    end
    help_file = fullfile (here, [g.name '.m']);
    if (exist (help_file, 'file') && ~same_folder (dest, here))
      copyfile (help_file, dest);  % help text beside the MEX file
    end
    if (isempty (g.variant))
      built{end+1} = g.name;
    else
      built{end+1} = [g.variant '/' g.name];
    end
    fprintf ('  built %s\n', fullfile (dest, g.name));
  end
  fprintf ('build_gatebox: %d gateways built into %s\n', numel (built), outdir);
end

function desc = read_description (file)
  % The build description (format at the top of gatebox.build): flags,
  % versions and entries as structs of texts, libraries as a struct of
  % source lists, gateways as a struct array in the order of the file.
  desc.flags = struct ('exact', '', 'cxx', '', 'x86_32', '', 'gateway', '', 'user', '');
  desc.versions = struct ();
  desc.entries = struct ();
  desc.libraries = struct ();
  desc.gateways = struct ('name', {}, 'sources', {}, 'libs', {}, 'defines', {}, 'version', {}, ...
                          'entry', {}, 'variant', {}, 'hosts', {}, 'platform', {}, ...
                          'resources', {}, 'windows', {});
  fid = fopen (file, 'r');
  if (fid < 0)
    error ('gatebox:build_gatebox:noSources', 'build_gatebox: cannot read %s', file);
  end
  closer = onCleanup (@() fclose (fid));
  n = 0;
  while (true)
    line = fgetl (fid);
    if (~ischar (line))
      break;
    end
    n = n + 1;
    line = strtrim (line);
    if (isempty (line) || line(1) == '#')
      continue;
    end
    tok = regexp (line, '^([a-z]+)\s+(\S+)\s*(.*)$', 'tokens', 'once');
    if (isempty (tok))
      bad (file, n, 'not a record');
    end
    [kind, name, rest] = deal (tok{1}, tok{2}, strtrim (tok{3}));
    words = regexp (rest, '\S+', 'match');
    switch (kind)
      case 'flags'
        desc.flags.(name) = rest;
      case 'version'
        desc.versions.(name) = rest;
      case 'entry'
        desc.entries.(name) = rest;
      case 'library'
        desc.libraries.(name) = words;
      case 'gateway'
        g = struct ('name', name, 'sources', {{}}, 'libs', {{}}, 'defines', {{}}, 'version', 'default', ...
                    'entry', 'mex', 'variant', '', 'hosts', {{'host', 'octave'}}, 'platform', 'no', ...
                    'resources', 'yes', 'windows', 'yes');
        for w = 1:numel (words)
          kv = regexp (words{w}, '^([a-z]+)=(.+)$', 'tokens', 'once');
          if (isempty (kv) || ~isfield (g, kv{1}) || strcmp (kv{1}, 'name'))
            bad (file, n, sprintf ('unknown or empty field ''%s'' of gateway %s', words{w}, name));
          end
          if (any (strcmp (kv{1}, {'sources', 'libs', 'defines', 'hosts'})))
            g.(kv{1}) = strsplit (kv{2}, ',');
          else
            g.(kv{1}) = kv{2};
          end
        end
        if (isempty (g.sources))
          bad (file, n, sprintf ('gateway %s lists no sources', name));
        end
        desc.gateways(end+1) = g;
      otherwise
        bad (file, n, sprintf ('unknown kind of record ''%s''', kind));
    end
  end
end

function bad (file, n, what)
  error ('gatebox:build_gatebox:badDescription', 'build_gatebox: %s:%d: %s', file, n, what);
end

function tf = is_x86_32 (is_octave)
  % True on 32-bit x86, where the arithmetic is moved from x87 to SSE2.
  if (is_octave)
    tf = ~isempty (regexp (computer (), '^i[3-6]86', 'once'));
  else
    tf = any (strcmp (computer (), {'PCWIN', 'GLNX86'}));
  end
end

function remove_folder (d)
  % The folder holds files only; rmdir (d, 's') would ask in Octave.
  if (exist (d, 'dir'))
    delete (fullfile (d, '*'));
    rmdir (d);
  end
end

function tf = same_folder (a, b)
  % True when the folder names A and B lead to the same folder.
  if (exist ('OCTAVE_VERSION', 'builtin') > 0)
    tf = strcmp (canonicalize_file_name (a), canonicalize_file_name (b));
  else
    tf = strcmp (char (java.io.File (a).getCanonicalPath ()), ...
                 char (java.io.File (b).getCanonicalPath ()));
  end
end

function restore_env (cxx, c)
  vars = {'CXXFLAGS', cxx; 'CFLAGS', c};
  for k = 1:2
    if (isempty (vars{k, 2}))
      unsetenv (vars{k, 1});
    else
      setenv (vars{k, 1}, vars{k, 2});
    end
  end
end
