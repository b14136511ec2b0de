function run_example_test(name, module_dir, examples_dir, data_dir)
% Runs the checks NAME (a test_*.m function of this directory) on the examples of
% EXAMPLES_DIR with the module of MODULE_DIR, in a temporary folder that is also the
% current one, and ends Octave with status 0 when every check passed, 1 otherwise.
% Uses tcheck* of tests/octave.

  addpath(fileparts(mfilename('fullpath')));
  addpath(examples_dir);
  addpath(module_dir);
  tcheck_reset();

  ctx.module_dir = module_dir;
  ctx.examples = examples_dir;
  ctx.data = data_dir;
  ctx.tmp = tempname();
  mkdir(ctx.tmp);
  here = pwd();
  cd(ctx.tmp);

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

  cd(here);
  close('all');
  confirm_recursive_rmdir(false);
  rmdir(ctx.tmp, 's');

  [npass, nfail] = tcheck_summary();
  printf('== %s: %d checks passed, %d failed\n', name, npass, nfail);
  if crashed || nfail > 0 || npass < 2
    exit(1);
  end
  exit(0);
end
