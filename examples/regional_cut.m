function [E, M, out, fig] = regional_cut(file, out, png)
%REGIONAL_CUT  Cut Europe out of a day of global TEC maps, write it as IONEX, read it back.
%
%   regional_cut(FILE, OUT, PNG) reads the IONEX file FILE (plain, .gz or .Z) with
%   ionex.read, keeping latitudes 35..70 N and longitudes 10 W..40 E (TEC and RMS maps),
%   writes that window as the IONEX file OUT with ionex.write (a regional file whose grid
%   and epoch records describe what it holds, readable by any IONEX reader) and reads OUT
%   back. The figure, written to the PNG file PNG, shows the 12:00 UTC map of the day as
%   cut from the global file (left) and as read back from OUT (right), with the grid's
%   nodes marked.
%
%   Defaults: FILE the bundled CODE product codg0080.20i.Z (2020-01-08), OUT
%   'europe.20i' and PNG 'regional_cut.png' in the current folder. An existing OUT is
%   replaced.
%
%   [E, M, OUT] = regional_cut(...) also returns the struct read back, the cut that was
%   written and the name written; ionex.read(OUT) equals M in every field from the file.
%   A fourth output keeps the (invisible) figure open and returns its handle.
%
%   Runs without a display: in Octave without the GUI it draws with gnuplot.

  if nargin < 1 || isempty(file), file = fullfile(sample_dir(), 'codg0080.20i.Z'); end
  if nargin < 2 || isempty(out), out = 'europe.20i'; end
  if nargin < 3 || isempty(png), png = 'regional_cut.png'; end
  if isempty(which('ionex.read')) || isempty(which('ionex.write'))
    error('regional_cut:module', ...
          'ionex.read or ionex.write is not on the path: addpath the folder that holds +ionex');
  end

  M = ionex.read(file, 'Maps', {'tec', 'rms'}, 'Latitude', [35 70], 'Longitude', [-10 40]);
  [~, name, ext] = fileparts(file);
  out = ionex.write(M, out, 'Overwrite', true, ...
                    'Comment', sprintf('Europe, 35..70 N, 10 W..40 E, cut from %s%s', name, ext));
  E = ionex.read(out);

  % The map nearest 12:00 UTC of the first day.
  [~, k] = min(abs(E.time - (floor(E.time(1)) + 0.5)));
  limits = [min([M.tec(:); E.tec(:)]) max([M.tec(:); E.tec(:)])];

  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 10 4.5]);
  [~, out_name, out_ext] = fileparts(out);
  panels = {M, sprintf('cut from %s%s', name, ext); E, sprintf('read back from %s%s', out_name, out_ext)};
  for p = 1:2
    S = panels{p, 1};
    subplot(1, 2, p);
    imagesc(S.lon, S.lat, S.tec(:, :, k), limits);
    axis xy;                                   % north up: rows are latitudes
    hold on;
    [lon_grid, lat_grid] = meshgrid(S.lon, S.lat);
    plot(lon_grid(:), lat_grid(:), '.', 'color', [0.3 0.3 0.3], 'markersize', 4);   % the grid nodes
    hold off;
    ylabel(colorbar(), 'TECU');
    xlabel('longitude (deg)');
    ylabel('latitude (deg)');
    title(sprintf('%s, %s UTC', panels{p, 2}, datestr(S.time(k), 'yyyy-mm-dd HH:MM')), 'interpreter', 'none');
  end
  print(fig, '-dpng', '-r100', png);
  if nargout < 4
    close(fig);
  end
end
