function [t, d, sigma, el, az, fig] = slant_delay(file, png, place)
%SLANT_DELAY  Plot the L1 ionospheric delay of a satellite pass over a station through a day.
%
%   slant_delay(FILE, PNG, PLACE) reads the IONEX file FILE (plain, .gz or .Z) with
%   ionex.read and draws, for the receiver at PLACE = [latitude longitude height]
%   (degrees, metres), through the day of the file:
%     top     the slant delay at GPS L1 (ionex.delay, 'rotated' maps, single-layer mapping
%             function) of a satellite pass, with its uncertainty band D +- SIGMA from the
%             RMS maps, and the vertical delay above the receiver through the whole day;
%     bottom  the elevation and azimuth of the pass.
%   The pass is made up: the satellite comes above a 10-degree elevation mask at 08:00 UTC
%   in the north-east, culminates at 75 degrees at 11:00 in the south-east and goes below
%   the mask at 14:00 in the south-west.
%   The figure is written to the PNG file PNG.
%
%   Defaults: FILE the bundled CODE product CODG0440.13I (2013-02-13, near the solar
%   maximum), PNG 'slant_delay.png' in the current folder, PLACE Zimmerwald, Switzerland,
%   [46.88 7.47 956].
%
%   [T, D, SIGMA, EL, AZ] = slant_delay(...) also returns the epochs of the pass
%   (datenum, every 5 minutes), the delays and their uncertainties (metres), and the
%   elevations and azimuths (degrees). A sixth output keeps the (invisible) figure open and
%   returns its handle.
%
%   Runs without a display: in Octave without the GUI it draws with gnuplot.

  if nargin < 1 || isempty(file), file = fullfile(sample_dir(), 'CODG0440.13I'); end
  if nargin < 2 || isempty(png), png = 'slant_delay.png'; end
  if nargin < 3 || isempty(place), place = [46.88 7.47 956]; end
  if isempty(which('ionex.read')) || isempty(which('ionex.delay'))
    error('slant_delay:module', ...
          'ionex.read or ionex.delay is not on the path: addpath the folder that holds +ionex');
  end

  M = ionex.read(file, 'Maps', {'tec', 'rms'});
  day = floor(M.time(1));

  % The pass: elevation 10 degrees plus a half sine from 08:00 to 14:00, azimuth turning
  % from 40 to 220 degrees.
  rise = day + 8 / 24;
  set_ = day + 14 / 24;
  t = (rise:5 / 1440:set_)';
  phase = (t - rise) / (set_ - rise);
  el = 10 + 65 * sin(pi * phase);
  az = 40 + 180 * phase;
  [d, sigma] = ionex.delay(M, t, place, az, el);

  % The vertical delay above the receiver through the day, for comparison.
  tday = (day:10 / 1440:day + 1)';
  zenith = ionex.delay(M, tday, place, 0, 90);

  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 8 7]);
  [~, name, ext] = fileparts(file);

  subplot(3, 1, [1 2]);
  up = d + sigma;
  down = d - sigma;
  ok = isfinite(up) & isfinite(down);
  fill([t(ok); flipud(t(ok))], [up(ok); flipud(down(ok))], [0.7 0.8 0.95], 'edgecolor', 'none');
  hold on;
  plot(t, d, '-', 'color', [0.1 0.3 0.7], 'linewidth', 2);
  plot(tday, zenith, '--', 'color', [0.85 0.3 0.1], 'linewidth', 1.5);
  hold off;
  grid on;
  set(gca(), 'xtick', day + (0:3:24) / 24, 'xlim', [day day + 1]);
  datetick('x', 'HH:MM', 'keepticks', 'keeplimits');
  ylabel('L1 delay (m)');
  legend({'slant delay \pm SIGMA (RMS maps)', 'slant delay of the pass', 'vertical delay'}, ...
         'location', 'northwest');
  title(sprintf('Ionospheric delay at L1 above %.2f N %.2f E, %s (%s%s)', place(1), place(2), ...
                datestr(day, 'yyyy-mm-dd'), name, ext), 'interpreter', 'none');

  subplot(3, 1, 3);
  plot(t, el, '-', 'color', [0.2 0.6 0.2], 'linewidth', 1.5);
  hold on;
  plot(t, az / 4, ':', 'color', [0.5 0.5 0.5], 'linewidth', 1.5);
  hold off;
  grid on;
  set(gca(), 'xtick', day + (0:3:24) / 24, 'xlim', [day day + 1], 'ylim', [0 90]);
  datetick('x', 'HH:MM', 'keepticks', 'keeplimits');
  ylabel('degrees');
  xlabel(sprintf('UTC, %s', datestr(day, 'yyyy-mm-dd')));
  legend({'elevation', 'azimuth / 4'}, 'location', 'northwest');

  print(fig, '-dpng', '-r100', png);
  if nargout < 6
    close(fig);
  end
end
