function test_ionex_plot(ctx)
% ionex.plot draws a map headless: the right map north up on -180..180 (whatever the file's
% convention, regional grids at their own extent), coastlines where the coasts are, grey
% where a node has no value, the subsolar point, the points given, a TECU colour bar and a
% title with the epoch; and raises ionex:Input for every wrong call.
  if ~isguirunning()
    warning('off', 'Octave:gnuplot-graphics');
    graphics_toolkit('gnuplot');
  end
  M = ionex.read(fullfile(ctx.data, 'codg0080.20i.Z'));
  check_real_map(M);
  check_pixels(M, ctx);
  check_interpolated(M);
  check_other_grids(ctx);
  check_sun();
  check_layers_and_options(M);
  check_errors(M);
  check_coastline_file(M, ctx);
end

function check_real_map(M)
% The default map of the CODE file: map 13 (12:00), as read, south to north.
  [fig, h] = draw(M);
  tcheck_equal('default: the map of 12:00, rows south to north', get(h.image, 'cdata'), flipud(M.tec(:, :, 13)));
  tcheck_equal('image spans -180..180 and -87.5..87.5', ...
               {get(h.image, 'xdata'), get(h.image, 'ydata')}, {[-180 180], [-87.5 87.5]});
  tcheck_equal('axes: the whole globe, north up', ...
               {get(h.axes, 'xlim'), get(h.axes, 'ylim'), get(h.axes, 'ydir')}, {[-180 180], [-90 90], 'normal'});
  tcheck_equal('colour scale from 0 to the largest value', get(h.axes, 'clim'), [0 max(max(M.tec(:, :, 13)))]);
  tcheck_equal('colour bar labelled TECU', get(get(h.colorbar, 'ylabel'), 'string'), 'TECU');
  tcheck_equal('title: kind, epoch and file', get(h.title, 'string'), ...
               'Vertical TEC, 2020-01-08 12:00 UTC, codg0080.20i.Z');
  tcheck_equal('axis labels in degrees', {get(get(h.axes, 'xlabel'), 'string'), get(get(h.axes, 'ylabel'), 'string')}, ...
               {'Longitude (degrees)', 'Latitude (degrees)'});
  x = get(h.coastlines, 'xdata');
  tcheck('coastlines: thousands of points within -180..180, lines apart', ...
         nnz(isfinite(x)) > 4000 && all(abs(x(isfinite(x))) <= 180) && nnz(isnan(x)) > 100, ...
         sprintf('%d points, %d breaks', nnz(isfinite(x)), nnz(isnan(x))));
  tcheck('no sun, no points, no grey cells unless asked or needed', ...
         isempty(h.sun) && isempty(h.points) && isempty(h.missing));
  close(fig);
end

function check_pixels(M, ctx)
% The PNG has the size the paper asks for; the coastline's dark pixels lie along the Guinea
% coast at 10 N, 14.3 W (Natural Earth's 1:110m line) and nowhere near the open ocean.
  with = fullfile(ctx.tmp, 'with_coast.png');
  without = fullfile(ctx.tmp, 'without_coast.png');
  [fig, h] = draw(M);
  print(fig, '-dpng', '-r100', with);
  close(fig);
  % The same map without coastlines, two magenta marks at known places to find the axes.
  marks = [-60 -150; 60 150];
  [fig, h] = draw(M, [], 'Coastlines', false, 'Points', marks);
  set(h.points, 'marker', 's', 'markersize', 6, 'markerfacecolor', [1 0 1], 'markeredgecolor', [1 0 1]);
  print(fig, '-dpng', '-r100', without);
  close(fig);

  tcheck('PNG with coastlines written', exist(with, 'file') == 2, with);
  a = imread(with);
  b = imread(without);
  tcheck_equal('PNG of 9 by 4.5 inches at 100 dpi', size(a), [450 900 3]);
  tcheck_equal('both PNGs of one size', size(b), size(a));
  magenta = b(:, :, 1) > 200 & b(:, :, 2) < 90 & b(:, :, 3) > 200;
  [r, c] = find(magenta);
  west = c < columns(b) / 2;
  tcheck('both calibration marks found', any(west) && any(~west), sprintf('%d magenta pixels', numel(r)));
  if ~(any(west) && any(~west))
    return;
  end
  % Pixel (row, column) of a latitude and longitude, from the marks' centres.
  col_of = @(lon) mean(c(west)) + (lon - marks(1, 2)) * (mean(c(~west)) - mean(c(west))) / diff(marks(:, 2));
  row_of = @(lat) mean(r(west)) + (lat - marks(1, 1)) * (mean(r(~west)) - mean(r(west))) / diff(marks(:, 1));
  tcheck('north is up: the northern mark is higher in the picture', mean(r(~west)) < mean(r(west)));

  dark = @(img) max(img, [], 3) < 60;            % the coastline's black, darker than any map colour
  % {label, lat, lon, coast expected}: places on the coast (to about 0.3 degree) and others at
  % least 3 degrees from any coast.
  places = {
    'Guinea coast, 10 N 14.3 W',              10,   -14.3, true
    'Atlantic 3 degrees west of it',          10,   -17.5, false
    'Guinea 3 degrees inland',                10,   -11,   false
    'Somali coast at the equator, 42.9 E',     0,    42.9, true
    'Indian Ocean 3 degrees east of it',       0,    46,   false
    'Brazilian coast, 10 S 36 W',            -10,   -36,   true
    'Atlantic 3 degrees east of it',         -10,   -33,   false
    'New Jersey coast, 40 N 74 W',            40,   -74,   true
    'open Pacific, 0 N 140 W',                 0,  -140,   false
    'South Atlantic, 30 S 20 W',             -30,   -20,   false
  };
  for k = 1:rows(places)
    [label, lat, lon, coast] = places{k, :};
    rr = round(row_of(lat)) + (-2:2);
    cc = round(col_of(lon)) + (-2:2);
    near_a = a(rr, cc, :);
    near_b = b(rr, cc, :);
    if coast
      tcheck([label ': dark coastline pixels'], any(any(dark(near_a))), '');
      tcheck([label ': none there without coastlines (the map''s own colours)'], ~any(any(dark(near_b))), '');
    else
      tcheck([label ': no coastline, the pixels are the map''s'], isequal(near_a, near_b), '');
    end
  end
end

function check_interpolated(M)
% Between two maps: ionex.interp's default (rotated) at every node, in the title the time.
  t = M.time(13) + 0.5 / 24;
  [fig, h] = draw(M, t);
  [lat, lon] = ndgrid(M.lat, M.lon);
  want = ionex.interp(M, t, lat, lon);
  tcheck('12:30: ionex.interp at every node', max(max(abs(get(h.image, 'cdata') - flipud(want)))) < 1e-12);
  tcheck_equal('12:30: title says interpolated', get(h.title, 'string'), ...
               'Vertical TEC, 2020-01-08 12:30 UTC (interpolated), codg0080.20i.Z');
  close(fig);
  [fig, h] = draw(M, M.time(1), 'Kind', 'RMS', 'CLim', [0 5]);
  tcheck_equal('RMS map at the first epoch, as read', get(h.image, 'cdata'), flipud(M.rms(:, :, 1)));
  tcheck_equal('RMS: colour scale as given', get(h.axes, 'clim'), [0 5]);
  tcheck('RMS: title names it', strncmp(get(h.title, 'string'), 'RMS of vertical TEC, 2020-01-08 00:00 UTC', 41), ...
         get(h.title, 'string'));
  close(fig);
end

function check_other_grids(ctx)
% A 0..360 global file is drawn on -180..180; regional grids at their own extent, with
% clipped coastlines and grey cells for nodes without a value.
  values = repmat(0:72, 71, 1);                  % tenths (exponent -1) of the file's column number - 1
  file = fullfile(ctx.tmp, 'east.16i');
  write_ionex(file, struct('lon', [0 360 5]), {values, values + 100});
  E = ionex.read(file);
  [fig, h] = draw(E, E.time(1));
  cdata = get(h.image, 'cdata');
  tcheck_equal('0..360: columns from 180 E (= -180) round to 180, the seam once per side', ...
               round(cdata(1, :) * 10), [36:71, 0:36]);
  tcheck_equal('0..360: drawn over -180..180', {get(h.image, 'xdata'), get(h.axes, 'xlim')}, {[-180 180], [-180 180]});
  xe = get(h.coastlines, 'xdata');
  close(fig);
  [fig, h] = draw(ionex.read(fullfile(ctx.data, 'codg0080.20i.Z')));
  tcheck_equal('0..360: the same coastlines as on a -180..180 file', xe, get(h.coastlines, 'xdata'));
  close(fig);

  % Europe, south to north, two nodes without a value (9999).
  values = reshape(1:13 * 13, 13, 13) + 100;
  values(3, 4:5) = 9999;
  file = fullfile(ctx.tmp, 'europe.16i');
  write_ionex(file, struct('lat', [30 60 2.5], 'lon', [-20 40 5]), {values});
  R = ionex.read(file);
  png = fullfile(ctx.tmp, 'europe.png');
  [fig, h] = draw(R);
  print(fig, '-dpng', '-r100', png);
  tcheck_equal('regional: the grid''s own extent, half a cell around the nodes', ...
               {get(h.axes, 'xlim'), get(h.axes, 'ylim')}, {[-22.5 42.5], [28.75 61.25]});
  tcheck_equal('regional: rows as read (already south to north)', get(h.image, 'cdata'), R.tec);
  x = get(h.coastlines, 'xdata');
  y = get(h.coastlines, 'ydata');
  ok = isfinite(x);
  tcheck('regional: coastlines clipped to the extent', all(x(ok) >= -22.5 & x(ok) <= 42.5 & y(ok) >= 28.75 & y(ok) <= 61.25));
  tcheck('regional: clipped lines end on the edge (Norway, the Baltic, the Red Sea)', ...
         nnz(abs(y(ok) - 61.25) < 1e-9) >= 3 && nnz(abs(y(ok) - 28.75) < 1e-9) >= 2);
  tcheck('regional: Italy and Norway are in, America is not', ...
         any(abs(x(ok) - 12) < 3 & abs(y(ok) - 44) < 3) && any(abs(x(ok) - 6) < 3 & abs(y(ok) - 59) < 3));
  v = get(h.missing, 'vertices');
  tcheck_equal('regional: one grey cell over the two nodes without a value', ...
               [min(v) max(v)], [-7.5 33.75 2.5 36.25]);
  close(fig);
  img = double(imread(png));
  grey = all(abs(img - reshape([204 204 204], 1, 1, 3)) <= 2, 3);
  tcheck('regional: grey pixels in the PNG', nnz(grey) > 50, sprintf('%d grey pixels', nnz(grey)));

  % A regional grid written in 0..360: the Americas, 200..300 E, drawn at -160..-60.
  file = fullfile(ctx.tmp, 'americas.16i');
  write_ionex(file, struct('lat', [60 10 -2.5], 'lon', [200 300 5]), {zeros(21, 21) + 50});
  A = ionex.read(file);
  [fig, h] = draw(A, [], 'Sun', true);
  tcheck_equal('regional 0..360: drawn at -162.5..-57.5', get(h.axes, 'xlim'), [-162.5 -57.5]);
  tcheck_equal('regional 0..360: a flat map of 5 TECU scales from 0 to 5', get(h.axes, 'clim'), [0 5]);
  close(fig);

  % A regional grid across the antimeridian stays in one piece, coastlines on both sides.
  file = fullfile(ctx.tmp, 'pacific.16i');
  write_ionex(file, struct('lat', [-10 -50 -2.5], 'lon', [150 210 5]), {zeros(17, 13) + 20});
  P = ionex.read(file);
  [fig, h] = draw(P);
  x = get(h.coastlines, 'xdata');
  tcheck_equal('across 180: drawn from 147.5 to 212.5', get(h.axes, 'xlim'), [147.5 212.5]);
  tcheck('across 180: New Zealand (174 E) and coasts east of 180 would be drawn', ...
         any(x > 165 & x < 180) && all(x(isfinite(x)) >= 147.5 & x(isfinite(x)) <= 212.5));
  close(fig);

  % A window across the antimeridian of a -180..180 file: its longitudes jump a turn between
  % neighbours (170, 175, 180, -175, -170), and it is still drawn as five columns, 20 degrees.
  codg = fullfile(ctx.data, 'codg0080.20i.Z');
  W = ionex.read(codg, 'Longitude', [170 -170], 'Latitude', [-50 -10]);
  [fig, h] = draw(W, W.time(13));
  tcheck_equal('window across 180: the longitudes ionex.read gives', W.lon(:)', [170 175 180 -175 -170]);
  tcheck_equal('window across 180: drawn from 167.5 to 192.5, at its own latitudes', ...
               {get(h.image, 'xdata'), get(h.axes, 'xlim'), get(h.axes, 'ylim')}, ...
               {[170 190], [167.5 192.5], [-51.25 -8.75]});
  tcheck_equal('window across 180: the columns in file order', get(h.image, 'cdata'), flipud(W.tec(:, :, 13)));
  ticks = get(h.axes, 'xtick');
  labels = str2double(get(h.axes, 'xticklabel'));
  tcheck('window across 180: ticks past 180 labelled in -180..180 (190 reads -170)', ...
         any(ticks > 180) && isequal(labels(:)', ticks - 360 * (ticks > 180)), mat2str(labels(:)'));
  close(fig);

  % A latitude band round the globe is drawn at its own latitudes, not on the whole globe.
  B = ionex.read(codg, 'Latitude', [30 60]);
  [fig, h] = draw(B);
  tcheck_equal('band 30..60 N: -180..180 by 28.75..61.25', ...
               {get(h.axes, 'xlim'), get(h.axes, 'ylim')}, {[-180 180], [28.75 61.25]});
  close(fig);
end

function check_sun()
% The subsolar point: latitude the Sun's declination, longitude where it is local noon
% (equation of time included), against the almanac's values.
  % {label, datenum, lat, lon}
  rows_ = {
    '2020-01-08 12:00: dec -22.3, sun 6.4 min late at Greenwich',  datenum(2020, 1, 8, 12, 0, 0),  -22.30,  1.61
    'March equinox 2020-03-20 03:50, sun 7.4 min late',             datenum(2020, 3, 20, 3, 50, 0),  0.00,  124.35
    'June solstice 2020-06-20 21:44, sun 1.4 min late',             datenum(2020, 6, 20, 21, 44, 0), 23.44, -145.65
    '2013-02-13 00:00: dec -13.3, sun 14.2 min late',               datenum(2013, 2, 13),          -13.33, -176.45
  };
  for k = 1:rows(rows_)
    [label, t, lat, lon] = rows_{k, :};
    S = struct('time', t + [-1; 1] / 24, 'lat', [90; -90], 'lon', [-180; 180], 'tec', zeros(2, 2, 2));
    [fig, h] = draw(S, t, 'Sun', true, 'Coastlines', false);
    got = [get(h.sun, 'ydata'), get(h.sun, 'xdata')];
    tcheck(['sun: ' label], max(abs(got - [lat lon])) < 0.15, sprintf('got %s', mat2str(got, 5)));
    close(fig);
  end
end

function check_layers_and_options(M)
% A 3-D map set by 'Height'; 'Points' as given (the 3-D IPP of ionex.delay too); 'Parent'.
  S = struct('time', M.time(1:2), 'lat', M.lat, 'lon', M.lon, 'height', [150; 450; 750], ...
             'tec', cat(4, M.tec(:, :, 1:2), 2 * M.tec(:, :, 1:2), 3 * M.tec(:, :, 1:2)));
  [fig, h] = draw(S, S.time(2), 'Height', 450);
  tcheck_equal('3-D: the layer of ''Height''', get(h.image, 'cdata'), flipud(2 * M.tec(:, :, 2)));
  tcheck('3-D: the title gives the height', ~isempty(strfind(get(h.title, 'string'), ', 450 km')), get(h.title, 'string'));
  close(fig);
  [fig, h] = draw(S, S.time(1) + 0.5 / 24, 'Height', 750);
  [lat, lon] = ndgrid(M.lat, M.lon);
  L = setfield(setfield(S, 'tec', S.tec(:, :, :, 3)), 'height', 750);
  tcheck('3-D between maps: ionex.interp on that layer', ...
         max(max(abs(get(h.image, 'cdata') - flipud(ionex.interp(L, S.time(1) + 0.5 / 24, lat, lon))))) < 1e-12);
  close(fig);

  ipp = cat(3, [10 20; 30 340], [11 21; 31 -19]);
  [fig, h] = draw(M, [], 'Points', ipp);
  tcheck_equal('points: every pierce point, longitudes on -180..180', ...
               {get(h.points, 'ydata'), get(h.points, 'xdata')}, {[10 30 11 31], [20 -20 21 -19]});
  close(fig);

  fig = figure('visible', 'off');
  left = subplot(1, 2, 1);
  right = subplot(1, 2, 2);
  h = ionex.plot(M, M.time(5), 'Parent', left, 'coastlines', 0);
  tcheck('Parent: drawn into the axes given', h.axes == left && isempty(findobj(right, 'type', 'image')) ...
         && isequal(get(findobj(left, 'type', 'image'), 'cdata'), flipud(M.tec(:, :, 5))));
  tcheck('Coastlines 0: none drawn', isempty(h.coastlines) && isempty(findobj(left, 'type', 'line')));
  close(fig);
end

function check_errors(M)
% Every wrong call raises ionex:Input with a message that says what is wrong.
  t1 = M.time(1);
  S = struct('time', M.time(1:2), 'lat', M.lat, 'lon', M.lon, 'height', [150; 450], ...
             'tec', cat(4, M.tec(:, :, 1:2), M.tec(:, :, 1:2)));
  % {label, arguments, part of the message}
  cases = {
    'T before the first map',        {M, t1 - 1 / 24},                  'outside the maps'
    'T after the last map',          {M, M.time(end) + 1 / 1440},       'outside the maps'
    'T not a number',                {M, {t1}},                         'T must be one finite datenum'
    'T two numbers',                 {M, [t1 t1]},                      'T must be one finite datenum'
    'T NaN',                         {M, NaN},                          'T must be one finite datenum'
    'unknown kind',                  {M, [], 'Kind', 'vtec'},           '''vtec'' is not a kind'
    'kind not text',                 {M, [], 'Kind', 3},                'not a kind'
    'kind M lacks',                  {setfield(M, 'rms', []), [], 'Kind', 'rms'}, 'M holds no rms maps'
    'unknown option',                {M, [], 'Colour', 'red'},          'Unknown option ''Colour'''
    'option name not text',          {M, [], 5, 1},                     'must be an option name'
    'option without value',          {M, [], 'Sun'},                    'name-value pairs'
    'Coastlines not logical',        {M, [], 'Coastlines', 'yes'},      '''Coastlines'' takes true or false'
    'Sun of two values',             {M, [], 'Sun', [1 1]},             '''Sun'' takes true or false'
    'Points of one column',          {M, [], 'Points', [1; 2]},         '''Points'' takes an n-by-2'
    'CLim reversed',                 {M, [], 'CLim', [5 1]},            '''CLim'' takes [low high]'
    'CLim of three values',          {M, [], 'CLim', [0 1 2]},          '''CLim'' takes [low high]'
    'Parent not axes',               {M, [], 'Parent', 0},              '''Parent'' takes an axes handle'
    'Height not a number',           {S, [], 'Height', '450'},          '''Height'' takes one finite number'
    'Height not a layer',            {S, [], 'Height', 300},            'not a layer of M'
    '3-D without Height',            {S, []},                           'give ''Height'''
    'M missing',                     {},                                'M is missing'
    'M not a struct',                {M.tec},                           'struct that ionex.read returns'
    'M without a longitude axis',    {rmfield(M, 'lon')},               'struct that ionex.read returns'
    'M a struct array',              {[M; M]},                          'struct that ionex.read returns'
    'M without maps',                {setfield(M, 'time', zeros(0, 1))}, 'M holds no map'
    'M with a damaged axis',         {setfield(M, 'lat', [1 NaN])},     'M.lat must be a vector'
    'maps not the size of the axes', {setfield(M, 'tec', M.tec(1:5, :, :))}, 'M.tec must be nlat-by-nlon-by-nmaps'
  };
  fig = figure('visible', 'off');
  for k = 1:rows(cases)
    [label, args, part] = cases{k, :};
    id = '';
    msg = '';
    try
      ionex.plot(args{:});
    catch err
      id = err.identifier;
      msg = err.message;
    end
    tcheck([label ': ionex:Input, saying why'], strcmp(id, 'ionex:Input') && ~isempty(strfind(msg, part)), ...
           sprintf('got %s: %s', id, msg));
  end
  id = '';
  try
    [h, extra] = ionex.plot(M);
  catch err
    id = err.identifier;
  end
  tcheck('two outputs asked for: ionex:Input', strcmp(id, 'ionex:Input'), id);
  close(fig);
end

function check_coastline_file(M, ctx)
% A copy of ionex.plot whose coastline file is missing, cut short or of another format
% says so (ionex:NoFile, ionex:Corrupt) and still draws without coastlines.
  source = fileparts(which('ionex.plot'));
  data = fread(fopen_or_fail(fullfile(source, 'private', 'coastlines_110m.bin')), Inf, '*uint8');
  fclose('all');
  % {label, bytes of the file ([] for none), identifier}
  cases = {
    'missing',                 [],                            'ionex:NoFile'
    'cut short',               data(1:1000),                  'ionex:Corrupt'
    'another format',          [uint8('IXCOAST2')'; data(9:end)], 'ionex:Corrupt'
    'empty',                   zeros(0, 1, 'uint8'),          'ionex:Corrupt'
  };
  fig = figure('visible', 'off');
  for k = 1:rows(cases)
    [label, bytes, want] = cases{k, :};
    root = fullfile(ctx.tmp, sprintf('copy%d', k));
    mkdir(fullfile(root, '+ionex', 'private'));
    copyfile(fullfile(source, 'plot.m'), fullfile(root, '+ionex'));
    if ~strcmp(label, 'missing')
      fid = fopen(fullfile(root, '+ionex', 'private', 'coastlines_110m.bin'), 'w');
      fwrite(fid, bytes, 'uint8');
      fclose(fid);
    end
    addpath(root);
    clear('ionex.plot');                 % forget the package's copy, loaded before
    id = '';
    try
      ionex.plot(M);
    catch err
      id = err.identifier;
    end
    tcheck_equal(sprintf('coastline file %s: %s', label, want), id, want);
    h = ionex.plot(M, [], 'Coastlines', false);
    tcheck(sprintf('coastline file %s: the map without coastlines still draws', label), ...
           isempty(h.coastlines) && ~isempty(h.image));
    rmpath(root);
    clear('ionex.plot');
  end
  close(fig);
  tcheck_equal('the package''s own ionex.plot again', fileparts(which('ionex.plot')), source);
end

function fid = fopen_or_fail(file)
% Opens FILE for reading. Returns its descriptor; raises an error when it cannot.
  fid = fopen(file, 'r');
  if fid < 0
    error('test_ionex_plot:file', 'cannot open %s', file);
  end
end

function [fig, h] = draw(varargin)
% ionex.plot into a new invisible figure of 9 by 4.5 inches. Returns both handles.
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 9 4.5]);
  h = ionex.plot(varargin{:});
end
