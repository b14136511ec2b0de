function v = synthetic_values(nlat, nlon, k)
% Distinct, easily recomputed integer values for map K of an nlat-by-nlon grid.
  [c, r] = meshgrid(0:nlon-1, 0:nlat-1);
  v = 100 + mod(7 * r + 3 * c + 11 * k, 400) + 1000 * mod(r, 3);
end
