function test_read_archive_parallel(ctx)
% read_archive_parallel gives exactly the same series with parcellfun on two processes as
% with a plain loop, over a year of small daily files (plain and gzip, with a day missing
% and a damaged day), and the values are those vornakelstrid_p reads from each file.

  % 366 days from 2019-12-31: 13 two-hourly maps each, 00:00 to 24:00, on a 3-by-4 grid
  % around the point; every third day gzip, day 100 missing, day 200 cut off.
  days = 366;
  reg = struct('lat', [50 45 -2.5], 'lon', [0 15 5], 'exponent', -1, 'interval', 7200);
  folder = fullfile(ctx.tmp, 'archive');
  mkdir(folder);
  files = cell(1, days);
  for d = 1:days
    reg.epoch = [2019 12 30 + d 0 0 0];
    maps = arrayfun(@(k) synthetic_values(3, 4, 13 * d + k), 1:13, 'UniformOutput', false);
    files{d} = fullfile(folder, sprintf('synt%03d0.20i', d));
    if d == 100
      continue;
    end
    write_ionex(files{d}, reg, maps);
    if d == 200
      text = fileread(files{d});
      fid = fopen(files{d}, 'w');
      fwrite(fid, text(1:900));
      fclose(fid);
    elseif mod(d, 3) == 0
      gzip(files{d});
      delete(files{d});
      files{d} = [files{d} '.gz'];
    end
  end
  place = [47.3 8.2];

  [t_serial, tec_serial, info_serial] = read_archive_parallel(files, place, 'Mode', 'serial');
  tcheck_equal('serial: read by the plain loop', info_serial.mode, 'serial');
  have_parallel = ~isempty(pkg('list', 'parallel'));
  tcheck('the parallel package is installed (octave-parallel, scripts/install-deps.sh)', have_parallel, '');
  [t_par, tec_par, info_par] = read_archive_parallel(files, place, 'Mode', 'parallel', 'Workers', 2);
  tcheck_equal('parallel: read by parcellfun', info_par.mode, 'parcellfun');
  tcheck_equal('parallel: the same epochs as serial, exactly', t_par, t_serial);
  tcheck_equal('parallel: the same values as serial, exactly', tec_par, tec_serial);
  tcheck_equal('parallel: the same files used and skipped', ...
               {info_par.used, {info_par.skipped.file}}, {info_serial.used, {info_serial.skipped.file}});

  % One epoch every two hours from the first day's 00:00 to the last day's 24:00; the
  % missing day leaves its 11 inner epochs out, the cut-off day all but its first epoch,
  % which the day before supplies.
  tcheck_equal('series: 366 x 12 + 1 epochs less 11 for each of the two days lost', ...
               numel(t_serial), days * 12 + 1 - 22);
  tcheck('series: sorted, two hours apart or a gap', ...
         all(diff(t_serial) > 0) && all(abs(diff(t_serial) - 1 / 12) < 1e-6 | diff(t_serial) > 0.5), '');
  tcheck_equal('skipped: the missing and the cut-off day', ...
               {info_serial.skipped.identifier}, {'Vornakelstrid:NoFile', 'Vornakelstrid:NoIonexFile'});
  series_seconds = round(t_serial * 86400);
  for d = [1 3 150 366]
    [v, e] = vornakelstrid_p(files{d}, place);
    [found, at] = ismember(round(e * 86400), series_seconds);
    own = 2:13;                 % 00:00 belongs to the day before, read first
    if d == 1
      own = 1:13;
    end
    tcheck(sprintf('day %d: every epoch in the series', d), all(found), '');
    tcheck_equal(sprintf('day %d: its values at its own epochs', d), tec_serial(at(own))', v(own));
    if d > 1
      before = vornakelstrid_p(files{d - 1}, place);
      tcheck_equal(sprintf('day %d: 00:00 from the day before''s 24:00 map', d), ...
                   tec_serial(at(1)), before(end));
    end
  end

  % The bundled products by default, on whatever path is there.
  [t, ~, info] = read_archive_parallel();
  tcheck_equal('defaults: the two sample products, 13 + 25 epochs', numel(t), 38);
  tcheck_equal('defaults: both used', numel(info.used), 2);
end
