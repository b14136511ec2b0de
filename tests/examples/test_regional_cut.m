function test_regional_cut(ctx)
% regional_cut cuts Europe out of a day, writes it with ionex.write and reads it back: the
% file holds exactly the window, its header says so, the PNG shows both maps.
  file = fullfile(ctx.data, 'codg0080.20i.Z');
  out = fullfile(ctx.tmp, 'europe.20i');
  png = fullfile(ctx.tmp, 'cut.png');
  [E, M, written, fig] = regional_cut(file, out, png);

  tcheck_equal('the name written is returned', written, out);
  tcheck_equal('the window: 35..70 N every 2.5, 10 W..40 E every 5', {E.lat, E.lon}, {(70:-2.5:35)', (-10:5:40)'});
  tcheck_equal('the maps read back are those cut', {E.tec, E.rms, E.time}, {M.tec, M.rms, M.time});
  W = ionex.read(file, 'Latitude', [35 70], 'Longitude', [-10 40]);
  tcheck_equal('... which are the global file''s own values there', E.tec, W.tec);
  tcheck('the comment says where it came from', any(strcmp(E.comments, 'Europe, 35..70 N, 10 W..40 E, cut from codg0080.20i.Z')));
  text = fileread(out);
  tcheck('the grid records describe the window', ~isempty(strfind(text, '    70.0  35.0  -2.5')) ...
         && ~isempty(strfind(text, '   -10.0  40.0   5.0')));

  images = findobj(fig, 'type', 'image');
  images = images(arrayfun(@(h) isequal(size(get(h, 'cdata')), size(E.tec(:, :, 1))), images));   % not the colour bars
  tcheck_equal('two maps drawn', numel(images), 2);
  noon = find(abs(E.time - datenum(2020, 1, 8, 12, 0, 0)) < 1e-9);
  drawn = arrayfun(@(h) isequal(get(h, 'cdata'), E.tec(:, :, noon)), images);
  tcheck('both show the 12:00 map', all(drawn));
  close(fig);
  check_png('regional cut PNG', png, 20, zeros(0, 3));

  % Defaults: the bundled file, written into the current folder, again over an existing one.
  regional_cut([], [], fullfile(ctx.tmp, 'default.png'));
  regional_cut([], [], fullfile(ctx.tmp, 'default.png'));
  tcheck('defaults: europe.20i written in the current folder', exist(fullfile(pwd, 'europe.20i'), 'file') == 2);
end
