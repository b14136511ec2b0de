function test_corrupt_sweep(ctx)
% Damages the real files of the test data in many ways (truncation, flipped bytes, swapped
% lines, header and map records no real file has, overlong lines, binary garbage, broken
% gzip and compress streams, a directory, a missing file) and calls the module on every
% damaged file with four argument forms, all in this one Octave session. Every call must
% return a well-formed normal result or an error result carrying one of the five
% identifiers; Octave must survive. Every damaged file also goes to ionex.read, which
% must return a well-formed struct or raise one of its six identifiers. Every damaged gzip
% file is read with zlib's and with ISA-L's inflater (when the module has ISA-L), and both
% families must give the same results with both. Counts of the outcomes are printed.

  old = pwd();
  restore = onCleanup(@() cd(old));
  cd(ctx.tmp);          % short relative names keep every message below 127 characters
  started = tic();

  jammed = read_bytes(fullfile(ctx.data, 'jammed-fields.14i'));
  codg = read_bytes(fullfile(ctx.data, 'CODG0080.20I'));
  codg_one_map = codg(1:second_map_start(codg) - 1);     % header and the first map
  codg_gz = read_bytes(fullfile(ctx.data, 'codg0080.20i.gz'));
  codg_z = read_bytes(fullfile(ctx.data, 'codg0080.20i.Z'));
  jpl_gz = read_bytes(fullfile(ctx.data, 'jplg0010.17i.gz'));
  esa_z = read_bytes(fullfile(ctx.data, 'esag0080.20i.Z'));
  jammed_gz = gzip_bytes(jammed);

  state = 20240917;
  groups = {};
  groups(end+1, :) = {'truncated jammed-fields', sweep_truncations('tj', jammed, 0:11:numel(jammed))};
  groups(end+1, :) = {'truncated CODG text', sweep_truncations('tc', codg_one_map, linspace(0, numel(codg_one_map), 80))};
  groups(end+1, :) = {'truncated CODG gzip', sweep_truncations('tcg', codg_gz, linspace(0, numel(codg_gz), 30))};
  groups(end+1, :) = {'truncated CODG compress', sweep_truncations('tcz', codg_z, linspace(0, numel(codg_z), 30))};
  groups(end+1, :) = {'truncated JPL gzip', sweep_truncations('tjg', jpl_gz, linspace(0, numel(jpl_gz), 15))};
  groups(end+1, :) = {'truncated ESA compress', sweep_truncations('tez', esa_z, linspace(0, numel(esa_z), 15))};
  groups(end+1, :) = {'truncated jammed gzip', sweep_truncations('tjgz', jammed_gz, 0:20:numel(jammed_gz))};
  [v, state] = sweep_flips('fj', jammed, 500, [1 numel(jammed)], state);
  groups(end+1, :) = {'flipped jammed-fields', v};
  [v, state] = sweep_flips('fc', codg_one_map, 100, [1 numel(codg_one_map)], state);
  groups(end+1, :) = {'flipped CODG text', v};
  [v, state] = sweep_flips('fjg', jammed_gz, 150, [1 numel(jammed_gz)], state);
  groups(end+1, :) = {'flipped jammed gzip', v};
  [v, state] = sweep_flips('fcz', codg_z(1:12000), 150, [1 12000], state);
  groups(end+1, :) = {'flipped CODG compress head', v};
  [v, state] = sweep_flips('fez', esa_z(1:6000), 50, [1 6000], state);
  groups(end+1, :) = {'flipped ESA compress head', v};
  [v, state] = sweep_swaps('sj', jammed, 200, state);
  groups(end+1, :) = {'swapped lines jammed-fields', v};
  [v, state] = sweep_swaps('sc', codg_one_map, 40, state);
  groups(end+1, :) = {'swapped lines CODG', v};
  groups(end+1, :) = {'edited records', sweep_edits(jammed)};
  groups(end+1, :) = {'overlong and odd lines', sweep_long_lines(jammed)};
  [v, state] = sweep_binary(jammed_gz, codg_z(1:4000), jammed, state);
  groups(end+1, :) = {'binary and broken streams', v};

  outcomes = {'normal', 'Vornakelstrid:Input', 'Vornakelstrid:Output', 'Vornakelstrid:NoFile', ...
              'Vornakelstrid:ReadError', 'Vornakelstrid:NoIonexFile'};
  counts = zeros(numel(outcomes), 4);
  ionex_outcomes = {'normal', 'ionex:NoFile', 'ionex:NotIonex', 'ionex:Corrupt', 'ionex:Truncated', ...
                    'ionex:GridMismatch', 'ionex:Input'};
  ionex_counts = zeros(numel(ionex_outcomes), 1);
  problems = {};
  files = 0;
  write_bytes('isal-probe.gz', jammed_gz);
  with_isal = sweep_isal_built('isal-probe.gz');
  delete('isal-probe.gz');
  inflaters_compared = 0;
  for g = 1:rows(groups)
    v = groups{g, 2};
    printf('     group %-28s %4d files\n', groups{g, 1}, rows(v));
    for k = 1:rows(v)
      name = sprintf('g%02d-%04d.in', g, k);      % left behind, naming the culprit, if Octave dies
      write_bytes(name, v{k, 2});
      [counts, problems] = call_all_forms(name, v{k, 1}, outcomes, counts, problems);
      [ionex_counts, problems] = call_ionex_read(name, v{k, 1}, ionex_outcomes, ionex_counts, problems);
      [compared, problem] = sweep_inflaters_compare(name, with_isal);
      inflaters_compared += compared;
      if ~isempty(problem)
        problems{end+1} = sprintf('inflaters, %s: %s', v{k, 1}, problem);
      end
      delete(name);
    end
    files += rows(v);
  end

  % A directory where a file is expected, and a file that does not exist.
  mkdir('a-directory');
  [counts, problems] = call_all_forms('a-directory', 'directory', outcomes, counts, problems);
  [counts, problems] = call_all_forms('no-such-file.14i', 'missing file', outcomes, counts, problems);
  [ionex_counts, problems] = call_ionex_read('a-directory', 'directory', ionex_outcomes, ionex_counts, problems);
  [ionex_counts, problems] = call_ionex_read('no-such-file.14i', 'missing file', ionex_outcomes, ionex_counts, problems);
  files += 2;

  printf('     %d damaged inputs, %d calls, %.1f s\n', files, 4 * files, toc(started));
  printf('     %-26s %8s %8s %8s %8s\n', 'outcome', 'whole', 'point', 'area', '6 outputs');
  for o = 1:numel(outcomes)
    printf('     %-26s %8d %8d %8d %8d\n', outcomes{o}, counts(o, :));
  end
  printf('     %-26s %8s\n', 'ionex.read outcome', 'calls');
  for o = 1:numel(ionex_outcomes)
    printf('     %-26s %8d\n', ionex_outcomes{o}, ionex_counts(o));
  end

  if with_isal
    printf('     %d damaged gzip inputs read with zlib and with ISA-L, every call compared\n', inflaters_compared);
    tcheck('both inflaters compared on at least 300 damaged gzip inputs', inflaters_compared >= 300, ...
           sprintf('%d', inflaters_compared));
  else
    printf('     the module has no ISA-L: the inflaters are not compared\n');
  end
  tcheck('at least 2000 damaged inputs', files >= 2000, sprintf('%d', files));
  tcheck('every call gave a normal result or an error result with one of the five identifiers, and ionex.read a struct or one of its six', ...
         isempty(problems), strjoin(problems(1:min(end, 25)), "\n"));
  tcheck('the sweep reached normal results and refusals alike', ...
         all(counts(1, :) > 0) && all(counts(end, :) > 0), mat2str(counts));
  tcheck('ionex.read: every damaged input was called', sum(ionex_counts) + sum(strncmp(problems, 'ionex.read', 10)) == files);
  tcheck('ionex.read: the sweep reached structs, corrupt and truncated files alike', ...
         all(ionex_counts(strcmp(ionex_outcomes, 'normal') | strcmp(ionex_outcomes, 'ionex:Corrupt') ...
                          | strcmp(ionex_outcomes, 'ionex:Truncated')) > 0), mat2str(ionex_counts'));
  check_known_outcomes(jammed, jammed_gz);
  check_damaged_member_end(jammed, with_isal);
end

function check_damaged_member_end(jammed, with_isal)
% A member whose deflate data ends in a match that reaches back before the data: zlib hands
% out every byte before the match, ISA-L alone stops up to 258 bytes earlier, inside the last
% map. Read again with zlib, the member gives both families the undamaged file's results.
  write_bytes('plain.in', jammed);
  write_bytes('lookback.in', lookback_member(jammed));
  want = sweep_inflater_results('plain.in', 'zlib');
  for inflater = {'zlib', 'isal'}
    if strcmp(inflater{1}, 'isal') && ~with_isal
      continue;
    end
    got = sweep_inflater_results('lookback.in', inflater{1});
    same_read = isstruct(got{5}) && isstruct(want{5}) && ...
                isequaln(rmfield(got{5}, 'files'), rmfield(want{5}, 'files'));
    tcheck(['damaged member end read with ' inflater{1} ': the results of the undamaged file'], ...
           isequaln(got(1:4), want(1:4)) && same_read, describe_value(got{1}));
  end
end

function gz = lookback_member(text)
% A gzip member of one fixed-code block: the bytes TEXT (all below 144) as literals, then a
% match of length 9 at distance 32768, which reaches back before the data, and the end of
% the block. The trailer is zeros: the data are bad before it.
  bits = [1 1 0];                                      % last block, fixed codes
  codes = double(text(:)') + 48;                       % literal c: 8-bit code 0x30 + c
  bits = [bits reshape(bitget(repmat(codes, 8, 1), repmat((8:-1:1)', 1, numel(codes))), 1, [])];
  bits = [bits bitget(7, 7:-1:1)];                     % length 9: code 263, 7 bits
  bits = [bits bitget(29, 5:-1:1) bitget(32768 - 24577, 1:13)];  % distance 32768
  bits = [bits zeros(1, 7)];                           % end of block
  bits = [bits zeros(1, mod(-numel(bits), 8))];
  data = uint8(sum(reshape(bits, 8, []) .* (2 .^ (0:7))', 1));
  gz = [uint8([31 139 8 0 0 0 0 0 0 3]) data zeros(1, 8, 'uint8')];
end

function [counts, problems] = call_all_forms(file, label, outcomes, counts, problems)
% Runs the four argument forms on FILE and adds their outcomes to COUNTS (outcome by form);
% a problem is recorded with LABEL, the variant's name.
  for form = 1:4
    [outcome, problem] = sweep_call(file, form);
    o = find(strcmp(outcome, outcomes));
    if ~isempty(problem) || isempty(o)
      problems{end+1} = sprintf('%s, form %d: %s', label, form, problem);
    else
      counts(o, form) += 1;
    end
  end
end

function [counts, problems] = call_ionex_read(file, label, outcomes, counts, problems)
% Calls ionex.read on FILE and adds its outcome to COUNTS; a problem is recorded with LABEL.
  [outcome, problem] = sweep_ionex_call(file);
  o = find(strcmp(outcome, outcomes));
  if ~isempty(problem) || isempty(o)
    problems{end+1} = sprintf('ionex.read, %s: %s %s', label, outcome, problem);
  else
    counts(o) += 1;
  end
end

function check_known_outcomes(jammed, jammed_gz)
% Damage whose outcome is certain: the exact error result, or the undamaged file's maps.
  NOT2D = '512: Input file ''%s'' does not contain a two-dimensional IONEX map or compression used is not GZIP';
  RANGE = '512: Given latitude and longitude range does not exist in the IONEX file ''%s''';
  ID = 'Vornakelstrid:NoIonexFile';
  txt = char(jammed);
  known = {'empty.in',  uint8([]),                                                      NOT2D;
           'magic.in',  uint8([31 157]),                                                NOT2D;
           'maps.in',   uint8(sweep_set_record(txt, '# OF MAPS IN FILE', '999999999')), NOT2D;
           'step0.in',  uint8(sweep_set_record(txt, 'LAT1 / LAT2 / DLAT', '25.0 20.0 0.0')), RANGE;
           'stepnan.in', uint8(sweep_set_record(txt, 'LON1 / LON2 / DLON', '-180 180 nan')), RANGE};
  for k = 1:rows(known)
    write_bytes(known{k, 1}, known{k, 2});
    tcheck_error(['known outcome: ' known{k, 1}], vornakelstrid_p(known{k, 1}), ...
                 file_text(known{k, 3}, known{k, 1}), ID);
  end
  tcheck_error('known outcome: a directory', vornakelstrid_p('a-directory'), ...
               file_text(NOT2D, 'a-directory'), ID);
  tcheck_error('known outcome: a missing file', vornakelstrid_p('no-such-file.14i'), ...
               file_text('511: Input file ''%s'' does not exist', 'no-such-file.14i'), 'Vornakelstrid:NoFile');

  % A bad CRC or length ends the member after all its bytes, and bytes after a member that
  % are no magic are plain text: the maps come out as from the undamaged file.
  write_bytes('plain.in', jammed);
  want = vornakelstrid_p('plain.in');
  tcheck('known outcome: the undamaged file gives two maps', iscell(want) && numel(want) == 2, ...
         describe_value(want));
  crc = jammed_gz; crc(end - 7) = bitxor(crc(end - 7), uint8(1));
  len = jammed_gz; len(end - 3) = bitxor(len(end - 3), uint8(1));
  same = {'bad-crc.in', crc; 'bad-length.in', len; 'gz-garbage.in', [jammed_gz uint8('garbage\n')]};
  for k = 1:rows(same)
    write_bytes(same{k, 1}, same{k, 2});
    tcheck_equal(['known outcome: maps of ' same{k, 1}], vornakelstrid_p(same{k, 1}), want);
  end
end

function b = read_bytes(path)
% The bytes of the file PATH as a uint8 row.
  fid = fopen(path, 'r');
  if fid < 0
    error('test_corrupt_sweep: cannot read %s', path);
  end
  b = fread(fid, Inf, 'uint8=>uint8')';
  fclose(fid);
end

function write_bytes(path, b)
% Writes the uint8 row B to PATH.
  fid = fopen(path, 'w');
  if fid < 0
    error('test_corrupt_sweep: cannot write %s', path);
  end
  fwrite(fid, b, 'uint8');
  fclose(fid);
end

function n = second_map_start(b)
% Index of the first byte of the line that starts the second TEC map of the text B.
  txt = char(b);
  hits = strfind(txt, 'START OF TEC MAP');
  n = find(txt(1:hits(2)) == "\n", 1, 'last') + 1;
end

function gz = gzip_bytes(b)
% One gzip member of the bytes B, made with Octave's own gzip.
  write_bytes('member.tmp', b);
  out = gzip('member.tmp');
  gz = read_bytes(out{1});
  delete('member.tmp');
  delete(out{1});
end
