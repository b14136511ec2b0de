% Example: what vornakelstrid_p returns for one IONEX file.
%
%   octave-cli --norc scripts/example.m [IONEX file] [module dir]
%
% Defaults: the bundled CODE product tests/data/codg0080.20i.Z (Unix compress) and the
% module built into build/octave. Prints the grid, the epochs, the TEC over the day at
% Zurich, and satellite and receiver DCBs.

1;   % a script file, not a function file

function check_result(r, what)
  % A failure comes back as the cell {message; identifier} in place of output 1.
  if iscell(r) && isequal(size(r), [2 1]) && ischar(r{1})
    fprintf(2, '%s failed: %s (%s)\n', what, r{1}, r{2});
    exit(1);
  end
end

root = fileparts(fileparts(mfilename('fullpath')));
args = argv();
file = fullfile(root, 'tests', 'data', 'codg0080.20i.Z');
module_dir = fullfile(root, 'build', 'octave');
if numel(args) >= 1, file = args{1}; end
if numel(args) >= 2, module_dir = args{2}; end
addpath(module_dir);
found = which('vornakelstrid_p');
if numel(found) < 4 || ~strcmp(found(end-3:end), '.mex')
  fprintf(2, 'vornakelstrid_p.mex not found in %s: build it first (scripts/run_example.sh)\n', module_dir);
  exit(1);
end

[~, name, ext] = fileparts(file);
printf('IONEX file  %s%s\n', name, ext);

% Whole grid: one nlon-by-nlat matrix per map, with the epochs and the axes.
[maps, epochs, lat, lon] = vornakelstrid_p(file);
check_result(maps, 'Reading the whole grid');
printf('Maps        %d', numel(maps));
if numel(epochs) > 1
  printf(', every %g min', round((epochs(2) - epochs(1)) * 1440));
end
printf('\n');
printf('Latitudes   %g to %g step %g deg (%d rows)\n', lat(1), lat(end), lat(2) - lat(1), numel(lat));
printf('Longitudes  %g to %g step %g deg (%d columns)\n', lon(1), lon(end), lon(2) - lon(1), numel(lon));
printf('Each map    %d-by-%d (longitude x latitude), TECU\n', rows(maps{1}), columns(maps{1}));
printf('First epoch %s\n', datestr(epochs(1), 'yyyy-mm-dd HH:MM:SS'));
printf('Last epoch  %s\n', datestr(epochs(end), 'yyyy-mm-dd HH:MM:SS'));
peak = cellfun(@(m) max(m(:)), maps);
[top, k] = max(peak);
[i, j] = find(maps{k} == top, 1);
printf('Peak TEC    %.1f TECU at %s, latitude %g, longitude %g\n', top, ...
       datestr(epochs(k), 'HH:MM'), lat(j), lon(i));

% One point: a value per map, bilinear between the four surrounding nodes; with a
% receiver name, outputs 5 and 6 hold the satellite and receiver DCBs.
station = 'zimm';
place = [47.4 8.5];
[tec, epochs, node_lat, node_lon, sat_dcb, rx_dcb] = vornakelstrid_p(file, place, station);
check_result(tec, 'Reading the point');
printf('\nVertical TEC at Zurich (%.1f N, %.1f E; 0.1-degree node %.1f N, %.1f E)\n', ...
       place, node_lat, node_lon);
for k = 1:numel(tec)
  printf('  %s  %5.1f TECU  %s\n', datestr(epochs(k), 'yyyy-mm-dd HH:MM'), tec(k), ...
         repmat('#', 1, round(tec(k))));
end

printf('\nDifferential code biases (ns, as given in the file)\n');
printf('  satellite G01  %8.3f\n', sat_dcb(1));
printf('  satellite G02  %8.3f\n', sat_dcb(2));
printf('  receiver %-4s  %8.3f\n', upper(station), rx_dcb);
printf('  %d of %d satellite slots filled\n', nnz(sat_dcb), numel(sat_dcb));

% The +ionex package: everything in the file as a struct, then the slant delay at L1 of a
% satellite due south at three elevations, at noon, above the same place.
M = ionex.read(file);
printf('\nionex.read: %d TEC and %d RMS maps of %d x %d, %s, %d DCB block(s)\n', ...
       size(M.tec, 3), size(M.rms, 3), size(M.tec, 1), size(M.tec, 2), M.program, numel(M.dcb));
noon = M.time(1) + 0.5;
for el = [90 45 20]
  [d, sigma] = ionex.delay(M, noon, place, 180, el);
  printf('  L1 delay at 12:00 UTC, elevation %2d deg: %.2f +- %.2f m\n', el, d, sigma);
end
