function ref = ionex_text_maps(path, tmp)
% Reads the TEC and RMS maps of a real IONEX product the plain way, as an independent
% reference for ionex.read: each map's epoch and its integers, nlat-by-nlon, read in
% five-column fields. Compressed files (.gz, .Z) are first expanded with `gzip -dc` into
% the folder TMP.
%   ref.tec, ref.rms       cell arrays of integer maps (9999 kept as written)
%   ref.tec_time, ref.rms_time   datenum of each map's EPOCH OF CURRENT MAP
  if ~isempty(regexpi(path, '\.(gz|z)$', 'once'))
    [~, base] = fileparts(path);
    plain = fullfile(tmp, [base '.plain']);
    status = system(sprintf('gzip -dc "%s" > "%s"', path, plain));
    if status ~= 0
      error('ionex_text_maps: gzip -dc failed on %s', path);
    end
    path = plain;
  end
  lines = strsplit(strrep(fileread(path), "\r", ''), "\n");
  ref = struct('tec', {{}}, 'rms', {{}}, 'tec_time', [], 'rms_time', []);
  kind = '';
  for k = 1:numel(lines)
    l = lines{k};
    label = strtrim(l(min(61, end + 1):end));
    switch label
      case {'START OF TEC MAP', 'START OF RMS MAP'}
        kind = lower(label(10:12));
        map = [];
        row = 0;
      case 'EPOCH OF CURRENT MAP'
        if ~isempty(kind)
          ref.([kind '_time'])(end+1, 1) = datenum(sscanf(l(1:36), '%f')');
        end
      case 'LAT/LON1/LON2/DLON/H'
        row += 1;
        col = 0;
      case {'END OF TEC MAP', 'END OF RMS MAP'}
        ref.(kind){end+1} = map;
        kind = '';
      otherwise                               % a data line: no label of its own
        if ~isempty(kind) && row > 0
          l = deblank(l);
          n = ceil(numel(l) / 5);
          fields = reshape([l, repmat(' ', 1, 5 * n - numel(l))], 5, n);
          fields(6, :) = ' ';                 % touching fields stay apart
          vals = sscanf(fields(:)', '%d')';
          map(row, col+1:col+numel(vals)) = vals;
          col += numel(vals);
        end
    end
  end
end
