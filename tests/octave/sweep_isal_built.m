function built = sweep_isal_built(gz_file)
% Tells whether the module has ISA-L's inflater: asked for it through IONEX_INFLATER, a
% module without it cannot open the gzip file GZ_FILE (error 511).
  old = getenv('IONEX_INFLATER');
  setenv('IONEX_INFLATER', 'isal');
  r = vornakelstrid_p(gz_file);
  setenv('IONEX_INFLATER', old);
  built = ~(is_error_result(r) && strcmp(r{2}, 'Vornakelstrid:NoFile'));
end
