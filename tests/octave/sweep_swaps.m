function [v, state] = sweep_swaps(name, bytes, n, state)
% N variants of the text BYTES, each with two of its lines exchanged: an N-by-2 cell of
% {name, bytes}.
  lines = strsplit(char(bytes), "\n");
  v = cell(n, 2);
  [a, state] = sweep_rng(state, n, numel(lines));
  [b, state] = sweep_rng(state, n, numel(lines));
  for k = 1:n
    l = lines;
    l([a(k) b(k)]) = l([b(k) a(k)]);
    v(k, :) = {sprintf('%s-%d-%d', name, a(k), b(k)), uint8(strjoin(l, "\n"))};
  end
end
