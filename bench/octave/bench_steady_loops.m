function failed = bench_steady_loops(file, repeats)
% BENCH_STEADY_LOOPS  A steady loop of one kind of call (bench_steady_loop), in an Octave
% process of its own, with the C library's default allocator and with it tuned to keep freed
% memory (MALLOC_TRIM_THRESHOLD_ and MALLOC_MMAP_THRESHOLD_ raised), the two settings
% alternated REPEATS times. Prints each loop's median call time under both and their ratio;
% the readers' ratios are goals, while the line source's and the host's own output floor
% (the arrays a whole-grid read returns, made and nothing else) show which share is the
% readers' and which the host's. Returns the number of goals not met.
  tuned = 'MALLOC_TRIM_THRESHOLD_=1073741824 MALLOC_MMAP_THRESHOLD_=33554432';
  dirs = sprintf('''%s'', ''%s'', ''%s''', fileparts(which('vornakelstrid_p')), ...
                 fileparts(which('bench_baseline')), fileparts(mfilename('fullpath')));
  cases = {'vornakelstrid_p', 'ionex.read', 'line source', 'output floor'};
  goals = [1.15 1.15 NaN NaN];
  calls = 200;
  printf('\nSteady loops of %d calls on %s, each in an Octave of its own (medians of %d processes)\n', ...
         calls, file, repeats);
  printf('  %-22s %12s %12s %8s\n', 'case', 'default ms', 'tuned ms', 'ratio');
  failed = 0;
  for c = 1:numel(cases)
    ms = zeros(repeats, 2);
    for r = 1:repeats
      for setting = 1:2
        env = '';
        if setting == 2
          env = tuned;
        end
        command = sprintf('%s octave-cli --no-gui --norc --eval "addpath(%s); bench_steady_loop(''%s'', ''%s'', %d)" 2>/dev/null', ...
                          env, dirs, cases{c}, file, calls);
        [status, text] = system(command);
        value = regexp(text, 'steady-ms ([0-9.]+)', 'tokens', 'once');
        if isempty(value)
          error('bench_steady_loops: the steady loop of %s failed (status %d): %s', cases{c}, status, text);
        end
        ms(r, setting) = str2double(value{1});
      end
    end
    m = median(ms, 1);
    ratio = m(1) / m(2);
    if isnan(goals(c))
      printf('  %-22s %12.2f %12.2f %8.2f\n', cases{c}, m(1), m(2), ratio);
    else
      word = 'met';
      if ~(ratio <= goals(c))
        word = 'NOT MET';
        failed += 1;
      end
      printf('  %-22s %12.2f %12.2f %8.2f (goal <= %.2f) %s\n', cases{c}, m(1), m(2), ratio, goals(c), word);
    end
  end
end
