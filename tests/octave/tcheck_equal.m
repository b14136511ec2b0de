function ok = tcheck_equal(label, got, want)
% Exact equality of class, size and value; NaN equals NaN.
  ok = strcmp(class(got), class(want)) && isequal(size(got), size(want)) && isequaln(got, want);
  ok = tcheck(label, ok, sprintf('got  %s\nwant %s', describe_value(got), describe_value(want)));
end
