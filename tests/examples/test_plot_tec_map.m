function test_plot_tec_map(ctx)
% plot_tec_map draws the map of 12:00 of the CODE file with ionex.plot (north up, coastlines,
% the subsolar point, a TECU colour bar, the epoch in the title), writes a PNG that shows
% it, and lets the errors of ionex.read through.
  file = fullfile(ctx.data, 'codg0080.20i.Z');
  png = fullfile(ctx.tmp, 'map.png');
  [M, h, fig] = plot_tec_map(file, png);

  want = ionex.read(file, 'Maps', 'tec');
  tcheck_equal('the TEC maps of the file, read by ionex.read', M.tec, want.tec);
  tcheck_equal('default: the map of 12:00, south to north', get(h.image, 'cdata'), flipud(want.tec(:, :, 13)));
  tcheck_equal('north up', get(h.axes, 'ydir'), 'normal');
  tcheck_equal('colour bar labelled TECU', get(get(h.colorbar, 'ylabel'), 'string'), 'TECU');
  ttl = get(h.title, 'string');
  tcheck('title holds the epoch and the file', ~isempty(strfind(ttl, '2020-01-08 12:00 UTC')) ...
         && ~isempty(strfind(ttl, 'codg0080.20i.Z')), ttl);
  tcheck('coastlines drawn', ~isempty(h.coastlines) && nnz(isfinite(get(h.coastlines, 'xdata'))) > 4000);
  % At 12:00 UTC on 8 January the Sun stands over the South Atlantic off Africa: declination
  % -22.3 degrees, and the equation of time (-6.4 min) puts it 1.6 degrees east of Greenwich.
  sun = [get(h.sun, 'ydata'), get(h.sun, 'xdata')];
  tcheck('the subsolar point marked at 22.3 S, 1.6 E', numel(sun) == 2 && max(abs(sun - [-22.3 1.6])) < 0.15, ...
         mat2str(sun, 4));
  close(fig);

  % Black coastlines, the yellow sun marker; the 64 colours of the colormap and a few more.
  check_png('map PNG', png, 50, [0 0 0; 255 217 0]);

  % Another time: the first map; a time between maps is interpolated.
  [~, h1, fig] = plot_tec_map(file, fullfile(ctx.tmp, 'map1.png'), M.time(1));
  tcheck_equal('first map on request', get(h1.image, 'cdata'), flipud(want.tec(:, :, 1)));
  close(fig);
  [~, h2, fig] = plot_tec_map(file, fullfile(ctx.tmp, 'map2.png'), datenum(2020, 1, 8, 18, 20, 0));
  tcheck('18:20: interpolated, said in the title', ...
         ~isempty(strfind(get(h2.title, 'string'), '2020-01-08 18:20 UTC (interpolated)')), get(h2.title, 'string'));
  close(fig);

  % A missing file: ionex.read's error, and no PNG.
  missing = fullfile(ctx.tmp, 'no-such-file.20i.Z');
  id = '';
  try
    plot_tec_map(missing, fullfile(ctx.tmp, 'none.png'));
  catch err
    id = err.identifier;
  end
  tcheck_equal('missing file: error ionex:NoFile', id, 'ionex:NoFile');
  tcheck('missing file: no PNG written', exist(fullfile(ctx.tmp, 'none.png'), 'file') == 0);
end
