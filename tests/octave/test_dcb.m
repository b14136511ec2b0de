function test_dcb(ctx)
% Outputs 5 and 6 from a DCB block written here: satellite slots by PRN, the receiver
% found by name in any case, and the positions of receiver and satellite count among the
% inputs.

  dcb = {dcb_sat_line('G', 1, -7.977, 0.009), ...
         dcb_sat_line('G', 2, 1.234, 0.010), ...
         dcb_sat_line('R', 3, 9.999, 0.010), ...      % GLONASS: not read
         dcb_sat_line('G', 32, -4.244, 0.009), ...
         dcb_sat_line('G', 33, 5.5, 0.010), ...       % only with a count above 32
         dcb_sat_line('G', 40, 6.25, 0.010), ...
         dcb_station_line('ABCD', '12345M001', 2.345, 0.05), ...
         dcb_station_line('WXYZ', '54321M002', -1.5, 0.05), ...
         dcb_station_line('ABCDEFGHIJKLMN', '', 4.5, 0.05)};
  f = fullfile(ctx.tmp, 'dcb.16i');
  maps = {synthetic_values(13, 7, 1), synthetic_values(13, 7, 2)};
  write_ionex(f, struct('lat', [60 30 -2.5], 'lon', [-10 20 5], 'dcb', {dcb}), maps);

  sat32 = zeros(1, 32); sat32([1 2 32]) = [-7.977 1.234 -4.244];
  sat40 = [sat32 zeros(1, 8)]; sat40([33 40]) = [5.5 6.25];
  point = vornakelstrid_p(f, [47 8]);
  area = vornakelstrid_p(f, [40 0], [50 10]);

  cases = {'(f,[47 8],''ABCD'')',              {[47 8], 'ABCD'},                 sat32, 2.345, point;
           '(f,[47 8],''abcd'')',              {[47 8], 'abcd'},                 sat32, 2.345, point;
           '(f,[47 8],''wXyZ'',33)',           {[47 8], 'wXyZ', 33},             [sat32 5.5], -1.5, point;
           '(f,[47 8],''abcd'',40)',           {[47 8], 'abcd', 40},             sat40, 2.345, point;
           '(f,[47 8],''abcd'',40,99)',        {[47 8], 'abcd', 40, 99},         sat40, 2.345, point;
           '(f,[47 8],''abcd'',24)',           {[47 8], 'abcd', 24},             sat32, 2.345, point;
           '(f,[47 8],[50 10],''abcd'')',      {[47 8], [50 10], 'abcd'},        sat32, 2.345, [];
           '(f,[47 8],[50 10],''abcd'',40)',   {[47 8], [50 10], 'abcd', 40},    sat40, 2.345, [];
           '(f,[40 0],[50 10],''ABCD'',40)',   {[40 0], [50 10], 'ABCD', 40},    sat40, 2.345, area;
           '(f,[47 8])',                       {[47 8]},                         sat32, 0, point;
           '(f,[47 8],''nope'')',              {[47 8], 'nope'},                 sat32, 0, point;
           '(f,[47 8],'''')',                  {[47 8], ''},                     sat32, 0, point;
           '20-character name, first 14 used', {[47 8], 'abcdefghijklmnOPQRST'}, sat32, 4.5, point;
           '14-character name',                {[47 8], 'AbCdEfGhIjKlMn'},       sat32, 4.5, point;
           '13 characters do not match',       {[47 8], 'abcdefghijklm'},        sat32, 0, point};
  for k = 1:rows(cases)
    a = cases{k, 2};
    [r, t, la, lo, sat, rx] = vornakelstrid_p(f, a{:});
    tcheck_equal([cases{k, 1} ': output 5'], sat, cases{k, 3});
    tcheck_equal([cases{k, 1} ': output 6'], rx, cases{k, 4});
    if ~isempty(cases{k, 5})
      tcheck_equal([cases{k, 1} ': output 1 as without receiver'], r, cases{k, 5});
    else
      tcheck([cases{k, 1} ': output 1 is an area'], iscell(r) && isequal(size(r{1}), [2 3]), ...
             describe_value(r));
    end
  end

  [r, t, la, lo, sat] = vornakelstrid_p(f, [47 8], 'abcd', 40);
  tcheck_equal('five outputs: output 5 made', sat, sat40);
  [r, t, la, lo, sat, rx] = vornakelstrid_p(f);
  tcheck_equal('whole grid with six outputs: satellite DCBs', sat, sat32);
  tcheck_equal('whole grid with six outputs: no receiver, 0', rx, 0);

  r = vornakelstrid_p(f, [47 8], [50 10], 5);
  tcheck_error('(f,[47 8],[50 10],5): number at the receiver position', r, ...
               usage_text(20, 'Could not convert second input into a string'), 'Vornakelstrid:Input');
end
