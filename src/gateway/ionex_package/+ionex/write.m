%WRITE  Write IONEX maps to a file that other IONEX readers take.
%
%   ionex.write(M, FILE)
%   ionex.write(M, FILE, 'Exponent', E, 'Maps', {'tec','rms'}, 'Comment', {...}, 'Overwrite', true)
%   FILE = ionex.write(...)
%
%   M is a struct as ionex.read returns it: a whole file, a window
%   ('Latitude', 'Longitude', 'Time'), a series of files, or maps of your own.
%   M.lat, M.lon, M.time and M.tec are required; every other field may be
%   missing or empty and then takes the default below. FILE ending in .gz is
%   written gzip-compressed, any other name plain; a name ending in .Z is
%   refused (compress files are not written). The output is the file name,
%   so that ionex.read(ionex.write(M, FILE)) reads back what was written.
%
%   Fields of M:
%     lat, lon      grid nodes (degrees), uniformly spaced, in the order the
%                   rows and columns of the maps have (north-south or
%                   south-north, any longitude convention); a window across
%                   the antimeridian (170, 175, 180, -175, -170) is written
%                   as the grid 170..190 and reads back so
%     height        km, uniformly spaced; default 450 (one layer)
%     time          datenum of each map, increasing; written to the second
%                   (a map at 24:00 is written as the next day's 00:00)
%     tec, rms, height_map
%                   nlat-by-nlon-by-ntime(-by-nheight) doubles in TECU (km for
%                   height maps); NaN is written as 9999. rms and height_map
%                   may be [].
%     version 1.0, file_type 'I', system 'GPS', program 'ionex.write',
%     run_by '', date (now, UTC), description {}, comments {},
%     mapping_function 'NONE', elevation_cutoff 0, observables '',
%     num_stations and num_satellites (left out when empty),
%     base_radius 6371, exponent -1, other_records {}, dcb (none)
%                   header records and DCB blocks, as ionex.read names them;
%                   the defaults stand where M has none.
%   Derived from the maps, whatever M says: EPOCH OF FIRST and LAST MAP,
%   INTERVAL (the spacing of M.time when uniform, else 0), # OF MAPS IN FILE
%   (the number of TEC maps), MAP DIMENSION (3 with several heights) and the
%   grid records.
%
%   Values: each value is written as the integer nearest to
%   value / 10^exponent (halves away from zero) in a five-column field. One
%   exponent serves the whole file: M.exponent (else -1), or the next coarser
%   one when some value would not fit its field (or would round to 9999). A
%   map whose values are exact at a finer exponent, but not at the file's,
%   gets its own EXPONENT record. A map read from a file therefore reads back
%   bit for bit.
%
%   Options (names case-insensitive):
%     'Exponent'   the exponent of every map (-99..99); a value it cannot
%                  write is an ionex:Input error naming the map, the node and
%                  the value
%     'Maps'       the kinds to write: 'tec', 'rms', 'height_map' or a cell
%                  array of them ('tec' among them); default every kind M holds
%     'Comment'    text or cell array of texts (60 characters each) added as
%                  COMMENT records after M.comments
%     'Overwrite'  true to replace an existing FILE (default false)
%
%   The file is written to a temporary name in FILE's folder and renamed to
%   FILE when complete: a failure leaves no partial file, and an existing
%   FILE untouched.
%
%   Errors (err.identifier):
%     ionex:Input   M or an option cannot be written; the message names the
%                   field (M.time(3), M.tec, 'Exponent', ...) and says why
%     ionex:Exists  FILE exists and 'Overwrite' is not true
%     ionex:Write   the system refused; the message names FILE and gives the
%                   system's reason
%
%   Example: Europe from a day of global maps, written and read back
%     M = ionex.read('codg0080.20i.Z', 'Latitude', [35 70], 'Longitude', [-10 40]);
%     ionex.write(M, 'europe.20i', 'Comment', 'Europe cut from codg0080.20i');
%     E = ionex.read('europe.20i');
%     isequal(E.tec, M.tec)          % true
%
%   See also ionex.read, ionex.info.
