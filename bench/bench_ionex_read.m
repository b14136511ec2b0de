function ratio = bench_ionex_read(module_dir, file, repeats)
% Times, in one Octave run, a whole read of a daily gzip product by ionex.read (TEC and RMS
% maps, headers, DCB) against vornakelstrid_p's whole-grid read of the same file (TEC
% maps only), calls interleaved, and prints the ratios of the medians and of the fastest
% calls (goal: <= 1; on a busy machine the fastest calls are the steadier figure), and the
% same for a TEC-only ionex.read.
%
%   octave-cli --norc --eval "addpath('bench'); bench_ionex_read('build/octave')"
%   bench_ionex_read(MODULE_DIR, FILE, REPEATS)   defaults: tests/data/codg0080.20i.gz, 15
  here = fileparts(mfilename('fullpath'));
  if nargin < 1 || isempty(module_dir), module_dir = fullfile(here, '..', 'build', 'octave'); end
  if nargin < 2 || isempty(file), file = fullfile(here, '..', 'tests', 'data', 'codg0080.20i.gz'); end
  if nargin < 3, repeats = 15; end
  addpath(module_dir);

  % One call each first: the files are in the page cache and the modules loaded.
  M = ionex.read(file);
  V = vornakelstrid_p(file);
  printf('file %s: ionex.read %d TEC + %d RMS maps, vornakelstrid_p %d TEC maps\n', ...
         file, size(M.tec, 3), size(M.rms, 3), numel(V));

  t_read = zeros(repeats, 1);
  t_tec = zeros(repeats, 1);
  t_vorn = zeros(repeats, 1);
  for k = 1:repeats
    t0 = tic(); M = ionex.read(file); t_read(k) = toc(t0);
    t0 = tic(); V = vornakelstrid_p(file); t_vorn(k) = toc(t0);
    t0 = tic(); T = ionex.read(file, 'Maps', 'tec'); t_tec(k) = toc(t0);
  end
  ratio = median(t_read) / median(t_vorn);
  printf('ionex.read (TEC+RMS)       median %7.2f ms  (min %7.2f)\n', 1e3 * median(t_read), 1e3 * min(t_read));
  printf('ionex.read (TEC only)      median %7.2f ms  (min %7.2f)\n', 1e3 * median(t_tec), 1e3 * min(t_tec));
  printf('vornakelstrid_p (TEC)      median %7.2f ms  (min %7.2f)\n', 1e3 * median(t_vorn), 1e3 * min(t_vorn));
  printf('ratio ionex.read (TEC+RMS) / vornakelstrid_p: %.2f of medians, %.2f of fastest (goal <= 1)\n', ...
         ratio, min(t_read) / min(t_vorn));
  printf('ratio ionex.read (TEC)     / vornakelstrid_p: %.2f of medians, %.2f of fastest\n', ...
         median(t_tec) / median(t_vorn), min(t_tec) / min(t_vorn));
end
