function test_tec_at_station(ctx)
% tec_at_station draws the TEC over a station through the day and the file's DCBs, and
% returns what the module gives for that point and station.
  file = fullfile(ctx.data, 'codg0080.20i.Z');
  png = fullfile(ctx.tmp, 'station.png');
  [t, tec, sat, rx, fig] = tec_at_station(file, png, 'ZIMM', [46.88 7.47]);

  [want, want_t, ~, ~, want_sat, want_rx] = vornakelstrid_p(file, [46.88 7.47], 'zimm');
  tcheck_equal('TEC series as the module gives it', tec, want);
  tcheck_equal('epochs as the module gives them', t, want_t);
  tcheck_equal('25 hourly values', size(tec), [1 25]);
  tcheck_equal('satellite DCBs as the module gives them', sat, want_sat);
  tcheck_equal('receiver DCB of ZIMM (upper case name) as written in the file', rx, -11.991);
  tcheck_equal('receiver DCB as the module gives it', rx, want_rx);

  axes_list = findobj(fig, 'type', 'axes', '-not', 'tag', 'legend');
  tcheck_equal('two panels', numel(axes_list), 2);
  lines = findobj(fig, 'type', 'line', '-and', 'marker', 'o');
  tcheck('the TEC curve is drawn at the epochs', numel(lines) == 1 ...
         && isequal(get(lines(1), 'xdata'), t(:).') && isequal(get(lines(1), 'ydata'), tec(:).'));
  if numel(lines) == 1
    labels = cellstr(get(get(lines(1), 'parent'), 'xticklabel'));
    tcheck('time axis labelled with clock times', any(strcmp(labels, '12:00')), strjoin(labels, ' '));
  end
  bars = findobj(fig, 'type', 'hggroup');
  heights = [];
  for k = 1:numel(bars)
    heights = [heights, get(bars(k), 'ydata')(:).']; %#ok<AGROW>
  end
  tcheck('the bars hold the 32 satellite DCBs and the receiver''s', ...
         all(ismember([sat, rx], heights)), mat2str(heights));
  close(fig);

  % Satellite bars blue, receiver bar orange-red, TEC curve Octave's first line colour.
  check_png('station PNG', png, 10, [51 102 204; 217 77 26; 0 114 189]);

  % Defaults: the bundled CODE file and Zimmerwald.
  [t0, tec0, ~, rx0] = tec_at_station([], fullfile(ctx.tmp, 'default.png'));
  tcheck_equal('defaults: same file, station and place', {t0, tec0, rx0}, {t, tec, rx});
  tcheck('defaults: PNG written', exist(fullfile(ctx.tmp, 'default.png'), 'file') == 2);
end
