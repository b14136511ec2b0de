function tcheck_reset()
% Clears the pass and fail counts of tcheck.
  global IONEX_TCHECK
  IONEX_TCHECK = struct('pass', 0, 'fail', 0);
end
