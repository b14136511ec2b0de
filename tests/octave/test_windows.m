function test_windows(ctx)
% Whole-window mode: the whole grid and areas, the layout of every cell (longitudes down
% the rows, latitudes across the columns), the axes, and the scaling by the exponent.

  f = fullfile(ctx.tmp, 'global.16i');
  maps = arrayfun(@(k) synthetic_values(71, 73, k), 1:3, 'UniformOutput', false);
  maps{1}(15, 37) = 33;                                  % (52.5, 0)
  m2 = struct('values', maps{2}, 'exponent', -2);        % map 2 carries its own exponent
  write_ionex(f, struct('exponent', -1), {maps{1}, m2, maps{3}});
  scale = double(single([0.1 0.01 0.1]));
  % Expected window of map k: rows I, columns J of the file, as nlon-by-nlat.
  expect = @(k, I, J) (double(single(maps{k}(I, J))) * scale(k))';

  % --- whole grid
  [r, t, la, lo] = vornakelstrid_p(f);
  tcheck_equal('whole grid: output 1 is a 3x1 cell', [class(r) sprintf(' %dx%d', size(r))], 'cell 3x1');
  tcheck_equal('whole grid: latitude axis 87.5:-2.5:-87.5', la, (87.5:-2.5:-87.5)');
  tcheck_equal('whole grid: longitude axis -180:5:180', lo, (-180:5:180)');
  for k = 1:3
    tcheck_equal(sprintf('whole grid: map %d, 73x71, row = longitude, column = latitude', k), ...
                 r{k}, expect(k, 1:71, 1:73));
  end
  tcheck_digits('exponent -1: the text 33 is 3.3000000491738319', r{1}(37, 15), '3.3000000491738319', 17);
  tcheck_equal('whole grid: epochs, a running sum', t, [736448; 736448 + 1/12; (736448 + 1/12) + 1/12]);

  % --- the area (40,0)-(50,10) and its corner orders
  [r, t, la, lo] = vornakelstrid_p(f, [40 0], [50 10]);
  tcheck_equal('area: latitude axis', la, [50; 47.5; 45; 42.5; 40]);
  tcheck_equal('area: longitude axis', lo, [0; 5; 10]);
  for k = 1:3
    tcheck_equal(sprintf('area: map %d is 3x5, column 1 latitude 50 at longitudes 0, 5, 10', k), ...
                 r{k}, expect(k, 16:20, 37:39));
  end
  base = {r, t, la, lo};
  corners = {'(50,10)-(40,0)', [50 10], [40 0];
             '(40,10)-(50,0)', [40 10], [50 0];
             '(50,0)-(40,10)', [50 0], [40 10];
             'inside the nodes (41,1)-(49,9)', [41 1], [49 9];
             'inside the nodes, reversed (49,9)-(41,1)', [49 9], [41 1]};
  for k = 1:rows(corners)
    [r, t, la, lo] = vornakelstrid_p(f, corners{k, 2:3});
    tcheck(['area ' corners{k, 1} ' gives the same as (40,0)-(50,10)'], ...
           isequal({r, t, la, lo}, base), describe_value({la, lo}));
  end

  % smallest run of nodes enclosing the area on the north-to-south axis
  [r, t, la, lo] = vornakelstrid_p(f, [41 1], [44 4]);
  tcheck_equal('area (41,1)-(44,4): latitude axis 45..40', la, [45; 42.5; 40]);
  tcheck_equal('area (41,1)-(44,4): longitude axis 0..5', lo, [0; 5]);
  tcheck_equal('area (41,1)-(44,4): map 1', r{1}, expect(1, 18:20, 37:38));

  [r, t, la, lo] = vornakelstrid_p(f, [47 8], [47 8]);
  tcheck_equal('area with both corners equal: latitude axis', la, [47.5; 45]);
  tcheck_equal('area with both corners equal: longitude axis', lo, [5; 10]);
  tcheck_equal('area with both corners equal: 2x2 cell', r{2}, expect(2, 17:18, 38:39));

  [r, t, la, lo] = vornakelstrid_p(f, [45 1], [45 9]);
  tcheck_equal('area on one latitude row: widened in latitude only', {la, lo}, ...
               {[47.5; 45], [0; 5; 10]});
  tcheck_equal('area on one latitude row: map 3', r{3}, expect(3, 17:18, 37:39));

  [r, t, la, lo] = vornakelstrid_p(f, [-87.5 -180], [87.5 180]);
  [rw, tw, law, low] = vornakelstrid_p(f);
  tcheck('area equal to the whole grid gives the whole grid', isequal({r, t, la, lo}, {rw, tw, law, low}));

  % receiver and satellite count do not change the window
  [r, t, la, lo] = vornakelstrid_p(f, [40 0], [50 10], 'abcd', 40);
  tcheck('area with receiver and count: same window', isequal({r, t, la, lo}, base));

  % --- a grid of one latitude row
  g = fullfile(ctx.tmp, 'onerow.16i');
  rowmaps = arrayfun(@(k) synthetic_values(1, 73, k), 1:2, 'UniformOutput', false);
  write_ionex(g, struct('lat', [45 45 -2.5]), rowmaps);
  [r, t, la, lo] = vornakelstrid_p(g);
  tcheck_equal('one latitude row: output 3 is 45', la, 45);
  tcheck_equal('one latitude row: cells are 73x1 columns', r{2}, (double(single(rowmaps{2})) * scale(1))');

  % --- ascending latitudes
  a = fullfile(ctx.tmp, 'south-north.16i');
  amaps = {synthetic_values(71, 73, 5)};
  write_ionex(a, struct('lat', [-87.5 87.5 2.5]), amaps);
  [r, t, la, lo] = vornakelstrid_p(a, [41 1], [49 19]);
  tcheck_equal('south-to-north grid, area (41,1)-(49,19): latitude axis', la, (40:2.5:50)');
  tcheck_equal('south-to-north grid, area (41,1)-(49,19): longitude axis', lo, (0:5:20)');
  tcheck_equal('south-to-north grid, area (41,1)-(49,19): values', r{1}, ...
               (double(single(amaps{1}(52:56, 37:41))) * scale(1))');
end
