function [t, tec, sat_dcb, rx_dcb, fig] = tec_at_station(file, png, station, place)
%TEC_AT_STATION  Plot the TEC over a station through the day, with the file's DCBs.
%
%   tec_at_station(FILE, PNG, STATION, PLACE) reads the IONEX file FILE (plain, .gz or .Z)
%   with vornakelstrid_p at the point PLACE = [latitude longitude] (degrees) and draws:
%     top     the vertical TEC of every map at PLACE against the map epochs (UTC);
%     bottom  the satellite differential code biases (DCBs) of the file, by PRN, and the
%             DCB of the receiver STATION, as a bar chart (nanoseconds, as in the file).
%   The figure is written to the PNG file PNG.
%
%   Defaults: FILE the bundled CODE product codg0080.20i.Z, PNG 'tec_at_station.png' in
%   the current folder, STATION 'zimm' (Zimmerwald, Switzerland), PLACE its position
%   [46.88 7.47]. An IONEX file names its stations but does not locate them: give PLACE
%   for another station.
%
%   [T, TEC, SAT_DCB, RX_DCB] = tec_at_station(...) also returns the epochs (datenum),
%   the TEC values (TECU, one per map), the satellite DCBs (element n for PRN n) and the
%   receiver DCB. A fifth output keeps the (invisible) figure open and returns its handle.
%
%   Runs without a display: in Octave without the GUI it draws with gnuplot.

  if nargin < 1 || isempty(file), file = fullfile(sample_dir(), 'codg0080.20i.Z'); end
  if nargin < 2 || isempty(png), png = 'tec_at_station.png'; end
  if nargin < 3 || isempty(station), station = 'zimm'; end
  if nargin < 4 || isempty(place), place = [46.88 7.47]; end
  if exist('vornakelstrid_p') ~= 3 %#ok<EXIST>
    error('tec_at_station:module', ...
          'vornakelstrid_p is not on the path: addpath the folder that holds its MEX file');
  end

  % One point and a receiver name: one value per map, and with six outputs the DCBs.
  [tec, t, node_lat, node_lon, sat_dcb, rx_dcb] = vornakelstrid_p(file, place, station);
  if iscell(tec) && isequal(size(tec), [2 1]) && ischar(tec{1})
    error(tec{2}, '%s', tec{1});         % failures come back as {message; identifier}
  end

  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 8 7]);
  [~, name, ext] = fileparts(file);

  subplot(2, 1, 1);
  plot(t, tec, '-o', 'linewidth', 1.5, 'markersize', 4);
  grid on;
  day = floor(t(1));
  set(gca(), 'xtick', day + (0:3:ceil((t(end) - day) * 8) * 3) / 24, ...
             'xlim', [t(1) t(end)] + [-1 1] / 48);
  datetick('x', 'HH:MM', 'keepticks', 'keeplimits');
  xlabel(sprintf('UTC, %s', datestr(t(1), 'yyyy-mm-dd')));
  ylabel('Vertical TEC (TECU)');
  title(sprintf('TEC above %s (%.2f N, %.2f E; node %.1f N, %.1f E), %s%s', ...
                upper(station), place(1), place(2), node_lat, node_lon, name, ext), ...
        'interpreter', 'none');

  % One bar call for all, so the receiver's bar has the satellites' width: column 1 holds
  % the satellites, column 2 the receiver, stacked on zeros.
  subplot(2, 1, 2);
  n = numel(sat_dcb);
  x = [1:n, n + 2];
  h = bar(x, [sat_dcb(:), zeros(n, 1); 0, rx_dcb], 0.7, 'stacked');
  set(h(1), 'facecolor', [0.2 0.4 0.8]);
  set(h(2), 'facecolor', [0.85 0.3 0.1]);
  grid on;
  ticks = [1, 4:4:n, n + 2];
  labels = [arrayfun(@(p) sprintf('G%02d', p), ticks(1:end-1), 'uniformoutput', false), ...
            {upper(station)}];
  set(gca(), 'xtick', ticks, 'xticklabel', labels, 'xlim', [0 n + 3]);
  ylabel('DCB (ns)');
  xlabel('satellite PRN, and the receiver');
  title(sprintf('Differential code biases: %d satellites, receiver %s %.3f ns', ...
                nnz(sat_dcb), upper(station), rx_dcb), 'interpreter', 'none');

  print(fig, '-dpng', '-r100', png);
  if nargout < 5
    close(fig);
  end
end
