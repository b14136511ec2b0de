function test_epochs(ctx)
% Output 2: the map epochs as serial day numbers, from the header's first epoch and
% interval, as a running sum.

  reg = struct('lat', [50 45 -2.5], 'lon', [0 10 5]);   % 3 rows, 3 columns
  v = synthetic_values(3, 3, 1);
  path = fullfile(ctx.tmp, 'epochs.16i');

  % --- first epoch conversion
  table = {[2016  4 28  0  0  0],   '736448';
           [2016  4 28  2  0  0],   '736448.0833333334';
           [2016  1  1 12 30 30],   '736330.5211805556';
           [2015 14  1  0  0  0],   '736361';             % month 14 carried into 2016
           [2015 13  1  0  0  0],   '736330';             % month 13: January of the next year
           [2000  3  1  0  0  0],   '730546';             % 2000 is a leap year
           [1900  3  1  0  0  0],   '694021';             % 1900 is not
           [2016  0  5  0  0  0],   '736334';             % month 0 counts as month 1
           [2016  5  0  0  0  0],   '736450';             % day 0 of May is 30 April
           [2016  4 28 24  0  0],   '736449'};            % hour 24 is the next day
  for k = 1:rows(table)
    e = table{k, 1};
    write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'epoch', e), {v});
    [r, t] = vornakelstrid_p(path);
    tcheck_digits(sprintf('first epoch %d-%d-%d %d:%d:%d', e), t, table{k, 2}, 16);
    if e(2) >= 1 && e(2) <= 12 && e(3) >= 1 && e(4) < 24
      tcheck(sprintf('first epoch %d-%d-%d %d:%d:%d agrees with datenum', e), ...
             abs(t - datenum(e)) < 1e-9, sprintf('%.17g vs %.17g', t, datenum(e)));
    end
  end

  % --- running sums of the interval
  runs = {7200, 13, '736449.0000000005';
           900, 97, '736448.9999999963'};
  for k = 1:rows(runs)
    [interval, n] = runs{k, 1:2};
    write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'interval', interval), repmat({v}, 1, n));
    [r, t] = vornakelstrid_p(path);
    want = zeros(n, 1);
    want(1) = 736448;
    for j = 2:n
      want(j) = want(j - 1) + interval / 86400;
    end
    tcheck_equal(sprintf('interval %d, %d maps: every epoch a running sum, bit for bit', interval, n), ...
                 t, want);
    tcheck_digits(sprintf('interval %d, %d maps: last epoch', interval, n), t(end), runs{k, 3}, 16);
    tcheck_equal(sprintf('interval %d, %d maps: output 1 holds %d maps', interval, n, n), ...
                 size(r), [n 1]);
  end

  % Epochs come from the header alone: a header that announces more maps than the file
  % holds gets an epoch for each announced map.
  write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'interval', 3600, 'num_maps', 4), {v, v});
  [r, t] = vornakelstrid_p(path, [47 5]);
  tcheck_equal('4 maps announced, 2 written: 4 epochs', size(t), [4 1]);
  tcheck_equal('4 maps announced, 2 written: epoch 4', t(4), ((736448 + 1/24) + 1/24) + 1/24);

  % --- interval 0 and negative
  write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'interval', 0), {v, v, v});
  [r, t] = vornakelstrid_p(path);
  tcheck_equal('interval 0: every epoch the first', t, [736448; 736448; 736448]);
  write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'interval', -43200), {v, v, v});
  [r, t] = vornakelstrid_p(path);
  tcheck_equal('negative interval: decreasing epochs', t, [736448; 736447.5; 736447]);

  % --- no maps
  write_ionex(path, struct('lat', reg.lat, 'lon', reg.lon, 'num_maps', 0), {});
  [r, t, la, lo] = vornakelstrid_p(path);
  tcheck_equal('0 maps, whole grid: output 1 is a 0x1 cell', r, cell(0, 1));
  tcheck_equal('0 maps: output 2 is 0x1', t, zeros(0, 1));
  tcheck_equal('0 maps: latitude axis still made', la, [50; 47.5; 45]);
  [r, t] = vornakelstrid_p(path, [47 5]);
  tcheck_equal('0 maps, point: output 1 is 1x0', r, zeros(1, 0));
end
