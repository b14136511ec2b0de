function [t, tec, used, skipped, fig] = read_many_days(files, png, place)
%READ_MANY_DAYS  One TEC time series at a point from many IONEX files; damaged ones skipped.
%
%   read_many_days(FILES, PNG, PLACE) reads every IONEX file of FILES (a cell array of
%   names, or one wildcard pattern such as 'ionex/codg*.20i.*'; plain, .gz and .Z may be
%   mixed) with vornakelstrid_p at the point PLACE = [latitude longitude] (degrees) and
%   joins the values into one time series, sorted by epoch. The map at 24:00 of a daily
%   file is the 00:00 map of the next day's file: an epoch met twice is kept once (from
%   the file read first). Maps a file lacks come back as NaN and show as gaps.
%
%   A file that is missing, damaged or no IONEX map file comes back as an error result
%   {message; identifier}; its identifier tells this apart from a wrong call, so such a
%   file is reported and skipped, while a wrong call stops with an error:
%     Vornakelstrid:NoFile       the file does not exist
%     Vornakelstrid:ReadError    it could not be read
%     Vornakelstrid:NoIonexFile  no 2-D IONEX map file, PLACE outside its grid, or maps
%                                out of order or on another grid
%     Vornakelstrid:Input, Vornakelstrid:Output   a wrong call: raised as an error
%
%   The series is drawn against the epochs (UTC), one panel for each stretch of days
%   without a gap of more than a day, and written to the PNG file PNG.
%
%   Defaults: PNG 'many_days.png' in the current folder, PLACE [46.88 7.47] (Zimmerwald),
%   FILES the bundled JPL product jplg0010.17i.gz (2017-01-01) and CODE product
%   codg0080.20i.Z (2020-01-08), with, between them, a cut-off copy of the CODE file that
%   this function writes to a temporary file to show the skipping.
%
%   [T, TEC, USED, SKIPPED] = read_many_days(...) also returns the epochs (datenum) and
%   values (TECU) of the series, the files read and, for the files skipped, a struct
%   array with the fields file, identifier and message. A fifth output keeps the
%   (invisible) figure open and returns its handle.

  if nargin < 3 || isempty(place), place = [46.88 7.47]; end
  if nargin < 2 || isempty(png), png = 'many_days.png'; end
  cleanup = [];
  if nargin < 1 || isempty(files)
    data = sample_dir();
    damaged = [tempname() '.20i.Z'];
    write_cut_copy(fullfile(data, 'codg0080.20i.Z'), damaged, 600);
    cleanup = onCleanup(@() delete(damaged));
    files = {fullfile(data, 'jplg0010.17i.gz'), damaged, fullfile(data, 'codg0080.20i.Z')};
  elseif ischar(files)
    pattern = files;
    listing = dir(pattern);
    files = fullfile(fileparts(pattern), {listing(~[listing.isdir]).name});
  end
  if exist('vornakelstrid_p') ~= 3 %#ok<EXIST>
    error('read_many_days:module', ...
          'vornakelstrid_p is not on the path: addpath the folder that holds its MEX file');
  end

  t = zeros(0, 1);
  tec = zeros(0, 1);
  source = zeros(0, 1);                  % index into USED of each value
  used = {};
  skipped = struct('file', {}, 'identifier', {}, 'message', {});
  for k = 1:numel(files)
    [v, e] = vornakelstrid_p(files{k}, place);
    if iscell(v) && isequal(size(v), [2 1]) && ischar(v{1})
      switch v{2}
        case {'Vornakelstrid:NoFile', 'Vornakelstrid:ReadError', 'Vornakelstrid:NoIonexFile'}
          fprintf('skipped  %s\n         %s (%s)\n', files{k}, v{1}, v{2});
          skipped(end + 1) = struct('file', files{k}, 'identifier', v{2}, 'message', v{1}); %#ok<AGROW>
          continue;
        otherwise
          error(v{2}, '%s', v{1});
      end
    end
    fprintf('read     %s: %d maps, %s to %s\n', files{k}, numel(v), ...
            datestr(e(1), 'yyyy-mm-dd HH:MM'), datestr(e(end), 'yyyy-mm-dd HH:MM'));
    used{end + 1} = files{k}; %#ok<AGROW>
    t = [t; e(:)]; %#ok<AGROW>
    tec = [tec; v(:)]; %#ok<AGROW>
    source = [source; repmat(numel(used), numel(v), 1)]; %#ok<AGROW>
  end
  if isempty(t)
    error('read_many_days:nothing', 'none of the %d files could be read', numel(files));
  end

  % Sort by epoch (stable: of equal epochs the first file's comes first) and keep the first
  % of the epochs that lie within a second of the one before (the epochs are running sums).
  [t, order] = sort(t);
  tec = tec(order);
  source = source(order);
  keep = [true; diff(t) > 0.5 / 86400];
  t = t(keep);
  tec = tec(keep);
  source = source(keep);
  fprintf('series   %d epochs from %d files, %d skipped\n', numel(t), numel(used), numel(skipped));

  % Each stretch without a gap of more than a day gets its own panel.
  breaks = [0; find(diff(t) > 1); numel(t)];
  npanel = numel(breaks) - 1;
  use_gnuplot_without_gui();
  fig = figure('visible', 'off', 'paperunits', 'inches', ...
               'paperposition', [0 0 max(8, 4.5 * npanel + 1) 4.4]);
  top = max([tec(:); 0]) * 1.1 + 1;     % one TEC scale for all panels
  for p = 1:npanel
    idx = breaks(p) + 1:breaks(p + 1);
    subplot(1, npanel, p);
    plot(t(idx), tec(idx), '-o', 'linewidth', 1.5, 'markersize', 3);
    grid on;
    ylim([0 top]);
    span = t(idx(end)) - t(idx(1));
    if span <= 1.5
      ticks = floor(t(idx(1))) + (0:6:ceil(span * 4 + 1) * 6) / 24;
      set(gca(), 'xtick', ticks, 'xlim', [t(idx(1)) t(idx(end))] + [-1 1] / 48);
      datetick('x', 'HH:MM', 'keepticks', 'keeplimits');
      xlabel(sprintf('UTC, %s', datestr(t(idx(1)), 'yyyy-mm-dd')));
    else
      ticks = floor(t(idx(1))):max(1, ceil(span / 8)):ceil(t(idx(end)));
      set(gca(), 'xtick', ticks, 'xlim', [t(idx(1)) t(idx(end))] + [-1 1] / 48);
      datetick('x', 'mm-dd', 'keepticks', 'keeplimits');
      xlabel(sprintf('UTC, %s to %s', datestr(t(idx(1)), 'yyyy-mm-dd'), ...
                     datestr(t(idx(end)), 'yyyy-mm-dd')));
    end
    if p == 1
      ylabel('Vertical TEC (TECU)');
    end
    names = cell(1, 0);
    for s = unique(source(idx))'
      [~, name, ext] = fileparts(used{s});
      names{end + 1} = [name ext]; %#ok<AGROW>
    end
    title(sprintf('%.2f N, %.2f E (%s)', place(1), place(2), strjoin(names, ', ')), ...
          'interpreter', 'none');
  end

  print(fig, '-dpng', '-r100', png);
  if nargout < 5
    close(fig);
  end
end

function write_cut_copy(source, target, nbytes)
% Writes the first NBYTES bytes of SOURCE to TARGET, like a download that broke off.
  fid = fopen(source, 'r');
  if fid < 0
    error('read_many_days:sample', 'cannot open %s', source);
  end
  bytes = fread(fid, nbytes, 'uint8=>uint8');
  fclose(fid);
  fid = fopen(target, 'w');
  if fid < 0
    error('read_many_days:sample', 'cannot write %s', target);
  end
  fwrite(fid, bytes, 'uint8');
  fclose(fid);
end
