function [outcome, problem] = sweep_call(file, form)
% Calls the module on FILE with one argument FORM and judges the result.
%   FORM 1: no location (whole grid)      FORM 2: a point
%   FORM 3: an area                       FORM 4: six outputs, point, receiver, 40 satellites
% OUTCOME is 'normal' or the identifier of the error result; PROBLEM is '' when the result
% is a well-formed normal result or an error result with one of the five identifiers, and
% says what is wrong otherwise (an Octave error included).
  ids = {'Vornakelstrid:Input', 'Vornakelstrid:Output', 'Vornakelstrid:NoFile', ...
         'Vornakelstrid:ReadError', 'Vornakelstrid:NoIonexFile'};
  outcome = 'octave error';
  problem = '';
  try
    switch form
      case 1
        r = vornakelstrid_p(file);
      case 2
        r = vornakelstrid_p(file, [22.5 10]);
      case 3
        r = vornakelstrid_p(file, [20 -30], [25 40]);
      otherwise
        [r, t, la, lo, sat, rx] = vornakelstrid_p(file, [22.5 10], 'ABCD', 40);
    end
  catch err
    problem = ['Octave error: ' err.message];
    return;
  end
  if is_error_result(r)
    outcome = r{2};
    if ~any(strcmp(r{2}, ids))
      problem = ['unknown identifier in ' describe_value(r)];
    elseif isempty(r{1}) || rows(r{1}) ~= 1 || columns(r{1}) > 127
      problem = ['malformed message in ' describe_value(r)];
    end
    return;
  end
  outcome = 'normal';
  if form == 1 || form == 3
    ok = iscell(r) && columns(r) <= 1 && all(cellfun(@(m) isa(m, 'double') && ismatrix(m), r(:)));
  else
    ok = isa(r, 'double') && rows(r) == 1;
  end
  if form == 4
    ok = ok && isa(t, 'double') && isequal(size(t), [columns(r) 1]) ...
         && isa(la, 'double') && isscalar(la) && isa(lo, 'double') && isscalar(lo) ...
         && isa(sat, 'double') && isequal(size(sat), [1 40]) && isa(rx, 'double') && isscalar(rx);
  end
  if ~ok
    problem = ['malformed normal result ' describe_value(r)];
  end
end
