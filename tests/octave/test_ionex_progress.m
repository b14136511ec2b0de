function test_ionex_progress(ctx)
% The progress line of a long series read: shown once a read lasts more than two seconds,
% rewritten in place with "\r" and ended with a newline; never with 'Progress', false.
% A series of 300 links to one daily file, small windows keeping the output small.
  src = fullfile(ctx.data, 'codg0080.20i.gz');
  for k = 1:300
    [err, msg] = symlink(src, fullfile(ctx.tmp, sprintf('d%03d.20i.gz', k)));
    if err ~= 0
      tcheck('links for the series', false, msg);
      return;
    end
  end
  pattern = fullfile(ctx.tmp, 'd*.20i.gz');
  args = {'Latitude', [0 0], 'Longitude', [0 0], 'Maps', 'tec'};

  started = tic();
  text = evalc('M = ionex.read(pattern, args{:});');
  seconds = toc(started);
  tcheck_equal('the series: one map per epoch', size(M.tec), [1 1 25]);
  tcheck_equal('the series: 300 files', numel(M.files), 300);
  if seconds > 2.5
    tcheck('a read of more than two seconds shows the line, rewritten in place', ...
           ~isempty(strfind(text, sprintf('\rionex.read: reading 300 files, '))), text);
    tcheck('... and ends it with the total time on a line of its own', ...
           ~isempty(regexp(text, '\rionex\.read: read 300 files in [0-9.]+ s \n$', 'once')), text);
  else
    tcheck(sprintf('a read of %.1f s shows no line', seconds), isempty(text), text);
  end
  printf('     series of 300 files read in %.1f s\n', seconds);

  text = evalc('M = ionex.read(pattern, args{:}, ''progress'', false);');
  tcheck('''Progress'', false: nothing printed', isempty(text), text);
  text = evalc('M = ionex.read(src);');
  tcheck('a single file: nothing printed', isempty(text), text);
end
