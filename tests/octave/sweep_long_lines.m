function v = sweep_long_lines(bytes)
% Variants of the small IONEX text BYTES with overlong and odd lines: lines of 600 characters
% (blank, digits, letters, a keyword beyond the 511th column), a header line and a data line
% replaced by such, all newlines removed, CR LF line ends, NUL bytes and tabs inside lines.
% An N-by-2 cell of {name, bytes}.
  txt = char(bytes);
  lines = strsplit(txt, "\n");
  fillers = {repmat(' ', 1, 600), repmat('9', 1, 600), repmat('x', 1, 600), ...
             [repmat(' ', 1, 560) '     9                                     # OF MAPS IN FILE'], ...
             [repmat(' ', 1, 540) 'LAT/LON1/LON2/DLON/H'], [repmat('1 ', 1, 300)], ...
             [repmat(' ', 1, 505) '999999999 # OF MAPS IN FILE']};
  % Header record, header end, map start, a row label, a data line, the last line.
  where = [5, 19, 20, 22, 23, numel(lines) - 1];
  v = cell(0, 2);
  for f = 1:numel(fillers)
    for w = where
      l = lines;
      l{w} = fillers{f};
      v(end+1, :) = {sprintf('long-%d-line-%d', f, w), uint8(strjoin(l, "\n"))};
    end
    l = [lines(1:22) fillers(f) lines(23:end)];
    v(end+1, :) = {sprintf('long-%d-inserted', f), uint8(strjoin(l, "\n"))};
  end
  v(end+1, :) = {'one-line', uint8(strrep(txt, "\n", ''))};
  v(end+1, :) = {'crlf', uint8(strrep(txt, "\n", "\r\n"))};
  v(end+1, :) = {'cr-only', uint8(strrep(txt, "\n", "\r"))};
  v(end+1, :) = {'tabs', uint8(strrep(txt, ' ', "\t"))};
  b = bytes; b(30:81:end) = 0;
  v(end+1, :) = {'nul-bytes', b};
  b = bytes; b(b == 32) = 0;
  v(end+1, :) = {'nul-for-blanks', b};
  v(end+1, :) = {'no-final-newline', bytes(1:end-1)};
  v(end+1, :) = {'blank-lines', uint8(strrep(txt, "\n", "\n\n\n"))};
end
