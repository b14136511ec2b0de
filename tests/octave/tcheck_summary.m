function [npass, nfail] = tcheck_summary()
% Counts of passed and failed checks since tcheck_reset.
  global IONEX_TCHECK
  npass = IONEX_TCHECK.pass;
  nfail = IONEX_TCHECK.fail;
end
