%READ  Read every map, header record and DCB block of IONEX files.
%
%   M = ionex.read(FILE)
%   M = ionex.read(FILES)
%   M = ionex.read(..., 'Maps', KINDS, 'Latitude', [LAT0 LAT1], ...
%                  'Longitude', [LON0 LON1], 'Time', [T0 T1], 'Progress', TF)
%
%   FILE is the name of an IONEX file (char row or string scalar), plain,
%   gzip or Unix compress (.Z), told apart by content. FILES is a cell array
%   of names, or a wildcard pattern such as 'codg*.20i.Z': the files are read
%   as one series, maps in time order, one map per epoch (where two files
%   hold the same epoch, such as a day's 24:00 map and the next day's 00:00
%   map, the later file's map is kept). Files on different grids are an error.
%
%   Options (names are case-insensitive)
%     'Maps'       'tec', 'rms', 'height_map' or a cell array of them: read
%                  only these kinds (default: every kind the file holds);
%                  a kind not asked for is [].
%     'Latitude'   [LAT0 LAT1] degrees: keep the smallest run of grid rows
%                  that encloses the range: a range between two rows keeps
%                  those two; a range reaching past the grid's edge keeps
%                  the rows within it (and the row enclosing its inner end).
%                  A range wholly outside the grid is an ionex:Input error
%                  that names the range and the grid's extent.
%     'Longitude'  [LON0 LON1] degrees, -180..180 or 0..360: as 'Latitude';
%                  LON0 > LON1 crosses the grid's seam and wraps around.
%     'Time'       [T0 T1] datenum: keep the maps whose epochs lie in it.
%                  A window that holds no epoch gives nlat-by-nlon-by-0
%                  maps of each kind the file holds and a 0-by-1 time.
%     'Progress'   true (default) or false: a series read that lasts more
%                  than two seconds shows "ionex.read: file k of n
%                  (s seconds)", updated in place after each file.
%
%   M is a struct with these fields
%     version, file_type, system, program, run_by, date   header text / number
%     description, comments   cell columns of lines (DCB comments: see dcb)
%     first_epoch, last_epoch datenum; for a series or a 'Time' window, the
%                             epochs of the first and last map returned
%                             ([] when none); else the header's
%     interval                seconds
%     num_maps                the header's number of maps; for a series or
%                             a 'Time' window, the number of maps returned
%     mapping_function, elevation_cutoff, observables, num_stations,
%     num_satellites, base_radius (km), map_dimension, exponent
%     other_records           n-by-2 cell {label, content} of other records
%     files                   cell column of the files read
%     lat, lon, height        grid axes (columns, in file order)
%     time                    nmaps-by-1 datenum, each map's own epoch
%     tec, rms, height_map    nlat-by-nlon-by-nmaps doubles (with a fourth
%                             dimension, height, for 3-D files); row =
%                             latitude, column = longitude; 9999 and
%                             unfilled nodes are NaN; [] for a kind the file
%                             lacks or 'Maps' leaves out
%     dcb                     struct array, one per DCB block: file, title,
%                             satellites (system, prn, bias, rms; ns),
%                             stations (system, name, domes, bias, rms),
%                             comments
%   A record the file lacks gives [] ('' for text).
%
%   Errors (identifiers)
%     ionex:NoFile        the file cannot be opened, a pattern matches nothing
%     ionex:NotIonex      no IONEX header; an empty file; a first line longer
%                         than a record (so /dev/zero ends at once)
%     ionex:Corrupt       a line that cannot be read (file, line, what); a
%                         line longer than a record can be
%     ionex:Truncated     ends in the header or before its last map
%     ionex:GridMismatch  files of a series on different grids
%     ionex:Input         wrong arguments (the message says which)
%     ionex:Interrupted   Ctrl-C during the read: within a second the file
%                         is closed and nothing is returned; the host then
%                         stops the statement or loop that made the call
%
%   Example
%     M = ionex.read('codg0080.20i.Z', 'Maps', {'tec', 'rms'});
%     imagesc(M.lon, M.lat, M.tec(:, :, 1)); axis xy; colorbar
%     title(datestr(M.time(1)))
%
%   See also ionex.info, ionex.
