function run_octave_test(name, module_dir, data_dir)
% Runs one test function of this directory against the module in MODULE_DIR and ends
% Octave with status 0 when every check passed, 1 otherwise.
%
%   octave-cli --norc --eval "addpath('<this dir>'); run_octave_test('test_x', '<module dir>', '<data dir>')"

  addpath(fileparts(mfilename('fullpath')));
  addpath(module_dir);
  tcheck_reset();

  ctx.module_dir = module_dir;
  ctx.data = data_dir;
  ctx.tmp = tempname();
  mkdir(ctx.tmp);

  printf('== %s\n', name);
  found = which('vornakelstrid_p');
  tcheck('module found as a MEX file', numel(found) > 4 && strcmp(found(end-3:end), '.mex'), ...
         sprintf('which: "%s"', found));

  crashed = false;
  try
    feval(name, ctx);
  catch err
    crashed = true;
    printf('FAIL %s stopped with an Octave error: %s\n', name, err.message);
    for k = 1:numel(err.stack)
      printf('       at %s line %d\n', err.stack(k).name, err.stack(k).line);
    end
  end

  confirm_recursive_rmdir(false);
  rmdir(ctx.tmp, 's');

  [npass, nfail] = tcheck_summary();
  printf('== %s: %d checks passed, %d failed\n', name, npass, nfail);
  if crashed || nfail > 0 || npass < 2
    exit(1);
  end
  exit(0);
end
