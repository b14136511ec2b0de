function test_ionex_errors(ctx)
% Every identifier of ionex.read and ionex.info from a realistic damaged file or a wrong
% call, with what its message must name; and the help of the package.
  old = pwd();
  restore = onCleanup(@() cd(old));
  cd(ctx.tmp);
  codg = fileread(fullfile(ctx.data, 'CODG0080.20I'));
  lines = strsplit(codg, "\n");
  write_text('codg.20i', codg);

  % A letter inside the values of TEC map 3: the line number of the damaged line.
  starts = find(~cellfun(@isempty, strfind(lines, 'START OF TEC MAP')));
  bad = starts(3) + 3;                       % START, EPOCH, first row record, its first values
  damaged = lines;
  damaged{bad}(7:10) = ' x12';
  write_text('corrupt.20i', strjoin(damaged, "\n"));
  % Cut in the middle of TEC map 5.
  write_text('cut.20i', strjoin(lines(1:starts(5) + 40), "\n"));
  % Cut inside the header, and a gzip stream of it.
  header_end = find(~cellfun(@isempty, strfind(lines, 'END OF HEADER')), 1);
  write_text('header-cut.20i', strjoin(lines(1:header_end - 20), "\n"));
  % A RINEX observation header is no IONEX file; nor is an empty one.
  write_text('rinex.20o', sprintf('%-60s%s\n', '     3.04           OBSERVATION DATA    M', 'RINEX VERSION / TYPE'));
  write_text('empty.20i', '');
  % A regional file after a global one: different grids.
  copyfile(fullfile(ctx.data, 'jammed-fields.14i'), 'regional.14i');

  cases = {
    'missing file',                 {'no-such-file.20i'},                 'ionex:NoFile',      {'no-such-file.20i'};
    'pattern without a match',      {'nothing-*.20i'},                    'ionex:NoFile',      {'nothing-*.20i'};
    'missing file in a series',     {{'codg.20i', 'gone.20i'}},           'ionex:NoFile',      {'gone.20i'};
    'empty file',                   {'empty.20i'},                        'ionex:NotIonex',    {'empty.20i', 'empty'};
    'RINEX file',                   {'rinex.20o'},                        'ionex:NotIonex',    {'rinex.20o'};
    'letter in map values',         {'corrupt.20i'},                      'ionex:Corrupt',     {'corrupt.20i', sprintf('line %d', bad)};
    'cut inside TEC map 5',         {'cut.20i'},                          'ionex:Truncated',   {'cut.20i', 'TEC map 5'};
    'cut inside the header',        {'header-cut.20i'},                   'ionex:Truncated',   {'header-cut.20i', 'header'};
    'global and regional series',   {{'codg.20i', 'regional.14i'}},       'ionex:GridMismatch', {'grid'};
    'no input',                     {},                                   'ionex:Input',       {'needs a file'};
    'numeric file',                 {42},                                 'ionex:Input',       {'char row'};
    'struct file',                  {struct('a', 1)},                     'ionex:Input',       {'struct'};
    'cell of numbers',              {{1, 2}},                             'ionex:Input',       {'FILES{1}'};
    'empty cell',                   {{}},                                 'ionex:Input',       {'FILES is empty'};
    'empty name',                   {''},                                 'ionex:Input',       {'FILE is empty'};
    'option without value',         {'codg.20i', 'Maps'},                 'ionex:Input',       {'pairs'};
    'unknown option',               {'codg.20i', 'Height', 1},            'ionex:Input',       {'Height'};
    'unknown map kind',             {'codg.20i', 'Maps', 'vtec'},         'ionex:Input',       {'vtec'};
    'NaN latitude',                 {'codg.20i', 'Latitude', [NaN 3]},    'ionex:Input',       {'Latitude'};
    'latitude scalar',              {'codg.20i', 'Latitude', 30},         'ionex:Input',       {'Latitude'};
    'longitude struct',             {'codg.20i', 'Longitude', struct()},  'ionex:Input',       {'Longitude'};
    'time backwards',               {'codg.20i', 'Time', [2 1]},          'ionex:Input',       {'t0 <= t1'};
    'progress text',                {'codg.20i', 'Progress', 'yes'},      'ionex:Input',       {'Progress'};
    'latitude beyond the pole',     {'codg.20i', 'Latitude', [95 100]},   'ionex:Input',       {'latitude'};
    'latitude beyond the grid',     {'codg.20i', 'Latitude', [88 89]},    'ionex:Input',       {'[88 89]', '87.5..-87.5'}};
  for k = 1:rows(cases)
    check_error(cases{k, 1}, @() ionex.read(cases{k, 2}{:}), cases{k, 3}, cases{k, 4});
  end
  check_error('two outputs', @() two_outputs(), 'ionex:Input', {'one output'});
  check_error('info of a missing file', @() ionex.info('no-such-file.20i'), 'ionex:NoFile', {'no-such-file.20i'});
  check_error('info with options', @() ionex.info('codg.20i', 'Maps', 'tec'), 'ionex:Input', {'one input'});
  check_error('info of a cut header', @() ionex.info('header-cut.20i'), 'ionex:Truncated', {'header-cut.20i'});
  check_error('info of a series', @() ionex.info({'codg.20i'}), 'ionex:Input', {'char row'});

  I = ionex.info('cut.20i');
  tcheck('ionex.info reads no map: a file cut in its maps still gives its header', ...
         isstruct(I) && isequal(I.num_maps, 25));

  check_help();
  check_odd_arguments();
end

function check_odd_arguments()
% Odd values of every class and shape in every argument position of both entries: each
% call returns or raises one of the six identifiers, and Octave goes on.
  f = 'codg.20i';
  odd = {[], {}, '', ' ', 1, NaN, Inf, [1 2 3], [NaN NaN], int8([1 2]), uint64([1 2]), single([NaN 1]), ...
         true, [true false], sparse([1 2]), [1+2i 3], {1}, {{}}, {'tec', {}}, struct(), struct('a', {1, 2}), ...
         @sin, zeros(2, 2), zeros(1, 2, 2), ['ab'; 'cd'], repmat('x', 1, 5000), [1e308 -1e308], {'*'}, '*', '['};
  names = {'Maps', 'Latitude', 'Longitude', 'Time', 'Progress'};
  ids = '^ionex:(NoFile|NotIonex|Corrupt|Truncated|GridMismatch|Input)$';
  problems = {};
  calls = 0;
  for i = 1:numel(odd)
    forms = {{odd{i}}, {f, odd{i}}, {f, odd{i}, 1}};
    for j = 1:numel(names)
      forms{end+1} = {f, names{j}, odd{i}};
    end
    for c = 1:numel(forms)
      for entry = {@ionex.read, @ionex.info}
        calls += 1;
        try
          entry{1}(forms{c}{:});
        catch err
          if isempty(regexp(err.identifier, ids, 'once'))
            problems{end+1} = sprintf('value %d, form %d: %s %s', i, c, err.identifier, err.message);
          end
        end
      end
    end
  end
  tcheck(sprintf('%d calls with odd arguments: each returns or raises an ionex identifier', calls), ...
         isempty(problems), strjoin(problems(1:min(end, 10)), "\n"));
end

function two_outputs()
  [a, b] = ionex.read('codg.20i');
end

function check_error(label, call, identifier, needles)
  try
    call();
    tcheck([label ': raises ' identifier], false, 'no error was raised');
  catch err
    ok = strcmp(err.identifier, identifier);
    for k = 1:numel(needles)
      ok = ok && ~isempty(strfind(err.message, needles{k}));
    end
    tcheck([label ': raises ' identifier ' naming ' strjoin(needles, ', ')], ok, ...
           sprintf('%s: %s', err.identifier, err.message));
  end
end

function check_help()
  needles = {'read',  {'ionex.read(FILE)', 'ionex.read(FILES)', '''Maps''', '''Latitude''', ...
                       '''Longitude''', '''Time''', '''Progress''', 'dcb', 'ionex:GridMismatch', 'Example'};
             'info',  {'ionex.info(FILE)', 'first_epoch', 'dcb', 'ionex:NotIonex', 'Example'}};
  for k = 1:rows(needles)
    text = evalc(['help ionex.' needles{k, 1}]);
    for n = 1:numel(needles{k, 2})
      tcheck(sprintf('help ionex.%s mentions %s', needles{k, 1}, needles{k, 2}{n}), ...
             ~isempty(strfind(text, needles{k, 2}{n})), text(1:min(end, 200)));
    end
  end
  found = which('ionex.read');
  tcheck('a call of ionex.read reaches the MEX file beside its help file', ...
         numel(found) > 4 && strcmp(found(end-3:end), '.mex'), found);
  % MATLAB's `help ionex` prints +ionex/Contents.m; Octave 7 does not look there for a
  % package, but prints it as `help ionex.Contents`.
  text = evalc('help ionex.Contents');
  tcheck('help ionex.Contents lists the package with an example', ~isempty(strfind(text, 'ionex.read')) ...
         && ~isempty(strfind(text, 'ionex.info')) && ~isempty(strfind(text, 'Example')), text(1:min(end, 200)));
end

function write_text(name, text)
  fid = fopen(name, 'w');
  fwrite(fid, text);
  fclose(fid);
end
