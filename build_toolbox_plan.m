function plan = build_toolbox_plan(platform, compiler, env)
%BUILD_TOOLBOX_PLAN  The compiler flags and zlib folders build_toolbox uses.
%
%   PLAN = build_toolbox_plan(PLATFORM, COMPILER, ENV)
%
%   PLATFORM  'windows', 'macos' or 'linux'
%   COMPILER  'msvc' (Microsoft Visual C++), 'mingw' (MinGW-w64), 'clang' or 'gcc'
%   ENV       struct with
%               getenv       @(name) value of an environment variable ('' when unset)
%               exists       @(path) true when the file PATH exists
%               zlibinclude, zliblib, zlibname   the caller's options ('' for none)
%
%   PLAN      struct with
%               cxxflags     compiler flags (C++17, optimised, no fused multiply-add)
%               mexflags     the same as one mex argument (COMPFLAGS for MSVC, else CXXFLAGS)
%               zlibinclude  folder of zlib.h ('' for the compiler's own folders)
%               zliblib      folder of the zlib library ('' for the linker's own)
%               zlibname     zlib's name for -l
%               zlibbin      folder of zlib's DLL, which must be on PATH ('' when none)
%               source       where zlib was found, for the script's message
%
%   Raises build_toolbox:NoZlib, saying what to install, when zlib is found nowhere.
%   build_toolbox calls this with the host's own platform, compiler and environment; the
%   tests call it with each of the four cases.

  if strcmp(compiler, 'msvc')
    % /fp:precise: no contraction into fused multiply-add, so results keep their bits.
    plan.cxxflags = {'/std:c++17', '/O2', '/EHsc', '/fp:precise'};
    plan.mexflags = ['COMPFLAGS=$COMPFLAGS ' strjoin(plan.cxxflags, ' ')];
  elseif any(strcmp(compiler, {'mingw', 'clang', 'gcc'}))
    plan.cxxflags = {'-std=c++17', '-O2', '-ffp-contract=off'};
    plan.mexflags = ['CXXFLAGS=$CXXFLAGS ' strjoin(plan.cxxflags, ' ')];
  else
    error('build_toolbox:Compiler', 'build_toolbox: unknown compiler ''%s''', compiler);
  end
  plan.zlibname = env.zlibname;
  if isempty(plan.zlibname)
    if strcmp(compiler, 'msvc')
      plan.zlibname = 'zlib';   % zlib.lib of vcpkg and conda
    else
      plan.zlibname = 'z';
    end
  end
  plan.zlibbin = '';
  if ~isempty(env.zlibinclude) || ~isempty(env.zliblib)
    plan.zlibinclude = env.zlibinclude;
    plan.zliblib = env.zliblib;
    plan.source = 'the folders given';
    return;
  end
  switch platform
    case 'windows'
      places = windows_places(compiler, env);
    case 'macos'
      places = macos_places(env);
    case 'linux'
      places = linux_places(env);
    otherwise
      error('build_toolbox:Platform', 'build_toolbox: unknown platform ''%s''', platform);
  end
  for k = 1:size(places, 1)
    [name, folder, inc, lib, bin] = places{k, :};
    if env.exists(join_path(platform, folder, 'zlib.h'))
      plan.zlibinclude = inc;
      plan.zliblib = lib;
      plan.zlibbin = bin;
      plan.source = name;
      return;
    end
  end
  error('build_toolbox:NoZlib', '%s', missing_zlib_message(platform, compiler));
end

% ---------------------------------------------------------------------------------------
function places = windows_places(compiler, env)
% Where zlib is installed on Windows, in the order searched: MSYS2 first for MinGW-w64,
% then vcpkg (the triplet of the compiler) and conda. Returns rows of: name, folder that
% holds zlib.h, include and library folders to add, folder of the DLL.
  if strcmp(compiler, 'msvc')
    triplet = 'x64-windows';
  else
    triplet = 'x64-mingw-dynamic';
  end
  places = cell(0, 5);
  if strcmp(compiler, 'mingw')
    for base = {'C:\msys64\ucrt64', 'C:\msys64\mingw64'}
      places(end + 1, :) = prefix_row(['MSYS2 (' base{1} ')'], base{1});
    end
  end
  for root = {env.getenv('VCPKG_ROOT'), 'C:\vcpkg', 'C:\src\vcpkg'}
    if ~isempty(root{1})
      base = [root{1} '\installed\' triplet];
      places(end + 1, :) = prefix_row(['vcpkg (' base ')'], base);
    end
  end
  conda = env.getenv('CONDA_PREFIX');
  if ~isempty(conda)
    places(end + 1, :) = prefix_row(['conda (' conda ')'], [conda '\Library']);
  end
end

function row = prefix_row(name, base)
% One Windows place: BASE\include, BASE\lib, BASE\bin. Returns the row.
  row = {name, [base '\include'], [base '\include'], [base '\lib'], [base '\bin']};
end

function places = macos_places(env)
% The SDK of the Command Line Tools or of Xcode (zlib comes with it and the compiler finds
% it by itself: nothing to add), Homebrew's zlib (Apple silicon, then Intel), then an
% activated conda environment's. Returns rows as above.
  brew_arm = '/opt/homebrew/opt/zlib';
  brew_intel = '/usr/local/opt/zlib';
  places = {
    'the macOS SDK (Command Line Tools)', '/Library/Developer/CommandLineTools/SDKs/MacOSX.sdk/usr/include', '', '', ''
    'the macOS SDK (Xcode)', '/Applications/Xcode.app/Contents/Developer/Platforms/MacOSX.platform/Developer/SDKs/MacOSX.sdk/usr/include', '', '', ''
    'Homebrew (/opt/homebrew)', [brew_arm '/include'], [brew_arm '/include'], [brew_arm '/lib'], ''
    'Homebrew (/usr/local)', [brew_intel '/include'], [brew_intel '/include'], [brew_intel '/lib'], ''
  };
  conda = env.getenv('CONDA_PREFIX');
  if ~isempty(conda)
    places(end + 1, :) = {['conda (' conda ')'], [conda '/include'], [conda '/include'], [conda '/lib'], ''};
  end
end

function places = linux_places(env)
% The system's zlib (Debian zlib1g-dev, Fedora zlib-devel; the compiler's own folders),
% then an activated conda environment's. Returns rows as above.
  places = {'the system (/usr/include)', '/usr/include', '', '', ''};
  conda = env.getenv('CONDA_PREFIX');
  if ~isempty(conda)
    places(end + 1, :) = {['conda (' conda ')'], [conda '/include'], [conda '/include'], [conda '/lib'], ''};
  end
end

% ---------------------------------------------------------------------------------------
function msg = missing_zlib_message(platform, compiler)
% What to install when zlib is found nowhere. Returns the message.
  switch platform
    case 'windows'
      if strcmp(compiler, 'mingw')
        how = ['install it with MSYS2 (pacman -S mingw-w64-ucrt-x86_64-zlib) or vcpkg ' ...
               '(vcpkg install zlib:x64-mingw-dynamic, with VCPKG_ROOT set)'];
      else
        how = ['install it with vcpkg (vcpkg install zlib:x64-windows, with VCPKG_ROOT set) ' ...
               'or conda (conda install zlib, from an activated environment)'];
      end
    case 'macos'
      how = 'install the Command Line Tools (xcode-select --install) or Homebrew''s zlib (brew install zlib)';
    otherwise
      how = 'install zlib''s development files (Debian/Ubuntu: sudo apt install zlib1g-dev; Fedora: sudo dnf install zlib-devel)';
  end
  msg = ['build_toolbox: zlib (zlib.h and its library) not found; ' how ...
         ', or give its folders with ''ZlibInclude'' and ''ZlibLib''.'];
end

function p = join_path(platform, folder, name)
% FOLDER/NAME with the platform's separator. Returns the path.
  if strcmp(platform, 'windows')
    p = [folder '\' name];
  else
    p = [folder '/' name];
  end
end
