function test_ionex_interp(ctx)
% ionex.interp and ionex.delay on hand-built map sets: values worked out by hand, the
% shapes of the outputs, the properties the formulas promise, and ionex:Input errors.
  M = query_test_maps();
  t0 = M.time(1);
  hour = 1 / 24;

  % Node (i, j, k) holds 1000 k + 100 i + j^2: worked-out values (see query_test_maps).
  % {label, t, lat, lon, method, want}
  cases = {
    'node (0,0) at the first epoch',           t0,          87.5, -180,  'rotated', 0
    'cell middle: (0 + 1 + 100 + 101)/4',      t0,          86.25, -177.5, 'linear', 50.5
    'seam: x = 71.5, (5041 + 0)/2',            t0,          87.5, 177.5, 'nearest', 2520.5
    '0..360 convention: 357.5 is -2.5',        t0,          87.5, 357.5, 'linear',  1260.5
    'last epoch uses the last map',            M.time(3),   87.5, -180,  'rotated', 2000
    'linear halfway: (0 + 1000)/2',            t0 + hour,   87.5, -180,  'linear',  500
    'nearest tie goes to the later map',       t0 + hour,   87.5, -180,  'nearest', 1000
    'rotated halfway: (9 + 5761)/2',           t0 + hour,   87.5, -180,  'rotated', 2885
    'polar cap above 87.5: NaN',               t0,          88,   0,     'rotated', NaN
    'before the first map: NaN',               t0 - hour,   0,    0,     'rotated', NaN
    'after the last map: NaN',                 t0 + 5*hour, 0,    0,     'linear',  NaN
    'within 1 ms of the last epoch',           M.time(3) + 0.5e-3/86400, 87.5, -180, 'linear', 2000
  };
  for r = 1:rows(cases)
    [label, t, lat, lon, method, want] = cases{r, :};
    got = ionex.interp(M, t, lat, lon, 'Method', method);
    tcheck(sprintf('%s (%s)', label, method), ...
           (isnan(want) && isnan(got)) || abs(got - want) <= 1e-5, sprintf('got %.10g, want %g', got, want));
  end

  % The default method is 'rotated'; names and values are case-insensitive.
  tcheck_equal('default method is rotated', ionex.interp(M, t0 + hour, 87.5, -180), ...
               ionex.interp(M, t0 + hour, 87.5, -180, 'method', 'ROTATED'));

  % Shapes: scalars expand against arrays; outputs of the query size; RMS a tenth.
  lat = reshape(linspace(-80, 80, 12), 3, 4);
  [v, rms] = ionex.interp(M, t0 + 0.3 * hour, lat, 12.5);
  tcheck_equal('VTEC of the query size', size(v), [3 4]);
  tcheck('RMS is interpolated as the TEC', max(abs(rms(:) - v(:) / 10)) < 1e-9);
  tcheck_equal('axes as rows work as columns', ...
               ionex.interp(setfield(setfield(M, 'lat', M.lat'), 'lon', M.lon'), t0, 10, 20), ...
               ionex.interp(M, t0, 10, 20));
  v = ionex.interp(M, [], 0, 0);
  tcheck_equal('empty query, empty result', size(v), [0 0]);
  [~, rms] = ionex.interp(setfield(M, 'rms', []), t0, 0, 0);
  tcheck('no RMS maps: RMS is NaN', isnan(rms));

  % Properties: at map epochs all methods agree; rotated = linear on maps constant along
  % longitude.
  rand('seed', 3);
  qlat = 170 * rand(1, 200) - 85;
  qlon = 720 * rand(1, 200) - 360;
  same = true;
  for k = 1:3
    a = ionex.interp(M, M.time(k), qlat, qlon, 'Method', 'nearest');
    same = same && isequal(a, ionex.interp(M, M.time(k), qlat, qlon, 'Method', 'linear'), ...
                           ionex.interp(M, M.time(k), qlat, qlon, 'Method', 'rotated'));
  end
  tcheck('nearest, linear and rotated agree at the map epochs', same);
  flat = M;
  flat.tec = repmat(mean(M.tec, 2), [1 73 1]);
  qt = t0 + 4 * hour * rand(1, 200);
  tcheck('rotated equals linear where the maps are constant along longitude', ...
         max(abs(ionex.interp(flat, qt, qlat, qlon) - ionex.interp(flat, qt, qlat, qlon, 'Method', 'linear'))) < 1e-9);

  % Delay: zenith is 40.3e16/f^2 x VTEC above the receiver; 1/f^2; MF >= 1 and grows as
  % EL falls; 'none' gives VTEC at the pierce point.
  rx = [46.88 7.47 956];
  qt = t0 + [0.5 1.5 2.5 3.5] * hour;
  [d, sigma, stec, ipp] = ionex.delay(M, qt, rx, 0, 90);
  vtec = ionex.interp(M, qt, rx(1), rx(2));
  tcheck('zenith delay is 40.3e16/f^2 x VTEC above the receiver', ...
         max(abs(d - 40.3e16 / 1575.42e6^2 * vtec) ./ d) < 1e-9, mat2str(d));
  tcheck('zenith STEC is the VTEC', max(abs(stec - vtec) ./ vtec) < 1e-9);
  tcheck('zenith pierce point is the receiver', max(abs(ipp(:) - repmat(rx(1:2), 4, 1)(:))) < 1e-9);
  tcheck('SIGMA from the RMS maps', max(abs(sigma - d / 10) ./ d) < 1e-9);
  d_l2 = ionex.delay(M, qt, rx, 0, 90, 'Frequency', 1227.60e6);
  tcheck('delay scales with 1/f^2', max(abs(d_l2 ./ d - (1575.42 / 1227.60)^2)) < 1e-12);
  el = 90:-5:5;
  flat_rx = ionex.delay(setfield(M, 'tec', 20 + 0 * M.tec), t0, [0 0], 0, el, 'MappingFunction', 'slm');
  mf = flat_rx / (40.3e16 / 1575.42e6^2 * 20);
  tcheck('MF >= 1 and grows as EL falls', mf(1) > 1 - 1e-12 && all(diff(mf) > 0), mat2str(mf, 4));
  tcheck('MF at EL 30 is 1/cos z'' = 1.7008013', abs(mf(13) - 1.7008012999) < 1e-8, sprintf('%.10g', mf(13)));
  tcheck_equal('EL <= 0 or > 90 gives NaN', isnan(ionex.delay(M, t0, [0 0], 0, [0 -1 91 45])), [true true true false]);
  [~, ~, ~, ipp] = ionex.delay(M, t0, [0 179], 90, 30);
  tcheck('pierce point longitude in -180..180', abs(ipp(2) + 174.9877535875) < 1e-8, mat2str(ipp, 12));
  % The pierce point is geometry: a time outside the maps (or NaN) still gives it.
  [d, sigma, stec, ipp_out] = ionex.delay(M, [t0 - 1, t0 + 30, NaN], [0 179], 90, 30);
  tcheck('outside the maps D, SIGMA and STEC are NaN', all(isnan([d sigma stec])));
  tcheck_equal('outside the maps the pierce point is given', ipp_out, repmat(ipp, 3, 1));
  [~, ~, ~, ipp_low] = ionex.delay(M, t0 - 1, [0 179], 90, [0 -1 91 NaN]);
  tcheck('EL <= 0, > 90 or NaN gives no pierce point', all(isnan(ipp_low(:))));

  % 3-D maps: 'Height' picks a layer; the delay sums the layers.
  M3 = query_test_maps(2);
  tcheck_equal('Height picks a layer', ionex.interp(M3, t0, 87.5, -180, 'Height', 500), 10000);
  stec = nan;
  [~, ~, stec] = ionex.delay(M3, t0, [87.5 -180], 0, 90);
  tcheck('zenith STEC sums the layers', abs(stec - (0 + 10000)) < 1e-6, sprintf('%.10g', stec));

  % Wrong arguments: ionex:Input with a message saying what was wrong.
  % {label, call, part of the message}
  bad = {
    'a method that does not exist', @() ionex.interp(M, t0, 0, 0, 'Method', 'cubic'), 'cubic'
    'sizes that do not expand',     @() ionex.interp(M, [t0 t0], [1 2 3], 0), 'LAT is 1x3'
    'an M without maps',            @() ionex.interp(setfield(M, 'tec', []), t0, 0, 0), 'no tec maps'
    'M not a struct',               @() ionex.interp(42, t0, 0, 0), 'struct that ionex.read returns'
    '3-D maps without Height',      @() ionex.interp(M3, t0, 0, 0), 'Height'
    'a Height not in the maps',     @() ionex.interp(M3, t0, 0, 0, 'Height', 475), '475'
    'RX of 4 columns',              @() ionex.delay(M, t0, [0 0 0 0], 0, 45), 'RX has 4 columns'
    'a mapping function that does not exist', @() ionex.delay(M, t0, [0 0], 0, 45, 'MappingFunction', 'x'), 'MappingFunction'
    'a frequency of zero',          @() ionex.delay(M, t0, [0 0], 0, 45, 'Frequency', 0), 'Frequency'
    'complex T',                    @() ionex.interp(M, complex(t0, 1), 0, 0), 'complex'
    'sparse LAT',                   @() ionex.interp(M, t0, sparse(1), 0), 'sparse'
    'no inputs',                    @() ionex.delay(), 'needs M, T, RX, AZ and EL'
  };
  for r = 1:rows(bad)
    [label, call, part] = bad{r, :};
    try
      call();
      tcheck(['error for ' label], false, 'no error raised');
    catch err
      tcheck(['error for ' label], strcmp(err.identifier, 'ionex:Input') && ~isempty(strfind(err.message, part)), ...
             sprintf('%s: %s', err.identifier, err.message));
    end
  end
end
