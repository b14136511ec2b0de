function run_toolbox_test(root, data_dir)
% Runs build_toolbox of ROOT into a temporary folder, checks the modules it made with the
% files of DATA_DIR, and ends Octave with status 0 when every check passed, 1 otherwise.
% Uses tcheck* of tests/octave.

  tcheck_reset();
  out = tempname();
  printf('== build_toolbox into %s\n', out);
  crashed = false;
  try
    addpath(root);
    check_refusals();
    [out_dir, built] = build_toolbox('OutDir', out);
    addpath(out_dir);
    check_toolbox(out_dir, built, data_dir);
  catch err
    crashed = true;
    printf('FAIL build_toolbox test stopped with an Octave error: %s\n', err.message);
    for k = 1:numel(err.stack)
      printf('       at %s line %d\n', err.stack(k).name, err.stack(k).line);
    end
  end
  if exist(out, 'dir')
    confirm_recursive_rmdir(false);
    rmdir(out, 's');
  end
  [npass, nfail] = tcheck_summary();
  printf('== build_toolbox: %d checks passed, %d failed\n', npass, nfail);
  if crashed || nfail > 0 || npass < 2
    exit(1);
  end
  exit(0);
end

function check_refusals()
% Options the script does not know, or given without a value, are refused before anything
% is compiled.
  rows = {{'NoSuchOption', 1}, {'OutDir'}, {42, 'x'}};
  for k = 1:numel(rows)
    id = '';
    try
      build_toolbox(rows{k}{:});
    catch err
      id = err.identifier;
    end
    tcheck_equal(sprintf('options %s refused', describe_value(rows{k})), id, 'build_toolbox:Options');
  end
end

function check_toolbox(out_dir, built, data_dir)
% The modules the script made, found from their folder, with help, reading a real file.
  tcheck('vornakelstrid_p is among the modules built', ...
         any(strcmp(built, fullfile(out_dir, 'vornakelstrid_p.mex'))), strjoin(built', ', '));
  found = which('vornakelstrid_p');
  tcheck_equal('vornakelstrid_p resolves to the module the script built', found, ...
               fullfile(out_dir, 'vornakelstrid_p.mex'));
  tcheck('its help file lies beside it', ~isempty(strfind(help('vornakelstrid_p'), 'IONEX')), '');

  % Every module of the package folder is called as ionex.<name> and has its help.
  for k = 1:numel(built)
    [folder, name] = fileparts(built{k});
    if strcmp(folder, fullfile(out_dir, '+ionex'))
      tcheck(sprintf('ionex.%s resolves to its module and has help', name), ...
             strcmp(which(['ionex.' name]), built{k}) && ~isempty(help(['ionex.' name])), ...
             sprintf('which: "%s"', which(['ionex.' name])));
    end
  end

  % The product of the README's worked example, in its Unix-compress form.
  file = fullfile(data_dir, 'codg0080.20i.Z');
  [tec, t, lat, lon] = vornakelstrid_p(file);
  tcheck_equal('whole grid: 25 maps', size(tec), [25 1]);
  tcheck_equal('  of 73 longitudes by 71 latitudes', size(tec{13}), [73 71]);
  tcheck_equal('  first epoch 2020-01-08', t(1), datenum(2020, 1, 8));
  tcheck_equal('  axes', [lat(1) lat(end) lon(1) lon(end)], [87.5 -87.5 -180 180]);
  tcheck('  map 13 at 47.5 N 5 E is 5.5 TECU', abs(tec{13}(38, 17) - 5.5) < 1e-6, ...
         sprintf('%.9g', tec{13}(38, 17)));
  % The package functions the script built read the same maps; at a node and a map epoch the
  % interpolation gives the node's value.
  M = ionex.read(file);
  tcheck_equal('ionex.read: 25 TEC and 25 RMS maps of 71 by 73', [size(M.tec) size(M.rms)], ...
               [71 73 25 71 73 25]);
  tcheck('  TEC map 13 is vornakelstrid_p''s, transposed', ...
         max(max(abs(M.tec(:, :, 13) - tec{13}'))) < 1e-6, '');
  I = ionex.info(file);
  tcheck_equal('ionex.info: the header''s count, no maps', {I.num_maps, isfield(I, 'tec')}, {25, false});
  tcheck_equal('ionex.interp at node 47.5 N 5 E, map 13', ...
               ionex.interp(M, M.time(13), 47.5, 5, 'Method', 'linear'), M.tec(17, 38, 13));
  d = ionex.delay(M, M.time(13), [47.5 5], 0, 90);
  tcheck('ionex.delay at zenith: 40.3e16/f^2 x VTEC', ...
         abs(d - 40.3e16 / 1575.42e6^2 * M.tec(17, 38, 13)) < 1e-9, sprintf('%.12g', d));
  written = ionex.write(M, [tempname() '.20i.gz']);
  W = ionex.read(written);
  delete(written);
  tcheck_equal('ionex.write: the maps read back from a .gz written', {W.tec, W.rms, W.time}, {M.tec, M.rms, M.time});
  [v, ~, plat, plon, sat, rx] = vornakelstrid_p(file, [46.88 7.47], 'ZIMM');
  tcheck('point: 25 values, the first 3.7093 TECU', numel(v) == 25 && abs(v(1) - 3.7093) < 5e-5, ...
         sprintf('%.6f', v(1)));
  got = [plat plon sat(1) rx];   % the node carries single precision
  tcheck('  node and DCBs', max(abs(got - [46.9 7.5 -7.615 -11.991])) < 1e-6, mat2str(got, 17));
  check_installed_plot('toolbox', fullfile(out_dir, '+ionex'));
  r = vornakelstrid_p(fullfile(data_dir, 'no-such-file.20i'));
  tcheck('a missing file gives the error result', is_error_result(r) && strcmp(r{2}, 'Vornakelstrid:NoFile'), ...
         describe_value(r));
end
