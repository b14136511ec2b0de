function test_ionex_progress(ctx)
% The progress line of a long series read: "ionex.read: file k of n (s seconds)" written
% after a file once the read lasts more than two seconds, at most once a second, rewritten
% in place with "\r" and ended with a newline; never with 'Progress', false.
% A series of links to one daily file, small windows keeping the output small: 300 first,
% then, when that read is short, as many as take about six seconds (of which the DCB blocks
% of every file take a good part after the read), so that the line shows.
  src = fullfile(ctx.data, 'codg0080.20i.gz');
  if ~make_links(ctx, src, 1, 300)
    return;
  end
  args = {'Latitude', [0 0], 'Longitude', [0 0], 'Maps', 'tec'};
  [text, seconds, M] = timed_read(ctx, args);
  tcheck_equal('the series: one map per epoch', size(M.tec), [1 1 25]);
  tcheck_equal('the series: 300 files', numel(M.files), 300);
  printf('     series of 300 files read in %.1f s\n', seconds);
  n = 300;
  if seconds <= 2.5
    check_short_read(text, n, seconds);
    n = min(6000, ceil(300 * 6 / max(seconds, 0.05)));
    if ~make_links(ctx, src, 301, n)
      return;
    end
    [text, seconds, M] = timed_read(ctx, args);
    tcheck_equal(sprintf('the series: %d files', n), numel(M.files), n);
    printf('     series of %d files read in %.1f s\n', n, seconds);
  end
  if seconds > 2.5
    check_line(text, n, seconds);
  else
    check_short_read(text, n, seconds);
  end

  pattern = fullfile(ctx.tmp, 'd*.20i.gz');
  started = tic();
  text = evalc('M = ionex.read(pattern, args{:}, ''progress'', false);');
  tcheck(sprintf('''Progress'', false: nothing printed in %.1f s', toc(started)), isempty(text), text);
  text = evalc('M = ionex.read(src);');
  tcheck('a single file: nothing printed', isempty(text), text);
end

function ok = make_links(ctx, src, first, last)
% Links d<k>.20i.gz to SRC for k = FIRST..LAST. Returns false (a failed check) when one fails.
  ok = true;
  for k = first:last
    [err, msg] = symlink(src, fullfile(ctx.tmp, sprintf('d%04d.20i.gz', k)));
    if err ~= 0
      ok = tcheck('links for the series', false, msg);
      return;
    end
  end
end

function [text, seconds, M] = timed_read(ctx, args)
% Reads every link as one series, capturing what it prints. Returns the text, the seconds
% the read took and the struct.
  pattern = fullfile(ctx.tmp, 'd*.20i.gz');
  started = tic();
  text = evalc('M = ionex.read(pattern, args{:});');
  seconds = toc(started);
end

function check_short_read(text, n, seconds)
% A read of N files that took SECONDS (at most 2.5) as timed here. The reader's own clock
% starts a little after this one: up to two seconds it cannot have written the line, beyond
% that it may have, and the line it wrote must then be whole.
  if seconds <= 2 || isempty(text)
    tcheck(sprintf('a read of %.1f s shows no line', seconds), isempty(text), text);
  else
    printf('     the read of %.1f s passed two seconds by the reader''s clock too\n', seconds);
    check_line(text, n, seconds);
  end
end

function check_line(text, n, seconds)
% The line of a read of N files that took SECONDS (more than the delay).
  update = sprintf('\\rionex\\.read: file (\\d+) of %d \\((\\d+) seconds\\)', n);
  updates = regexp(text, update, 'tokens');
  tcheck('a read of more than two seconds shows the line, rewritten in place', ~isempty(updates), text);
  if ~isempty(updates)
    done = cellfun(@(u) str2double(u{1}), updates);
    secs = cellfun(@(u) str2double(u{2}), updates);
    tcheck('... files done and seconds grow, the first after two seconds', ...
           all(diff(done) > 0) && all(diff(secs) >= 0) && secs(1) >= 2, text);
    tcheck('... at most once a second', numel(updates) <= ceil(seconds), text);
  end
  last = sprintf('\\rionex\\.read: file %d of %d \\([0-9]+\\.[0-9] seconds\\)\\n$', n, n);
  tcheck('... and ends it with all files and the total time on a line of its own', ...
         ~isempty(regexp(text, last, 'once')), text);
  any_line = sprintf('\\rionex\\.read: file \\d+ of %d \\([0-9.]+ seconds\\)\\n?', n);
  tcheck('... and writes nothing else', isempty(regexprep(text, any_line, '')), text);
end
