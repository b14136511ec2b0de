function test_endless_inputs(ctx)
% ionex.read and ionex.info on inputs that never end: /dev/zero, /dev/urandom and FIFOs whose
% writer never stops. Each ends by itself, at once, with the identifier of its first bad
% line, and leaves no file open.
  fds = @() numel(readdir('/proc/self/fd'));
  before = fds();
  readers = {@ionex.read, @ionex.info};
  names = {'ionex.read', 'ionex.info'};
  for device = {'/dev/zero', '/dev/urandom'}
    for k = 1:2
      [id, seconds] = read_id(readers{k}, device{1});
      tcheck_equal(sprintf('%s(''%s'') is not IONEX', names{k}, device{1}), id, 'ionex:NotIonex');
      tcheck(sprintf('%s(''%s'') returns at once', names{k}, device{1}), seconds < 1, sprintf('%.3f s', seconds));
    end
  end

  % FIFOs: the writer runs in the background until the reader has gone (SIGPIPE).
  version = sprintf('%-60s%-20s', '     1.0            IONOSPHERE MAPS     GPS', 'IONEX VERSION / TYPE');
  fifo = fullfile(ctx.tmp, 'endless');
  writers = {
    'NUL bytes without end',                 'cat /dev/zero',                                     'ionex:NotIonex';
    'a first line without end',              'yes 7 | tr -d ''\n''',                              'ionex:NotIonex';
    'a record, then a line without end',     sprintf('{ printf ''%%s\\n'' ''%s''; yes 7 | tr -d ''\\n''; }', version), 'ionex:Corrupt';
  };
  for w = 1:size(writers, 1)
    for k = 1:2
      system(sprintf('rm -f %s && mkfifo %s', fifo, fifo));
      system(sprintf('( %s ) > %s 2>/dev/null &', writers{w, 2}, fifo));
      [id, seconds] = read_id(readers{k}, fifo);
      tcheck_equal(sprintf('%s, FIFO with %s', names{k}, writers{w, 1}), id, writers{w, 3});
      tcheck(sprintf('%s, FIFO with %s: at once', names{k}, writers{w, 1}), seconds < 1, sprintf('%.3f s', seconds));
    end
  end
  delete(fifo);
  tcheck_equal('no file left open', fds(), before);
end

function [id, seconds] = read_id(reader, file)
% Calls READER on FILE. Returns the identifier of the error it raised ('' for none) and the
% seconds the call took.
  id = '';
  t = tic();
  try
    reader(file);
  catch err
    id = err.identifier;
  end
  seconds = toc(t);
end
