function problem = sweep_query_call(M)
% Calls ionex.interp and ionex.delay on M (a struct ionex.read returned, from a damaged file
% perhaps) with queries at the first, middle and last epochs, in and out of the grid, and
% every option. PROBLEM is '' when each call returned outputs of the query size whose
% values are NaN or within the range of the map nodes, or raised ionex:Input with a
% one-line message; otherwise it says what went wrong.
  problem = '';
  if isempty(M.time)
    t = [0 1];
  else
    t = [M.time(1), M.time(ceil(end / 2)), M.time(end), M.time(end) + 1];
  end
  lat = [0 45 -87.5 90];
  lon = [0 -180 359 7.47];
  nodes = M.tec(isfinite(M.tec));
  range = [min([nodes(:); Inf]), max([nodes(:); -Inf])];
  slack = 1e-9 * max(abs([range 1]));
  layer = {};
  if numel(M.height) > 1
    layer = {'Height', M.height(end)};
  end
  for method = {'rotated', 'linear', 'nearest'}
    [v, p] = query('interp', @() ionex.interp(M, t, lat, lon, 'Method', method{1}, layer{:}));
    if isempty(p) && ~isempty(v) && any(v(:) < range(1) - slack | v(:) > range(2) + slack)
      p = sprintf('interp %s gave %s outside the nodes'' range %s', method{1}, mat2str(v), mat2str(range));
    end
    if isempty(p)
      [~, p] = query('delay', @() ionex.delay(M, t, [46.88 7.47 956], [0 90 180 270], [90 30 10 -1], ...
                                            'Method', method{1}, 'MappingFunction', 'mslm'));
    end
    if ~isempty(p)
      problem = p;
      return;
    end
  end
end

function [v, problem] = query(name, call)
% Runs CALL; V is its first output (4 elements expected) or [] after an ionex:Input error.
  v = [];
  problem = '';
  try
    v = call();
    if ~isa(v, 'double') || numel(v) ~= 4
      problem = sprintf('%s returned %s', name, describe_value(v));
    end
  catch err
    if ~strcmp(err.identifier, 'ionex:Input') || isempty(err.message) || any(err.message == "\n")
      problem = sprintf('%s raised ''%s'': %s', name, err.identifier, err.message);
    end
  end
end
