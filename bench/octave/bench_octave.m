function failures = bench_octave(files_dir, rounds)
% BENCH_OCTAVE  Speed of reading IONEX in the host, as users call it: vornakelstrid_p (whole
% grid, area, point), ionex.read, ionex.info and ionex.write (of what ionex.read gave) on the daily file and the generated high-rate file, plain, gzip and .Z,
% beside baselines measured in the same session: zlib's and ISA-L's inflate alone, the LZW
% decoder alone, `compress -dc`, the line source alone, and the host's own cost of creating
% the whole-grid output (the floor no reader can go under).
%
% FILES_DIR holds CODG0080.20I and HIGH0010.24I with their .gz and .Z copies (as
% `ionex_bench --write` makes them); the module and bench_baseline must be on the path.
% Cases run interleaved, ROUNDS times each (three times as often for the small daily file),
% after one warm-up. Prints the table (median and fastest time of each case), then every goal
% as the ratio of medians with its verdict, and beside it the ratio of the fastest times
% (which a busy machine disturbs least). Then steady loops of the readers on the daily .gz
% file under the default and a tuned allocator (bench_steady_loops). Returns the number of
% goals not met.
  if nargin < 2
    rounds = 9;
  end
  inflaters = bench_baseline('inflaters');
  printf('Host benchmark in Octave %s: medians of %d interleaved rounds\n', version(), rounds);
  printf('module inflater: %s; inflaters built in: %s\n', module_inflater(), inflaters);
  with_isal = ~isempty(strfind(inflaters, 'ISA-L'));

  daily = file_set(files_dir, 'CODG0080.20I');
  high = file_set(files_dir, 'HIGH0010.24I');
  d = measure_set(daily, 3 * rounds, with_isal);
  h = measure_set(high, rounds, with_isal);

  printf('\nGoals (ratio of medians, verdict; ratio of fastest times)\n');
  failures = 0;
  failures += verdict('daily .gz whole grid / zlib inflate alone', ...
                      @(m) m('vornakelstrid_p whole grid (.gz)') / m('zlib inflate alone (.gz)'), d, 1.0);
  failures += verdict('high-rate .gz point / zlib inflate alone', ...
                      @(m) m('vornakelstrid_p point (.gz)') / m('zlib inflate alone (.gz)'), h, 0.6);
  failures += verdict('high-rate .gz whole grid / (zlib inflate alone + output floor)', ...
                      @(m) m('vornakelstrid_p whole grid (.gz)') / ...
                           (m('zlib inflate alone (.gz)') + m('host output floor (whole grid)')), h, 1.1);
  failures += verdict('daily .gz: ionex.read (TEC and RMS) / vornakelstrid_p whole grid (TEC)', ...
                      @(m) m('ionex.read whole (.gz)') / m('vornakelstrid_p whole grid (.gz)'), d, 1.0);
  failures += verdict('daily plain: ionex.read whole (TEC, RMS, header, DCB) / line source alone', ...
                      @(m) m('ionex.read whole (plain)') / m('line source alone (plain)'), d, 8.0);
  failures += bench_steady_loops(daily.gz, max(3, round(rounds / 3)));
  failures += verdict('daily plain: ionex.write (TEC and RMS) / ionex.read whole', ...
                      @(m) m('ionex.write whole (plain)') / m('ionex.read whole (plain)'), d, 1.0);
  failures += verdict('daily .gz: ionex.write (TEC and RMS) / ionex.read whole', ...
                      @(m) m('ionex.write whole (.gz)') / m('ionex.read whole (.gz)'), d, 1.0);
  printf('\nOther ratios\n');
  for s = {d, h}
    m = s{1};
    printf('  %s\n', m('name'));
    if with_isal
      info_ratio('ISA-L inflate alone / zlib inflate alone', m('ISA-L inflate alone (.gz)') / m('zlib inflate alone (.gz)'));
      info_ratio('.gz whole grid / ISA-L inflate alone', m('vornakelstrid_p whole grid (.gz)') / m('ISA-L inflate alone (.gz)'));
    end
    info_ratio('.Z whole grid / LZW decoder alone', m('vornakelstrid_p whole grid (.Z)') / m('LZW decoder alone (.Z)'));
    info_ratio('compress -dc / LZW decoder alone', m('compress -dc (.Z), a process') / m('LZW decoder alone (.Z)'));
    info_ratio('plain whole grid / output floor', m('vornakelstrid_p whole grid (plain)') / m('host output floor (whole grid)'));
    info_ratio('ionex.write replacing a file / ionex.read whole (plain)', ...
               m('ionex.write replacing (plain)') / m('ionex.read whole (plain)'));
    for form = {'plain', '.gz', '.Z'}
      info_ratio(sprintf('ionex.read whole / vornakelstrid_p whole grid (%s)', form{1}), ...
                 m(sprintf('ionex.read whole (%s)', form{1})) / m(sprintf('vornakelstrid_p whole grid (%s)', form{1})));
    end
  end
  printf('\n%d goal(s) not met\n', failures);
end

function name = fresh_name(prefix, extension)
% A name not used before in this session: PREFIX, a number, EXTENSION. Users mostly write
% new files; replacing one is timed apart, since ext4 starts writing the new file out when a
% rename replaces an old one.
  persistent count = 0;
  count += 1;
  name = sprintf('%s-%d%s', prefix, count, extension);
end

function f = file_set(dir, name)
% Paths of the plain, gzip and compress copies of NAME in DIR.
  f = struct('name', name, 'plain', fullfile(dir, name), 'gz', fullfile(dir, [name '.gz']), ...
             'Z', fullfile(dir, [name '.Z']));
end

function m = measure_set(f, rounds, with_isal)
% Times every case on the file set F; returns a map of medians in seconds, by case name,
% with the fastest times in m('fastest'), a map of the same form.
  tec = vornakelstrid_p(f.plain);
  nmaps = numel(tec);
  [nlon, nlat] = size(tec{1});
  text_mb = dir(f.plain).bytes / 1e6;
  check_same_results(f);
  M = ionex.read(f.plain, 'Progress', false);   % what ionex.write writes back
  written = tempname();   % the files ionex.write makes
  pt = [47.4 8.5];
  a0 = [30 -20];
  a1 = [60 40];
  cases = {
    'zlib inflate alone (.gz)',            @() bench_baseline('zlib', f.gz)
    'ISA-L inflate alone (.gz)',           @() bench_baseline('isal', f.gz)
    'LZW decoder alone (.Z)',              @() bench_baseline('lzw', f.Z)
    'compress -dc (.Z), a process',        @() system(['compress -dc ''' f.Z ''' > /dev/null'])
    'line source alone (plain)',           @() bench_baseline('lines', f.plain)
    'line source alone (.gz, zlib)',       @() bench_baseline('lines', f.gz, 'zlib')
    'line source alone (.gz, ISA-L)',      @() bench_baseline('lines', f.gz, 'isal')
    'line source alone (.Z)',              @() bench_baseline('lines', f.Z)
    'host output floor (whole grid)',      @() bench_baseline('floor', nmaps, nlon, nlat)
    'vornakelstrid_p whole grid (plain)',  @() vornakelstrid_p(f.plain)
    'vornakelstrid_p whole grid (.gz)',    @() vornakelstrid_p(f.gz)
    'vornakelstrid_p whole grid (.Z)',     @() vornakelstrid_p(f.Z)
    'vornakelstrid_p area (plain)',        @() vornakelstrid_p(f.plain, a0, a1)
    'vornakelstrid_p area (.gz)',          @() vornakelstrid_p(f.gz, a0, a1)
    'vornakelstrid_p area (.Z)',           @() vornakelstrid_p(f.Z, a0, a1)
    'vornakelstrid_p point (plain)',       @() vornakelstrid_p(f.plain, pt)
    'vornakelstrid_p point (.gz)',         @() vornakelstrid_p(f.gz, pt)
    'vornakelstrid_p point (.Z)',          @() vornakelstrid_p(f.Z, pt)
    'ionex.read whole (plain)',          @() ionex.read(f.plain, 'Progress', false)
    'ionex.read whole (.gz)',            @() ionex.read(f.gz, 'Progress', false)
    'ionex.read whole (.Z)',             @() ionex.read(f.Z, 'Progress', false)
    'ionex.read TEC only (.gz)',         @() ionex.read(f.gz, 'Maps', 'tec', 'Progress', false)
    'ionex.info (.gz)',                  @() ionex.info(f.gz)
    'ionex.write whole (plain)',         @() ionex.write(M, fresh_name(written, '.i'))
    'ionex.write whole (.gz)',           @() ionex.write(M, fresh_name(written, '.i.gz'))
    'ionex.write replacing (plain)',     @() ionex.write(M, [written '.i'], 'Overwrite', true)
  };
  if ~with_isal
    cases(strcmp(cases(:, 1), 'ISA-L inflate alone (.gz)') | ...
          strcmp(cases(:, 1), 'line source alone (.gz, ISA-L)'), :) = [];
  end
  n = rows(cases);
  times = zeros(n, rounds);
  for c = 1:n
    cases{c, 2}();  % warm-up: page cache, allocator, first-call costs
  end
  for r = 1:rounds
    for c = 1:n
      t0 = tic;
      out = cases{c, 2}();
      times(c, r) = toc(t0);
      clear out
    end
  end
  delete([written '*']);
  med = median(times, 2);
  fastest = min(times, [], 2);
  spread = (max(times, [], 2) - fastest) ./ med;
  printf('\n%s (%.1f MB of text; whole grid %d maps of %d x %d; %d rounds)\n', f.name, text_mb, nmaps, nlon, nlat, rounds);
  printf('  %-40s %10s %10s %10s %8s\n', 'case', 'median ms', 'fastest ms', 'MB/s', 'spread');
  m = containers.Map();
  m('name') = f.name;
  best = containers.Map();
  for c = 1:n
    printf('  %-40s %10.2f %10.2f %10.1f %7.0f%%\n', cases{c, 1}, med(c) * 1e3, fastest(c) * 1e3, ...
           text_mb / med(c), spread(c) * 100);
    m(cases{c, 1}) = med(c);
    best(cases{c, 1}) = fastest(c);
  end
  m('fastest') = best;
end

function check_same_results(f)
% Every form of the file gives the same results (checked once, outside the timing).
  for args = {{}, {[47.4 8.5]}, {[30 -20], [60 40]}}
    want = vornakelstrid_p(f.plain, args{1}{:});
    for form = {f.gz, f.Z}
      if ~isequaln(vornakelstrid_p(form{1}, args{1}{:}), want)
        error('bench_octave: %s gives other results than the plain file', form{1});
      end
    end
  end
end

function name = module_inflater()
% The inflater of the module's build, as bench_baseline (built from the same core) reports.
  names = bench_baseline('inflaters');
  if isempty(strfind(names, 'ISA-L'))
    name = 'zlib';
  else
    name = 'ISA-L';
  end
end

function failed = verdict(what, ratio_of, m, limit)
% Prints a goal: RATIO_OF applied to the medians M, its verdict, and RATIO_OF applied to the
% fastest times. Returns 1 when the goal is not met.
  ratio = ratio_of(m);
  failed = ~(ratio <= limit);
  word = 'met';
  if failed
    word = 'NOT MET';
  end
  printf('  %-62s %5.2f (goal <= %.1f) %-8s fastest: %5.2f\n', what, ratio, limit, word, ratio_of(m('fastest')));
end

function info_ratio(what, ratio)
% Prints a ratio without a goal.
  printf('    %-62s %5.2f\n', what, ratio);
end
