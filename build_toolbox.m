function [out_dir, built] = build_toolbox(varargin)
%BUILD_TOOLBOX  Compile vornakelstrid_p and the +ionex functions with this host's mex.
%
%   build_toolbox
%   build_toolbox('OutDir', FOLDER, ...)
%   [OUT_DIR, BUILT] = build_toolbox(...)
%
%   Runs in MATLAB or GNU Octave from any folder. Compiles every MEX function of the
%   toolbox with the host's own mex command (in Octave, mex calls mkoctfile --mex),
%   links zlib (and ISA-L where it is found), and puts the modules with their help files
%   into one folder, with the +ionex package folder beside vornakelstrid_p (holding also
%   ionex.plot, an M-file, and the coastline data it draws). Prints the
%   folder to add with addpath. Returns that folder and the list of modules built (paths).
%
%   Options (name-value pairs, names in any case):
%     'OutDir'       output folder                          <this folder>/toolbox
%     'ZlibInclude'  folder that holds zlib.h               (compiler default)
%     'ZlibLib'      folder that holds the zlib library     (linker default)
%     'ZlibName'     zlib's library name for -l             'z' ('zlib' with MSVC)
%     'Isal'         'auto', true or false: inflate gzip with ISA-L
%                    ('auto': when isa-l/igzip_lib.h and the library are found)  'auto'
%     'IsalInclude'  folder that holds isa-l/igzip_lib.h    (searched)
%     'IsalLib'      folder that holds the isal library     (searched)
%     'Verbose'      true shows every compiler command      false
%
%   zlib is searched where it is usually installed (build_toolbox_plan): on Windows in
%   vcpkg (VCPKG_ROOT, C:\vcpkg), an activated conda environment and, for MinGW-w64, MSYS2;
%   on macOS in the SDK and Homebrew; on Linux in the system and conda. When it is found
%   nowhere the error says what to install. The folder with zlib's DLL must be on PATH
%   when the modules run.

  opts = parse_options(varargin);
  root = fileparts(mfilename('fullpath'));
  src_gateway = fullfile(root, 'src', 'gateway');
  src_core = fullfile(root, 'src', 'ionex');
  if isempty(opts.outdir)
    opts.outdir = fullfile(root, 'toolbox');
  end
  out_dir = absolute_path(opts.outdir);

  entries = mex_entries();
  check_sources(entries, src_gateway);
  plan = build_toolbox_plan(host_platform(), host_compiler(), host_environment(opts));
  fprintf('build_toolbox: zlib of %s\n', plan.source);
  flags = [compile_flags(src_core, src_gateway, plan), library_flags(opts, plan)];
  libs = flags(strncmp(flags, '-l', 2) | strncmp(flags, '-L', 2));
  flags = flags(~(strncmp(flags, '-l', 2) | strncmp(flags, '-L', 2)));
  if opts.verbose
    flags = [{'-v'}, flags];
  end

  % The core is compiled once, into a scratch folder, and linked into every module.
  obj_dir = tempname();
  mkdir(obj_dir);
  cleanup = onCleanup(@() remove_folder(obj_dir));
  objects = compile_core(src_core, obj_dir, flags, plan);

  ensure_folder(out_dir);
  built = cell(size(entries, 1), 1);
  for k = 1:size(entries, 1)
    [name, folder, sources, help_file] = entries{k, :};
    dest = fullfile(out_dir, folder);
    ensure_folder(dest);
    sources = cellfun(@(f) fullfile(src_gateway, f), sources, 'UniformOutput', false);
    fprintf('build_toolbox: %s\n', qualified_name(name, folder));
    built{k} = link_module(name, dest, sources, objects, flags, libs, plan);
    copyfile(fullfile(src_gateway, help_file), dest);
  end

  % `help ionex` in MATLAB lists the package from its Contents.m.
  copyfile(fullfile(src_gateway, 'ionex_package', '+ionex', 'Contents.m'), fullfile(out_dir, '+ionex'));
  % ionex.plot is a plain M-file; it draws the coastline data of its private/ folder.
  copy_plain_functions(fullfile(src_gateway, 'ionex_package', '+ionex'), fullfile(out_dir, '+ionex'));

  fprintf('build_toolbox: %d modules built in %s\n', numel(built), out_dir);
  fprintf('To use them:  addpath(''%s'')\n', out_dir);
end

% ---------------------------------------------------------------------------------------
function entries = mex_entries()
% The MEX functions of the toolbox, one row each: name, folder inside the output ('' or
% '+ionex'), sources and help file (paths below src/gateway: vornakelstrid/ holds
% vornakelstrid_p's gateway, ionex_package/ the +ionex entries). Every module is also
% linked with the whole IONEX core (every .cpp of the layer folders of src/ionex).
  vornakelstrid_sources = strcat('vornakelstrid/', {'vornakelstrid.cpp', 'arguments.cpp', ...
                           'epochs.cpp', 'error_result.cpp', 'map_values.cpp', 'window_request.cpp'});
  % What both families use: text between the host and the gateways (UTF-8 inside), and the
  % watch for Ctrl-C during a read.
  both_families = {'shared/host_text.cpp', 'shared/host_interrupt.cpp'};
  vornakelstrid_sources = [vornakelstrid_sources, both_families];
  % What every +ionex function shares: reading the arguments and the struct of a file's
  % contents, file patterns, the progress line, raising errors, decoding the queries.
  ionex_shared = strcat('ionex_package/', {'contents_struct.cpp', 'file_pattern.cpp', ...
                  'file_pattern_posix.cpp', 'file_pattern_windows.cpp', ...
                  'gateway_error.cpp', 'read_call.cpp', 'progress_line.cpp', 'read_arguments.cpp', ...
                  'query_arguments.cpp', 'write_struct.cpp', 'write_arguments.cpp'});
  ionex_shared = [ionex_shared, both_families];
  help_of = @(name) fullfile('ionex_package', '+ionex', name);
  entries = {
    'vornakelstrid_p', '', vornakelstrid_sources, fullfile('vornakelstrid', 'vornakelstrid_p.m')
    'read', '+ionex', [{'ionex_package/ionex_read.cpp'}, ionex_shared], help_of('read.m')
    'info', '+ionex', [{'ionex_package/ionex_info.cpp'}, ionex_shared], help_of('info.m')
    'interp', '+ionex', [{'ionex_package/ionex_interp.cpp'}, ionex_shared], help_of('interp.m')
    'delay', '+ionex', [{'ionex_package/ionex_delay.cpp'}, ionex_shared], help_of('delay.m')
    'write', '+ionex', [{'ionex_package/ionex_write.cpp'}, ionex_shared], help_of('write.m')
  };
end

% ---------------------------------------------------------------------------------------
function copy_plain_functions(src, dest)
% Copies the package's functions written in M (plot.m) and its private/ folder (their data)
% from SRC to DEST. Returns nothing.
  copyfile(fullfile(src, 'plot.m'), dest);
  ensure_folder(fullfile(dest, 'private'));
  copyfile(fullfile(src, 'private', '*'), fullfile(dest, 'private'));
end

% ---------------------------------------------------------------------------------------
function opts = parse_options(args)
% Reads the name-value pairs of the call.
% Returns the options, with defaults where the call gives none.
  opts = struct('outdir', '', 'zlibinclude', '', 'zliblib', '', 'zlibname', '', ...
                'isal', 'auto', 'isalinclude', '', 'isallib', '', 'verbose', false);
  if mod(numel(args), 2) ~= 0
    error('build_toolbox:Options', 'build_toolbox: options come in name-value pairs');
  end
  for k = 1:2:numel(args)
    if ~ischar(args{k}) || ~isfield(opts, lower(args{k}))
      error('build_toolbox:Options', 'build_toolbox: option %d is not one of the names in help build_toolbox', (k + 1) / 2);
    end
    name = lower(args{k});
    opts.(name) = args{k + 1};
  end
end

% ---------------------------------------------------------------------------------------
function check_sources(entries, src_gateway)
% Checks that every source and help file of the table exists.
% Returns nothing; raises build_toolbox:MissingSource naming the first one missing.
  for k = 1:size(entries, 1)
    files = [entries{k, 3}, entries(k, 4)];
    for f = 1:numel(files)
      if ~exist(fullfile(src_gateway, files{f}), 'file')
        error('build_toolbox:MissingSource', 'build_toolbox: %s of %s not found in %s', ...
              files{f}, entries{k, 1}, src_gateway);
      end
    end
  end
end

% ---------------------------------------------------------------------------------------
function flags = compile_flags(src_core, src_gateway, plan)
% The include folders and the compiler settings of the plan (C++17, no fused multiply-add).
% Returns mex arguments.
  flags = {['-I' src_core], ['-I' src_gateway]};
  if exist('OCTAVE_VERSION', 'builtin')  % GNU Octave; else MATLAB
    % mkoctfile takes compiler flags from the environment (set around each call).
    return;
  end
  flags{end + 1} = plan.mexflags;
end

% ---------------------------------------------------------------------------------------
function p = host_platform()
% The platform this host runs on. Returns 'windows', 'macos' or 'linux'.
  if ispc()
    p = 'windows';
  elseif ismac()
    p = 'macos';
  else
    p = 'linux';
  end
end

function c = host_compiler()
% The C++ compiler mex uses here: MATLAB's selected one, or the one mkoctfile calls.
% Returns 'msvc', 'mingw', 'clang' or 'gcc'.
  if exist('OCTAVE_VERSION', 'builtin')  % GNU Octave; else MATLAB
    name = lower(strtrim(mkoctfile('-p', 'CXX')));
  else
    cfg = mex.getCompilerConfigurations('C++', 'Selected');
    name = '';
    if ~isempty(cfg)
      name = lower([cfg(1).Manufacturer ' ' cfg(1).ShortName ' ' cfg(1).Name]);
    end
  end
  if ~isempty(strfind(name, 'microsoft')) || ~isempty(strfind(name, 'msvc'))
    c = 'msvc';
  elseif ispc()
    c = 'mingw';     % MATLAB's MinGW-w64, and Octave's own compiler on Windows
  elseif ismac() || ~isempty(strfind(name, 'clang'))
    c = 'clang';
  else
    c = 'gcc';
  end
end

function env = host_environment(opts)
% What build_toolbox_plan asks of this host: its environment and files, and the options.
% Returns the struct.
  env = struct('getenv', @getenv, 'exists', @(f) exist(f, 'file') == 2, ...
               'zlibinclude', opts.zlibinclude, 'zliblib', opts.zliblib, 'zlibname', opts.zlibname);
end

% ---------------------------------------------------------------------------------------
function flags = library_flags(opts, plan)
% zlib's folders of the plan and, where chosen or found, ISA-L.
% Returns their -I, -L, -l and -D arguments for mex.
  flags = {};
  if ~isempty(plan.zlibinclude)
    flags{end + 1} = ['-I' plan.zlibinclude];
  end
  if ~isempty(plan.zliblib)
    flags{end + 1} = ['-L' plan.zliblib];
  end
  flags{end + 1} = ['-l' plan.zlibname];
  if ~isempty(plan.zlibbin)
    fprintf('build_toolbox: %s must be on PATH when the modules run (zlib''s DLL)\n', plan.zlibbin);
  end
  if ~exist('OCTAVE_VERSION', 'builtin')
    % MATLAB's interrupt check (Ctrl-C during a read), utIsInterruptPending, is in libut.
    flags{end + 1} = '-lut';
  end

  [use_isal, isal_inc, isal_lib] = find_isal(opts);
  if use_isal
    fprintf('build_toolbox: gzip input inflated with ISA-L\n');
    flags{end + 1} = '-DIONEX_WITH_ISAL=1';
    if ~isempty(isal_inc)
      flags{end + 1} = ['-I' isal_inc];
    end
    if ~isempty(isal_lib)
      flags{end + 1} = ['-L' isal_lib];
    end
    flags{end + 1} = '-lisal';
  else
    fprintf('build_toolbox: gzip input inflated with zlib\n');
  end
end

% ---------------------------------------------------------------------------------------
function [use, inc, lib] = find_isal(opts)
% Decides whether ISA-L is used: never for 'Isal' false, always for true (the header and
% library must then be found), when both are found for 'auto'. Returns the decision and
% the folders to add (empty for the compiler's and linker's own folders).
  inc = '';
  lib = '';
  use = false;
  if isequal(opts.isal, false) || isequal(opts.isal, 0)
    return;
  end
  prefixes = {'/usr', '/usr/local', '/opt/homebrew', '/opt/local'};
  conda = getenv('CONDA_PREFIX');
  if ~isempty(conda)
    prefixes = [{conda, fullfile(conda, 'Library')}, prefixes];
  end
  inc_dirs = [{opts.isalinclude}, cellfun(@(p) fullfile(p, 'include'), prefixes, 'UniformOutput', false)];
  lib_dirs = {opts.isallib};
  for p = 1:numel(prefixes)
    lib_dirs = [lib_dirs, {fullfile(prefixes{p}, 'lib'), fullfile(prefixes{p}, 'lib64')}];
    multiarch = dir(fullfile(prefixes{p}, 'lib', '*-linux-gnu'));
    lib_dirs = [lib_dirs, cellfun(@(d) fullfile(prefixes{p}, 'lib', d), {multiarch.name}, 'UniformOutput', false)];
  end
  inc_found = first_with(inc_dirs, {fullfile('isa-l', 'igzip_lib.h')});
  lib_found = first_with(lib_dirs, {'libisal.so', 'libisal.dylib', 'libisal.a', 'isal.lib', 'libisal.lib'});
  if isempty(inc_found) || isempty(lib_found)
    if isequal(opts.isal, true) || isequal(opts.isal, 1)
      error('build_toolbox:NoIsal', ['build_toolbox: ISA-L asked for but isa-l/igzip_lib.h ' ...
            'or the isal library not found; give ''IsalInclude'' and ''IsalLib''']);
    end
    return;
  end
  use = true;
  % Folders the compiler and linker search anyway are not repeated.
  if ~any(strcmp(inc_found, {'/usr/include', '/usr/local/include'}))
    inc = inc_found;
  end
  if isempty(regexp(lib_found, '^/usr/(local/)?lib(64)?(/[^/]*-linux-gnu)?$', 'once'))
    lib = lib_found;
  end
end

% ---------------------------------------------------------------------------------------
function found = first_with(dirs, names)
% Looks through DIRS (empty entries skipped) for one of the files NAMES.
% Returns the first folder that holds one, or '' when none does.
  found = '';
  for d = 1:numel(dirs)
    if isempty(dirs{d})
      continue;
    end
    for n = 1:numel(names)
      if exist(fullfile(dirs{d}, names{n}), 'file')
        found = dirs{d};
        return;
      end
    end
  end
end

% ---------------------------------------------------------------------------------------
function objects = compile_core(src_core, obj_dir, flags, plan)
% Compiles every .cpp of the core into OBJ_DIR (mex -c writes into the current folder).
% Returns the object files' paths.
  sources = {};
  for layer = {'common', 'input', 'keyword_reader', 'format_reader', 'queries', 'writer'}
    listing = dir(fullfile(src_core, layer{1}, '*.cpp'));
    sources = [sources, cellfun(@(f) fullfile(src_core, layer{1}, f), {listing.name}, ...
                                'UniformOutput', false)];
  end
  fprintf('build_toolbox: compiling the IONEX core (%d sources)\n', numel(sources));
  here = pwd();
  back = onCleanup(@() cd(here));
  cd(obj_dir);
  run_mex([{'-c'}, flags, sources], plan);
  objects = {};
  for ext = {'*.o', '*.obj'}
    found = dir(fullfile(obj_dir, ext{1}));
    objects = [objects, cellfun(@(f) fullfile(obj_dir, f), {found.name}, 'UniformOutput', false)];
  end
  if numel(objects) ~= numel(sources)
    error('build_toolbox:Compile', 'build_toolbox: %d core sources gave %d object files', ...
          numel(sources), numel(objects));
  end
end

% ---------------------------------------------------------------------------------------
function module = link_module(name, dest, sources, objects, flags, libs, plan)
% Builds module NAME in folder DEST from its sources and the core objects.
% Returns the path of the module.
  unload(name, dest);
  if exist('OCTAVE_VERSION', 'builtin')  % GNU Octave; else MATLAB
    run_mex([flags, {'-output', fullfile(dest, name)}, sources, objects, libs], plan);
    module = fullfile(dest, [name '.mex']);
  else
    run_mex([flags, {'-outdir', dest, '-output', name}, sources, objects, libs], plan);
    module = fullfile(dest, [name '.' mexext()]);
  end
  if ~exist(module, 'file')
    error('build_toolbox:Link', 'build_toolbox: %s was not made', module);
  end
end

% ---------------------------------------------------------------------------------------
function run_mex(args, plan)
% Calls the host's mex with ARGS; in Octave with the plan's flags (C++17, no fused
% multiply-add) added to mkoctfile's for the length of the call. Returns nothing; mex
% raises its own errors.
  if exist('OCTAVE_VERSION', 'builtin')  % GNU Octave; else MATLAB
    saved = getenv('CXXFLAGS');
    restore = onCleanup(@() setenv('CXXFLAGS', saved));
    base = saved;
    if isempty(base)
      base = strtrim(mkoctfile('-p', 'CXXFLAGS'));
    end
    setenv('CXXFLAGS', [base ' ' strjoin(plan.cxxflags, ' ')]);
  end
  mex(args{:});
end

% ---------------------------------------------------------------------------------------
function unload(name, dest)
% Releases a loaded copy of module NAME of folder DEST, so that the host lets it be
% replaced. Returns nothing.
  [~, folder] = fileparts(dest);
  try
    clear(qualified_name(name, folder));
  catch
    % nothing loaded under that name
  end
end

function q = qualified_name(name, folder)
% The name a user calls: ionex.read for read in +ionex, NAME itself outside a package.
% Returns the name.
  if strncmp(folder, '+', 1)
    q = [folder(2:end) '.' name];
  else
    q = name;
  end
end

function ensure_folder(d)
% Makes folder D unless it exists. Returns nothing.
  if ~exist(d, 'dir')
    mkdir(d);
  end
end

function remove_folder(d)
% Removes folder D with everything in it, when it exists. Returns nothing.
  if exist(d, 'dir')
    if exist('OCTAVE_VERSION', 'builtin')  % GNU Octave; else MATLAB
      confirm_recursive_rmdir(false, 'local');
    end
    rmdir(d, 's');
  end
end

function p = absolute_path(p)
% Makes P absolute: a relative path is taken from the current folder.
% Returns the path.
  if ~(strncmp(p, '/', 1) || strncmp(p, '\', 1) || (numel(p) > 1 && p(2) == ':'))
    p = fullfile(pwd(), p);
  end
end
