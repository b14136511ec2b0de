function s = usage_text(n, tail)
% The text of usage error N: "<n>: vornakelstrid_p v2.2? <tail>", cut to 127 characters.
  s = sprintf('%d: %s%s? %s', n, 'vornakelstrid_p', ' v2.2', tail);
  s = s(1:min(end, 127));
end
