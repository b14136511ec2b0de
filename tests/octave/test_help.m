function test_help(ctx)
% `help vornakelstrid_p` prints the usage text that lies beside the module, while a call
% still reaches the MEX module.
  text = evalc('help vornakelstrid_p');
  needles = {'vornakelstrid_p(FILE, LOC0, LOC1, RECEIVER, NSAT)', 'TECU', 'datenum', ...
             'nlon-by-nlat', 'Vornakelstrid:Input', 'Vornakelstrid:Output', 'Vornakelstrid:NoFile', ...
             'Vornakelstrid:ReadError', 'Vornakelstrid:NoIonexFile', 'v2.2'};
  for k = 1:numel(needles)
    tcheck(['help mentions ' needles{k}], ~isempty(strfind(text, needles{k})), text(1:min(end, 200)));
  end
  tcheck('help file lies beside the module', exist(fullfile(ctx.module_dir, 'vornakelstrid_p.m'), 'file') == 2);
  r = vornakelstrid_p();
  tcheck('a call reaches the module, not the help file', is_error_result(r), describe_value(r));
end
