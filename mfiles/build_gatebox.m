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
  %   The flags keep results exact to the bit: C++17, no floating-point
  %   contraction (-ffp-contract=off), hidden symbols, and on Linux a linker
  %   version script so that a gateway exports only its entry points. On
  %   Windows the gateways get their Windows-build behaviour.
  %
  %   Errors: a source tree without gateways/ (gatebox:build_gatebox:noSources),
  %   a failed compile (gatebox:build_gatebox:failed, with the compiler output).
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
  if (~exist (fullfile (srcroot, 'gateways', 'mexversion.c'), 'file'))
    error ('gatebox:build_gatebox:noSources', ...
           'build_gatebox: no gatebox sources in %s (expected gateways/, util/, gatekit/)', srcroot);
  end
  if (~exist (outdir, 'dir'))
    mkdir (outdir);
  end
  is_octave = exist ('OCTAVE_VERSION', 'builtin') > 0;
  is_linux = isunix () && ~ismac ();
  libs.util = sources_in (srcroot, 'util');
  libs.gatekit = sources_in (srcroot, 'gatekit');
  libs.kernels = sources_in (srcroot, 'kernels');
  incs = {['-I' fullfile(srcroot, 'gateways')], ['-I' fullfile(srcroot, 'util')], ...
          ['-I' fullfile(srcroot, 'gatekit')], ['-I' fullfile(srcroot, 'kernels')]};
  platform = {};
  if (ispc ())
    platform = {'GATEBOX_WINDOWS_BEHAVIOUR=1'};
  end
  if (is_octave)
    % mkoctfile reads the compiler flags from the environment: add ours for
    % the duration of the build and put the user's back afterwards.
    old_cxx = getenv ('CXXFLAGS');  old_c = getenv ('CFLAGS');
    restore = onCleanup (@() restore_env (old_cxx, old_c));
    common = '-O2 -ffp-contract=off -fno-fast-math -fno-math-errno -fvisibility=hidden';
    setenv ('CXXFLAGS', [mkoctfile('-p', 'CXXFLAGS') ' -std=c++17 ' common]);
    setenv ('CFLAGS', [mkoctfile('-p', 'CFLAGS') ' ' common]);
  end

  table = gateway_table (is_linux);
  built = {};
  for k = 1:numel (table)
    g = table(k);
    srcs = cellfun (@(s) fullfile (srcroot, s), g.sources, 'UniformOutput', false);
    missing = srcs(cellfun (@(s) ~exist (s, 'file'), srcs));
    if (~isempty (missing))
      fprintf ('  skipped %s: %s is not in this source tree\n', g.name, missing{1});
      continue;
    end
    for l = 1:numel (g.libs)
      srcs = [srcs, libs.(g.libs{l})];
    end
    srcs{end+1} = fullfile (srcroot, 'gateways', 'mexversion.c');
    dest = outdir;
    if (~isempty (g.subdir))
      dest = fullfile (outdir, g.subdir);
      if (~exist (dest, 'dir'))
        mkdir (dest);
      end
    end
    defs = cellfun (@(d) ['-D' d], [platform, g.defines], 'UniformOutput', false);
    map = fullfile (srcroot, 'gateways', g.map);
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
               'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fvisibility=hidden', ...
               'CFLAGS=$CFLAGS -ffp-contract=off -fvisibility=hidden'}, incs, defs, srcs];
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
    if (isempty (g.subdir))
      built{end+1} = g.name;
    else
      built{end+1} = [g.subdir '/' g.name];
    end
    fprintf ('  built %s\n', fullfile (dest, g.name));
  end
  fprintf ('build_gatebox: %d gateways built into %s\n', numel (built), outdir);
end

function t = gateway_table (is_linux)
  % One row per gateway library, as the CMake build makes them: its name,
  % its own sources below the toolbox root, the support libraries compiled
  % into it, preprocessor definitions, linker version script and output
  % subfolder.  gamma (by-reference entry point) is a Linux build only;
  % the second build of tilearray goes to the subfolder r12.
  t = struct ('name', {}, 'sources', {}, 'libs', {}, 'defines', {}, 'map', {}, 'subdir', {});
  t(end+1) = row ('trigamma',   {'gateways/trigamma.cpp'}, {'util'});
  t(end+1) = row ('shapedraw',  {'gateways/shapedraw.cpp'}, {'util'});
  t(end+1) = row ('trialdraw',  {'gateways/trialdraw.cpp'}, {'util'});
  t(end+1) = row ('drawcounts', {'gateways/drawcounts.cpp'}, {'kernels', 'util'});
  if (is_linux)
    t(end+1) = row ('gamma', {'gateways/gamma.cpp', 'gateways/byref.cpp'}, {'kernels', 'util'}, ...
                    {'GATEBOX_MEX_VERSION_MATLAB5'}, 'fmex.map');
  end
  t(end+1) = row ('uppersubst', {'gateways/uppersubst.cpp', 'gateways/dtrsm.cpp'});
  t(end+1) = row ('lowersubst', {'gateways/lowersubst.cpp', 'gateways/dtrsm.cpp'});
  t(end+1) = row ('backapply',  {'gateways/backapply.cpp', 'gateways/rowsubst.cpp'});
  t(end+1) = row ('tilearray', {'gateways/tilearray.cpp'}, {'gatekit', 'kernels', 'util'});
  t(end+1) = row ('tilearray', {'gateways/tilearray.cpp'}, {'gatekit', 'kernels', 'util'}, ...
                  {'GATEBOX_TILEARRAY_R12=1', 'GATEBOX_MEX_VERSION_R12'}, 'mex.map', 'r12');
  t(end+1) = row ('axisfold',   {'gateways/axisfold.cpp'}, {'kernels', 'util'});
  t(end+1) = row ('tallybins',  {'gateways/tallybins.cpp'}, {'kernels', 'util'});
  t(end+1) = row ('aliascheck', {'gateways/aliascheck.cpp'});
  t(end+1) = row ('opcharge',   {'gateways/opcharge.cpp'});
end

function r = row (name, sources, libs, defines, map, subdir)
  if (nargin < 3) libs = {}; end
  if (nargin < 4) defines = {}; end
  if (nargin < 5) map = 'mex.map'; end
  if (nargin < 6) subdir = ''; end
  r = struct ('name', name, 'sources', {sources}, 'libs', {libs}, 'defines', {defines}, ...
              'map', map, 'subdir', subdir);
end

function s = sources_in (root, lib)
  % Every C++ source of a support library, sorted, as full paths.
  d = dir (fullfile (root, lib, '*.cpp'));
  s = sort ({d.name});
  s = cellfun (@(f) fullfile (root, lib, f), s, 'UniformOutput', false);
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
