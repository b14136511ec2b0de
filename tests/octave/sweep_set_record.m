function txt = sweep_set_record(txt, label, data, occurrence)
% TXT with the OCCURRENCE-th line (default 1) holding LABEL rewritten as DATA followed by the
% label in column 61, the layout of an IONEX record. TXT is unchanged when there is no such line.
  if nargin < 4
    occurrence = 1;
  end
  lines = strsplit(txt, "\n");
  hits = find(~cellfun(@isempty, strfind(lines, label)));
  if numel(hits) >= occurrence
    lines{hits(occurrence)} = sprintf('%-60s%s', data, label);
  end
  txt = strjoin(lines, "\n");
end
