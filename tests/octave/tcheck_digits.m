function ok = tcheck_digits(label, got, want_text, digits)
% A double scalar printed with DIGITS significant digits reads WANT_TEXT.
  ok = isa(got, 'double') && isscalar(got);
  txt = '';
  if ok
    txt = sprintf('%.*g', digits, got);
    ok = strcmp(txt, want_text);
  end
  ok = tcheck(label, ok, sprintf('got  %s (%s)\nwant %s', txt, describe_value(got), want_text));
end
