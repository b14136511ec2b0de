function ratios = bench_ionex_write(module_dir, file, repeats)
% Times, in one Octave run, ionex.write of a daily file (TEC and RMS maps, 71 x 73 nodes,
% 2.5 x 5 degrees, 25 maps each, header and DCB) against ionex.read of the file written, plain
% and .gz, calls interleaved; prints the medians and fastest calls and the ratios write/read
% (goal: <= 1 for each form), in wall time and in the process's CPU time (user and system,
% which other work on a busy machine disturbs far less; the fastest calls are the steadier
% figure there too). RATIOS: one row per form, [wall medians, wall fastest, CPU medians,
% CPU fastest].
%
%   octave-cli --norc --eval "addpath('bench'); bench_ionex_write('build/octave')"
%   bench_ionex_write(MODULE_DIR, FILE, REPEATS)   defaults: tests/data/CODG0080.20I, 21
  here = fileparts(mfilename('fullpath'));
  if nargin < 1 || isempty(module_dir), module_dir = fullfile(here, '..', 'build', 'octave'); end
  if nargin < 2 || isempty(file), file = fullfile(here, '..', 'tests', 'data', 'CODG0080.20I'); end
  if nargin < 3, repeats = 21; end
  addpath(module_dir);

  M = ionex.read(file);
  folder = tempname();
  mkdir(folder);
  cleanup = onCleanup(@() confirm_recursive_rmdir(false) + rmdir(folder, 's'));
  forms = {'plain', fullfile(folder, 'daily.20i'); '.gz', fullfile(folder, 'daily.20i.gz')};
  for f = 1:rows(forms)   % first calls: the module loaded, the files there to read
    ionex.write(M, forms{f, 2}, 'Overwrite', true);
    ionex.read(forms{f, 2});
  end
  printf('%s: %d TEC + %d RMS maps of %d x %d nodes, %d rounds\n', file, size(M.tec, 3), size(M.rms, 3), ...
         size(M.tec, 1), size(M.tec, 2), repeats);
  ratios = zeros(rows(forms), 4);
  t_write = zeros(repeats, rows(forms));
  t_read = zeros(repeats, rows(forms));
  c_write = zeros(repeats, rows(forms));
  c_read = zeros(repeats, rows(forms));
  for k = 1:repeats
    for f = 1:rows(forms)
      c0 = cputime(); t0 = tic(); ionex.write(M, forms{f, 2}, 'Overwrite', true); t_write(k, f) = toc(t0); c_write(k, f) = cputime() - c0;
      c0 = cputime(); t0 = tic(); R = ionex.read(forms{f, 2}); t_read(k, f) = toc(t0); c_read(k, f) = cputime() - c0;
    end
  end
  if ~isequaln(R.tec, M.tec)
    error('bench_ionex_write: the file written does not read back as M');
  end
  for f = 1:rows(forms)
    printf('ionex.write (%-5s)  median %7.2f ms  (min %7.2f)   CPU median %7.2f ms  (min %7.2f)\n', forms{f, 1}, ...
           1e3 * median(t_write(:, f)), 1e3 * min(t_write(:, f)), 1e3 * median(c_write(:, f)), 1e3 * min(c_write(:, f)));
    printf('ionex.read  (%-5s)  median %7.2f ms  (min %7.2f)   CPU median %7.2f ms  (min %7.2f)\n', forms{f, 1}, ...
           1e3 * median(t_read(:, f)), 1e3 * min(t_read(:, f)), 1e3 * median(c_read(:, f)), 1e3 * min(c_read(:, f)));
    ratios(f, :) = [median(t_write(:, f)) / median(t_read(:, f)), min(t_write(:, f)) / min(t_read(:, f)), ...
                    median(c_write(:, f)) / median(c_read(:, f)), min(c_write(:, f)) / min(c_read(:, f))];
    printf('ratio write / read (%s): wall %.2f of medians, %.2f of fastest; CPU %.2f of medians, %.2f of fastest (goal <= 1)\n', ...
           forms{f, 1}, ratios(f, 1), ratios(f, 2), ratios(f, 3), ratios(f, 4));
  end
end
