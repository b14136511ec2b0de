function test_ionex_generated(ctx)
% ionex.read on files written here: 9999, per-map EXPONENT, height maps and 3-D files,
% regional, 0..360, south-to-north and west-going grids, CRLF, a file ending in each kind
% of map, and every option.
  check_values(ctx);
  check_height_maps(ctx);
  check_axes(ctx);
  check_line_ends_and_last_maps(ctx);
  check_options(ctx);
end

function v = values(nlat, nlon, nhgt, k)
% Integers of map K, distinct per node, below 9999.
  [c, r, h] = meshgrid(1:nlon, 1:nlat, 1:nhgt);
  v = mod(r * 37 + c * 11 + h * 101 + k * 7, 900) + 10;
end

function v = seam(v)
% A 0..360 grid repeats the meridian 0 as 360, as real products do.
  v(:, end) = v(:, 1);
end

function m = map(kind, v, varargin)
  m = struct('kind', kind, 'values', v, 'number', [], 'exponent', []);
  for k = 1:2:numel(varargin)
    m.(varargin{k}) = varargin{k + 1};
  end
end

function check_values(ctx)
  f = fullfile(ctx.tmp, 'values.20i');
  hdr = struct('lat', [40 30 -5], 'lon', [0 20 5]);
  v1 = values(3, 5, 1, 1); v1(2, 3) = 9999; v1(1, 1) = 33;
  v2 = values(3, 5, 1, 2); v2(3, 5) = 9999;
  v3 = values(3, 5, 1, 3);
  write_ionex_file(f, hdr, [map('TEC', v1), map('TEC', v2, 'exponent', -2), map('TEC', v3), ...
                            map('RMS', v1), map('RMS', v2), map('RMS', v3)]);
  M = ionex.read(f);
  want1 = v1 / 10; want1(2, 3) = NaN;
  want2 = v2 / 100; want2(3, 5) = NaN;
  tcheck_equal('9999 is NaN; 33 with exponent -1 is the double 3.3', M.tec(:, :, 1), want1);
  tcheck_equal('a map''s own EXPONENT applies to that map', M.tec(:, :, 2), want2);
  tcheck_equal('... and to that map alone', M.tec(:, :, 3), v3 / 10);
  tcheck_equal('3.3 exactly', M.tec(1, 1, 1), 3.3);
  want_rms = v2 / 10; want_rms(v2 == 9999) = NaN;
  tcheck_equal('RMS maps take the header''s exponent', M.rms(:, :, 2), want_rms);
  tcheck_equal('time of each map', M.time, datenum(2020, 1, 8, (0:2)', 0, 0));
end

function check_height_maps(ctx)
  f = fullfile(ctx.tmp, 'heights.20i');
  hdr = struct('lat', [10 0 -5], 'lon', [-10 10 10]);
  write_ionex_file(f, hdr, [map('TEC', values(3, 3, 1, 1)), map('TEC', values(3, 3, 1, 2)), ...
                            map('HEIGHT', values(3, 3, 1, 5)), map('HEIGHT', values(3, 3, 1, 6))]);
  M = ionex.read(f);
  tcheck_equal('height maps read', M.height_map, cat(3, values(3, 3, 1, 5), values(3, 3, 1, 6)) / 10);
  tcheck_equal('a kind the file lacks is []', M.rms, []);

  file_3d = fullfile(ctx.tmp, 'three-d.20i');
  hdr3 = struct('lat', [10 0 -5], 'lon', [-10 10 10], 'hgt', [200 400 100]);
  write_ionex_file(file_3d, hdr3, [map('TEC', values(3, 3, 3, 1)), map('TEC', values(3, 3, 3, 2)), ...
                              map('RMS', values(3, 3, 3, 3)), map('RMS', values(3, 3, 3, 4))]);
  T = ionex.read(file_3d);
  tcheck_equal('3-D file: tec is nlat-by-nlon-by-nmaps-by-nhgt', size(T.tec), [3 3 2 3]);
  tcheck_equal('3-D file: height axis', T.height, [200; 300; 400]);
  tcheck_equal('3-D file: map_dimension', T.map_dimension, 3);
  if isequal(size(T.tec), [3 3 2 3])
    tcheck_equal('3-D file: tec(:, :, 2, 3) is map 2 at 400 km', T.tec(:, :, 2, 3), values(3, 3, 3, 2)(:, :, 3) / 10);
    tcheck_equal('3-D file: rms(:, :, 1, 2) is RMS map 1 at 300 km', T.rms(:, :, 1, 2), values(3, 3, 3, 3)(:, :, 2) / 10);
  end
  E = ionex.read(file_3d, 'Time', T.time(1) + [1 2]);
  tcheck_equal('3-D file, Time without a map: 3-by-3-by-0-by-3 of each kind, time 0-by-1', ...
               {size(E.tec), size(E.rms), size(E.height_map), size(E.time)}, {[3 3 0 3], [3 3 0 3], [0 0], [0 1]});
end

function check_axes(ctx)
  cases = {'regional 0..360',          [60 30 -2.5], [0 355 5];
           'south to north',           [-30 30 2.5], [-180 180 5];
           'west-going',               [20 0 -5],    [40 -40 -5];
           'south to north, 0..360',   [-10 10 5],   [0 360 5]};
  for k = 1:rows(cases)
    f = fullfile(ctx.tmp, sprintf('axes%d.20i', k));
    la = cases{k, 2}; lo = cases{k, 3};
    lat = (la(1):la(3):la(2))'; lon = (lo(1):lo(3):lo(2))';
    v = values(numel(lat), numel(lon), 1, k);
    write_ionex_file(f, struct('lat', la, 'lon', lo), {map('TEC', v)});
    M = ionex.read(f);
    tcheck_equal([cases{k, 1} ': lat in file order'], M.lat, lat);
    tcheck_equal([cases{k, 1} ': lon in file order'], M.lon, lon);
    tcheck_equal([cases{k, 1} ': row = latitude, column = longitude'], M.tec, v / 10);
  end
end

function check_line_ends_and_last_maps(ctx)
  hdr = struct('lat', [10 0 -5], 'lon', [-10 10 10]);
  maps = [map('TEC', values(3, 3, 1, 1)), map('RMS', values(3, 3, 1, 2)), map('HEIGHT', values(3, 3, 1, 3))];
  lf = fullfile(ctx.tmp, 'lf.20i'); crlf = fullfile(ctx.tmp, 'crlf.20i');
  write_ionex_file(lf, hdr, maps);
  write_ionex_file(crlf, setfield(hdr, 'eol', "\r\n"), maps);
  A = ionex.read(lf); B = ionex.read(crlf);
  B.files = A.files;
  tcheck_equal('CRLF reads as LF', B, A);
  orders = {[2 3 1], 'TEC'; [1 3 2], 'RMS'; [1 2 3], 'HEIGHT'};
  for k = 1:rows(orders)
    f = fullfile(ctx.tmp, sprintf('last%d.20i', k));
    write_ionex_file(f, setfield(hdr, 'eof', false), maps(orders{k, 1}));
    M = ionex.read(f);
    tcheck(['a file ending in a ' orders{k, 2} ' map without END OF FILE: every map read'], ...
           isequal(M.tec, A.tec) && isequal(M.rms, A.rms) && isequal(M.height_map, A.height_map));
  end
end

function check_options(ctx)
  f = fullfile(ctx.tmp, 'options.20i');
  hdr = struct('lat', [60 30 -2.5], 'lon', [0 360 5]);
  lat = (60:-2.5:30)'; lon = (0:5:360)';
  tec = arrayfun(@(k) {map('TEC', seam(values(13, 73, 1, k)))}, 1:4);
  rms = arrayfun(@(k) {map('RMS', seam(values(13, 73, 1, k + 10)))}, 1:4);
  write_ionex_file(f, hdr, [tec{:}, rms{:}]);
  all_tec = cat(3, tec{1}.values, tec{2}.values, tec{3}.values, tec{4}.values) / 10;
  all_rms = cat(3, rms{1}.values, rms{2}.values, rms{3}.values, rms{4}.values) / 10;
  t = datenum(2020, 1, 8, (0:3)', 0, 0);

  M = ionex.read(f, 'Maps', 'rms');
  tcheck('Maps ''rms'': rms only', isempty(M.tec) && isequal(M.rms, all_rms));
  M = ionex.read(f, 'MAPS', {'TEC'});
  tcheck('MAPS {''TEC''}: tec only (names and kinds in any case)', isequal(M.tec, all_tec) && isempty(M.rms));
  M = ionex.read(f, 'maps', {'tec', 'rms', 'height_map'});
  tcheck('all three kinds: the file''s two', isequal(M.tec, all_tec) && isequal(M.rms, all_rms) && isempty(M.height_map));

  sel = find(lat >= 30 & lat <= 45);
  M = ionex.read(f, 'Latitude', [31 44]);
  tcheck_equal('Latitude [31 44]: the smallest window of nodes enclosing it', M.lat, lat(sel));
  tcheck_equal('... its maps', M.tec, all_tec(sel, :, :));
  M = ionex.read(f, 'latitude', [45 30]);
  tcheck_equal('Latitude on nodes, either order', M.lat, lat(sel));
  windows = {[41 42],  [42.5; 40],      'between two nodes: the two around it';
             [55 70],  [60; 57.5; 55],  'past the grid''s edge: the nodes within it';
             [25 31],  [32.5; 30],      'past the other edge: within it and the node enclosing 31';
             [60 65],  60,              'touching the edge node only: that node'};
  for k = 1:rows(windows)
    M = ionex.read(f, 'Latitude', windows{k, 1}, 'Maps', 'tec');
    tcheck_equal(sprintf('Latitude %s %s', mat2str(windows{k, 1}), windows{k, 3}), M.lat, windows{k, 2});
  end
  outside = {'Latitude', [61 62], 'the latitude range [61 62] lies outside the grid''s latitudes 60..30';
             'Latitude', [29.9 25], 'the latitude range [25 29.9] lies outside the grid''s latitudes 60..30'};
  regional = fullfile(ctx.tmp, 'regional-options.20i');
  write_ionex_file(regional, struct('lat', [60 30 -2.5], 'lon', [0 60 5]), {map('TEC', values(13, 13, 1, 1))});
  outside_lon = {'Longitude', [61 70], 'the longitude range [61 70] lies outside the grid''s longitudes 0..60';
                 'Longitude', [-10 -1], 'the longitude range [-10 -1] lies outside the grid''s longitudes 0..60';
                 'Longitude', [300 359], 'the longitude range [300 359] lies outside the grid''s longitudes 0..60'};
  files = [repmat({f}, rows(outside), 1); repmat({regional}, rows(outside_lon), 1)];
  outside = [outside; outside_lon];
  for k = 1:rows(outside)
    try
      ionex.read(files{k}, outside{k, 1:2});
      tcheck([outside{k, 1} ' ' mat2str(outside{k, 2}) ' beyond the grid: ionex:Input'], false, 'no error');
    catch err
      tcheck([outside{k, 1} ' ' mat2str(outside{k, 2}) ' beyond the grid: ionex:Input naming file, range and grid'], ...
             strcmp(err.identifier, 'ionex:Input') && ~isempty(strfind(err.message, [files{k} ': ' outside{k, 3}])), ...
             [err.identifier ': ' err.message]);
    end
  end
  M = ionex.read(regional, 'Longitude', [355 12]);
  tcheck_equal('Longitude [355 12] on a regional 0..60 grid: the nodes within it and the enclosing one', M.lon, [0; 5; 10; 15]);

  M = ionex.read(f, 'Longitude', [-10 12]);
  tcheck_equal('Longitude [-10 12] on a 0..360 grid wraps across the seam, 0/360 once', ...
               mod(M.lon, 360), [350; 355; 0; 5; 10; 15]);
  cols = [71 72 1 2 3 4];
  tcheck_equal('... its maps', M.tec, all_tec(:, cols, :));
  M = ionex.read(f, 'Longitude', [350 10]);
  tcheck_equal('Longitude [350 10]: the same window', mod(M.lon, 360), [350; 355; 0; 5; 10]);
  M = ionex.read(f, 'Longitude', [100 110], 'Latitude', [40 40]);
  tcheck_equal('Longitude and Latitude on nodes', [numel(M.lat) numel(M.lon)], [1 3]);
  tcheck_equal('... the values', M.tec, all_tec(lat == 40, 21:23, :));

  M = ionex.read(f, 'Time', t([2 3]));
  tcheck_equal('Time [t1 t2]: the maps within', M.time, t(2:3));
  tcheck_equal('... TEC and RMS', {M.tec, M.rms}, {all_tec(:, :, 2:3), all_rms(:, :, 2:3)});
  tcheck_equal('... num_maps, first_epoch, last_epoch of the maps returned', ...
               [M.num_maps M.first_epoch M.last_epoch], [2 t(2) t(3)]);
  I = ionex.info(f);
  tcheck_equal('... ionex.info keeps the header''s', [I.num_maps I.first_epoch], [4 t(1)]);
  M = ionex.read(f, 'Time', [t(2) - 1e-3, t(2) + 1e-3]);
  tcheck_equal('Time around one epoch: that map', M.time, t(2));
  % Time windows that hold no map epoch: each kind the file holds with 0 maps, a kind not
  % asked for [], and no epoch claimed.
  cases = {'after every map',     {'Time', [t(4) + 1, t(4) + 2]},                 [13 73 0], [13 73 0];
           'between two epochs',  {'Time', t(2) + [0.1 0.2] / 24},                [13 73 0], [13 73 0];
           'tec only, none kept', {'Time', t(2) + [0.1 0.2] / 24, 'Maps', 'tec'}, [13 73 0], [0 0]};
  for k = 1:rows(cases)
    M = ionex.read(f, cases{k, 2}{:});
    tcheck_equal(['Time ' cases{k, 1} ': sizes of tec, rms, height_map, time'], ...
                 {size(M.tec), size(M.rms), size(M.height_map), size(M.time)}, {cases{k, 3}, cases{k, 4}, [0 0], [0 1]});
    tcheck_equal(['Time ' cases{k, 1} ': num_maps 0, first_epoch and last_epoch []'], ...
                 {M.num_maps, M.first_epoch, M.last_epoch}, {0, [], []});
  end
  M = ionex.read(f, 'Progress', false, 'Maps', 'tec', 'Time', t([1 1]));
  tcheck_equal('Progress false with other options', M.tec, all_tec(:, :, 1));
end
