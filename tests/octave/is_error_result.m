function tf = is_error_result(r)
% True for an error result: a 2-by-1 cell of two char arrays.
  tf = iscell(r) && isequal(size(r), [2 1]) && ischar(r{1}) && ischar(r{2});
end
