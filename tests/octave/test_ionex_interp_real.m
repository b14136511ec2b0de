function test_ionex_interp_real(ctx)
% ionex.interp and ionex.delay on real products read with ionex.read: map nodes come back
% exactly at their epochs, the last epoch included; a day above a station with satellites
% in several directions gives L1 delays of a few metres by day and less at night.
  M = ionex.read(fullfile(ctx.data, 'codg0080.20i.Z'));
  [i, j] = deal(17, 38);           % 47.5 N, 5 E
  k = [1 13 25];
  for method = {'rotated', 'linear', 'nearest'}
    [v, rms] = ionex.interp(M, M.time(k)', M.lat(i), M.lon(j), 'Method', method{1});
    tcheck_equal(['nodes at their epochs, last one included: ' method{1}], v, squeeze(M.tec(i, j, k))');
    tcheck_equal(['RMS nodes at their epochs: ' method{1}], rms, squeeze(M.rms(i, j, k))');
  end
  t = M.time(1) + (0:10:1440) / 1440;
  v = ionex.interp(M, t, 46.88, 7.47);
  tcheck('a day of VTEC above Zimmerwald: finite, 0..100 TECU', all(isfinite(v)) && all(v > 0 & v < 100), ...
         mat2str([min(v) max(v)], 4));
  v0 = ionex.interp(M, t, 46.88, 7.47 + 360);
  tcheck('0..360 longitudes give the same', max(abs(v0 - v)) < 1e-12, sprintf('differ by %g', max(abs(v0 - v))));

  % 2013, near the solar maximum: Zimmerwald through the day, satellites north, east,
  % south, west at 30 degrees and one at the zenith.
  M = ionex.read(fullfile(ctx.data, 'CODG0440.13I'));
  rx = [46.88 7.47 956];
  az = [0 90 180 270 0];
  el = [30 30 30 30 90];
  t = M.time(1) + (0:0.25:24)' / 24;
  [d, sigma, stec, ipp] = ionex.delay(M, repmat(t, 1, 5), rx, repmat(az, numel(t), 1), repmat(el, numel(t), 1));
  tcheck_equal('delays of the query size', size(d), [numel(t) 5]);
  tcheck('every delay finite and positive', all(isfinite(d(:))) && all(d(:) > 0));
  tcheck('every SIGMA finite, positive, below the delay', all(sigma(:) > 0 & sigma(:) < d(:)));
  tcheck('IPP: one row per query', isequal(size(ipp), [numel(d) 2]));
  tcheck('pierce points of the northern ray lie north of the station', all(ipp(1:numel(t), 1) > rx(1) + 5));
  hour = (t - floor(t(1))) * 24;
  local = mod(hour + rx(2) / 15, 24);
  day = local >= 11 & local <= 14;
  night = local >= 1 & local <= 4;
  slant = d(:, 1:4);
  tcheck('by day, L1 delays at EL 30 of a few metres (2..15 m)', ...
         all(all(slant(day, :) > 2 & slant(day, :) < 15)), mat2str([min(min(slant(day, :))) max(max(slant(day, :)))], 3));
  tcheck('at night less: under 60% of the day''s mean', mean(mean(slant(night, :))) < 0.6 * mean(mean(slant(day, :))), ...
         sprintf('night %.3g m, day %.3g m', mean(mean(slant(night, :))), mean(mean(slant(day, :)))));
  vtec = ionex.interp(M, t, rx(1), rx(2));
  tcheck('zenith delay is 40.3e16/f^2 x VTEC above the station', ...
         max(abs(d(:, 5) - 40.3e16 / 1575.42e6^2 * vtec)) < 1e-9);
  tcheck('STEC = D / (40.3e16/f^2)', max(abs(stec(:) * 40.3e16 / 1575.42e6^2 - d(:))) < 1e-9);

  % A window across the antimeridian, as ionex.read cuts it (170 .. 180, -175 .. -170), gives
  % the values of the whole file within it.
  G = ionex.read(fullfile(ctx.data, 'codg0080.20i.Z'));
  W = ionex.read(fullfile(ctx.data, 'codg0080.20i.Z'), 'Longitude', [170 -170], 'Latitude', [-50 -10]);
  lon = [170 173 180 -180 -176.5 -170];
  t = G.time(13) + [0 0.3 0.3 0 0 0.3] / 24;
  tcheck_equal('window across 180: its longitudes', W.lon(:)', [170 175 180 -175 -170]);
  dv = ionex.interp(W, t, -31, lon, 'Method', 'linear') - ionex.interp(G, t, -31, lon, 'Method', 'linear');
  tcheck('window across 180: interp as on the whole file (to rounding)', max(abs(dv)) < 1e-12, mat2str(dv));
  tcheck_equal('window across 180: delay as on the whole file', ...
               ionex.delay(W, G.time(13), [-30 179 0], 0, 90), ionex.delay(G, G.time(13), [-30 179 0], 0, 90));
end
