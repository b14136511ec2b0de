function test_point(ctx)
% Point mode: one bilinear value per map, the 0.1-degree node coordinates in outputs 3
% and 4, the accepted forms of a location, and the longitude convention of the file.

  f = fullfile(ctx.tmp, 'global0.16i');
  maps = arrayfun(@(k) synthetic_values(71, 73, k), 1:3, 'UniformOutput', false);
  % Nodes around (46.93, 7.43): (47.5,5) (47.5,10) (45,5) (45,10) are rows 17,18 and
  % columns 38,39 (1-based). Exponent 0, so the values stand as written: ten times the
  % grid values 31.2, 30.6, 33.0, 32.5, whose value at (46.93, 7.43) is 31.3298805941574.
  % (31.2 itself cannot come out of a file: a value is the product of two floats.)
  maps{1}(17, 38) = 312; maps{1}(17, 39) = 306; maps{1}(18, 38) = 330; maps{1}(18, 39) = 325;
  write_ionex(f, struct('exponent', 0), maps);

  % --- between nodes
  [r, t, la, lo] = vornakelstrid_p(f, [46.93 7.43]);
  tcheck_equal('between nodes: output 1 is 1x3', size(r), [1 3]);
  tcheck_digits('between nodes: value (ten times 31.3298805941574)', r(1), '313.298805941574', 15);
  tcheck_digits('between nodes: output 3', la, '46.8999999910593', 15);
  tcheck_digits('between nodes: output 4', lo, '7.400000035762787', 16);
  fine = double(single(0.1));
  tcheck_equal('between nodes: output 3 bit for bit (47.5 - 6 x single 0.1)', la, 47.5 + 6 * -fine);
  tcheck_equal('between nodes: output 4 bit for bit (24 x single 0.1 + 5)', lo, 24 * fine + 5.0);
  tcheck_equal('between nodes: output 2 is the 3x1 epoch column', size(t), [3 1]);

  file_tenths = fullfile(ctx.tmp, 'global1.16i');
  write_ionex(file_tenths, struct('exponent', -1), maps);
  r1 = vornakelstrid_p(file_tenths, [46.93 7.43]);
  tcheck('between nodes, exponent -1: value near 31.3298805941574 (values 31.2 etc. as float products)', ...
         abs(r1(1) - 31.3298805941574) < 1e-6 && r1(1) ~= r(1) / 10, sprintf('%.17g', r1(1)));

  % --- on a node: the node's own value, in every map
  [r, t, la, lo] = vornakelstrid_p(f, [50 10]);
  tcheck_equal('on node (50,10): values are the node''s, map by map', r, ...
               [maps{1}(16, 39), maps{2}(16, 39), maps{3}(16, 39)]);
  tcheck_digits('on node (50,10): output 3', la, '49.9999999627471', 15);
  tcheck_equal('on node (50,10): output 4', lo, 10);

  on_nodes = {'first row of a north-to-south axis (87.5, 10)', [87.5 10],   1, 39;
              'last row (-87.5, 10)',                          [-87.5 10], 71, 39;
              'first column (0, -180)',                        [0 -180],   36,  1;
              'last column (0, 180)',                          [0 180],    36, 73;
              'corner (87.5, -180)',                           [87.5 -180], 1,  1};
  for k = 1:rows(on_nodes)
    [i, j] = on_nodes{k, 3:4};
    r = vornakelstrid_p(f, on_nodes{k, 2});
    tcheck_equal(['on node, ' on_nodes{k, 1}], r, [maps{1}(i, j), maps{2}(i, j), maps{3}(i, j)]);
  end
  [r, t, la, lo] = vornakelstrid_p(f, [87.5 10]);
  tcheck_equal('on node 0 of the latitude axis: output 3', la, 87.5);

  % --- forms of a location: all give what [46.93 7.43] gives
  [r0, t0, la0, lo0] = vornakelstrid_p(f, [46.93 7.43]);
  forms = {'single row',                 single([46.93 7.43]);
           'column',                     [46.93; 7.43];
           'three elements',             [46.93 7.43 99];
           '2x2, first two in storage order', [46.93 99; 7.43 99]};
  for k = 1:rows(forms)
    [r, t, la, lo] = vornakelstrid_p(f, forms{k, 2});
    tcheck(['location as ' forms{k, 1}], isequal({r, t, la, lo}, {r0, t0, la0, lo0}), ...
           describe_value({r, la, lo}));
  end
  [r0, t0, la0, lo0] = vornakelstrid_p(f, [47 8]);
  ints = {int8([47 8]), uint8([47 8]), int16([47 8]), int32([47 8]), uint64([47 8]), single([47 8])};
  for k = 1:numel(ints)
    [r, t, la, lo] = vornakelstrid_p(f, ints{k});
    tcheck(['location of class ' class(ints{k})], isequal({r, t, la, lo}, {r0, t0, la0, lo0}), ...
           describe_value({r, la, lo}));
  end
  r = vornakelstrid_p(f, int8([-47 -8]));
  tcheck_equal('location of class int8, negative values', r, vornakelstrid_p(f, [-47 -8]));

  % --- longitude convention of a -180..180 file
  [r0, t0, la0, lo0] = vornakelstrid_p(f, [45 -170]);
  [r, t, la, lo] = vornakelstrid_p(f, [45 190]);
  tcheck('-180..180 file: 190 is read as -170', isequal({r, t, la, lo}, {r0, t0, la0, lo0}), ...
         describe_value({r, lo}));
  [r0, t0, la0, lo0] = vornakelstrid_p(f, [45 180]);
  [r, t, la, lo] = vornakelstrid_p(f, [45 540]);
  tcheck('-180..180 file: 540 is corrected once, to 180', isequal({r, t, la, lo}, {r0, t0, la0, lo0}), ...
         describe_value({r, lo}));
  r = vornakelstrid_p(f, [45 -190]);
  tcheck('-180..180 file: -190 stays -190, outside the grid', is_error_result(r) && ...
         strncmp(r{1}, '512: Given latitude and longitude range', 39), describe_value(r));

  % --- longitude convention of a 0..357.5 file
  e = fullfile(ctx.tmp, 'east.16i');
  emaps = arrayfun(@(k) synthetic_values(71, 144, k), 1:2, 'UniformOutput', false);
  write_ionex(e, struct('lon', [0 357.5 2.5]), emaps);
  [r, t, la, lo] = vornakelstrid_p(e, [45 -10]);
  tcheck_equal('0..357.5 file: -10 becomes 350 (output 4)', lo, 350);
  s = double(single(0.1));
  tcheck_equal('0..357.5 file: value at (45, -10) is the node (45, 350)', r, ...
               [double(single(emaps{1}(18, 141))) * s, double(single(emaps{2}(18, 141))) * s]);
  [r2, t2, la2, lo2] = vornakelstrid_p(e, [45 350]);
  tcheck('0..357.5 file: -10 and 350 give the same outputs', isequal({r, t, la, lo}, {r2, t2, la2, lo2}));
  r = vornakelstrid_p(e, [45 -1]);
  tcheck('0..357.5 file: -1 (359) lies after the last column and is refused', is_error_result(r) && ...
         strncmp(r{1}, '512: Given latitude and longitude range', 39), describe_value(r));
end
