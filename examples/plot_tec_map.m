function [tec, lat, lon, epoch, fig] = plot_tec_map(file, png, k)
%PLOT_TEC_MAP  Draw one global TEC map of an IONEX file and save it as a PNG.
%
%   plot_tec_map(FILE, PNG, K) reads the IONEX file FILE (plain, .gz or .Z) with
%   vornakelstrid_p and draws its map number K on a longitude-latitude grid, north up,
%   with a colour bar in TECU and the map's epoch (UTC) in the title. The figure is
%   written to the PNG file PNG.
%
%   Defaults: FILE the bundled CODE product codg0080.20i.Z, PNG 'tec_map.png' in the
%   current folder, K the middle map of the file (12:00 UTC for a daily file of 25 maps).
%
%   [TEC, LAT, LON, EPOCH] = plot_tec_map(...) also returns the map drawn (nlon-by-nlat,
%   as vornakelstrid_p returns it), its axes and its epoch (datenum). A fifth output
%   keeps the (invisible) figure open and returns its handle; otherwise it is closed.
%
%   Runs without a display: in Octave without the GUI it draws with gnuplot.
%
%   Example
%     addpath('/path/to/vornakelstrid_p');       % the folder that holds the module
%     plot_tec_map('codg0080.20i.Z', 'tec_map.png', 13);

  if nargin < 1 || isempty(file), file = fullfile(sample_dir(), 'codg0080.20i.Z'); end
  if nargin < 2 || isempty(png), png = 'tec_map.png'; end
  if exist('vornakelstrid_p') ~= 3 %#ok<EXIST>
    error('plot_tec_map:module', ...
          'vornakelstrid_p is not on the path: addpath the folder that holds its MEX file');
  end

  % The whole grid: one nlon-by-nlat matrix per map, the epochs and both axes.
  [maps, epochs, lat, lon] = vornakelstrid_p(file);
  if iscell(maps) && isequal(size(maps), [2 1]) && ischar(maps{1})
    error(maps{2}, '%s', maps{1});       % failures come back as {message; identifier}
  end
  if isempty(maps)
    error('plot_tec_map:empty', 'no TEC map in %s', file);
  end
  if nargin < 3 || isempty(k), k = ceil(numel(maps) / 2); end
  if k < 1 || k > numel(maps) || k ~= fix(k)
    error('plot_tec_map:index', 'map number %g is not in 1..%d', k, numel(maps));
  end
  tec = maps{k};
  epoch = epochs(k);

  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 9 4.4]);
  % Rows of the image are latitudes: transpose the nlon-by-nlat cell. imagesc puts row 1
  % (lat(1), the northernmost row of a north-to-south file) at lat(1), and the normal
  % y direction puts larger latitudes at the top, so north is up whatever the file's order.
  % NaN marks places the file gives no value for.
  imagesc(lon, lat, tec.');
  ax = gca();
  set(ax, 'ydir', 'normal', 'xtick', -180:60:180, 'ytick', -90:30:90, ...
          'xlim', [-180 180] + [-1 1] * abs(lon(min(2, end)) - lon(1)) / 2, ...
          'ylim', [-90 90], 'dataaspectratio', [1 1 1], 'layer', 'top');
  cb = colorbar();
  ylabel(cb, 'TECU');
  xlabel('Longitude (degrees)');
  ylabel('Latitude (degrees)');
  [~, name, ext] = fileparts(file);
  title(sprintf('Vertical TEC, %s UTC (map %d of %d, %s%s)', ...
                datestr(epoch, 'yyyy-mm-dd HH:MM'), k, numel(maps), name, ext), ...
        'interpreter', 'none');

  % Where the sun stands overhead at this epoch (approximate): the dayside, with the high
  % TEC, lies around it; a check that the map is not flipped or shifted.
  [sun_lat, sun_lon] = subsolar_point(epoch);
  hold(ax, 'on');
  plot(ax, sun_lon, sun_lat, 'wo', 'markersize', 10, 'linewidth', 2);
  text(sun_lon + 6, sun_lat, 'sun overhead', 'color', 'w', 'parent', ax);
  hold(ax, 'off');

  print(fig, '-dpng', '-r100', png);
  if nargout < 5
    close(fig);
  end
end

function [lat, lon] = subsolar_point(t)
% Latitude and longitude (degrees) where the sun is at the zenith at datenum T, to about a
% degree: declination from the day of the year, longitude from the UTC time of day.
  day_of_year = floor(t) - datenum(str2double(datestr(t, 'yyyy')), 1, 0);
  lat = -23.44 * cosd(360 / 365 * (day_of_year + 10));
  lon = mod(180 - 360 * (t - floor(t)) + 180, 360) - 180;
end

function use_gnuplot_without_gui()
% Octave without its GUI (octave-cli, a script, a test) draws invisible figures with gnuplot.
  if exist('OCTAVE_VERSION', 'builtin') && ~isguirunning() ...
     && any(strcmp(available_graphics_toolkits(), 'gnuplot'))
    warning('off', 'Octave:gnuplot-graphics', 'local');   % its note on interactive use
    graphics_toolkit('gnuplot');
  end
end

function d = sample_dir()
% The bundled sample files: data/ beside the installed examples, tests/data in the sources.
  here = fileparts(mfilename('fullpath'));
  d = fullfile(here, 'data');
  if ~exist(d, 'dir')
    d = fullfile(fileparts(here), 'tests', 'data');
  end
end
