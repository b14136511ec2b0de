function write_ionex(path, hdr, maps)
% Writes a two-dimensional IONEX file for the tests.
%
% HDR fields (all optional):
%   epoch      [year month day hour minute second] of the first map   [2016 4 28 0 0 0]
%   interval   seconds between maps                                   7200
%   num_maps   "# OF MAPS IN FILE"                                    numel(MAPS)
%   map_dim    "MAP DIMENSION"; [] leaves the record out              2
%   lat        [LAT1 LAT2 DLAT]                                       [87.5 -87.5 -2.5]
%   lon        [LON1 LON2 DLON]                                       [-180 180 5]
%   exponent   "EXPONENT"                                             -1
%   dcb        lines of a DIFFERENTIAL CODE BIASES block (see dcb_sat_line,
%              dcb_station_line); {} writes no block                  {}
%
% MAPS is a cell array, one element per TEC map, each either a matrix of integer
% values (nlat-by-nlon, rows in file order LAT1, LAT1+DLAT, ...; columns LON1, LON1+DLON,
% ...) or a struct with the field values and optionally:
%   number     number written in "START OF TEC MAP"                   k
%   epoch      false leaves out "EPOCH OF CURRENT MAP"                true
%   exponent   writes an "EXPONENT" record at the start of the map    (none)
%   row_len    values written per row (vector, one per row)           all
%   lon_rows   [row lon1 lon2 dlon]: the "LAT/LON1/LON2/DLON/H" line of that (1-based) row
%              gives these longitudes instead of the header's        (none)
% Values are written as %5d, 16 to a line; labels start in column 61.

  def = struct('epoch', [2016 4 28 0 0 0], 'interval', 7200, 'num_maps', numel(maps), ...
               'map_dim', 2, 'lat', [87.5 -87.5 -2.5], 'lon', [-180 180 5], ...
               'exponent', -1);
  def.dcb = {};
  names = fieldnames(def);
  for k = 1:numel(names)
    if ~isfield(hdr, names{k})
      hdr.(names{k}) = def.(names{k});
    end
  end

  L = {};
  L{end+1} = rec('     1.0            IONOSPHERE MAPS     GPS', 'IONEX VERSION / TYPE');
  L{end+1} = rec('write_ionex         vornakelstrid tests', 'PGM / RUN BY / DATE');
  L{end+1} = rec('Synthetic maps written by the Octave tests', 'COMMENT');
  L{end+1} = rec(epoch_text(hdr.epoch), 'EPOCH OF FIRST MAP');
  last = datevec(datenum(hdr.epoch) + (max(hdr.num_maps, 1) - 1) * hdr.interval / 86400);
  L{end+1} = rec(epoch_text(last), 'EPOCH OF LAST MAP');
  L{end+1} = rec(sprintf('%6d', hdr.interval), 'INTERVAL');
  L{end+1} = rec(sprintf('%6d', hdr.num_maps), '# OF MAPS IN FILE');
  L{end+1} = rec('  NONE', 'MAPPING FUNCTION');
  L{end+1} = rec('  6371.0', 'BASE RADIUS');
  if ~isempty(hdr.map_dim)
    L{end+1} = rec(sprintf('%6d', hdr.map_dim), 'MAP DIMENSION');
  end
  L{end+1} = rec('   450.0 450.0   0.0', 'HGT1 / HGT2 / DHGT');
  L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f', hdr.lat), 'LAT1 / LAT2 / DLAT');
  L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f', hdr.lon), 'LON1 / LON2 / DLON');
  L{end+1} = rec(sprintf('%6d', hdr.exponent), 'EXPONENT');
  if ~isempty(hdr.dcb)
    L{end+1} = rec('DIFFERENTIAL CODE BIASES', 'START OF AUX DATA');
    L = [L, hdr.dcb(:)'];
    L{end+1} = rec('DIFFERENTIAL CODE BIASES', 'END OF AUX DATA');
  end
  L{end+1} = rec('', 'END OF HEADER');

  lats = hdr.lat(1) + (0:1000) * hdr.lat(3);
  for k = 1:numel(maps)
    m = maps{k};
    if ~isstruct(m)
      m = struct('values', m);
    end
    number = k;
    if isfield(m, 'number'), number = m.number; end
    v = m.values;
    row_len = repmat(columns(v), 1, rows(v));
    if isfield(m, 'row_len'), row_len = m.row_len; end
    L{end+1} = rec(sprintf('%6d', number), 'START OF TEC MAP');
    if ~isfield(m, 'epoch') || m.epoch
      ep = datevec(datenum(hdr.epoch) + (k - 1) * hdr.interval / 86400);
      L{end+1} = rec(epoch_text(ep), 'EPOCH OF CURRENT MAP');
    end
    if isfield(m, 'exponent')
      L{end+1} = rec(sprintf('%6d', m.exponent), 'EXPONENT');
    end
    for r = 1:rows(v)
      lon = hdr.lon;
      if isfield(m, 'lon_rows')
        hit = find(m.lon_rows(:, 1) == r, 1);
        if ~isempty(hit), lon = m.lon_rows(hit, 2:4); end
      end
      L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f%6.1f%6.1f', lats(r), lon, 450), ...
                     'LAT/LON1/LON2/DLON/H');
      vals = v(r, 1:row_len(r));
      for s = 1:16:numel(vals)
        L{end+1} = sprintf('%5d', vals(s:min(s + 15, end)));
      end
    end
    L{end+1} = rec(sprintf('%6d', number), 'END OF TEC MAP');
  end
  L{end+1} = rec('', 'END OF FILE');

  fid = fopen(path, 'w');
  if fid < 0
    error('write_ionex: cannot write %s', path);
  end
  fprintf(fid, '%s\n', L{:});
  fclose(fid);
end

function s = rec(data, label)
  s = sprintf('%-60s%s', data, label);
end

function s = epoch_text(e)
  s = sprintf('%6d%6d%6d%6d%6d%6d', round(e));
end
