function v = sweep_edits(bytes)
% Variants of the small IONEX text BYTES (two maps, 3 x 73 grid) with header and map records
% set to values no real file has: huge or negative map counts, grid steps of 0, NaN and
% infinity, exponents far out of range, epochs out of their ranges, map numbers out of order,
% rows whose longitudes differ. An N-by-2 cell of {name, bytes}.
  txt = char(bytes);
  edits = {
    '# OF MAPS IN FILE', {'999999999', '1000001', '2147483647', '99999999999', '-1', ...
                          '-999999999', '0', '1', '3', '50', 'x', ''};
    'LAT1 / LAT2 / DLAT', {'25.0 20.0 0.0', '25.0 20.0 nan', '25.0 20.0 inf', '25.0 20.0 -inf', ...
                           'nan 20.0 -2.5', '25.0 inf -2.5', '25.0 20.0 2.5', '25.0 20.0 -0.001', ...
                           '25.0 20.0 -1e-30', '1e30 -1e30 -1e20', '25.0 -1e9 -2.5', '20.0 25.0 2.5', ...
                           '25.0 20.0 -100', '25.0', ''};
    'LON1 / LON2 / DLON', {'-180.0 180.0 0.0', '-180.0 180.0 nan', '-180.0 180.0 inf', 'nan 180 5', ...
                           '-180.0 180.0 -5.0', '180.0 -180.0 5.0', '0.0 357.5 2.5', '-180 180 0.01', ...
                           '-180 180 1e-30', '-180 1e12 5', '-180 180 400', '-180', ''};
    'EXPONENT', {'99', '-99', '10', '-10', '38', '39', '-45', '2147483647', '-2147483648', ...
                 '99999999999', 'x', ''};
    'MAP DIMENSION', {'3', '0', '-2', '1', 'x', ''};
    'INTERVAL', {'0', '-1', '2147483647', '-2147483648', '99999999999', 'nan'};
    'EPOCH OF FIRST MAP', {'99999 99 99 99 99 99', '-5 -5 -5 -5 -5 -5', '2014 13 32 25 61 61', ...
                           '2014 0 0 0 0 0', '2147483647 2147483647 1 1 1 1', 'x', ''};
  };
  v = cell(0, 2);
  for e = 1:rows(edits)
    values = edits{e, 2};
    for k = 1:numel(values)
      t = sweep_set_record(txt, edits{e, 1}, values{k});
      v(end+1, :) = {sprintf('edit-%d-%d', e, k), uint8(t)};
    end
  end
  map_edits = {'START OF TEC MAP', 1, '     2';  'START OF TEC MAP', 1, '     0';
               'START OF TEC MAP', 2, '     1';  'START OF TEC MAP', 2, '99999999999';
               'START OF TEC MAP', 1, '    -1';  'START OF TEC MAP', 1, 'x';
               'EPOCH OF CURRENT MAP', 1, '';    'LAT/LON1/LON2/DLON/H', 2, '    22.5-180.0 180.0   2.5 400.0';
               'LAT/LON1/LON2/DLON/H', 1, '    25.0 nan 180.0   5.0 400.0';
               'LAT/LON1/LON2/DLON/H', 3, '    20.0-180.0';
               'END OF TEC MAP', 1, '     7';     'EXPONENT', 1, '99'};
  for k = 1:rows(map_edits)
    t = sweep_set_record(txt, map_edits{k, 1}, map_edits{k, 3}, map_edits{k, 2});
    v(end+1, :) = {sprintf('map-edit-%d', k), uint8(t)};
  end
  % Record labels moved, repeated and removed.
  v(end+1, :) = {'no-end-of-header', uint8(strrep(txt, 'END OF HEADER', 'END OF HEADEX'))};
  v(end+1, :) = {'no-start-of-map', uint8(strrep(txt, 'START OF TEC MAP', 'START OF TEC MAX'))};
  v(end+1, :) = {'no-end-of-map', uint8(strrep(txt, 'END OF TEC MAP', 'END OF TEC MAX'))};
  v(end+1, :) = {'no-row-labels', uint8(strrep(txt, 'LAT/LON1/LON2/DLON/H', 'LAT/LON1/LON2/DLON/X'))};
  v(end+1, :) = {'header-twice', uint8([txt(1:strfind(txt, 'END OF HEADER')(1) + 13) txt])};
  v(end+1, :) = {'aux-block-open', uint8(strrep(txt, '# OF STATIONS', 'DIFFERENTIAL CODE BIASES START OF AUX DATA'))};
end
