function test_real_files(ctx)
% The real products of tests/data: maps, epochs, axes and DCBs of the CODE file against a
% simple reading of its text, the same six outputs from its plain, gzip and compress
% copies, and the JPL (gzip, old DCB layout) and ESA (compress) products.

  plain = fullfile(ctx.data, 'CODG0080.20I');
  ref = reference_ionex(plain);
  tcheck_equal('reference reading of CODG0080.20I: 25 maps', numel(ref.maps), 25);
  scale = double(single(0.1));            % EXPONENT -1

  % --- whole grid against the text
  [r, t, la, lo] = vornakelstrid_p(plain);
  tcheck_equal('CODE whole grid: 25x1 cell', size(r), [25 1]);
  same = true;
  for k = 1:25
    same = same && isequal(r{k}, (double(single(ref.maps{k})) * scale)');
  end
  tcheck('CODE whole grid: all 25 maps equal the values of the text (x single 0.1)', same);
  tcheck_equal('CODE whole grid: first row of map 1 starts 0.5 0.5 0.6', r{1}(1:3, 1)', ...
               double(single([5 5 6])) * scale);
  tcheck_equal('CODE latitude axis', la, (87.5:-2.5:-87.5)');
  tcheck_equal('CODE longitude axis', lo, (-180:5:180)');
  want = zeros(25, 1);
  want(1) = datenum(2020, 1, 8);
  for k = 2:25
    want(k) = want(k - 1) + 3600 / 86400;
  end
  tcheck_equal('CODE epochs: 2020-01-08 00:00 on, hourly running sum', t, want);
  tcheck_equal('CODE last epoch is 2020-01-09 00:00', datestr(t(end), 31), '2020-01-09 00:00:00');

  % --- DCBs
  [r, t, la, lo, sat, rx] = vornakelstrid_p(plain, [47.4 8.5], 'zimm');
  tcheck_equal('CODE satellite DCBs equal the 32 GPS entries of the text', sat, ref.sat);
  tcheck_equal('CODE G01 -7.615', sat(1), -7.615);
  tcheck_equal('CODE G02 7.605', sat(2), 7.605);
  tcheck_equal('CODE receiver zimm -11.991', rx, -11.991);
  stations = {'ALBH', 'abpo', 'Zim2', 'zim3', 'wtzr', 'yell'};
  for k = 1:numel(stations)
    [~, ~, ~, ~, ~, rx] = vornakelstrid_p(plain, [47.4 8.5], stations{k});
    tcheck_equal(['CODE receiver ' stations{k}], rx, ref.station(lower(stations{k})));
  end

  % --- point at Zurich against the four nodes of the text
  [r, t, la, lo] = vornakelstrid_p(plain, [47.4 8.5]);
  lat = double(single(47.4)); lon = double(single(8.5));
  L = (lat - 47.5) / (45 - 47.5);
  K = (lon - 5) / (10 - 5);
  ok = true;
  for k = 1:25
    M = ref.maps{k};                      % rows 17, 18: 47.5, 45; columns 38, 39: 5, 10
    g = double(single([M(17, 38), M(17, 39), M(18, 38), M(18, 39)])) * scale;
    v = (1 - K) * (1 - L) * g(1) + K * (1 - L) * g(2) + (1 - K) * L * g(3) + K * L * g(4);
    ok = ok && abs(r(k) - v) <= 1e-12 * abs(v);
  end
  tcheck('CODE point (47.4, 8.5): bilinear in the four nodes of each map', ok, describe_value(r));

  % --- the same outputs from the plain, gzip and compress copies
  files = {plain, fullfile(ctx.data, 'codg0080.20i.gz'), fullfile(ctx.data, 'codg0080.20i.Z')};
  requests = {'whole grid, 4 outputs',         {},                          4;
              'area with receiver, 6 outputs', {[-87.5 -180], [87.5 180], 'zimm'}, 6;
              'point with receiver, 6 outputs', {[47.4 8.5], 'zimm', 40},   6;
              'small area, 6 outputs',         {[40 0], [50 10], 'ALBH', 33}, 6};
  for q = 1:rows(requests)
    a = requests{q, 2};
    n = requests{q, 3};
    out = cell(3, n);
    for i = 1:3
      [out{i, :}] = vornakelstrid_p(files{i}, a{:});
    end
    tcheck(['plain, gzip, compress: ' requests{q, 1} ', no error'], ...
           ~any(cellfun(@is_error_result, out(:, 1))), describe_value(out{1, 1}));
    tcheck(['gzip copy equals plain: ' requests{q, 1}], isequaln(out(2, :), out(1, :)));
    tcheck(['compress copy equals plain: ' requests{q, 1}], isequaln(out(3, :), out(1, :)));
  end

  % --- JPL (gzip) and ESA (compress) products, against their decompressed text
  others = {'jplg0010.17i.gz', 'albh'; 'esag0080.20i.Z', 'albh'};
  for k = 1:rows(others)
    name = others{k, 1};
    text = fullfile(ctx.tmp, [name '.txt']);
    [status, msg] = system(sprintf('gzip -dc "%s" > "%s"', fullfile(ctx.data, name), text));
    if status ~= 0
      tcheck([name ': decompressed with gzip -dc for the reference'], false, msg);
      continue;
    end
    ref = reference_ionex(text);
    [r, t, la, lo, sat, rx] = vornakelstrid_p(fullfile(ctx.data, name), [-87.5 -180], [87.5 180], others{k, 2});
    s = double(single(10 ^ ref.exponent));
    same = iscell(r) && numel(r) == ref.num_maps && numel(ref.maps) == ref.num_maps;
    for j = 1:numel(ref.maps)
      same = same && isequal(r{j}, (double(single(ref.maps{j})) * s)');
    end
    tcheck(sprintf('%s: %d maps equal the decompressed text', name, ref.num_maps), same, describe_value(r));
    tcheck_equal([name ': first epoch'], t(1), datenum(ref.epoch));
    tcheck_equal([name ': satellite DCBs (GLONASS entries skipped)'], sat, ref.sat);
    tcheck_equal([name ': receiver ' others{k, 2}], rx, ref.station(others{k, 2}));
    % the same file decompressed is read the same
    [r2, t2, la2, lo2, sat2, rx2] = vornakelstrid_p(text, [-87.5 -180], [87.5 180], others{k, 2});
    tcheck([name ': decompressed copy gives the same six outputs'], ...
           isequaln({r, t, la, lo, sat, rx}, {r2, t2, la2, lo2, sat2, rx2}));
  end
end
