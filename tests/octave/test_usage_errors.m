function test_usage_errors(ctx)
% Usage errors 16 to 20 and the 511 error of a missing file: message, identifier, the
% outputs beside the error cell, and the satellite count as it shows in output 5.

  missing = fullfile(ctx.tmp, 'no-such-file.16i');
  IN = 'Vornakelstrid:Input';
  t16 = ['At least one of five inputs required:   <IONEX file> <latitude0, longtitude0> ' ...
         '<latitude1, longtitude1> <receiver> <satellites>'];
  t18 = 'First input must be string: <IONEX file>.';
  t19 = 'Location must be a vector of latitude and longitude.';
  t20 = 'Could not convert second input into a string';

  % --- 16: cut after 127 characters
  full16 = sprintf('16: vornakelstrid_p v2.2? %s', t16);
  tcheck_equal('16: formatted text has 152 characters', numel(full16), 152);
  cut16 = ['16: vornakelstrid_p v2.2? At least one of five inputs required:   ' ...
           '<IONEX file> <latitude0, longtitude0> <latitude1, longtitude1'];
  r = vornakelstrid_p();
  tcheck_error('16: no inputs, message cut at 127 characters', r, cut16, IN);
  tcheck_equal('16: message length', numel(r{1}), 127);

  r = vornakelstrid_p(missing, [1 2], [3 4], 'abc', 40, 6);
  tcheck_error('16: six inputs', r, cut16, IN);

  [r, o2, o3, o4, o5, o6, o7] = vornakelstrid_p();
  tcheck_error('16: no inputs and seven outputs (input count tested first)', r, cut16, IN);
  tcheck('16: outputs 2..7 are 0x0 doubles', ...
         all(cellfun(@(x) isa(x, 'double') && isequal(size(x), [0 0]), {o2, o3, o4, o5, o6, o7})));

  vornakelstrid_p();
  tcheck_error('16: no output requested, error result lands in ans', ans, cut16, IN);

  % --- 17
  [r, o2, o3, o4, o5, o6, o7] = vornakelstrid_p(missing);
  tcheck_error('17: one input, seven outputs', r, usage_text(17, 'Too many output arguments.'), ...
               'Vornakelstrid:Output');
  tcheck('17: outputs 2..7 are 0x0 doubles', ...
         all(cellfun(@(x) isa(x, 'double') && isequal(size(x), [0 0]), {o2, o3, o4, o5, o6, o7})));

  % --- 18: input 1 not a char array
  bad_names = {5, {missing}, [], int8([65 66]), true, struct('f', missing)};
  for k = 1:numel(bad_names)
    r = vornakelstrid_p(bad_names{k});
    tcheck_error(sprintf('18: input 1 of class %s', class(bad_names{k})), r, usage_text(18, t18), IN);
  end
  r = vornakelstrid_p(5, [47 8], 'abcd');
  tcheck_error('18: numeric input 1 with further inputs', r, usage_text(18, t18), IN);
  % The other form of 18 ("Could not convert first input into a string.") needs a char
  % array that the host cannot convert; Octave converts every char array.

  % --- 19: locations that are not two real numbers
  bad_locs = {5, [], zeros(1, 0), 'ab', [true false], {47, 8}, [47+1i 8], complex([47 8]), ...
              sparse([47 8]), struct('lat', {47, 8})};
  for k = 1:numel(bad_locs)
    b = bad_locs{k};
    what = sprintf('%s %dx%d', class(b), rows(b), columns(b));
    if isnumeric(b) && ~isreal(b), what = ['complex ' what]; end
    if issparse(b), what = ['sparse ' what]; end
    r = vornakelstrid_p(missing, b);
    tcheck_error(['19: input 2 ' what], r, usage_text(19, t19), IN);
    r = vornakelstrid_p(missing, [47 8], b);
    if ~ischar(b)
      tcheck_error(['19: input 3 ' what], r, usage_text(19, t19), IN);
    end
    r = vornakelstrid_p(missing, b, 'abcd', 40);
    tcheck_error(['19: input 2 ' what ' before a receiver'], r, usage_text(19, t19), IN);
  end
  r = vornakelstrid_p(missing, [47 8], 5, 'abcd');
  tcheck_error('19: input 3 a numeric scalar before a receiver', r, usage_text(19, t19), IN);
  [r, o2, o3, o4, o5, o6] = vornakelstrid_p(missing, 5);
  tcheck_error('19: with six outputs', r, usage_text(19, t19), IN);
  tcheck('19: outputs 2..6 are 0x0 (usage errors come before the DCB outputs are made)', ...
         all(cellfun(@(x) isa(x, 'double') && isequal(size(x), [0 0]), {o2, o3, o4, o5, o6})));

  % --- 20: receiver position holds something that is not a string
  cases20 = {{missing, [47 8], [50 10], 5}, ...
             {missing, [47 8], [50 10], [1 2], 40}, ...
             {missing, [47 8], [50 10], {'abcd'}, 40}, ...
             {missing, [47 8], [50 10], true}};
  for k = 1:numel(cases20)
    a = cases20{k};
    r = vornakelstrid_p(a{:});
    tcheck_error(sprintf('20: receiver input of class %s (%d inputs)', class(a{4}), numel(a)), ...
                 r, usage_text(20, t20), IN);
  end

  % --- 511: missing file, and what stands beside the error cell
  msg511 = @(name) file_text('511: Input file ''%s'' does not exist', name);
  r = vornakelstrid_p(missing);
  tcheck_error('511: missing file, one output', r, msg511(missing), 'Vornakelstrid:NoFile');
  [r, o2, o3] = vornakelstrid_p(missing);
  tcheck_error('511: three outputs', r, msg511(missing), 'Vornakelstrid:NoFile');
  tcheck_equal('511: output 2 is 0x0', o2, zeros(0, 0));
  tcheck_equal('511: output 3 is 0x0', o3, zeros(0, 0));
  [r, o2, o3, o4, o5, o6] = vornakelstrid_p(missing);
  tcheck_error('511: six outputs', r, msg511(missing), 'Vornakelstrid:NoFile');
  tcheck_equal('511: six outputs, output 2 is 0x0', o2, zeros(0, 0));
  tcheck_equal('511: six outputs, output 3 is 0x0', o3, zeros(0, 0));
  tcheck_equal('511: six outputs, output 4 is 0x0', o4, zeros(0, 0));
  tcheck_equal('511: six outputs, output 5 is the zero DCB row 1x32', o5, zeros(1, 32));
  tcheck_equal('511: six outputs, output 6 is the zero receiver DCB', o6, 0);
  [r, o2, o3, o4, o5] = vornakelstrid_p(missing, [47 8]);
  tcheck_equal('511: five outputs, output 5 is 1x32 zeros', o5, zeros(1, 32));

  name = 'relative/dir/it''s 100% gone %s %d.16i';
  r = vornakelstrid_p(name);
  tcheck_error('511: name quoted exactly as passed, % and quotes kept', r, ...
               ['511: Input file ''' name ''' does not exist'], 'Vornakelstrid:NoFile');
  long = ['/nonexistent/' repmat('x', 1, 130) '.16i'];
  r = vornakelstrid_p(long);
  tcheck_error('511: long name cut at 127 characters, closing quote lost', r, ...
               ['511: Input file ''' long(1:127 - 17)], 'Vornakelstrid:NoFile');

  % --- satellite count, seen as the length of output 5 (the file need not exist)
  counts = {'no count',                       {missing, [47 8], 'abcd'},                 32;
            'count 40',                       {missing, [47 8], 'abcd', 40},             40;
            'count 24 -> 32',                 {missing, [47 8], 'abcd', 24},             32;
            'count -5 -> 32',                 {missing, [47 8], 'abcd', -5},             32;
            'count NaN -> 32',                {missing, [47 8], 'abcd', NaN},            32;
            'count Inf -> 32',                {missing, [47 8], 'abcd', Inf},            32;
            'count 1e10 -> 32',               {missing, [47 8], 'abcd', 1e10},           32;
            'count 40.9 -> 40',               {missing, [47 8], 'abcd', 40.9},           40;
            'count 33',                       {missing, [47 8], 'abcd', 33},             33;
            'count int8(40)',                 {missing, [47 8], 'abcd', int8(40)},       40;
            'count [40 50]: first element',   {missing, [47 8], 'abcd', [40 50]},        40;
            'point, receiver, count, ignored fifth', {missing, [47 8], 'abcd', 40, 99}, 40;
            'area, receiver, count',          {missing, [47 8], [50 10], 'abcd', 40},    40;
            'area, receiver',                 {missing, [47 8], [50 10], 'abcd'},        32;
            'point, receiver in capitals',    {missing, [47 8], 'ABCD'},                 32;
            'point without receiver',         {missing, [47 8]},                         32;
            'area without receiver',          {missing, [47 8], [50 10]},                32};
  for k = 1:rows(counts)
    a = counts{k, 2};
    [r, o2, o3, o4, o5, o6] = vornakelstrid_p(a{:});
    tcheck(['satellite count: ' counts{k, 1} ', missing file reported'], ...
           iscell(r) && numel(r) == 2 && strcmp(r{2}, 'Vornakelstrid:NoFile'), describe_value(r));
    tcheck_equal(['satellite count: ' counts{k, 1} ', output 5'], o5, zeros(1, counts{k, 3}));
    tcheck_equal(['satellite count: ' counts{k, 1} ', output 6'], o6, 0);
  end
end
