function test_slant_delay(ctx)
% slant_delay draws the L1 delay of a satellite pass over a station with its uncertainty
% band and the vertical delay of the day, from what ionex.delay gives, and writes a PNG
% that shows it.
  file = fullfile(ctx.data, 'CODG0440.13I');
  png = fullfile(ctx.tmp, 'delay.png');
  place = [46.88 7.47 956];
  [t, d, sigma, el, az, fig] = slant_delay(file, png, place);

  M = ionex.read(file);
  [want_d, want_sigma] = ionex.delay(M, t, place, az, el);
  tcheck_equal('delays as ionex.delay gives them', d, want_d);
  tcheck_equal('uncertainties as ionex.delay gives them', sigma, want_sigma);
  tcheck_equal('a pass from 08:00 to 14:00 every 5 minutes', ...
               {numel(t), datestr(t(1), 'HH:MM'), datestr(t(end), 'HH:MM')}, {73, '08:00', '14:00'});
  tcheck('elevations between the 10-degree mask and 75', min(el) >= 10 - 1e-9 && abs(max(el) - 75) < 1e-9);
  tcheck('every delay a few metres (1..20 m) and finite', all(d > 1 & d < 20), mat2str([min(d) max(d)], 3));
  tcheck('uncertainty positive and well below the delay', all(sigma > 0 & sigma < d / 2));
  [~, top] = max(el);
  tcheck('the delay is smallest near the culmination', d(top) < d(1) && d(top) < d(end));

  lines = findobj(fig, 'type', 'line');
  pass = lines(arrayfun(@(h) isequal(get(h, 'xdata')(:), t) && isequal(get(h, 'ydata')(:), d), lines));
  tcheck('the pass delay is drawn', numel(pass) == 1);
  patches = findobj(fig, 'type', 'patch');
  patches = patches(arrayfun(@(h) numel(get(h, 'ydata')) == 2 * numel(t), patches));   % not the legend's
  tcheck('the uncertainty band is drawn from D - SIGMA to D + SIGMA', numel(patches) == 1 ...
         && abs(max(get(patches(1), 'ydata')) - max(d + sigma)) < 1e-12 ...
         && abs(min(get(patches(1), 'ydata')) - min(d - sigma)) < 1e-12);
  zenith = lines(arrayfun(@(h) numel(get(h, 'xdata')) == 145, lines));
  tcheck('the vertical delay is drawn through the whole day', numel(zenith) == 1);
  close(fig);

  % Band light blue, pass dark blue, vertical delay orange-red, elevation green.
  check_png('slant delay PNG', png, 10, [179 204 242; 26 77 179; 217 77 26; 51 153 51]);

  % Defaults: the same file and station.
  [t0, d0] = slant_delay([], fullfile(ctx.tmp, 'default.png'));
  tcheck_equal('defaults: same file and station', {t0, d0}, {t, d});
end
