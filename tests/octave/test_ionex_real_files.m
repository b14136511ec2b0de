function test_ionex_real_files(ctx)
% ionex.read and ionex.info on real products: TEC maps as vornakelstrid_p reads them
% (transposed; it scales in single precision) and exactly the written integers times 0.1,
% RMS maps, each map's own epoch, the header records, the DCB tables of every layout, a
% series across a day boundary, and the north-up orientation of imagesc.
  d = ctx.data;
  check_maps(ctx, {'codg0080.20i.Z', 'CODG0080.20I', 'jplg0010.17i.gz', 'esag0080.20i.Z', ...
                   'CODG0440.13I', 'casg0010.99i.Z', 'codg0090.20i.Z'});
  check_header(fullfile(d, 'codg0080.20i.Z'));
  check_dcb(d);
  check_series(ctx);
  check_orientation(fullfile(d, 'codg0080.20i.Z'));
end

function check_maps(ctx, names)
  for n = 1:numel(names)
    f = fullfile(ctx.data, names{n});
    M = ionex.read(f);
    ref = ionex_text_maps(f, ctx.tmp);
    nmaps = numel(ref.tec);
    tcheck_equal([names{n} ': tec is nlat-by-nlon-by-nmaps'], size(M.tec), [71 73 nmaps]);
    tcheck_equal([names{n} ': rms has the shape of tec'], size(M.rms), size(M.tec));
    tcheck_equal([names{n} ': no height maps'], M.height_map, []);
    if ~isequal(size(M.tec), [71 73 nmaps]) || ~isequal(size(M.rms), size(M.tec))
      continue;
    end
    exact_tec = true; exact_rms = true;
    for k = 1:nmaps
      exact_tec = exact_tec && isequal(M.tec(:, :, k), ref.tec{k} / 10);
      exact_rms = exact_rms && isequal(M.rms(:, :, k), ref.rms{k} / 10);
    end
    tcheck([names{n} ': every TEC map is the written integers times 10^-1'], exact_tec);
    tcheck([names{n} ': every RMS map is the written integers times 10^-1'], exact_rms);
    tcheck([names{n} ': time is each map''s own epoch'], ...
           isequal(size(M.time), [nmaps 1]) && max(abs(M.time - ref.tec_time)) <= 1e-9, ...
           sprintf('%s vs %s', mat2str(M.time', 12), mat2str(ref.tec_time', 12)));
    tcheck([names{n} ': RMS map k carries the epoch of TEC map k'], isequal(ref.rms_time, ref.tec_time));
    tcheck_equal([names{n} ': lat'], M.lat, (87.5:-2.5:-87.5)');
    tcheck_equal([names{n} ': lon'], M.lon, (-180:5:180)');
    tcheck_equal([names{n} ': num_maps'], M.num_maps, nmaps);
    tcheck_equal([names{n} ': files'], M.files, {f});
    tcheck_equal([names{n} ': first and last epoch are the first and last map''s, to the bit'], ...
                 [M.first_epoch M.last_epoch], [M.time(1) M.time(end)]);
    V = vornakelstrid_p(f);
    if ~is_error_result(V) && numel(V) == nmaps
      worst = 0;
      for k = 1:nmaps
        a = M.tec(:, :, k); b = V{k}';
        worst = max(worst, max(abs(a(:) - b(:)) ./ max(abs(b(:)), 1e-3)));
      end
      tcheck([names{n} ': TEC maps agree with vornakelstrid_p''s to 1e-7 relative'], worst <= 1e-7, ...
             sprintf('largest relative difference %g', worst));
    end
    I = ionex.info(f);
    header = setdiff(fieldnames(I), {'files', 'num_maps', 'first_epoch', 'last_epoch'});
    same = cellfun(@(x) isequaln(I.(x), M.(x)), header);
    tcheck([names{n} ': ionex.info gives the header, axes and DCB of ionex.read'], all(same), ...
           strjoin(header(~same)', ', '));
    tcheck([names{n} ': ionex.info has no maps'], ~isfield(I, 'tec') && ~isfield(I, 'time'));
  end
end

function check_header(f)
  M = ionex.read(f);
  expect = {'version', 1; 'file_type', 'I'; 'program', 'ADDNEQ2 V5.3'; 'run_by', 'AIUB'; ...
          'date', '12-JAN-20 20:15'; 'first_epoch', datenum(2020, 1, 8); ...
          'last_epoch', datenum(2020, 1, 9); 'interval', 3600; 'num_maps', 25; ...
          'mapping_function', 'NONE'; 'elevation_cutoff', 10; ...
          'observables', 'One-way carrier phase leveled to code'; 'num_stations', 264; ...
          'num_satellites', 54; 'base_radius', 6371; 'map_dimension', 2; 'exponent', -1; ...
          'height', 450};
  for k = 1:rows(expect)
    tcheck_equal(['CODG0080 header: ' expect{k, 1}], M.(expect{k, 1}), expect{k, 2});
  end
  tcheck('CODG0080 header: system as written', any(strcmp(M.system, {'GNS', 'GNSS'})), M.system);
  tcheck('CODG0080 header: 35 description lines, a cell column', iscellstr(M.description) ...
         && isequal(size(M.description), [35 1]) ...
         && ~isempty(strfind(M.description{35}, 'www.aiub.unibe.ch/download/CODE/')) ...
         && ~isempty(strfind(M.description{1}, 'Global ionosphere maps (GIM)')), describe_value(M.description));
  tcheck('CODG0080 header: comments outside the DCB block only', iscellstr(M.comments) ...
         && columns(M.comments) == 1 && any(strncmp(M.comments, 'TEC/RMS values in 0.1 TECU', 26)) ...
         && ~any(strncmp(M.comments, 'Reference observables', 21)), describe_value(M.comments));
  tcheck('CODG0080 header: other_records is n-by-2', iscell(M.other_records) && columns(M.other_records) == 2);
end

function check_dcb(d)
  M = ionex.read(fullfile(d, 'CODG0440.13I'), 'Maps', 'tec');
  tcheck_equal('CODG0440: one DCB block', numel(M.dcb), 1);
  s = M.dcb(1).satellites;
  tcheck_equal('CODG0440: 56 satellites', size(s.prn), [56 1]);
  tcheck_equal('CODG0440: satellite systems a char column', size(s.system), [56 1]);
  tcheck_equal('CODG0440: GLONASS R01..R24', s.prn(s.system == 'R')', 1:24);
  tcheck_equal('CODG0440: 451 stations', numel(M.dcb(1).stations.bias), 451);
  tcheck('CODG0440: station names and DOMES in cell columns', iscellstr(M.dcb(1).stations.name) ...
         && isequal(size(M.dcb(1).stations.domes), [451 1]));
  tcheck('CODG0440: GPS and GLONASS station rows', all(ismember(unique(M.dcb(1).stations.system), 'GR')) ...
         && any(M.dcb(1).stations.system == 'R'));

  E = ionex.info(fullfile(d, 'esag0080.20i.Z'));
  tcheck_equal('ESA: stations written before satellites: 577 stations', numel(E.dcb(1).stations.rms), 577);
  tcheck_equal('ESA: and 53 satellites', numel(E.dcb(1).satellites.rms), 53);

  C = ionex.info(fullfile(d, 'casg0010.99i.Z'));
  tcheck_equal('CAS: two DCB blocks', size(C.dcb), [2 1]);
  if numel(C.dcb) == 2
    tcheck_equal('CAS: titles of the blocks', {C.dcb.title}, ...
                 {'Differential code biases [P1-P2]', 'Differential code biases [P1-C1]'});
    tcheck_equal('CAS: block 1, 27 satellites and 119 stations', ...
                 [numel(C.dcb(1).satellites.prn) numel(C.dcb(1).stations.bias)], [27 119]);
    tcheck_equal('CAS: block 2, 27 satellites and no station', ...
                 [numel(C.dcb(2).satellites.prn) numel(C.dcb(2).stations.bias)], [27 0]);
  end
  tcheck_equal('CAS: INTERVAL written as a real', C.interval, 7200);
  tcheck_equal('CAS: PGM / RUN BY / DATE one column off is still read', isempty(C.program), false);
  tcheck_equal('CAS: base radius', C.base_radius, 6371.4);

  J = ionex.info(fullfile(d, 'jplg0010.17i.gz'));
  s = J.dcb(1).satellites;
  tcheck_equal('JPL old layout: 32 satellites, blank system read as G', s.system', repmat('G', 1, 32));
  tcheck_equal('JPL old layout: PRN 1..32', s.prn', 1:32);
  tcheck_equal('JPL old layout: 196 stations', numel(J.dcb(1).stations.name), 196);
  tcheck('JPL old layout: no DOMES gives ''''', all(cellfun(@isempty, J.dcb(1).stations.domes)));
  tcheck('JPL old layout: station names of four letters', all(cellfun(@numel, J.dcb(1).stations.name) == 4));

  K = ionex.info(fullfile(d, 'codg0080.20i.Z'));
  b = K.dcb(1);
  tcheck_equal('CODE: satellites G01..G32', [b.satellites.system'; b.satellites.prn'], ...
               [repmat('G', 1, 32); 1:32]);
  no_domes = strcmp(b.stations.name, 'MNLS');
  tcheck('CODE: stations with DOMES numbers, MNLS without', all(cellfun(@numel, b.stations.domes(~no_domes)) == 9) ...
         && sum(no_domes) == 1 && isempty(b.stations.domes{no_domes}), describe_value(b.stations.domes(1:3)));
  tcheck_equal('CODE: the block''s 266 comments go to dcb', numel(b.comments), 266);
  tcheck('CODE: block file and title', strcmp(b.file, fullfile(d, 'codg0080.20i.Z')) && ~isempty(b.title), ...
         describe_value({b.file, b.title}));
end

function check_series(ctx)
  d = ctx.data;
  day8 = fullfile(d, 'codg0080.20i.Z'); day9 = fullfile(d, 'codg0090.20i.Z');
  A = ionex.read(day8); B = ionex.read(day9);
  S = ionex.read({day9, day8}, 'Progress', false);
  tcheck_equal('series: 25 + 25 maps share the 00:00 epoch: 49 maps', size(S.tec), [71 73 49]);
  tcheck('series: time in order, hourly', max(abs(S.time - datenum(2020, 1, 8, (0:48)', 0, 0))) <= 1e-9, ...
         mat2str(S.time', 12));
  if size(S.tec, 3) == 49
    tcheck_equal('series: the day boundary map is the later file''s', S.tec(:, :, 25), B.tec(:, :, 1));
    tcheck_equal('series: maps before it are the first day''s', S.tec(:, :, 1:24), A.tec(:, :, 1:24));
    tcheck_equal('series: RMS maps follow', S.rms(:, :, 26:49), B.rms(:, :, 2:25));
  end
  tcheck_equal('series: num_maps, first and last epoch describe the maps returned', ...
               [S.num_maps S.first_epoch S.last_epoch], [49 datenum(2020, 1, 8) datenum(2020, 1, 10)]);
  tcheck_equal('series: header of the earliest file', S.date, A.date);
  tcheck_equal('series: the DCB blocks of both files', numel(S.dcb), 2);
  tcheck_equal('series: files in time order', S.files, {day8; day9});
  copyfile(day8, ctx.tmp); copyfile(day9, ctx.tmp);
  P = ionex.read(fullfile(ctx.tmp, 'codg00[89]0.20i.Z'));
  tcheck_equal('series: a wildcard pattern reads the same maps', P.tec, S.tec);
  W = ionex.read(fullfile(ctx.tmp, 'codg*.20i.Z'), 'Time', datenum(2020, 1, 8, [23 25], 0, 0));
  tcheck('series: Time window across the day boundary', isequal(size(W.tec, 3), 3) ...
         && max(abs(W.time - datenum(2020, 1, 8, (23:25)', 0, 0))) <= 1e-9, mat2str(W.time', 12));
end

function check_orientation(f)
  M = ionex.read(f, 'Maps', 'tec');
  fig = figure('visible', 'off');
  h = imagesc(M.lon, M.lat, M.tec(:, :, 13));
  axis xy;
  yd = get(h, 'ydata');
  cdata = get(h, 'cdata');
  north = find(M.lat == max(M.lat));
  tcheck('imagesc(lon, lat, tec); axis xy: the northernmost row is drawn at the top', ...
         strcmp(get(gca, 'ydir'), 'normal') && yd(1) == max(M.lat) && isequal(cdata(1, :), M.tec(north, :, 13)), ...
         sprintf('ydata %s, ydir %s', mat2str(yd), get(gca, 'ydir')));
  xd = get(h, 'xdata');
  tcheck('... and west is on the left', xd(1) == min(M.lon), mat2str(xd));
  close(fig);
end
