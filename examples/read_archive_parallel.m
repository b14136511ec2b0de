function [t, tec, info] = read_archive_parallel(files, place, varargin)
%READ_ARCHIVE_PARALLEL  A long TEC series at one point from many daily IONEX files, in parallel.
%
%   [T, TEC] = read_archive_parallel(FILES, PLACE) reads every IONEX file of FILES (a cell
%   array of names, or one wildcard pattern such as 'archive/2019/codg*.19i.Z'; plain,
%   .gz and .Z may be mixed) with vornakelstrid_p at the point PLACE = [latitude
%   longitude] (degrees), one file per task on a pool of workers, and joins the values
%   into one series sorted by epoch: T the epochs (datenum, UTC), TEC the values (TECU).
%   The map at 24:00 of a daily file is the 00:00 map of the next day's file: an epoch met
%   twice is kept once, from the file that comes first in FILES.
%
%   Where the files are read:
%     MATLAB  parfor: on the open pool of the Parallel Computing Toolbox (or the pool
%             parfor opens, a cluster through MATLAB Parallel Server included); a plain
%             loop when that toolbox is not installed.
%     Octave  parcellfun of the parallel package (Debian: octave-parallel) on 'Workers'
%             processes, when the package loads; a plain loop otherwise.
%   Every path reads each file the same way and the series is put together afterwards in
%   file order, so the numbers are the same whichever path ran.
%
%   Options (name-value pairs):
%     'Mode'     'auto' (the above), 'serial' (a plain loop) or 'parallel' (as 'auto', but
%                an error when no parallel path is available)               'auto'
%     'Workers'  processes for parcellfun in Octave                        nproc
%
%   A file that is missing, damaged or no IONEX map file comes back from vornakelstrid_p
%   as an error result; it is reported and skipped. A wrong call (Vornakelstrid:Input,
%   Vornakelstrid:Output) stops with an error.
%
%   [T, TEC, INFO] = read_archive_parallel(...) also returns a struct with the fields
%     mode     'parfor', 'parcellfun' or 'serial': the path that ran
%     used     the files read
%     skipped  struct array (file, identifier, message) of the files skipped
%
%   Without inputs it reads the bundled sample products at Zimmerwald, [46.88 7.47].

  if nargin < 2 || isempty(place), place = [46.88 7.47]; end
  if nargin < 1 || isempty(files)
    data = sample_dir();
    files = {fullfile(data, 'jplg0010.17i.gz'), fullfile(data, 'codg0080.20i.Z')};
  elseif ischar(files)
    pattern = files;
    listing = dir(pattern);
    files = fullfile(fileparts(pattern), {listing(~[listing.isdir]).name});
  end
  opts = parse_options(varargin);
  if exist('vornakelstrid_p') ~= 3 %#ok<EXIST>
    error('read_archive_parallel:module', ...
          'vornakelstrid_p is not on the path: addpath the folder that holds its MEX file');
  end

  [mode, workers] = choose_path(opts);
  n = numel(files);
  epochs = cell(1, n);
  values = cell(1, n);
  ids = cell(1, n);
  messages = cell(1, n);
  switch mode
    case 'parfor'
      parfor k = 1:n
        [epochs{k}, values{k}, ids{k}, messages{k}] = read_one(files{k}, place);
      end
    case 'parcellfun'
      [epochs, values, ids, messages] = parcellfun(workers, @read_one, files(:)', ...
          repmat({place}, 1, n), 'UniformOutput', false, 'VerboseLevel', 0);
    otherwise
      for k = 1:n
        [epochs{k}, values{k}, ids{k}, messages{k}] = read_one(files{k}, place);
      end
  end

  [t, tec, info] = join_series(files, epochs, values, ids, messages);
  info.mode = mode;
  fprintf('read_archive_parallel: %d epochs from %d files (%d skipped), read by %s\n', ...
          numel(t), numel(info.used), numel(info.skipped), mode);
end

function [epochs, values, id, message] = read_one(file, place)
% Reads one file at PLACE. Returns its epochs and values as columns and an empty id, or
% for an error result empty columns with its identifier and message.
  [v, e] = vornakelstrid_p(file, place);
  if iscell(v) && isequal(size(v), [2 1]) && ischar(v{1})
    epochs = zeros(0, 1);
    values = zeros(0, 1);
    message = v{1};
    id = v{2};
  else
    epochs = e(:);
    values = v(:);
    id = '';
    message = '';
  end
end

function [t, tec, info] = join_series(files, epochs, values, ids, messages)
% Joins the per-file results in file order: the files skipped by their identifier, a wrong
% call raised, the rest sorted by epoch with each epoch kept once (from the earliest file).
% Returns the series and the fields used and skipped of INFO.
  info.used = {};
  info.skipped = struct('file', {}, 'identifier', {}, 'message', {});
  t = zeros(0, 1);
  tec = zeros(0, 1);
  source = zeros(0, 1);                  % file number of each value
  for k = 1:numel(files)
    switch ids{k}
      case ''
        info.used{end + 1} = files{k};
        t = [t; epochs{k}]; %#ok<AGROW>
        tec = [tec; values{k}]; %#ok<AGROW>
        source = [source; repmat(k, numel(epochs{k}), 1)]; %#ok<AGROW>
      case {'Vornakelstrid:NoFile', 'Vornakelstrid:ReadError', 'Vornakelstrid:NoIonexFile'}
        fprintf('skipped  %s: %s\n', files{k}, messages{k});
        info.skipped(end + 1) = struct('file', files{k}, 'identifier', ids{k}, 'message', messages{k});
      otherwise
        error(ids{k}, '%s', messages{k});
    end
  end
  % Epochs are running sums: two that round to the same second are the same map time.
  % Sorted by that second and then by file, the first of each second is the earliest file's.
  seconds = round(t * 86400);
  [~, order] = sortrows([seconds, source]);
  t = t(order);
  tec = tec(order);
  keep = [true(min(numel(t), 1), 1); diff(seconds(order)) ~= 0];
  t = t(keep);
  tec = tec(keep);
end

function [mode, workers] = choose_path(opts)
% Picks the path that reads the files: parfor in MATLAB when the Parallel Computing
% Toolbox is there, parcellfun in Octave when the parallel package loads, else serial.
% Returns the path's name and the number of processes for parcellfun.
  workers = opts.workers;
  mode = 'serial';
  if strcmp(opts.mode, 'serial')
    return;
  end
  if exist('OCTAVE_VERSION', 'builtin')
    if isempty(workers)
      workers = nproc();
    end
    if package_loads('parallel') && workers > 1
      mode = 'parcellfun';
    end
  elseif ~isempty(ver('parallel'))
    mode = 'parfor';
  end
  if strcmp(opts.mode, 'parallel') && strcmp(mode, 'serial')
    error('read_archive_parallel:noParallel', ['no parallel path here: MATLAB needs the ' ...
          'Parallel Computing Toolbox, Octave the parallel package and more than one worker']);
  end
end

function ok = package_loads(name)
% Loads Octave package NAME when it is installed. Returns true when it is loaded.
  ok = false;
  try
    pkg('load', name);
    ok = true;
  catch
    % not installed
  end
end

function opts = parse_options(args)
% Reads the name-value pairs of the call. Returns the options with their defaults.
  opts = struct('mode', 'auto', 'workers', []);
  if mod(numel(args), 2) ~= 0
    error('read_archive_parallel:options', 'options come in name-value pairs');
  end
  for k = 1:2:numel(args)
    name = lower(args{k});
    if ~isfield(opts, name)
      error('read_archive_parallel:options', 'unknown option ''%s''', args{k});
    end
    opts.(name) = args{k + 1};
  end
  if ~any(strcmp(opts.mode, {'auto', 'serial', 'parallel'}))
    error('read_archive_parallel:options', 'Mode is ''auto'', ''serial'' or ''parallel''');
  end
end
