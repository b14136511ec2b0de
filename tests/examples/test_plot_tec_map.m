function test_plot_tec_map(ctx)
% plot_tec_map draws the middle map of the CODE file north up with a TECU colour bar and
% the epoch in the title, writes a PNG that shows it, and turns an error result into an
% Octave error with the module's identifier.
  file = fullfile(ctx.data, 'codg0080.20i.Z');
  png = fullfile(ctx.tmp, 'map.png');
  [tec, lat, lon, epoch, fig] = plot_tec_map(file, png);

  [maps, epochs, want_lat, want_lon] = vornakelstrid_p(file);
  tcheck_equal('default map is map 13 of 25', tec, maps{13});
  tcheck_equal('its epoch', epoch, epochs(13));
  tcheck_equal('epoch is 2020-01-08 12:00', datestr(epoch, 'yyyy-mm-dd HH:MM'), '2020-01-08 12:00');
  tcheck_equal('latitude axis as the module gives it', lat, want_lat);
  tcheck_equal('longitude axis as the module gives it', lon, want_lon);

  % The map's image, not the one inside the colour bar.
  img = findobj(fig, 'type', 'image');
  img = img(arrayfun(@(h) ~strcmp(get(get(h, 'parent'), 'tag'), 'colorbar'), img));
  tcheck('one map image drawn', numel(img) == 1, sprintf('%d images', numel(img)));
  ax = get(img(1), 'parent');
  % North up: the y axis grows upward, and the image row drawn at the largest latitude
  % holds the values of that latitude.
  tcheck_equal('y axis grows upward', get(ax, 'ydir'), 'normal');
  ydata = get(img(1), 'ydata');
  cdata = get(img(1), 'cdata');
  tcheck_equal('image rows span the latitude axis from its first to its last node', ...
               ydata([1 end]), [lat(1) lat(end)]);
  [~, north] = max(lat);
  row_at_north = 1 + (rows(cdata) - 1) * (ydata(1) < ydata(end));
  tcheck_equal('the image row at the northernmost latitude holds that latitude''s values', ...
               cdata(row_at_north, :), tec(:, north).');
  tcheck_equal('image columns span the longitudes', get(img(1), 'xdata'), [lon(1) lon(end)]);
  tcheck('northernmost latitude is at the top of the y range', max(lat) <= max(get(ax, 'ylim')));

  cb = findobj(fig, 'tag', 'colorbar');
  tcheck('colour bar drawn', numel(cb) == 1);
  if numel(cb) == 1
    tcheck_equal('colour bar labelled TECU', get(get(cb, 'ylabel'), 'string'), 'TECU');
  end
  ttl = get(get(ax, 'title'), 'string');
  tcheck('title holds the epoch as a date', ~isempty(strfind(ttl, '2020-01-08 12:00')), ttl);
  close(fig);

  check_png('map PNG', png, 100, zeros(0, 3));

  % Another map by number: the first one.
  [tec1, ~, ~, epoch1] = plot_tec_map(file, fullfile(ctx.tmp, 'map1.png'), 1);
  tcheck_equal('map 1 on request', tec1, maps{1});
  tcheck_equal('map 1 epoch', datestr(epoch1, 'yyyy-mm-dd HH:MM'), '2020-01-08 00:00');

  % A failure of the module becomes an Octave error with the module's identifier.
  missing = fullfile(ctx.tmp, 'no-such-file.20i.Z');
  id = '';
  try
    plot_tec_map(missing, fullfile(ctx.tmp, 'none.png'));
  catch err
    id = err.identifier;
    msg = err.message;
  end
  tcheck_equal('missing file: error Vornakelstrid:NoFile', id, 'Vornakelstrid:NoFile');
  if ~isempty(id)
    tcheck_equal('missing file: the module''s message', msg, ...
                 sprintf('511: Input file ''%s'' does not exist', missing));
  end
  tcheck('missing file: no PNG written', exist(fullfile(ctx.tmp, 'none.png'), 'file') == 0);
end
