function v = sweep_truncations(name, bytes, offsets)
% Variants of BYTES cut after each of OFFSETS bytes (0 gives the empty file): an N-by-2
% cell of {name, bytes}.
  offsets = unique(min(max(round(offsets), 0), numel(bytes)));
  v = cell(numel(offsets), 2);
  for k = 1:numel(offsets)
    v(k, :) = {sprintf('%s-%d', name, offsets(k)), bytes(1:offsets(k))};
  end
end
