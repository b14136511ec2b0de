function test_missing_maps(ctx)
% Maps a header announces but the file never reaches: NaN maps for a truncated product, the
% "no IONEX map" error result for a tiny file whose header claims 999999 maps, with only the
% DCB outputs beside it.

  dcb = {dcb_sat_line('G', 1, -7.5, 0.009), dcb_station_line('ABCD', '12345M001', 2.5, 0.04)};
  hdr = struct('num_maps', 999999, 'lat', [87.5 85 -2.5], 'lon', [-180 180 0.5], 'dcb', {dcb});
  f = fullfile(ctx.tmp, 'claims999999.16i');
  write_ionex(f, hdr, {});
  d = dir(f);
  tcheck('the lying file is under 2 KB', d.bytes < 2048, sprintf('%d bytes', d.bytes));

  [r, t, la, lo, sat, rx] = vornakelstrid_p(f, [87.5 -180], [85 180], 'ABCD');
  tcheck('999999 claimed maps: error result', is_error_result(r), describe_value(r));
  tcheck_equal('  its message', r{1}, ['512: Input file ''' f ''' does not contain a ' ...
               'two-dimensional IONEX map or compression used is not GZIP'](1:min(end, 127)));
  tcheck_equal('  its identifier', r{2}, 'Vornakelstrid:NoIonexFile');
  tcheck_equal('  no epochs', t, zeros(0, 0));
  tcheck_equal('  no latitudes', la, zeros(0, 0));
  tcheck_equal('  no longitudes', lo, zeros(0, 0));
  tcheck_equal('  satellite biases read before the maps', sat(1), -7.5);
  tcheck_equal('  receiver bias read before the maps', rx, 2.5);

  r = vornakelstrid_p(f);
  tcheck('  the same without a location', is_error_result(r) && strcmp(r{2}, 'Vornakelstrid:NoIonexFile'), ...
         describe_value(r));

  p = vornakelstrid_p(f, [86 0]);
  tcheck('a point request is not bounded: 999999 NaN values', ...
         isequal(size(p), [1 999999]) && all(isnan(p)), describe_value(p));

  % The daily CODE product cut after its first map.
  text = fileread(fullfile(ctx.data, 'CODG0080.20I'));
  cut = strfind(text, 'END OF TEC MAP');
  eol = find(text(cut(1):end) == sprintf('\n'), 1) + cut(1) - 1;
  g = fullfile(ctx.tmp, 'codg-cut.20i');
  fid = fopen(g, 'w');
  fwrite(fid, text(1:eol));
  fclose(fid);
  whole = vornakelstrid_p(fullfile(ctx.data, 'CODG0080.20I'));
  [r, t] = vornakelstrid_p(g);
  tcheck_equal('real file cut after map 1: 25 maps', size(r), [25 1]);
  tcheck_equal('  map 1 as in the whole file', r{1}, whole{1});
  tcheck('  maps 2 to 25 all NaN', all(cellfun(@(m) isequal(size(m), [73 71]) && all(isnan(m(:))), r(2:end))), '');
  tcheck_equal('  25 epochs', size(t), [25 1]);
end
