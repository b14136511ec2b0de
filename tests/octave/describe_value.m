function s = describe_value(v)
% Short text of a value for failure reports.
  if iscell(v)
    parts = cellfun(@describe_value, v(:)', 'UniformOutput', false);
    s = sprintf('%dx%d cell {%s}', rows(v), columns(v), strjoin(parts, '; '));
  elseif ischar(v)
    s = sprintf('''%s''', v(:)');
  elseif isnumeric(v) || islogical(v)
    if numel(v) <= 12 && ndims(v) == 2
      s = sprintf('%s %dx%d %s', class(v), rows(v), columns(v), mat2str(double(v), 17));
    elseif numel(v) < 6
      s = sprintf('%s %s [%s]', class(v), mat2str(size(v)), sprintf('%.17g ', double(v)));
    else
      s = sprintf('%s %s [%s ...]', class(v), mat2str(size(v)), ...
                  sprintf('%.17g ', double(v(1:6))));
    end
  else
    s = sprintf('<%s %dx%d>', class(v), rows(v), columns(v));
  end
end
