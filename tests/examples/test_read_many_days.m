function test_read_many_days(ctx)
% read_many_days joins the values of several files (gzip and compress mixed) into one
% series sorted by epoch, keeps an epoch met twice once, skips files that come back with a
% file error (by identifier), and stops on a wrong call.
  place = [46.88 7.47];
  jpl = fullfile(ctx.data, 'jplg0010.17i.gz');
  code_z = fullfile(ctx.data, 'codg0080.20i.Z');
  [v_jpl, t_jpl] = vornakelstrid_p(jpl, place);
  [v_code, t_code] = vornakelstrid_p(code_z, place);

  % Defaults: JPL 2017-01-01 (.gz), a cut-off copy (skipped), CODE 2020-01-08 (.Z).
  png = fullfile(ctx.tmp, 'many.png');
  [t, tec, used, skipped, fig] = read_many_days([], png);
  tcheck_equal('defaults: two files read, JPL then CODE', used, {jpl, code_z});
  tcheck_equal('defaults: one file skipped', numel(skipped), 1);
  if numel(skipped) == 1
    tcheck_equal('defaults: skipped as no IONEX map file', skipped(1).identifier, ...
                 'Vornakelstrid:NoIonexFile');
    tcheck('defaults: its message names it', ...
           ~isempty(strfind(skipped(1).message, skipped(1).file)), skipped(1).message);
    tcheck('defaults: the cut-off copy is removed afterwards', exist(skipped(1).file, 'file') == 0);
  end
  tcheck_equal('defaults: 13 + 25 epochs, in order', t, [t_jpl; t_code]);
  tcheck_equal('defaults: their values', tec, [v_jpl(:); v_code(:)]);
  axes_list = findobj(fig, 'type', 'axes');
  tcheck_equal('defaults: one panel per day (2017 and 2020 are years apart)', numel(axes_list), 2);
  close(fig);
  check_png('many-days PNG', png, 10, [0 114 189]);

  % The same day from .gz and .Z, a missing file, and a file listed first that comes later:
  % one series of 25 epochs, the first file's values kept.
  code_gz = fullfile(ctx.data, 'codg0080.20i.gz');
  missing = fullfile(ctx.tmp, 'codg0090.20i.Z');
  [t, tec, used, skipped] = read_many_days({code_gz, missing, jpl, code_z}, ...
                                           fullfile(ctx.tmp, 'mixed.png'), place);
  tcheck_equal('mixed: three files read', used, {code_gz, jpl, code_z});
  tcheck_equal('mixed: the missing one skipped by its identifier', ...
               {skipped.identifier}, {'Vornakelstrid:NoFile'});
  tcheck_equal('mixed: 38 distinct epochs, sorted', t, [t_jpl; t_code]);
  tcheck_equal('mixed: values', tec, [v_jpl(:); v_code(:)]);

  % A wildcard pattern.
  copy_dir = fullfile(ctx.tmp, 'days');
  mkdir(copy_dir);
  copyfile(jpl, copy_dir);
  copyfile(code_z, copy_dir);
  [t, ~, used] = read_many_days(fullfile(copy_dir, '*g0*'), fullfile(ctx.tmp, 'glob.png'), place);
  tcheck_equal('pattern: both files found', sort(used), ...
               sort({fullfile(copy_dir, 'codg0080.20i.Z'), fullfile(copy_dir, 'jplg0010.17i.gz')}));
  tcheck_equal('pattern: 38 epochs', numel(t), 38);

  % A wrong call is not skipped: it stops with the module's identifier.
  id = '';
  try
    read_many_days({code_z}, fullfile(ctx.tmp, 'bad.png'), 47);
  catch err
    id = err.identifier;
  end
  tcheck_equal('a location of one number stops with Vornakelstrid:Input', id, 'Vornakelstrid:Input');

  % Nothing readable at all.
  id = '';
  try
    read_many_days({missing}, fullfile(ctx.tmp, 'none.png'), place);
  catch err
    id = err.identifier;
  end
  tcheck_equal('no readable file: an error of its own', id, 'read_many_days:nothing');
end
