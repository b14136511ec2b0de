%INFO  Header records, grid and DCB blocks of an IONEX file, without its maps.
%
%   INFO = ionex.info(FILE)
%
%   FILE is the name of an IONEX file (char row or string scalar), plain,
%   gzip or Unix compress (.Z). INFO has the header and DCB fields of
%   ionex.read, and the grid of the whole file; no map is read:
%     version, file_type, system, program, run_by, date, description,
%     comments, first_epoch, last_epoch (datenum), interval (s), num_maps,
%     mapping_function, elevation_cutoff, observables, num_stations,
%     num_satellites, base_radius (km), map_dimension, exponent,
%     other_records (n-by-2 cell {label, content}), files,
%     lat, lon, height (grid axes), dcb (struct array of DCB blocks)
%   num_maps, first_epoch and last_epoch are the header's, as written.
%   A record the file lacks gives [] ('' for text).
%
%   Errors: ionex:NoFile, ionex:NotIonex, ionex:Corrupt, ionex:Truncated,
%   ionex:Input, ionex:Interrupted (Ctrl-C; see help ionex.read).
%
%   Example
%     I = ionex.info('codg0080.20i.Z');
%     fprintf('%d maps every %g s from %s\n', I.num_maps, I.interval, ...
%             datestr(I.first_epoch));
%     sat = I.dcb(1).satellites;   % system letters, PRN, bias and rms (ns)
%
%   See also ionex.read, ionex.
