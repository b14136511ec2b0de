function [v, state] = sweep_flips(name, bytes, n, range, state)
% N variants of BYTES, each with one byte inside RANGE ([first last], 1-based) changed by an
% exclusive-or with a value from 1 to 255: an N-by-2 cell of {name, bytes}.
  v = cell(n, 2);
  [pos, state] = sweep_rng(state, n, range(2) - range(1) + 1);
  [val, state] = sweep_rng(state, n, 255);
  for k = 1:n
    b = bytes;
    p = range(1) + pos(k) - 1;
    b(p) = bitxor(b(p), uint8(val(k)));
    v(k, :) = {sprintf('%s-%d-x%02x', name, p, val(k)), b};
  end
end
