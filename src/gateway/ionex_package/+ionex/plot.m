function varargout = plot(M, varargin)
%PLOT  Draw an IONEX map with coastlines: a TEC map readable at a glance.
%
%   ionex.plot(M)
%   ionex.plot(M, T)
%   ionex.plot(M, T, 'Name', VALUE, ...)
%   ionex.plot(M, 'Name', VALUE, ...)
%   H = ionex.plot(...)
%
%   M is the struct that ionex.read returns. Without T (or with T = []) the
%   map nearest to 12:00 UTC of the first day of M is drawn. T (a datenum,
%   or a datetime in MATLAB) picks another time: a time within 1 ms of a map
%   epoch draws that map as read; a time between two maps draws the map
%   ionex.interp gives at every grid node with its default method,
%   'rotated' (each map turned with the Sun, then linear in time).
%
%   The map is an image on a longitude-latitude grid, north up, longitudes
%   from -180 to 180 whatever the file's convention (0..360 files are
%   turned); a regional grid or a window is drawn at its own extent, in one
%   piece when it crosses the antimeridian (170..190 for a window from 170
%   to -170, the tick at 190 labelled -170). Nodes without a value (NaN) are
%   grey. A colour bar in TECU (km for height maps), a title with the epoch
%   (yyyy-mm-dd HH:MM UTC), the kind of map and the file, and axis labels in
%   degrees. The colours are the axes' colormap, scaled to 'CLim' (colormap
%   and caxis restyle the map afterwards).
%
%   Options (name-value pairs, names in any case; defaults in brackets):
%     'Kind'        'tec', 'rms' or 'height_map': which maps of M ['tec']
%     'Coastlines'  draw Natural Earth's 1:110m coastlines, clipped to the
%                   map's extent [true]
%     'Sun'         mark the subsolar point at the map's epoch [false]
%     'Points'      n-by-2 [lat lon] (degrees) to mark as given, such as
%                   stations or the IPP of ionex.delay (its n-by-2-by-k
%                   form too); further columns are ignored [none]
%     'CLim'        [low high] of the colour scale [0 to the largest
%                   value, from the smallest when that is negative]
%     'Parent'      axes to draw into, cleared unless hold is on [the
%                   current axes, or new ones]
%     'Height'      km: the layer of a 3-D map set, one of M.height;
%                   needed when M holds more than one layer

%   H is a struct of handles for further styling: axes, image, missing
%   (the grey cells; [] when every node has a value), coastlines (one
%   line; [] without), points ([] without), sun ([] without), colorbar,
%   title. get(H.image, 'CData') holds the values drawn, nlat-by-nlon,
%   south to north and west to east.
%
%   Base graphics only; runs in MATLAB and Octave, without a display too:
%   draw into figure('visible', 'off') and print it (in Octave without
%   its GUI, graphics_toolkit('gnuplot') first).
%
%   Errors: ionex:Input for an M that is not from ionex.read, a T outside
%   the maps, a kind M does not hold, an unknown option or a wrong value;
%   ionex:NoFile or ionex:Corrupt when the coastline file beside this
%   function is missing or damaged.
%
%   Coastlines: Natural Earth 1:110m (public domain), from the npm package
%   world-atlas (ISC licence), in +ionex/private/coastlines_110m.bin.
%
%   Example
%     M = ionex.read('codg0080.20i.Z');
%     ionex.plot(M, [], 'Sun', true);
%     [~, ~, ~, ipp] = ionex.delay(M, M.time(13), [46.88 7.47], 0:30:330, 20);
%     figure; ionex.plot(M, M.time(13), 'Points', ipp, 'CLim', [0 40]);
%
%   See also ionex.read, ionex.interp, ionex.delay.

  if nargin < 1
    fail('M is missing: call ionex.plot(M) with the struct that ionex.read returns.');
  end
  if nargout > 1
    fail('ionex.plot returns one output, a struct of handles; %d were requested.', nargout);
  end
  [t, opts] = read_arguments(M, varargin);
  [values, epoch, interpolated] = map_at(M, t, opts);
  [layout, values] = display_grid(M.lon, M.lat, values);
  ax = target_axes(opts.parent);
  h = draw_map(ax, layout, values, opts.clim);
  h.coastlines = [];
  if opts.coastlines
    [cx, cy] = coastlines_in(layout.box);
    h.coastlines = line('Parent', ax, 'XData', cx, 'YData', cy, 'Color', [0 0 0], 'LineWidth', 1);
  end
  [h.points, h.sun] = draw_marks(ax, layout.box, opts, epoch);
  [h.colorbar, h.title] = label_map(ax, M, opts, epoch, interpolated);
  if nargout > 0
    varargout{1} = h;
  end
end

% ---------------------------------------------------------------------------------------
function h = draw_map(ax, layout, values, wanted_clim)
% Draws the map as a scaled image north up, grey cells where a node has no value, and sets
% the axes to the map's extent. Returns the handles axes, image and missing.
  grey = [0.8 0.8 0.8];
  h.axes = ax;
  h.image = image('Parent', ax, 'XData', layout.lon([1 end]), 'YData', layout.lat([1 end]), ...
                  'CData', values, 'CDataMapping', 'scaled');
  h.missing = grey_cells(ax, values, layout, grey);
  set(ax, 'YDir', 'normal', 'XLim', layout.box(1:2), 'YLim', layout.box(3:4), ...
          'CLim', colour_limits(values, wanted_clim), 'DataAspectRatio', [1 1 1], ...
          'Layer', 'top', 'Box', 'on', 'Color', grey);
  if layout.is_global
    set(ax, 'XTick', -180:60:180);
  end
  if layout.pole_to_pole
    set(ax, 'YTick', -90:30:90);
  end
  if layout.box(2) > 180
    label_past_180(ax);
  end
end

function label_past_180(ax)
% A map drawn past 180 E (a window across the antimeridian, 170..190) keeps the longitudes
% of its axis labels in -180..180: the tick at 190 reads -170. The ticks are fixed where
% the axes put them.
  ticks = get(ax, 'XTick');
  shown = ticks - 360 * (ticks > 180);
  set(ax, 'XTick', ticks, 'XTickLabel', arrayfun(@(x) sprintf('%g', x), shown, 'UniformOutput', false));
end

function [points, sun] = draw_marks(ax, box, opts, epoch)
% Marks the points of 'Points' and, with 'Sun', the subsolar point at EPOCH, their
% longitudes moved into the map's extent. Returns their line handles ([] for none).
  points = [];
  sun = [];
  if ~isempty(opts.points)
    points = line('Parent', ax, 'XData', shift_into(opts.points(:, 2), box(1)), ...
                  'YData', opts.points(:, 1), 'LineStyle', 'none', 'Marker', 'o', ...
                  'MarkerSize', 5, 'MarkerEdgeColor', [0 0 0], 'MarkerFaceColor', [1 1 1]);
  end
  if opts.sun
    [sun_lat, sun_lon] = subsolar_point(epoch);
    sun = line('Parent', ax, 'XData', shift_into(sun_lon, box(1)), 'YData', sun_lat, ...
               'LineStyle', 'none', 'Marker', 'o', 'MarkerSize', 11, 'LineWidth', 1.5, ...
               'MarkerEdgeColor', [0 0 0], 'MarkerFaceColor', [1 0.85 0]);
  end
end

function [cb, ttl] = label_map(ax, M, opts, epoch, interpolated)
% Adds the colour bar with the unit, the axis labels and the title. Returns the colour
% bar's handle and the title's.
  cb = colorbar(ax);
  ylabel(cb, unit_of(opts.kind));
  xlabel(ax, 'Longitude (degrees)');
  ylabel(ax, 'Latitude (degrees)');
  ttl = title(ax, title_text(M, opts, epoch, interpolated), 'Interpreter', 'none');
end

% ---------------------------------------------------------------------------------------
function [t, opts] = read_arguments(M, args)
% Checks M and reads T and the options of the call.
% Returns the time (NaN for the default) and the options with their defaults.
  need = {'time', 'lat', 'lon'};
  if ~isstruct(M) || ~isscalar(M) || ~all(isfield(M, need))
    fail('M must be the struct that ionex.read returns (with the fields time, lat, lon and the maps).');
  end
  for k = 1:numel(need)
    v = M.(need{k});
    if ~isnumeric(v) || ~isreal(v) || ~isvector(v) || any(~isfinite(v))
      fail('M.%s must be a vector of finite real numbers, as ionex.read returns it.', need{k});
    end
  end
  if isempty(M.time)
    fail('M holds no map (M.time is empty).');
  end

  t = NaN;
  if ~isempty(args) && ~is_text(args{1})
    t = args{1};
    args = args(2:end);
    if isa(t, 'datetime')
      t = datenum(t);
    end
    if isempty(t)
      t = NaN;
    elseif ~isnumeric(t) || ~isreal(t) || ~isscalar(t) || ~isfinite(t)
      fail('T must be one finite datenum (or [] for the map nearest to noon of the first day).');
    end
    t = double(t);
  end

  opts = struct('kind', 'tec', 'coastlines', true, 'sun', false, 'points', zeros(0, 2), ...
                'clim', [], 'parent', [], 'height', []);
  if mod(numel(args), 2) ~= 0
    fail('Options come in name-value pairs; the last name has no value.');
  end
  for k = 1:2:numel(args)
    if ~is_text(args{k})
      fail('Input %d must be an option name (char row), not a %s.', k + 1 + ~isnan(t), class(args{k}));
    end
    opts = read_option(opts, char(args{k}), args{k + 1});
  end
end

function opts = read_option(opts, given, value)
% Checks one option value. Returns the options with it set.
  name = lower(given);
  switch name
    case 'kind'
      kinds = {'tec', 'rms', 'height_map'};
      if ~is_text(value) || ~any(strcmpi(char(value), kinds))
        fail('''Kind'' must be ''tec'', ''rms'' or ''height_map''; %s is not a kind of map.', describe(value));
      end
      opts.kind = lower(char(value));
    case {'coastlines', 'sun'}
      if ~(islogical(value) || isnumeric(value)) || ~isscalar(value) || ~any(double(value) == [0 1])
        fail('''%s'' takes true or false.', option_name(name));
      end
      opts.(name) = logical(value);
    case 'points'
      if ~isnumeric(value) || ~isreal(value) || (~isempty(value) && size(value, 2) < 2)
        fail('''Points'' takes an n-by-2 array of [lat lon] in degrees.');
      end
      value = double(value);
      if ndims(value) > 2    % the IPP of ionex.delay for 3-D maps: n-by-2-by-layers
        value = reshape(permute(value, [1 3 2]), [], size(value, 2));
      end
      opts.points = value(:, 1:min(2, end));
    case 'clim'
      if ~isnumeric(value) || ~isreal(value) || numel(value) ~= 2 || any(~isfinite(value)) ...
         || value(1) >= value(2)
        fail('''CLim'' takes [low high], two finite numbers with low < high.');
      end
      opts.clim = double(value(:)');
    case 'parent'
      if ~isscalar(value) || ~ishghandle(value) || ~strcmp(get(value, 'Type'), 'axes')
        fail('''Parent'' takes an axes handle.');
      end
      opts.parent = value;
    case 'height'
      if ~isnumeric(value) || ~isreal(value) || ~isscalar(value) || ~isfinite(value)
        fail('''Height'' takes one finite number (km), one of M.height.');
      end
      opts.height = double(value);
    otherwise
      fail(['Unknown option ''%s'': ionex.plot takes ''Kind'', ''Coastlines'', ''Sun'', ' ...
            '''Points'', ''CLim'', ''Parent'' and ''Height''.'], given);
  end
end

% ---------------------------------------------------------------------------------------
function [values, epoch, interpolated] = map_at(M, t, opts)
% The nlat-by-nlon map of the chosen kind and layer at time T (the map nearest to noon of
% the first day for NaN), in file order. Returns it, its epoch and whether it was
% interpolated between two maps.
  if ~isfield(M, opts.kind) || isempty(M.(opts.kind))
    fail('M holds no %s maps (M.%s is empty or missing).', opts.kind, opts.kind);
  end
  maps = M.(opts.kind);
  nlat = numel(M.lat);
  nlon = numel(M.lon);
  nmaps = numel(M.time);
  if ~isnumeric(maps) || ~isreal(maps) || size(maps, 1) ~= nlat || size(maps, 2) ~= nlon ...
     || size(maps, 3) ~= nmaps || ndims(maps) > 4
    fail('M.%s must be nlat-by-nlon-by-nmaps (by layers), as ionex.read returns it.', opts.kind);
  end
  [maps, height] = pick_layer(M, maps, opts);
  time = double(M.time(:));

  if isnan(t)
    [~, k] = min(abs(time - (floor(time(1)) + 0.5)));
    t = time(k);
  end
  ms = 1e-3 / 86400;
  if t < time(1) - ms || t > time(end) + ms
    fail('T = %s is outside the maps, %s to %s.', stamp(t), stamp(time(1)), stamp(time(end)));
  end
  [gap, k] = min(abs(time - t));
  interpolated = gap > ms;
  if ~interpolated
    values = double(maps(:, :, k));
    epoch = time(k);
    return;
  end
  % Between two maps: ionex.interp at every node, on a map set of the chosen kind and layer.
  Q = struct('time', time, 'lat', M.lat(:), 'lon', M.lon(:), 'height', height, 'tec', double(maps));
  [lat, lon] = ndgrid(double(M.lat(:)), double(M.lon(:)));
  values = ionex.interp(Q, t, lat, lon);
  epoch = t;
end

function [maps, height] = pick_layer(M, maps, opts)
% The maps of one layer: the one of 'Height', or the only one. Returns them and the
% layer's height (km; [] when M gives none).
  height = [];
  if isfield(M, 'height') && isnumeric(M.height)
    height = double(M.height(:));
  end
  layers = size(maps, 4);
  if isempty(opts.height)
    if layers > 1
      fail('M holds %d layers: give ''Height'', one of M.height (%s km).', layers, mat2str(height'));
    end
    return;
  end
  k = find(abs(height - opts.height) <= 1e-6, 1);
  if isempty(k)
    fail('''Height'' %g km is not a layer of M: M.height is %s km.', opts.height, mat2str(height'));
  end
  if layers > 1
    maps = maps(:, :, :, k);
  end
  height = height(k);
end

% ---------------------------------------------------------------------------------------
function [layout, values] = display_grid(lon, lat, values)
% The grid as drawn: longitudes (see display_longitudes) and latitudes south to north, their
% spacings, whether it goes round the globe, whether it reaches both poles (to a cell), and
% the box [west east south north] shown: -180..180 for a grid round the globe, -90..90 for one
% from pole to pole, otherwise half a cell around the nodes (a latitude band stays a band).
% Returns it and VALUES in its order.
  [layout.lon, lon_order, layout.is_global, layout.dlon] = display_longitudes(lon);
  [layout.lat, lat_order, layout.dlat] = display_latitudes(lat);
  values = values(lat_order, lon_order);
  layout.pole_to_pole = numel(layout.lat) > 1 && layout.lat(1) - layout.dlat <= -90 + 1e-6 ...
                        && layout.lat(end) + layout.dlat >= 90 - 1e-6;
  if layout.is_global
    layout.box(1:2) = [-180 180];
  else
    layout.box(1:2) = [layout.lon(1) - layout.dlon / 2, layout.lon(end) + layout.dlon / 2];
  end
  if layout.pole_to_pole
    layout.box(3:4) = [-90 90];
  else
    layout.box(3:4) = [max(layout.lat(1) - layout.dlat / 2, -90), min(layout.lat(end) + layout.dlat / 2, 90)];
  end
end

function [lon_d, order, is_global, step] = display_longitudes(lon)
% The longitudes as drawn, ascending from -180: a grid that covers the circle is turned into
% -180..180 (its -180 column repeated at 180 when it has one), a regional grid is moved by
% whole turns so that it starts in -180..180. Returns them, the file's column for each, whether
% the grid is global, and the node spacing.
  lon = double(lon(:));
  step = 1;
  % A window across the antimeridian jumps by a turn between neighbours (170, 175, 180,
  % -175, -170): unwrapped, it runs on (170 .. 190) and its width is the true one.
  unwrapped = lon;
  if numel(lon) > 1
    turns = mod(diff(lon) + 180, 360) - 180;
    unwrapped = lon(1) + [0; cumsum(turns)];
    step = abs(turns(1));
  end
  is_global = numel(lon) > 1 && max(unwrapped) - min(unwrapped) + step >= 360 - 1e-6;
  lon = unwrapped;
  if is_global
    wrapped = mod(lon + 180, 360) - 180;
    wrapped(abs(wrapped - 180) < 1e-9) = -180;
    [~, first] = unique(round(wrapped * 1e6), 'first');
    [lon_d, sorted] = sort(wrapped(first));
    order = first(sorted);
    if abs(lon_d(1) + 180) < 1e-9
      lon_d = [lon_d; 180];
      order = [order; order(1)];
    end
  else
    [lon_d, order] = sort(lon);
    lon_d = lon_d - 360 * floor((lon_d(1) + 180) / 360);
  end
end

function [lat_d, order, step] = display_latitudes(lat)
% The latitudes south to north. Returns them, the file's row of each and the node spacing.
  [lat_d, order] = sort(double(lat(:)));
  step = 1;
  if numel(lat) > 1
    step = abs(lat(2) - lat(1));
  end
end

function x = shift_into(x, west)
% Longitudes moved by whole turns into [WEST, WEST + 360). Returns them.
  x = double(x(:));
  x = x - 360 * floor((x - west) / 360);
end

% ---------------------------------------------------------------------------------------
function ax = target_axes(parent)
% The axes to draw into: PARENT or the current axes, made ready as a new plot does (cleared
% unless hold is on). Returns them.
  if isempty(parent)
    ax = newplot();
  else
    ax = newplot(parent);
  end
end

function clim = colour_limits(values, wanted)
% The colour scale: WANTED, or from 0 (or the smallest value, when negative) to the largest.
% Returns [low high].
  clim = wanted;
  if ~isempty(clim)
    return;
  end
  v = values(isfinite(values));
  if isempty(v)
    clim = [0 1];
    return;
  end
  clim = [min(0, min(v)), max(v)];
  if clim(2) <= clim(1)
    clim = clim(1) + [-1 1] * max(1, abs(clim(1)) / 10);
  end
end

function p = grey_cells(ax, values, layout, grey)
% Covers the nodes without a value with grey cells, one rectangle for each run of them along
% a latitude row (renderers differ in how they colour NaN in an image). Returns the patch,
% or [] when every node has a value.
  p = [];
  missing = ~isfinite(values);
  if ~any(missing(:))
    return;
  end
  edges = diff([false(size(missing, 1), 1), missing, false(size(missing, 1), 1)], 1, 2);
  [first, row] = find(edges.' == 1);          % transposed: runs listed row by row
  [last, ~] = find(edges.' == -1);
  [first, row] = deal(first(:), row(:));
  last = last(:) - 1;
  west = layout.lon(first) - layout.dlon / 2;
  east = layout.lon(last) + layout.dlon / 2;
  south = layout.lat(row) - layout.dlat / 2;
  north = layout.lat(row) + layout.dlat / 2;
  n = numel(row);
  vertices = [west south; east south; east north; west north];
  faces = reshape(1:4 * n, n, 4);
  p = patch('Parent', ax, 'Vertices', vertices, 'Faces', faces, 'FaceColor', grey, ...
            'EdgeColor', 'none');
end

% ---------------------------------------------------------------------------------------
function [x, y] = coastlines_in(box)
% Natural Earth's 1:110m coastlines clipped to BOX = [west east south north], also where
% the box reaches past +-180. Returns the lines as one pair of rows, NaN between lines.
  [lon, lat] = coastline_data();
  x = [];
  y = [];
  for turn = -360:360:360
    if box(1) < 180 + turn && box(2) > -180 + turn
      [cx, cy] = clip_lines(lon + turn, lat, box);
      x = [x, cx]; %#ok<AGROW>
      y = [y, cy]; %#ok<AGROW>
    end
  end
end

function [lon, lat] = coastline_data()
% Reads the coastline file beside this function (format: scripts/make_coastlines.js).
% Returns longitudes and latitudes as rows, NaN between lines.
  file = fullfile(fileparts(mfilename('fullpath')), 'private', 'coastlines_110m.bin');
  fid = fopen(file, 'r', 'ieee-le');
  if fid < 0
    error('ionex:NoFile', 'ionex.plot: the coastline file %s is missing; reinstall the toolbox or pass ''Coastlines'', false.', file);
  end
  magic = fread(fid, [1 8], '*char');
  count = fread(fid, 1, 'uint32');
  data = fread(fid, [2 Inf], 'int16');
  fclose(fid);
  if ~strcmp(magic, 'IXCOAST1') || isempty(count) || size(data, 2) ~= count
    error('ionex:Corrupt', 'ionex.plot: the coastline file %s is damaged; reinstall the toolbox or pass ''Coastlines'', false.', file);
  end
  gap = data(1, :) == -32768;
  lon = data(1, :) / 100;
  lat = data(2, :) / 100;
  lon(gap) = NaN;
  lat(gap) = NaN;
end

function [x, y] = clip_lines(lon, lat, box)
% Clips polylines (rows, NaN between lines) to BOX = [west east south north] segment by
% segment (Liang-Barsky); a line leaving the box ends on its edge and resumes where it comes
% back. Returns the clipped lines, NaN between pieces.
  x0 = lon(1:end - 1); y0 = lat(1:end - 1);
  dx = lon(2:end) - x0; dy = lat(2:end) - y0;
  keep = isfinite(dx) & isfinite(dy);
  t0 = zeros(size(x0));
  t1 = ones(size(x0));
  p = {-dx, dx, -dy, dy};
  q = {x0 - box(1), box(2) - x0, y0 - box(3), box(4) - y0};
  for e = 1:4
    keep = keep & ~(p{e} == 0 & q{e} < 0);
    r = q{e} ./ p{e};
    enter = p{e} < 0;
    leave = p{e} > 0;
    t0(enter) = max(t0(enter), r(enter));
    t1(leave) = min(t1(leave), r(leave));
  end
  keep = keep & t0 <= t1;
  % A segment continues the piece before it when both are kept whole at their common point.
  joined = keep & [false, keep(1:end - 1) & t1(1:end - 1) == 1] & t0 == 0;
  k = find(keep);
  starts = ~joined(k);
  px = [NaN(1, numel(k)); x0(k) + t0(k) .* dx(k); x0(k) + t1(k) .* dx(k)];
  py = [NaN(1, numel(k)); y0(k) + t0(k) .* dy(k); y0(k) + t1(k) .* dy(k)];
  used = true(size(px));
  used(1:2, ~starts) = false;
  x = px(used)';
  y = py(used)';
end

% ---------------------------------------------------------------------------------------
function [lat, lon] = subsolar_point(t)
% Where the Sun stands at the zenith at datenum T (UTC), from the Sun's low-precision
% coordinates of the Astronomical Almanac (about 0.01 degree, 1950 to 2050): the declination
% is the latitude, right ascension minus Greenwich sidereal time the longitude. Returns
% degrees, longitude in -180..180.
  n = t - 730486.5;                          % days from J2000.0 (2000-01-01 12:00)
  mean_lon = 280.460 + 0.9856474 * n;
  anomaly = 357.528 + 0.9856003 * n;
  ecliptic = mean_lon + 1.915 * sind(anomaly) + 0.020 * sind(2 * anomaly);
  obliquity = 23.439 - 0.0000004 * n;
  right_ascension = atan2d(cosd(obliquity) * sind(ecliptic), cosd(ecliptic));
  lat = asind(sind(obliquity) * sind(ecliptic));
  sidereal = 280.46061837 + 360.98564736629 * n;
  lon = mod(right_ascension - sidereal + 180, 360) - 180;
end

% ---------------------------------------------------------------------------------------
function text = title_text(M, opts, epoch, interpolated)
% The title: kind of map, epoch to the minute, layer of a 3-D set, file. Returns it.
  names = struct('tec', 'Vertical TEC', 'rms', 'RMS of vertical TEC', 'height_map', 'Height map');
  text = sprintf('%s, %s UTC', names.(opts.kind), stamp(epoch));
  if interpolated
    text = [text ' (interpolated)'];
  end
  if ~isempty(opts.height)
    text = sprintf('%s, %g km', text, opts.height);
  end
  files = {};
  if isfield(M, 'files') && iscellstr(M.files)
    files = M.files;
  end
  if ~isempty(files)
    [~, name, ext] = fileparts(files{1});
    text = sprintf('%s, %s%s', text, name, ext);
    if numel(files) > 1
      text = sprintf('%s and %d more', text, numel(files) - 1);
    end
  end
end

function u = unit_of(kind)
% The unit of a kind of map. Returns it.
  u = 'TECU';
  if strcmp(kind, 'height_map')
    u = 'km';
  end
end

function s = stamp(t)
% A datenum as yyyy-mm-dd HH:MM, to the nearest minute. Returns it.
  s = datestr(round(t * 1440) / 1440, 'yyyy-mm-dd HH:MM');
end

function yes = is_text(v)
% True for a char row or a string scalar.
  yes = (ischar(v) && (isrow(v) || isempty(v))) || (isa(v, 'string') && isscalar(v));
end

function s = describe(v)
% A short description of an option value for a message. Returns it.
  if is_text(v)
    s = ['''' char(v) ''''];
  else
    s = sprintf('a %s', class(v));
  end
end

function name = option_name(name)
% The option's name as documented. Returns it.
  switch name
    case 'coastlines', name = 'Coastlines';
    case 'sun', name = 'Sun';
  end
end

function fail(varargin)
% Raises ionex:Input with the message, prefixed by the function's name.
  error('ionex:Input', ['ionex.plot: ' varargin{1}], varargin{2:end});
end
