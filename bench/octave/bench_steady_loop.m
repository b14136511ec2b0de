function bench_steady_loop(what, file, calls)
% BENCH_STEADY_LOOP  Times CALLS calls of one case in a row, as a user's loop over files
% makes them, after three warm-up calls, and prints the median time of one call in ms on a
% line of its own ("steady-ms <value>"). Run in an Octave process of its own by
% bench_octave, once with the C library's default allocator and once with it tuned, so that
% nothing else of the benchmark shapes the heap the loop runs in. WHAT: 'vornakelstrid_p'
% (whole grid), 'ionex.read' (TEC and RMS), 'line source' or 'output floor'.
  switch what
    case 'vornakelstrid_p'
      call = @() vornakelstrid_p(file);
    case 'ionex.read'
      call = @() ionex.read(file, 'Progress', false);
    case 'line source'
      call = @() bench_baseline('lines', file);
    case 'output floor'
      tec = vornakelstrid_p(file);
      [nlon, nlat] = size(tec{1});
      call = @() bench_baseline('floor', numel(tec), nlon, nlat);
    otherwise
      error('bench_steady_loop: unknown case %s', what);
  end
  for k = 1:3
    out = call();
  end
  times = zeros(calls, 1);
  for k = 1:calls
    t0 = tic;
    out = call();
    times(k) = toc(t0);
  end
  printf('steady-ms %.6f\n', median(times) * 1e3);
end
