function r = sweep_inflater_results(file, inflater)
% Every result the sweep asks of FILE with the gzip inflater INFLATER ('zlib' or 'isal'),
% chosen through the test switch IONEX_INFLATER: the four argument forms of vornakelstrid_p
% (all six outputs of the last) and ionex.read (its struct, or the identifier and message it
% raised). Returns them in one cell row, for isequaln against the other inflater's.
  old = getenv('IONEX_INFLATER');
  setenv('IONEX_INFLATER', inflater);
  restore = onCleanup(@() setenv('IONEX_INFLATER', old));
  r = cell(1, 5);
  r{1} = vornakelstrid_p(file);
  r{2} = vornakelstrid_p(file, [22.5 10]);
  r{3} = vornakelstrid_p(file, [20 -30], [25 40]);
  [a, b, c, d, e, f] = vornakelstrid_p(file, [22.5 10], 'ABCD', 40);
  r{4} = {a, b, c, d, e, f};
  try
    r{5} = ionex.read(file, 'Progress', false);
  catch err
    r{5} = {err.identifier, err.message};
  end
end
