function run_install_test(folder, data_dir)
% The folder that `cmake --install` filled works after addpath alone: the module, its help,
% the examples and their sample data. Ends Octave with status 0 when every check passed.
% Uses tcheck* and reference_ionex of tests/octave.

  addpath(fileparts(mfilename('fullpath')));
  tcheck_reset();
  printf('== installed folder %s\n', folder);
  crashed = false;
  try
    check_folder(folder, data_dir);
  catch err
    crashed = true;
    printf('FAIL the install test stopped with an Octave error: %s\n', err.message);
    for k = 1:numel(err.stack)
      printf('       at %s line %d\n', err.stack(k).name, err.stack(k).line);
    end
  end
  [npass, nfail] = tcheck_summary();
  printf('== installed folder: %d checks passed, %d failed\n', npass, nfail);
  if crashed || nfail > 0 || npass < 2
    exit(1);
  end
  exit(0);
end

function check_folder(folder, data_dir)
  want = {'vornakelstrid_p.mex', 'vornakelstrid_p.m', 'plot_tec_map.m', 'tec_at_station.m', ...
          'read_many_days.m', 'read_archive_parallel.m', 'slant_delay.m', 'regional_cut.m', ...
          fullfile('data', 'codg0080.20i.Z'), fullfile('data', 'jplg0010.17i.gz'), ...
          fullfile('data', 'CODG0440.13I'), fullfile('private', 'sample_dir.m'), ...
          fullfile('private', 'use_gnuplot_without_gui.m')};
  for k = 1:numel(want)
    tcheck(['installed: ' want{k}], isfile(fullfile(folder, want{k})));
  end
  names = {dir(folder).name};
  extra = setdiff(names, [{'.', '..', 'data', 'private', '+ionex'}, want(1:8)]);
  extra = extra(cellfun(@isempty, regexp(extra, '^vornakelstrid_p\.mex')));  % MATLAB's module
  tcheck('nothing else at the top of the folder', isempty(extra), strjoin(names, ' '));

  package = {'read.mex', 'read.m', 'info.mex', 'info.m', 'write.mex', 'write.m', 'Contents.m', 'plot.m', ...
             fullfile('private', 'coastlines_110m.bin'), fullfile('private', 'COASTLINES.md')};
  for k = 1:numel(package)
    tcheck(['installed: +ionex/' package{k}], isfile(fullfile(folder, '+ionex', package{k})));
  end

  tcheck('before addpath the module is not found', isempty(which('vornakelstrid_p')));
  addpath(folder);
  check_ionex_package(folder);
  check_installed_plot('installed', fullfile(folder, '+ionex'));
  found = which('vornakelstrid_p');
  tcheck_equal('after addpath a call reaches the installed MEX file', found, ...
               fullfile(folder, 'vornakelstrid_p.mex'));
  text = evalc('help vornakelstrid_p');
  tcheck('help shows the call forms and the version', ...
         ~isempty(strfind(text, 'vornakelstrid_p(FILE, LOC0, LOC1)')) && ~isempty(strfind(text, 'v2.2')), ...
         text(1:min(end, 200)));

  ref = reference_ionex(fullfile(data_dir, 'CODG0080.20I'));
  maps = vornakelstrid_p(fullfile(folder, 'data', 'codg0080.20i.Z'));
  ok = iscell(maps) && isequal(size(maps), [25 1]);
  for m = 1:25
    ok = ok && isequal(maps{m}, (double(single(ref.maps{m})) * double(single(0.1)))');
  end
  tcheck('installed module on the installed sample: 25 maps equal the file''s numbers', ok);

  tmp = tempname();
  mkdir(tmp);
  [~, ~, used, skipped] = read_many_days([], fullfile(tmp, 'many.png'));
  tcheck_equal('read_many_days defaults to the installed samples', used, ...
               {fullfile(folder, 'data', 'jplg0010.17i.gz'), fullfile(folder, 'data', 'codg0080.20i.Z')});
  tcheck_equal('read_many_days skips the cut-off copy', {skipped.identifier}, {'Vornakelstrid:NoIonexFile'});
  tcheck('read_many_days wrote its PNG', exist(fullfile(tmp, 'many.png'), 'file') == 2);
  confirm_recursive_rmdir(false);
  rmdir(tmp, 's');
end

function check_ionex_package(folder)
% The +ionex package of the installed folder: ionex.read and ionex.info callable after the
% one addpath, their help beside them.
  tcheck_equal('ionex.read is the installed MEX file', which('ionex.read'), fullfile(folder, '+ionex', 'read.mex'));
  M = ionex.read(fullfile(folder, 'data', 'codg0080.20i.Z'), 'Maps', {'tec', 'rms'});
  tcheck_equal('installed ionex.read: TEC and RMS maps of the sample', [size(M.tec) size(M.rms)], [71 73 25 71 73 25]);
  I = ionex.info(fullfile(folder, 'data', 'jplg0010.17i.gz'));
  tcheck_equal('installed ionex.info: the sample''s DCB block', numel(I.dcb(1).satellites.prn), 32);
  text = evalc('help ionex.read');
  tcheck('installed help ionex.read', ~isempty(strfind(text, 'ionex.read(FILES)')), text(1:min(end, 200)));
  try
    ionex.read(fullfile(folder, 'missing.20i'));
    tcheck('installed ionex.read raises ionex:NoFile', false);
  catch err
    tcheck_equal('installed ionex.read raises ionex:NoFile', err.identifier, 'ionex:NoFile');
  end
end
