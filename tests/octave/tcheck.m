function ok = tcheck(label, ok, detail)
% Records one check: prints "ok" or "FAIL" with the label, and DETAIL on failure.
  global IONEX_TCHECK
  ok = islogical(ok) && isscalar(ok) && ok;
  if ok
    IONEX_TCHECK.pass += 1;
    printf('ok   %s\n', label);
  else
    IONEX_TCHECK.fail += 1;
    printf('FAIL %s\n', label);
    if nargin > 2 && ~isempty(detail)
      printf('       %s\n', strrep(detail, "\n", "\n       "));
    end
  end
end
