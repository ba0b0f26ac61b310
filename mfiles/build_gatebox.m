function built = build_gatebox (outdir)
  %BUILD_GATEBOX  Compile every gatebox gateway with the host's own mex command.
  %   BUILD_GATEBOX compiles each gateway from the toolbox sources into this
  %   folder, beside its help text, using the host's MEX compiler (mex in
  %   MATLAB, mex/mkoctfile in GNU Octave), and reports what it built.
  %   BUILD_GATEBOX(OUTDIR) writes the MEX files to OUTDIR instead.
  %   BUILT = BUILD_GATEBOX(...) returns the names of the gateways built.
  %
  %   The flags keep results exact to the bit: C++17, no floating-point
  %   contraction (-ffp-contract=off), hidden symbols, and on Linux a linker
  %   version script so that a gateway exports only its entry points.
  %
  %   Example:
  %      build_gatebox;  trigamma(1)
  %
  %   See also MEX, MKOCTFILE, GATEBOX_DEMO.
  here = fileparts (mfilename ('fullpath'));
  root = fileparts (here);
  if (nargin < 1 || isempty (outdir))
    outdir = here;
  end
  if (~exist (outdir, 'dir'))
    mkdir (outdir);
  end
  is_octave = exist ('OCTAVE_VERSION', 'builtin') > 0;
  table = gateway_table ();
  built = {};
  for k = 1:numel (table)
    g = table(k);
    dest = outdir;
    if (~isempty (g.subdir))
      dest = fullfile (outdir, g.subdir);
      if (~exist (dest, 'dir'))
        mkdir (dest);
      end
    end
    srcs = cellfun (@(s) fullfile (root, s), [g.sources, {'gateways/mexversion.c'}], ...
                    'UniformOutput', false);
    incs = {['-I' fullfile(root, 'gateways')], ['-I' fullfile(root, 'util')], ...
            ['-I' fullfile(root, 'gatekit')]};
    defs = cellfun (@(d) ['-D' d], g.defines, 'UniformOutput', false);
    map = fullfile (root, 'gateways', g.map);
    if (is_octave)
      flags = '-std=c++17 -O2 -ffp-contract=off -fvisibility=hidden';
      setenv ('CXXFLAGS', [mkoctfile('-p', 'CXXFLAGS') ' ' flags]);
      setenv ('CFLAGS', [mkoctfile('-p', 'CFLAGS') ' -O2 -ffp-contract=off -fvisibility=hidden']);
      args = [{'-o', fullfile(dest, [g.name '.mex'])}, incs, defs, ...
              {['-Wl,--version-script=' map]}, srcs];
      [out, status] = mkoctfile ('--mex', args{:});
      if (status ~= 0)
        error ('gatebox:build_gatebox:failed', 'building %s failed:\n%s', g.name, out);
      end
    else
      args = [{'-outdir', dest, '-output', g.name, ...
               'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fvisibility=hidden', ...
               'CFLAGS=$CFLAGS -ffp-contract=off -fvisibility=hidden'}, incs, defs, srcs];
      if (isunix () && ~ismac ())
        args{end+1} = ['LDFLAGS=$LDFLAGS -Wl,--version-script=' map];
      end
      mex (args{:});
    end
    help_file = fullfile (here, [g.name '.m']);
    if (exist (help_file, 'file') && ~strcmp (dest, here))
      copyfile (help_file, dest);  % help text beside the MEX file
    end
    built{end+1} = fullfile (g.subdir, g.name);
    fprintf ('  built %s\n', fullfile (dest, g.name));
  end
  fprintf ('build_gatebox: %d gateways built into %s\n', numel (built), outdir);
end

function t = gateway_table ()
  % One row per gateway library: its name, sources below the toolbox root,
  % preprocessor definitions, linker version script and output subfolder.
  t = struct ('name', {}, 'sources', {}, 'defines', {}, 'map', {}, 'subdir', {});
  t(end+1) = row ('trigamma', {'gateways/trigamma.cpp', 'util/special.cpp'});
  t(end+1) = row ('tilearray', {'gateways/tilearray.cpp', 'gatekit/gatekit.cpp'});
  t(end+1) = row ('tilearray', {'gateways/tilearray.cpp', 'gatekit/gatekit.cpp'}, ...
                  {'GATEBOX_TILEARRAY_R12=1', 'GATEBOX_MEX_VERSION_R12'}, 'mex.map', 'r12');
  if (isunix () && ~ismac ())  % the by-reference gamma gateway: Linux only
    t(end+1) = row ('gamma', {'gateways/gamma.cpp', 'gateways/byref.cpp'}, ...
                    {'GATEBOX_MEX_VERSION_MATLAB5'}, 'fmex.map');
  end
end

function r = row (name, sources, defines, map, subdir)
  if (nargin < 3) defines = {}; end
  if (nargin < 4) map = 'mex.map'; end
  if (nargin < 5) subdir = ''; end
  r = struct ('name', name, 'sources', {sources}, 'defines', {defines}, 'map', map, 'subdir', subdir);
end
