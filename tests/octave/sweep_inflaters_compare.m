function [compared, problem] = sweep_inflaters_compare(file, with_isal)
% Calls both function families on FILE with zlib's and with ISA-L's inflater and compares
% the results call by call. A file that is no gzip stream (first bytes not 1F 8B) is not
% compared. COMPARED is true when the comparison ran; PROBLEM is '' when every result is the
% same, else names the first call that differs.
  compared = false;
  problem = '';
  if ~with_isal
    return;
  end
  fid = fopen(file, 'r');
  magic = fread(fid, 2, 'uint8=>double')';
  fclose(fid);
  if ~isequal(magic, [31 139])
    return;
  end
  compared = true;
  zlib = sweep_inflater_results(file, 'zlib');
  isal = sweep_inflater_results(file, 'isal');
  names = {'whole grid', 'point', 'area', 'six outputs', 'ionex.read'};
  for k = 1:numel(names)
    if ~isequaln(zlib{k}, isal{k})
      problem = sprintf('%s differs: zlib %s, ISA-L %s', names{k}, describe_value(zlib{k}), describe_value(isal{k}));
      return;
    end
  end
end
