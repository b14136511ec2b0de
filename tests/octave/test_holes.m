function test_holes(ctx)
% Places a map does not supply are NaN: a short row, a map without its epoch line, maps
% missing at the end of the file. Never zeros, never the previous map's values.

  reg = struct('lat', [60 30 -2.5], 'lon', [-10 20 5], 'exponent', 0, 'num_maps', 5);
  v = arrayfun(@(k) synthetic_values(13, 7, k), 1:5, 'UniformOutput', false);
  short = struct('values', v{2}, 'row_len', [7 7 7 4 7 7 7 7 7 7 7 7 7]);   % row 4 (52.5): 4 values
  noepoch = struct('values', v{3}, 'epoch', false);
  f = fullfile(ctx.tmp, 'holes.16i');
  write_ionex(f, reg, {v{1}, short, noepoch, v{4}});       % 5 announced, 4 written

  [r, t] = vornakelstrid_p(f);
  tcheck_equal('holes: 5 cells for 5 announced maps', size(r), [5 1]);
  tcheck_equal('complete map 1', r{1}, v{1}');
  want = v{2}';
  want(5:7, 4) = NaN;
  tcheck_equal('short row in map 2: NaN in its last three places, the rest of map 2 in place', r{2}, want);
  tcheck_equal('map 3 without EPOCH OF CURRENT MAP: all NaN', r{3}, NaN(7, 13));
  tcheck_equal('map 4 after it read normally', r{4}, v{4}');
  tcheck_equal('map 5 missing from the file: all NaN', r{5}, NaN(7, 13));

  % point mode: NaN when any of the four nodes is NaN
  p = vornakelstrid_p(f, [51 12]);          % nodes (52.5|50, 10|15): (52.5,15) is a hole in map 2
  tcheck('point next to the hole: map 1 and 4 values, NaN for maps 2, 3, 5', ...
         isequal(isnan(p), [false true true false true]) && all(isfinite(p([1 4]))), describe_value(p));
  p = vornakelstrid_p(f, [58 0]);
  tcheck('point away from the hole: NaN only for maps 3 and 5', ...
         isequal(isnan(p), [false false true false true]), describe_value(p));
  % On node (52.5, 5), the last value the short row supplies: the window also holds the
  % hole (52.5, 10), with weight 0, and the value is NaN all the same.
  p = vornakelstrid_p(f, [52.5 5]);
  tcheck_equal('point on a node beside a hole', p, [v{1}(4, 4), NaN, NaN, v{4}(4, 4), NaN]);
end
