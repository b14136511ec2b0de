function run_package_test(archive, data_dir)
% Installs the package ARCHIVE with `pkg install` into a temporary prefix, loads it, checks
% the module it built on the files of DATA_DIR, and uninstalls it. Package prefixes and
% lists point into the temporary folder before anything is installed, so the user's own
% packages are neither seen nor changed. Ends Octave with status 0 when every check
% passed, 1 otherwise. Uses tcheck* and reference_ionex of tests/octave.

  addpath(fileparts(mfilename('fullpath')));
  tcheck_reset();
  tmp = tempname();
  mkdir(tmp);
  printf('== package %s\n', archive);

  crashed = false;
  try
    check_package(archive, data_dir, tmp);
  catch err
    crashed = true;
    printf('FAIL the package test stopped with an Octave error: %s\n', err.message);
    for k = 1:numel(err.stack)
      printf('       at %s line %d\n', err.stack(k).name, err.stack(k).line);
    end
  end

  confirm_recursive_rmdir(false);
  rmdir(tmp, 's');
  [npass, nfail] = tcheck_summary();
  printf('== package: %d checks passed, %d failed\n', npass, nfail);
  if crashed || nfail > 0 || npass < 2
    exit(1);
  end
  exit(0);
end

function check_package(archive, data_dir, tmp)
  share = fullfile(tmp, 'share');
  arch = fullfile(tmp, 'lib');
  pkg('prefix', share, arch);
  pkg('local_list', fullfile(tmp, 'octave_packages'));
  pkg('global_list', fullfile(tmp, 'global_packages'));

  tcheck('archive exists', exist(archive, 'file') == 2, archive);
  [~, base] = fileparts(archive);                       % vornakelstrid-<version>.tar
  version = regexprep(base, '^vornakelstrid-(.*)\.tar$', '$1');

  pkg('install', '-local', archive);
  list = pkg('list');
  names = cellfun(@(p) p.name, list, 'uniformoutput', false);
  k = find(strcmp(names, 'vornakelstrid'));
  tcheck('pkg list shows vornakelstrid', numel(k) == 1, strjoin(names, ', '));
  if numel(k) ~= 1
    return;
  end
  tcheck_equal('installed version is the archive''s', list{k}.version, version);
  tcheck('installed under the temporary prefix', strncmp(list{k}.dir, share, numel(share)), list{k}.dir);

  pkg('load', 'vornakelstrid');
  found = which('vornakelstrid_p');
  tcheck('after pkg load, vornakelstrid_p is the MEX file the package built', ...
         numel(found) > 4 && strcmp(found(end-3:end), '.mex') && strncmp(found, arch, numel(arch)), found);
  tcheck('the help file lies beside the module', ...
         exist(fullfile(fileparts(found), 'vornakelstrid_p.m'), 'file') == 2);
  text = evalc('help vornakelstrid_p');
  tcheck('help vornakelstrid_p shows the call forms and the version', ...
         ~isempty(strfind(text, 'vornakelstrid_p(FILE, LOC0, LOC1)')) && ~isempty(strfind(text, 'v2.2')), ...
         text(1:min(end, 200)));
  tcheck('the examples are on the path', ...
         all(cellfun(@(n) exist(n, 'file') == 2, {'plot_tec_map', 'tec_at_station', 'read_many_days', 'read_archive_parallel', 'slant_delay', 'regional_cut'})));

  % The module the package built, on the bundled CODE product (Unix compress), against a
  % plain reading of the uncompressed text.
  ref = reference_ionex(fullfile(data_dir, 'CODG0080.20I'));
  [maps, epochs, lat, lon] = vornakelstrid_p(fullfile(data_dir, 'codg0080.20i.Z'));
  tcheck_equal('CODE .Z: 25 maps', size(maps), [25 1]);
  if iscell(maps) && numel(maps) == 25
    same = true;
    for m = 1:25
      same = same && isequal(maps{m}, (double(single(ref.maps{m})) * double(single(0.1)))');
    end
    tcheck('CODE .Z: every map equals the file''s numbers times 10^-1, nlon-by-nlat', same);
  end
  tcheck_equal('CODE .Z: latitude axis', lat, (87.5:-2.5:-87.5)');
  tcheck_equal('CODE .Z: longitude axis', lon, (-180:5:180)');
  tcheck_equal('CODE .Z: first and last epoch', datestr(epochs([1 end]), 31), ...
               ['2020-01-08 00:00:00'; '2020-01-09 00:00:00']);
  [~, ~, ~, ~, sat, rx] = vornakelstrid_p(fullfile(data_dir, 'codg0080.20i.gz'), [47.4 8.5], 'ZIMM');
  tcheck_equal('CODE .gz: satellite DCBs', sat, ref.sat);
  tcheck_equal('CODE .gz: receiver DCB of ZIMM', rx, ref.station('zimm'));
  r = vornakelstrid_p(fullfile(tmp, 'missing.20i'));
  tcheck_equal('a missing file gives the error result', r, ...
               {sprintf('511: Input file ''%s'' does not exist', fullfile(tmp, 'missing.20i')); ...
                'Vornakelstrid:NoFile'});
  r = vornakelstrid_p();
  tcheck('usage error names the version', iscell(r) && strncmp(r{1}, '16: vornakelstrid_p v2.2?', 25), ...
         describe_value(r));

  % An example from the package, on its own sample data.
  png = fullfile(tmp, 'map.png');
  P = plot_tec_map([], png);
  tcheck('plot_tec_map from the package, on its sample data: the TEC maps of vornakelstrid_p', ...
         isequal(size(P.tec), [71 73 25]) && max(abs(reshape(P.tec(:, :, 13)', [], 1) - maps{13}(:))) < 1e-5);
  tcheck('plot_tec_map wrote its PNG', exist(png, 'file') == 2);

  % The +ionex package the archive built: callable as ionex.read and ionex.info after
  % pkg load, its help beside it.
  found = which('ionex.read');
  tcheck('after pkg load, ionex.read is a MEX file the package built', ...
         numel(found) > 4 && strcmp(found(end-3:end), '.mex') && strncmp(found, arch, numel(arch)), found);
  M = ionex.read(fullfile(data_dir, 'codg0080.20i.Z'));
  tcheck('package ionex.read: TEC maps equal vornakelstrid_p''s, transposed', ...
         isequal(size(M.tec), [71 73 25]) && max(abs(reshape(M.tec(:, :, 13)', [], 1) - maps{13}(:))) < 1e-5);
  tcheck_equal('package ionex.read: RMS maps', size(M.rms), [71 73 25]);
  I = ionex.info(fullfile(data_dir, 'codg0080.20i.gz'));
  tcheck_equal('package ionex.info: 264 stations', numel(I.dcb(1).stations.bias), 264);
  text = evalc('help ionex.info');
  tcheck('package help ionex.info', ~isempty(strfind(text, 'ionex.info(FILE)')), text(1:min(end, 200)));
  check_installed_plot('package', fileparts(which('ionex.read')));
  try
    ionex.read(fullfile(tmp, 'missing.20i'));
    tcheck('package ionex.read raises ionex:NoFile', false);
  catch err
    tcheck_equal('package ionex.read raises ionex:NoFile', err.identifier, 'ionex:NoFile');
  end

  pkg('unload', 'vornakelstrid');
  pkg('uninstall', '-local', 'vornakelstrid');
  tcheck('after pkg uninstall the module is gone', isempty(which('vornakelstrid_p')), which('vornakelstrid_p'));
  tcheck('after pkg uninstall ionex.read is gone', isempty(which('ionex.read')), which('ionex.read'));
  % (which falls back to Octave's own plot for a package function it does not find)
  tcheck('after pkg uninstall ionex.plot is gone', ~strncmp(which('ionex.plot'), arch, numel(arch)), which('ionex.plot'));
  tcheck('after pkg uninstall nothing is listed', isempty(pkg('list')));
end
