function run_build_plan_test(root)
% Runs build_toolbox_plan of ROOT for each platform and compiler build_toolbox supports,
% with zlib placed (by a faked file system and environment) where each platform's users
% install it, and checks the flags and folders the script would use. Ends Octave with
% status 0 when every check passed, 1 otherwise. Uses tcheck* of tests/octave.

  tcheck_reset();
  addpath(root);
  crashed = false;
  try
    check_cases();
    check_given_folders();
    check_missing_zlib();
  catch err
    crashed = true;
    printf('FAIL build plan test stopped with an Octave error: %s\n', err.message);
  end
  [npass, nfail] = tcheck_summary();
  printf('== build_toolbox_plan: %d checks passed, %d failed\n', npass, nfail);
  if crashed || nfail > 0 || npass < 20
    exit(1);
  end
  exit(0);
end

function env = fake_env(files, vars)
% An environment whose only files are FILES and whose variables are VARS (name, value
% pairs). Returns the struct build_toolbox_plan takes, with no zlib option given.
  env = struct('getenv', @(name) value_of(vars, name), ...
               'exists', @(path) any(strcmp(path, files)), ...
               'zlibinclude', '', 'zliblib', '', 'zlibname', '');
end

function v = value_of(vars, name)
% The variable NAME of the name, value pairs VARS, '' when unset. Returns it.
  v = '';
  k = find(strcmp(vars(1:2:end), name), 1);
  if ~isempty(k)
    v = vars{2 * k};
  end
end

function check_cases()
% One row per platform and compiler: where zlib lies, what the plan must say.
  gnu = {'-std=c++17', '-O2', '-ffp-contract=off'};
  rows = {
    % platform, compiler, files, variables, flags, mex argument, include, lib, name, bin
    'windows', 'msvc', {'D:\tools\vcpkg\installed\x64-windows\include\zlib.h'}, {'VCPKG_ROOT', 'D:\tools\vcpkg'}, ...
      {'/std:c++17', '/O2', '/EHsc', '/fp:precise'}, 'COMPFLAGS=$COMPFLAGS /std:c++17 /O2 /EHsc /fp:precise', ...
      'D:\tools\vcpkg\installed\x64-windows\include', 'D:\tools\vcpkg\installed\x64-windows\lib', 'zlib', ...
      'D:\tools\vcpkg\installed\x64-windows\bin'
    'windows', 'msvc', {'C:\Users\a\miniconda3\envs\gnss\Library\include\zlib.h'}, {'CONDA_PREFIX', 'C:\Users\a\miniconda3\envs\gnss'}, ...
      {'/std:c++17', '/O2', '/EHsc', '/fp:precise'}, 'COMPFLAGS=$COMPFLAGS /std:c++17 /O2 /EHsc /fp:precise', ...
      'C:\Users\a\miniconda3\envs\gnss\Library\include', 'C:\Users\a\miniconda3\envs\gnss\Library\lib', 'zlib', ...
      'C:\Users\a\miniconda3\envs\gnss\Library\bin'
    'windows', 'mingw', {'C:\msys64\mingw64\include\zlib.h'}, {}, ...
      gnu, 'CXXFLAGS=$CXXFLAGS -std=c++17 -O2 -ffp-contract=off', ...
      'C:\msys64\mingw64\include', 'C:\msys64\mingw64\lib', 'z', 'C:\msys64\mingw64\bin'
    'macos', 'clang', {'/Library/Developer/CommandLineTools/SDKs/MacOSX.sdk/usr/include/zlib.h'}, {}, ...
      gnu, 'CXXFLAGS=$CXXFLAGS -std=c++17 -O2 -ffp-contract=off', '', '', 'z', ''
    'macos', 'clang', {'/opt/homebrew/opt/zlib/include/zlib.h'}, {}, ...
      gnu, 'CXXFLAGS=$CXXFLAGS -std=c++17 -O2 -ffp-contract=off', ...
      '/opt/homebrew/opt/zlib/include', '/opt/homebrew/opt/zlib/lib', 'z', ''
    'linux', 'gcc', {'/usr/include/zlib.h'}, {}, ...
      gnu, 'CXXFLAGS=$CXXFLAGS -std=c++17 -O2 -ffp-contract=off', '', '', 'z', ''
    'linux', 'gcc', {'/opt/conda/include/zlib.h'}, {'CONDA_PREFIX', '/opt/conda'}, ...
      gnu, 'CXXFLAGS=$CXXFLAGS -std=c++17 -O2 -ffp-contract=off', '/opt/conda/include', '/opt/conda/lib', 'z', ''
  };
  for k = 1:size(rows, 1)
    [platform, compiler, files, vars, flags, mexflags, inc, lib, name, bin] = rows{k, :};
    label = sprintf('%s/%s with %s', platform, compiler, files{1});
    plan = build_toolbox_plan(platform, compiler, fake_env(files, vars));
    tcheck_equal([label ': compiler flags'], plan.cxxflags, flags);
    tcheck_equal([label ': mex argument'], plan.mexflags, mexflags);
    tcheck_equal([label ': zlib include folder'], plan.zlibinclude, inc);
    tcheck_equal([label ': zlib library folder'], plan.zliblib, lib);
    tcheck_equal([label ': zlib library name'], plan.zlibname, name);
    tcheck_equal([label ': zlib DLL folder'], plan.zlibbin, bin);
  end
end

function check_given_folders()
% Folders given as options win over every place searched.
  env = fake_env({'/usr/include/zlib.h'}, {});
  env.zlibinclude = '/home/u/zlib/include';
  env.zliblib = '/home/u/zlib/lib';
  env.zlibname = 'zstatic';
  plan = build_toolbox_plan('linux', 'gcc', env);
  tcheck_equal('given include folder', plan.zlibinclude, '/home/u/zlib/include');
  tcheck_equal('given library folder', plan.zliblib, '/home/u/zlib/lib');
  tcheck_equal('given library name', plan.zlibname, 'zstatic');
end

function check_missing_zlib()
% Without zlib anywhere the script stops, saying what to install on that platform.
  rows = {
    'windows', 'msvc', 'vcpkg install zlib:x64-windows'
    'windows', 'mingw', 'pacman -S mingw-w64-ucrt-x86_64-zlib'
    'macos', 'clang', 'xcode-select --install'
    'linux', 'gcc', 'sudo apt install zlib1g-dev'
  };
  for k = 1:size(rows, 1)
    [platform, compiler, advice] = rows{k, :};
    id = '';
    msg = '';
    try
      build_toolbox_plan(platform, compiler, fake_env({}, {}));
    catch err
      id = err.identifier;
      msg = err.message;
    end
    label = sprintf('%s/%s without zlib', platform, compiler);
    tcheck_equal([label ': identifier'], id, 'build_toolbox:NoZlib');
    tcheck([label ': says what to install'], ~isempty(strfind(msg, advice)), msg);
    tcheck([label ': names the options'], ~isempty(strfind(msg, '''ZlibInclude'' and ''ZlibLib''')), msg);
  end
  id = '';
  try
    build_toolbox_plan('linux', 'icc', fake_env({}, {}));
  catch err
    id = err.identifier;
  end
  tcheck_equal('an unknown compiler is refused', id, 'build_toolbox:Compiler');
end
