function s = file_text(fmt, name)
% The text of a file error: FMT with the file name, cut to 127 characters.
  s = sprintf(fmt, name);
  s = s(1:min(end, 127));
end
