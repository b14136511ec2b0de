function [values, state] = sweep_rng(state, n, hi)
% N pseudo-random integers in 1..HI and the generator's next STATE (Park-Miller, exact in
% doubles), so that every run of the sweep damages the files in the same places.
  values = zeros(1, n);
  for k = 1:n
    state = mod(16807 * state, 2147483647);
    values(k) = 1 + floor(state / 2147483647 * hi);
  end
end
