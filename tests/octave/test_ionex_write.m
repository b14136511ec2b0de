function test_ionex_write(ctx)
% ionex.write end to end: every real file reads back as it was read; a regional window and a
% three-day series write files whose headers describe what they hold and which
% vornakelstrid_p reads too; Overwrite and ionex:Exists; .Z refused; a failure leaves no
% file behind.
  check_real_files(ctx);
  check_window(ctx);
  check_series(ctx);
  check_existing(ctx);
  check_failures(ctx);
  tcheck('help ionex.write describes the call', ~isempty(strfind(evalc('help ionex.write'), 'ionex.write(M, FILE')));
end

% Fields of M that do not come from the file's text.
function names = from_text(M)
  names = setdiff(fieldnames(M), {'files'});
end

function same = same_contents(A, B)
  names = from_text(A);
  same = true(size(names));
  for k = 1:numel(names)
    a = A.(names{k}); b = B.(names{k});
    if strcmp(names{k}, 'dcb') && ~isempty(a) && ~isempty(b)
      a = rmfield(a, 'file'); b = rmfield(b, 'file');   % the file each block was read from
    end
    same(k) = isequaln(a, b);
  end
  if ~all(same)
    printf('   differ: %s\n', strjoin(names(~same)', ', '));
  end
  same = all(same);
end

function check_real_files(ctx)
  names = {'CODG0080.20I', 'codg0080.20i.Z', 'codg0090.20i.Z', 'CODG0440.13I', 'jplg0010.17i.gz', ...
           'esag0080.20i.Z', 'casg0010.99i.Z', 'igrg2680.20i', 'CKMG0020.22I.gz', 'jammed-fields.14i'};
  for n = 1:numel(names)
    M = ionex.read(fullfile(ctx.data, names{n}));
    for ext = {'.i', '.i.gz'}
      out = fullfile(ctx.tmp, [names{n} ext{1}]);
      W = ionex.read(ionex.write(M, out));
      tcheck([names{n} ' as ' ext{1} ': ionex.read(ionex.write(M)) equals M in every field from the file'], same_contents(M, W));
    end
  end
  % A plain file is plain text, a .gz one gzip.
  fid = fopen(fullfile(ctx.tmp, 'CODG0080.20I.i.gz'), 'r'); magic = fread(fid, 2)'; fclose(fid);
  tcheck_equal('.gz is written gzip-compressed', magic, [31 139]);
  text = fileread(fullfile(ctx.tmp, 'CODG0080.20I.i'));
  tcheck('a plain file ends with END OF FILE', ~isempty(regexp(text, 'END OF FILE *\n$', 'once')));
end

function check_window(ctx)
  f = fullfile(ctx.data, 'codg0080.20i.Z');
  M = ionex.read(f, 'Latitude', [35 70], 'Longitude', [-10 40], 'Time', [datenum(2020, 1, 8, 6, 0, 0) datenum(2020, 1, 8, 18, 0, 0)]);
  out = fullfile(ctx.tmp, 'europe.20i');
  ionex.write(M, out);
  E = ionex.read(out);
  tcheck('regional window reads back as it was cut', same_contents(M, E));
  tcheck_equal('its header describes the window: maps, first and last epoch, interval', ...
               [E.num_maps E.first_epoch E.last_epoch E.interval], [13 M.time(1) M.time(end) 3600]);
  text = fileread(out);
  tcheck('grid records of the window', ~isempty(strfind(text, '    70.0  35.0  -2.5                                        LAT1 / LAT2 / DLAT')) ...
         && ~isempty(strfind(text, '   -10.0  40.0   5.0                                        LON1 / LON2 / DLON')));
  V = vornakelstrid_p(out);
  ok = iscell(V) && numel(V) == 13;
  for k = 1:13
    ok = ok && isequal(size(V{k}), [11 15]) && max(max(abs(V{k}' - M.tec(:, :, k)))) < 1e-4;
  end
  tcheck('vornakelstrid_p reads the regional file: the same 13 maps', ok);

  % A window across the antimeridian is written as the grid 170..190.
  W = ionex.read(f, 'Latitude', [-50 -10], 'Longitude', [170 -170]);
  out = fullfile(ctx.tmp, 'pacific.20i');
  ionex.write(W, out);
  P = ionex.read(out);
  tcheck_equal('window across 180: written 170..190, the same maps', {P.lon(:)', P.tec}, {170:5:190, W.tec});
  tcheck('window across 180: its grid record', ...
         ~isempty(strfind(fileread(out), '   170.0 190.0   5.0                                        LON1 / LON2 / DLON')));
end

function check_series(ctx)
  day1 = fullfile(ctx.data, 'codg0080.20i.Z');
  day2 = fullfile(ctx.data, 'codg0090.20i.Z');
  % A third day: the second day's maps one day later, written as a file of its own.
  D = ionex.read(day2);
  D.time = D.time + 1;
  day3 = ionex.write(D, fullfile(ctx.tmp, 'codg0100.20i'));
  S = ionex.read({day1, day2, day3}, 'Progress', false);
  tcheck_equal('three days joined: 73 maps, one per epoch', numel(S.time), 73);
  out = fullfile(ctx.tmp, 'three_days.20i.gz');
  ionex.write(S, out);
  T = ionex.read(out);
  tcheck('the series reads back as it was joined', same_contents(S, T));
  tcheck_equal('its header: 73 maps from 8 January to 11 January, hourly', ...
               [T.num_maps T.first_epoch T.last_epoch T.interval], [73 datenum(2020, 1, 8) datenum(2020, 1, 11) 3600]);
  text = fileread(fullfile(ctx.tmp, 'codg0100.20i'));
  tcheck('# OF MAPS IN FILE counts the TEC maps', ~isempty(strfind(text, '    25                                                      # OF MAPS IN FILE')));
  tcheck('the last TEC and RMS maps are there', ~isempty(strfind(text, '    25                                                      END OF TEC MAP')) ...
         && ~isempty(strfind(text, '    25                                                      END OF RMS MAP')));
  V = vornakelstrid_p(out);
  ok = iscell(V) && numel(V) == 73;
  for k = [1 25 26 73]
    ok = ok && max(max(abs(V{k}' - S.tec(:, :, k)))) < 1e-4;
  end
  tcheck('vornakelstrid_p reads the series file: 73 maps', ok);
end

function check_existing(ctx)
  M = ionex.read(fullfile(ctx.data, 'jammed-fields.14i'));
  out = fullfile(ctx.tmp, 'existing.14i');
  fid = fopen(out, 'w'); fprintf(fid, 'old contents\n'); fclose(fid);
  try
    ionex.write(M, out);
    id = '';
  catch err
    id = err.identifier;
  end
  tcheck_equal('an existing file without Overwrite: ionex:Exists', id, 'ionex:Exists');
  tcheck_equal('... and the file is untouched', fileread(out), sprintf('old contents\n'));
  ionex.write(M, out, 'Overwrite', true);
  tcheck('Overwrite replaces it', same_contents(M, ionex.read(out)));
end

function check_failures(ctx)
  M = ionex.read(fullfile(ctx.data, 'jammed-fields.14i'));
  folder = fullfile(ctx.tmp, 'failures');
  mkdir(folder);
  Z = fullfile(folder, 'maps.14i.Z');
  bad = M; bad.tec(2, 3, 1) = Inf;
  unsorted = M; unsorted.time = flipud(unsorted.time);
  cases = {
    '.Z refused',                @() ionex.write(M, Z),                                   'ionex:Input', '.Z'
    'infinite value',            @() ionex.write(bad, fullfile(folder, 'a.14i')),         'ionex:Input', 'M.tec map 1'
    'unsorted time',             @() ionex.write(unsorted, fullfile(folder, 'b.14i')),    'ionex:Input', 'M.time(2)'
    'exponent too fine',         @() ionex.write(M, fullfile(folder, 'c.14i'), 'Exponent', -4), 'ionex:Input', 'does not fit'
    'no such folder',            @() ionex.write(M, fullfile(folder, 'none', 'd.14i')),   'ionex:Write', 'd.14i'
    'a number for M',            @() ionex.write(3, fullfile(folder, 'e.14i')),           'ionex:Input', 'scalar struct'
  };
  for k = 1:size(cases, 1)
    try
      cases{k, 2}();
      id = ''; msg = '';
    catch err
      id = err.identifier; msg = err.message;
    end
    tcheck([cases{k, 1} ': ' cases{k, 3}], strcmp(id, cases{k, 3}) && ~isempty(strfind(msg, cases{k, 4})), ...
           sprintf('%s: %s', id, msg));
  end
  tcheck('no file, partial or whole, is left after the failures', isempty(setdiff({dir(folder).name}, {'.', '..'})), ...
         strjoin({dir(folder).name}, ' '));
end
