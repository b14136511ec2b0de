function [outcome, problem] = sweep_ionex_call(file)
% Calls ionex.read on FILE and judges the result. OUTCOME is 'normal' or the identifier of
% the error raised; PROBLEM is '' when the call returned a well-formed struct or raised one
% of the six identifiers with a one-line message, and says what is wrong otherwise. A struct
% read is also queried with ionex.interp and ionex.delay (sweep_query_call).
  ids = {'ionex:NoFile', 'ionex:NotIonex', 'ionex:Corrupt', 'ionex:Truncated', ...
         'ionex:GridMismatch', 'ionex:Input'};
  problem = '';
  try
    M = ionex.read(file, 'Progress', false);
  catch err
    outcome = err.identifier;
    if ~any(strcmp(outcome, ids))
      problem = sprintf('unknown identifier ''%s'': %s', outcome, err.message);
    elseif isempty(err.message) || any(err.message == "\n")
      problem = ['malformed message ' describe_value(err.message)];
    end
    return;
  end
  outcome = 'normal';
  nlat = numel(M.lat); nlon = numel(M.lon); nmaps = numel(M.time);
  ok = isstruct(M) && isscalar(M) && iscolumn(M.time) || isempty(M.time);
  for kind = {'tec', 'rms', 'height_map'}
    v = M.(kind{1});
    ok = ok && isa(v, 'double') && (isempty(v) && ndims(v) == 2 ...
         || size(v, 1) == nlat && size(v, 2) == nlon && size(v, 3) == nmaps);
  end
  ok = ok && isstruct(M.dcb) && iscell(M.other_records) && columns(M.other_records) == 2;
  if ~ok
    problem = ['malformed struct, time ' describe_value(M.time) ', tec ' mat2str(size(M.tec))];
  else
    problem = sweep_query_call(M);     % ionex.interp and ionex.delay on what was read
  end
end
