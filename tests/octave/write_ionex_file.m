function write_ionex_file(path, hdr, maps)
% Writes an IONEX file of any kind of map for the +ionex tests: TEC, RMS and height maps,
% 2-D or 3-D grids, any axis direction, per-map EXPONENT records, LF or CRLF line ends.
%
% HDR fields (all optional):
%   version    text of the version field                             '1.0'
%   system     the satellite system field                            'GPS'
%   epoch      [y mo d h mi s] of the first map                      [2020 1 8 0 0 0]
%   interval   seconds between the maps of one kind                  3600
%   lat, lon   [first last step]                                     [87.5 -87.5 -2.5], [-180 180 5]
%   hgt        [first last step]                                     [450 450 0]
%   exponent   the header's EXPONENT; [] leaves it out               -1
%   map_dim    MAP DIMENSION                                         2 (3 when hgt has a step)
%   extra      cell of whole lines put before END OF HEADER         {}
%   eol        line end                                              "\n"
%   eof        write END OF FILE                                     true
% MAPS is a struct array (or cell of structs) in the order the maps are written, fields:
%   kind       'TEC', 'RMS' or 'HEIGHT'
%   number     map number                                            position among its kind
%   epoch      [y mo d h mi s]; [] leaves EPOCH OF CURRENT MAP out   epoch + (number-1) * interval
%   exponent   writes an EXPONENT record in the map                  (none)
%   values     nlat-by-nlon-by-nhgt integers, in the file's axis order
% Values are written %5d, 16 to a line; labels start in column 61.

  def = struct('version', '1.0', 'system', 'GPS', 'epoch', [2020 1 8 0 0 0], 'interval', 3600, ...
               'lat', [87.5 -87.5 -2.5], 'lon', [-180 180 5], 'hgt', [450 450 0], ...
               'exponent', -1, 'map_dim', [], 'eol', "\n", 'eof', true);
  def.extra = {};
  names = fieldnames(def);
  for k = 1:numel(names)
    if ~isfield(hdr, names{k})
      hdr.(names{k}) = def.(names{k});
    end
  end
  if isempty(hdr.map_dim)
    hdr.map_dim = 2 + (hdr.hgt(3) ~= 0);
  end
  if iscell(maps)
    maps = [maps{:}];
  end

  L = {};
  L{end+1} = rec(sprintf('%8s            IONOSPHERE MAPS     %s', hdr.version, hdr.system), 'IONEX VERSION / TYPE');
  L{end+1} = rec('write_ionex_file    ionex tests         08-DEC-26 12:00', 'PGM / RUN BY / DATE');
  L{end+1} = rec('Maps written by the +ionex tests', 'DESCRIPTION');
  L{end+1} = rec('A header comment', 'COMMENT');
  L{end+1} = rec(epoch_text(hdr.epoch), 'EPOCH OF FIRST MAP');
  L{end+1} = rec(epoch_text(hdr.epoch), 'EPOCH OF LAST MAP');
  L{end+1} = rec(sprintf('%6d', hdr.interval), 'INTERVAL');
  L{end+1} = rec(sprintf('%6d', sum(strcmp({maps.kind}, 'TEC'))), '# OF MAPS IN FILE');
  L{end+1} = rec('  COSZ', 'MAPPING FUNCTION');
  L{end+1} = rec('    10.0', 'ELEVATION CUTOFF');
  L{end+1} = rec('  6371.0', 'BASE RADIUS');
  L{end+1} = rec(sprintf('%6d', hdr.map_dim), 'MAP DIMENSION');
  L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f', hdr.hgt), 'HGT1 / HGT2 / DHGT');
  L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f', hdr.lat), 'LAT1 / LAT2 / DLAT');
  L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f', hdr.lon), 'LON1 / LON2 / DLON');
  if ~isempty(hdr.exponent)
    L{end+1} = rec(sprintf('%6d', hdr.exponent), 'EXPONENT');
  end
  L = [L, hdr.extra(:)'];
  L{end+1} = rec('', 'END OF HEADER');

  if hdr.hgt(3) == 0
    hgts = hdr.hgt(1);
  else
    hgts = hdr.hgt(1):hdr.hgt(3):hdr.hgt(2);
  end
  lats = hdr.lat(1) + (0:1000) * hdr.lat(3);
  counts = struct('TEC', 0, 'RMS', 0, 'HEIGHT', 0);
  for k = 1:numel(maps)
    m = maps(k);
    counts.(m.kind) += 1;
    number = counts.(m.kind);
    if isfield(m, 'number') && ~isempty(m.number), number = m.number; end
    ep = datevec(datenum(hdr.epoch) + (number - 1) * hdr.interval / 86400);
    if isfield(m, 'epoch'), ep = m.epoch; end
    L{end+1} = rec(sprintf('%6d', number), ['START OF ' m.kind ' MAP']);
    if ~isempty(ep)
      L{end+1} = rec(epoch_text(ep), 'EPOCH OF CURRENT MAP');
    end
    if isfield(m, 'exponent') && ~isempty(m.exponent)
      L{end+1} = rec(sprintf('%6d', m.exponent), 'EXPONENT');
    end
    v = m.values;
    for h = 1:size(v, 3)
      for r = 1:size(v, 1)
        L{end+1} = rec(sprintf('  %6.1f%6.1f%6.1f%6.1f%6.1f', lats(r), hdr.lon, hgts(min(h, end))), ...
                       'LAT/LON1/LON2/DLON/H');
        vals = v(r, :, h);
        for s = 1:16:numel(vals)
          L{end+1} = sprintf('%5d', vals(s:min(s + 15, end)));
        end
      end
    end
    L{end+1} = rec(sprintf('%6d', number), ['END OF ' m.kind ' MAP']);
  end
  if hdr.eof
    L{end+1} = rec('', 'END OF FILE');
  end

  fid = fopen(path, 'w');
  if fid < 0
    error('write_ionex_file: cannot write %s', path);
  end
  fprintf(fid, ['%s' hdr.eol], L{:});
  fclose(fid);
end

function s = rec(data, label)
  s = sprintf('%-60s%s', data, label);
end

function s = epoch_text(e)
  s = sprintf('%6d%6d%6d%6d%6d%6d', round(e));
end
