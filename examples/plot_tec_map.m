function varargout = plot_tec_map(file, png, t)
%PLOT_TEC_MAP  Draw a TEC map of an IONEX file with coastlines and save it as a PNG.
%
%   plot_tec_map(FILE, PNG, T) reads the TEC maps of the IONEX file FILE (plain, .gz or .Z)
%   with ionex.read and draws the map at datenum T with ionex.plot: north up on -180..180,
%   coastlines, a colour bar in TECU, the epoch in the title, and the point where the sun
%   stands overhead (the dayside, with the high TEC, lies around it). The figure is written
%   to the PNG file PNG.
%
%   Defaults: FILE the bundled CODE product codg0080.20i.Z, PNG 'tec_map.png' in the
%   current folder, T the map nearest to 12:00 UTC of the file's first day. A T between two
%   maps draws the map interpolated to it (see help ionex.plot).
%
%   [M, H] = plot_tec_map(...) also returns the maps read (the struct of ionex.read) and
%   the handles of what was drawn (see help ionex.plot). A third output keeps the
%   (invisible) figure open and returns its handle; otherwise it is closed.
%
%   Runs without a display: in Octave without the GUI it draws with gnuplot.
%
%   Example
%     addpath('/path/to/vornakelstrid_p');       % the folder that holds the +ionex package
%     plot_tec_map('codg0080.20i.Z', 'tec_map.png', datenum(2020, 1, 8, 18, 0, 0));

  if nargin < 1 || isempty(file), file = fullfile(sample_dir(), 'codg0080.20i.Z'); end
  if nargin < 2 || isempty(png), png = 'tec_map.png'; end
  if nargin < 3, t = []; end
  if isempty(which('ionex.plot'))
    error('plot_tec_map:module', 'ionex.plot is not on the path: addpath the folder that holds +ionex');
  end

  M = ionex.read(file, 'Maps', 'tec');         % raises ionex:NoFile, ionex:NotIonex, ...
  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', 'paperposition', [0 0 10 5]);
  h = ionex.plot(M, t, 'Sun', true);
  print(fig, '-dpng', '-r100', png);
  if nargout < 3
    close(fig);
  end
  outputs = {M, h, fig};               % none unless asked for: a call at the prompt prints nothing
  varargout = outputs(1:nargout);
end
