function check_installed_plot(label, package_dir)
% ionex.plot as installed in the +ionex folder PACKAGE_DIR: the M-file found there, its help,
% its coastline data beside it, and a map drawn headless with the coastlines of that data.
% Records the checks with tcheck; LABEL starts their names.
  tcheck_equal([label ': ionex.plot is the installed M-file'], which('ionex.plot'), fullfile(package_dir, 'plot.m'));
  tcheck([label ': its coastline data beside it'], ...
         exist(fullfile(package_dir, 'private', 'coastlines_110m.bin'), 'file') == 2);
  text = evalc('help ionex.plot');
  tcheck([label ': help ionex.plot'], ~isempty(strfind(text, 'ionex.plot(M, T)')), text(1:min(end, 200)));

  if ~isguirunning() && any(strcmp(available_graphics_toolkits(), 'gnuplot'))
    warning('off', 'Octave:gnuplot-graphics', 'local');
    graphics_toolkit('gnuplot');
  end
  S = struct('time', datenum(2020, 1, 8, [11; 13], 0, 0), 'lat', [60; -60], 'lon', [-180; 0; 180], ...
             'tec', cat(3, ones(2, 3), 2 * ones(2, 3)));
  fig = figure('visible', 'off');
  h = ionex.plot(S, datenum(2020, 1, 8, 12, 0, 0), 'Sun', true);
  x = get(h.coastlines, 'xdata');
  tcheck([label ': a map of 12:00 between the two, with the installed coastlines and the sun'], ...
         nnz(isfinite(x)) > 4000 && isequal(get(h.image, 'cdata'), 1.5 * ones(2, 3)) && numel(get(h.sun, 'xdata')) == 1, ...
         sprintf('%d coastline points', nnz(isfinite(x))));
  close(fig);
end
