function ref = reference_ionex(path)
% Reads a plain, well-formed IONEX file the simple way, as an independent reference for
% the module on the real product files: header numbers, DCB entries, and the TEC maps as
% nlat-by-nlon matrices of the integers written (values split at blanks).
  txt = fileread(path);
  lines = strsplit(txt, "\n");
  ref = struct('num_maps', NaN, 'exponent', NaN, 'epoch', [], 'interval', NaN, ...
               'lat', [], 'lon', [], 'sat', zeros(1, 32));
  ref.station = containers.Map();   % lower-case name -> bias of its last entry
  ref.maps = {};
  k = 1;
  % header
  in_dcb = false;
  while k <= numel(lines)
    l = lines{k};
    label = strtrim(l(min(61, end + 1):end));
    data = l(1:min(60, end));
    k += 1;
    if strcmp(label, 'END OF HEADER'), break; end
    switch label
      case 'START OF AUX DATA', in_dcb = ~isempty(strfind(data, 'DIFFERENTIAL CODE BIASES'));
      case 'END OF AUX DATA',   in_dcb = false;
      case 'EPOCH OF FIRST MAP', ref.epoch = sscanf(data, '%f')';
      case 'INTERVAL',          ref.interval = sscanf(data, '%d');
      case '# OF MAPS IN FILE', ref.num_maps = sscanf(data, '%d');
      case 'EXPONENT',          ref.exponent = sscanf(data, '%d');
      case 'LAT1 / LAT2 / DLAT', ref.lat = sscanf(data, '%f')';
      case 'LON1 / LON2 / DLON', ref.lon = sscanf(data, '%f')';
      case 'PRN / BIAS / RMS'
        tok = regexp(data, '^\s*([A-Z]?)(\d+)\s+(\S+)', 'tokens', 'once');
        if in_dcb && ~strcmp(tok{1}, 'R')
          ref.sat(str2double(tok{2})) = str2double(tok{3});
        end
      case 'STATION / BIAS / RMS'
        tok = regexp(data, '^\s*(?:[GR]\s)?\s*(\S+)\s.*?(\S+)\s+\S+\s*$', 'tokens', 'once');
        if in_dcb
          ref.station(lower(tok{1})) = str2double(tok{2});
        end
    end
  end
  % TEC maps
  nlat = round((ref.lat(2) - ref.lat(1)) / ref.lat(3)) + 1;
  nlon = round((ref.lon(2) - ref.lon(1)) / ref.lon(3)) + 1;
  m = [];
  row = 0;
  vals = [];
  while k <= numel(lines)
    l = lines{k};
    k += 1;
    if ~isempty(strfind(l, 'START OF TEC MAP'))
      m = NaN(nlat, nlon);
      row = 0;
    elseif isempty(m)
      continue;
    elseif ~isempty(strfind(l, 'LAT/LON1/LON2/DLON/H')) || ~isempty(strfind(l, 'END OF TEC MAP'))
      if row > 0
        m(row, :) = vals;
      end
      row += 1;
      vals = [];
      if ~isempty(strfind(l, 'END OF TEC MAP'))
        ref.maps{end+1} = m;
        m = [];
      end
    elseif row > 0
      vals = [vals, sscanf(l, '%d')'];
    end
  end
end
