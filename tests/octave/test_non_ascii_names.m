function test_non_ascii_names(ctx)
% Files in folders named beyond ASCII ("Zürich 2020", "測站") read through every entry:
% vornakelstrid_p, ionex.read with a name, a cell of names and a pattern, ionex.info; the
% names come back in M.files unchanged, and the values equal those of the bundled files.
  zurich = fullfile(ctx.tmp, 'Zürich 2020');
  station = fullfile(ctx.tmp, '測站');
  mkdir(zurich);
  mkdir(station);
  copyfile(fullfile(ctx.data, 'codg0080.20i.Z'), fullfile(zurich, 'cödg0080.20i.Z'));
  copyfile(fullfile(ctx.data, 'codg0090.20i.Z'), fullfile(station, 'codg0090.20i.Z'));
  copyfile(fullfile(ctx.data, 'codg0080.20i.gz'), fullfile(station, 'codg0080.20i.gz'));

  rows = {
    fullfile(zurich, 'cödg0080.20i.Z'), 'codg0080.20i.Z'
    fullfile(station, 'codg0090.20i.Z'), 'codg0090.20i.Z'
    fullfile(station, 'codg0080.20i.gz'), 'codg0080.20i.gz'
  };
  for k = 1:size(rows, 1)
    [name, original] = rows{k, :};
    [tec, epochs] = vornakelstrid_p(name);
    [tec0, epochs0] = vornakelstrid_p(fullfile(ctx.data, original));
    tcheck('vornakelstrid_p reads the renamed file', iscell(tec) && ~is_error_result(tec), name);
    tcheck_equal(['vornakelstrid_p: maps of ' original], tec, tec0);
    tcheck_equal(['vornakelstrid_p: epochs of ' original], epochs, epochs0);
    M = ionex.read(name);
    M0 = ionex.read(fullfile(ctx.data, original));
    tcheck_equal(['ionex.read: M.files of ' original], M.files, {name});
    tcheck_equal(['ionex.read: TEC of ' original], M.tec, M0.tec);
    info = ionex.info(name);
    tcheck('ionex.info reads the renamed file', isstruct(info), name);
  end

  both = ionex.read({fullfile(station, 'codg0090.20i.Z'), fullfile(zurich, 'cödg0080.20i.Z')});
  tcheck_equal('a cell of names: both in M.files', sort(both.files), ...
               sort({fullfile(zurich, 'cödg0080.20i.Z'); fullfile(station, 'codg0090.20i.Z')}));
  series = ionex.read(fullfile(station, 'codg00*0.20i.*'));
  tcheck_equal('a pattern in a folder beyond ASCII', series.files, ...
               {fullfile(station, 'codg0080.20i.gz'); fullfile(station, 'codg0090.20i.Z')});
end
