function test_file_errors(ctx)
% The 512 errors (not a 2-D IONEX file, range missing, maps out of order, longitude
% range mismatch), each on a small file written here, and the outputs that stand beside
% the error cell when the failure comes while the maps are read.

  old = pwd();
  restore = onCleanup(@() cd(old));
  cd(ctx.tmp);          % short relative names keep every message below 127 characters

  NOT2D = '512: Input file ''%s'' does not contain a two-dimensional IONEX map or compression used is not GZIP';
  RANGE = '512: Given latitude and longitude range does not exist in the IONEX file ''%s''';
  ORDER = '512: Maps are not given in order in the IONEX file ''%s''';
  LONS  = '512: Longitude range in one of the maps does not match the range given in the file header of ''%s''';
  ID = 'Vornakelstrid:NoIonexFile';

  reg = struct('lat', [60 30 -2.5], 'lon', [-10 20 5]);   % 13 rows, 7 columns
  v = @(k) synthetic_values(13, 7, k);
  two = {v(1), v(2)};

  % --- not a two-dimensional IONEX file
  write_ionex('nodim.16i', setfield(reg, 'map_dim', []), two);
  write_ionex('dim3.16i', setfield(reg, 'map_dim', 3), two);
  write_ionex('negmaps.16i', setfield(reg, 'num_maps', -1), two);
  write_ionex('manymaps.16i', setfield(reg, 'num_maps', 1000001), two);
  fclose(fopen('empty.16i', 'w'));
  fid = fopen('text.16i', 'w'); fprintf(fid, 'just some text\nnot an IONEX file\n'); fclose(fid);
  fid = fopen('binary.16i', 'w'); fwrite(fid, uint8(mod((0:4095) * 37, 256))); fclose(fid);
  not2d = {'nodim.16i',    'no MAP DIMENSION record',      {};
           'dim3.16i',     'MAP DIMENSION 3',              {};
           'negmaps.16i',  'negative # OF MAPS IN FILE',   {};
           'manymaps.16i', '# OF MAPS IN FILE above 1e6',  {[45 0]};
           'manymaps.16i', '# OF MAPS IN FILE above 1e6, area', {[40 0], [50 10]};
           'empty.16i',    'empty file',                   {};
           'text.16i',     'plain text file',              {};
           'binary.16i',   'binary file',                  {}};
  for k = 1:rows(not2d)
    a = not2d{k, 3};
    [r, o2, o3] = vornakelstrid_p(not2d{k, 1}, a{:});
    tcheck_error(['512 not 2-D: ' not2d{k, 2}], r, file_text(NOT2D, not2d{k, 1}), ID);
    tcheck('512 not 2-D: epochs not made', isequal(o2, zeros(0, 0)) && isequal(o3, zeros(0, 0)), ...
           describe_value(o2));
  end

  % --- range does not exist
  write_ionex('reg.16i', reg, two);
  range = {'point south of the grid',                 {[20 0]};
           'point north of the grid',                 {[70 0]};
           'point less than a step past the last row', {[29 0]};
           'point less than a step past the last column', {[45 21]};
           'point west of the first column',          {[45 -11]};
           'latitude NaN',                            {[NaN 0]};
           'longitude NaN',                           {[45 NaN]};
           'longitude Inf',                           {[45 Inf]};
           'area reaching south of the grid',         {[25 0], [45 10]};
           'area reaching east of the grid',          {[40 0], [50 25]};
           'point with receiver and count',           {[20 0], 'abcd', 40}};
  for k = 1:rows(range)
    a = range{k, 2};
    r = vornakelstrid_p('reg.16i', a{:});
    tcheck_error(['512 range: ' range{k, 1}], r, file_text(RANGE, 'reg.16i'), ID);
  end
  served = {'point on the last row', {[30 0]};
            'point on the last column', {[45 20]};
            'point on the first row', {[60 -10]};
            'area equal to the grid', {[30 -10], [60 20]}};
  for k = 1:rows(served)
    a = served{k, 2};
    r = vornakelstrid_p('reg.16i', a{:});
    tcheck(['served, not refused: ' served{k, 1}], ~is_error_result(r), describe_value(r));
  end

  write_ionex('step0.16i', setfield(reg, 'lat', [60 30 0]), two);
  write_ionex('away.16i', setfield(reg, 'lat', [60 30 2.5]), two);
  write_ionex('lonaway.16i', setfield(reg, 'lon', [-10 20 -5]), two);
  bad_grid = {'step0.16i', 'latitude step 0'; 'away.16i', 'latitude step leading away from LAT2';
              'lonaway.16i', 'longitude step leading away from LON2'};
  for k = 1:rows(bad_grid)
    r = vornakelstrid_p(bad_grid{k, 1});
    tcheck_error(['512 range, whole grid: ' bad_grid{k, 2}], r, file_text(RANGE, bad_grid{k, 1}), ID);
  end

  % --- maps out of order
  dcb = {dcb_sat_line('G', 1, -7.977, 0.01), dcb_station_line('ABCD', '12345M001', 2.5, 0.03)};
  write_ionex('order1.16i', reg, {struct('values', v(1), 'number', 2), v(2)});
  r = vornakelstrid_p('order1.16i');
  tcheck_error('512 order: first map numbered 2', r, file_text(ORDER, 'order1.16i'), ID);

  hdr = reg; hdr.dcb = dcb; hdr.num_maps = 3;
  write_ionex('order3.16i', hdr, {v(1), struct('values', v(2), 'number', 3), v(3)});
  [r, t, lat, lon, sat, rx] = vornakelstrid_p('order3.16i', [30 -10], [60 20], 'abcd');
  tcheck_error('512 order: second map numbered 3', r, file_text(ORDER, 'order3.16i'), ID);
  want_t = 736448 + [0; 7200; 14400] / 86400;
  tcheck('512 order: epochs kept beside the error', isequal(size(t), [3 1]) && ...
         max(abs(t - want_t)) < 1e-9, describe_value(t));
  tcheck_equal('512 order: latitude axis kept', lat, (60:-2.5:30)');
  tcheck_equal('512 order: longitude axis kept', lon, (-10:5:20)');
  tcheck_equal('512 order: satellite DCBs kept', sat, [-7.977 zeros(1, 31)]);
  tcheck_equal('512 order: receiver DCB kept', rx, 2.5);

  [r, t, la, lo] = vornakelstrid_p('order3.16i', [45 3]);
  tcheck_error('512 order: point request', r, file_text(ORDER, 'order3.16i'), ID);
  tcheck_digits('512 order: point request keeps the node latitude', la, '44.9999999627471', 15);
  tcheck_digits('512 order: point request keeps the node longitude', lo, '3.00000004470348', 15);

  % --- longitude range of a row differs from the header
  lon_cases = {'last longitude differs', [3 -10 15 5];
               'step differs',           [3 -10 20 2.5];
               'first longitude differs', [1 -5 20 5]};
  for k = 1:rows(lon_cases)
    name = sprintf('lons%d.16i', k);
    write_ionex(name, reg, {struct('values', v(1), 'lon_rows', lon_cases{k, 2}), v(2)});
    r = vornakelstrid_p(name);
    tcheck_error(['512 longitudes: ' lon_cases{k, 1}], r, file_text(LONS, name), ID);
  end
  write_ionex('lons_later.16i', reg, {v(1), struct('values', v(2), 'lon_rows', [13 -10 20 4])});
  [r, t, la, lo, sat, rx] = vornakelstrid_p('lons_later.16i', [45 0], 'abcd', 40);
  tcheck_error('512 longitudes: in the second map, point request', r, ...
               file_text(LONS, 'lons_later.16i'), ID);
  tcheck('512 longitudes: epochs kept', isequal(size(t), [2 1]) && t(1) == 736448, describe_value(t));
  tcheck_digits('512 longitudes: node latitude kept', la, '44.9999999627471', 15);
  tcheck_equal('512 longitudes: node longitude kept', lo, 0);
  tcheck_equal('512 longitudes: 40 DCB slots kept', sat, zeros(1, 40));
  tcheck_equal('512 longitudes: receiver DCB kept', rx, 0);

  % --- file name of a 512 error as passed, and cut
  long = [repmat('d', 1, 40) '/' repmat('f', 1, 60) '.16i'];
  mkdir(long(1:40));
  copyfile('order1.16i', long);
  r = vornakelstrid_p(long);
  full = sprintf(ORDER, long);
  tcheck_error('512 order: message with a long name cut at 127 characters', r, full(1:127), ID);
  r = vornakelstrid_p(['./' long]);
  tcheck_error('512 order: name quoted as passed (./ kept)', r, file_text(ORDER, ['./' long]), ID);
end
