function M = query_test_maps(nheight)
% A map set shaped as ionex.read returns it, for the ionex.interp and ionex.delay tests:
% global grid 87.5..-87.5 by -2.5 and -180..180 by 5 (the seam column repeats column 0),
% three maps two hours apart from 2020-01-08, node (row i, column j, map k), counted from
% 0, holding 1000 k + 100 i + j^2 (+ 10000 per layer); RMS a tenth of it.
  if nargin < 1, nheight = 1; end
  M.lat = (87.5:-2.5:-87.5)';
  M.lon = (-180:5:180)';
  M.height = 450 + 50 * (0:nheight-1)';
  M.base_radius = 6371;
  M.time = datenum(2020, 1, 8) + [0; 2; 4] / 24;
  [i, j, k, h] = ndgrid(0:70, 0:72, 0:2, 0:nheight-1);
  M.tec = 1000 * k + 100 * i + mod(j, 72) .^ 2 + 10000 * h;
  M.rms = M.tec / 10;
end
