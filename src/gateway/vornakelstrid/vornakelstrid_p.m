%VORNAKELSTRID_P  Read global ionosphere TEC maps from an IONEX file (v2.2).
%
%   Reads a two-dimensional IONEX file, stored as plain text, gzip (.gz) or
%   Unix compress (.Z), and returns its TEC maps, their epochs, the grid
%   axes and the differential code biases (DCBs) of its auxiliary block.
%
%   Call forms
%     TEC = vornakelstrid_p(FILE)                      whole grid
%     TEC = vornakelstrid_p(FILE, LOC)                 one point
%     TEC = vornakelstrid_p(FILE, LOC0, LOC1)          an area
%     ... = vornakelstrid_p(FILE, LOC, RECEIVER)
%     ... = vornakelstrid_p(FILE, LOC, RECEIVER, NSAT)
%     ... = vornakelstrid_p(FILE, LOC0, LOC1, RECEIVER)
%     ... = vornakelstrid_p(FILE, LOC0, LOC1, RECEIVER, NSAT)
%     [TEC, EPOCHS, LAT, LON, SATDCB, RXDCB] = vornakelstrid_p(...)
%
%   Inputs
%     FILE      file name (char row).
%     LOC, LOC0, LOC1
%               [latitude longitude] in degrees; the first two elements of a
%               real numeric array are used (single and integer classes are
%               converted). Longitudes may be given from -180 to 180 or from
%               0 to 360: they are moved into the file's convention. An area
%               may be given by any two opposite corners.
%     RECEIVER  station name whose DCB goes to RXDCB (case does not matter,
%               at most 14 characters are used).
%     NSAT      length of SATDCB, at least 32 (smaller values give 32).
%               With LOC, RECEIVER, NSAT a fifth input is ignored.
%
%   Outputs
%     TEC     Whole grid or area: NUM_MAPS-by-1 cell; cell k is the
%             nlon-by-nlat matrix of map k: row i is longitude LON(i),
%             column j is latitude LAT(j) (each column one latitude row of
%             the map). Point: 1-by-NUM_MAPS row, the bilinear value of each
%             map at LOC. Values in TECU: the numbers of the file times
%             10^EXPONENT, i.e. in the file's unit of 10^16 electrons/m^2.
%             NaN where the file gives no value (short or missing maps).
%     EPOCHS  NUM_MAPS-by-1 column of map epochs as datenum serial days,
%             from the header's first epoch and interval.
%     LAT     Whole grid or area: nlat-by-1 column of latitudes (degrees) of
%             the window's nodes, in file order (usually north to south).
%             Point: scalar, the requested latitude moved to the nearest
%             node of a 0.1-degree lattice anchored at the enclosing grid
%             node (TEC is nevertheless interpolated at LOC itself).
%     LON     The same for longitudes: nlon-by-1 column, or a scalar.
%     SATDCB  1-by-NSAT row of satellite DCBs as written in the file
%             (nanoseconds); element n belongs to PRN n, 0 where the file
%             gives none. GLONASS (R) entries are not read.
%     RXDCB   scalar DCB of station RECEIVER as written in the file, or 0.
%
%   Errors
%     No MATLAB/Octave error is raised. On failure TEC is a 2-by-1 cell
%     {message; identifier}; outputs made before the failure are kept, the
%     others are returned as [] (SATDCB and RXDCB are made before the file is
%     opened). Messages (n = number, text as returned):
%       16 Vornakelstrid:Input   "16: vornakelstrid_p v2.2? At least one of
%                                five inputs required: ..." (cut at 127
%                                characters)
%       17 Vornakelstrid:Output  "17: vornakelstrid_p v2.2? Too many output
%                                arguments."
%       18 Vornakelstrid:Input   "18: vornakelstrid_p v2.2? First input must
%                                be string: <IONEX file>." (or "Could not
%                                convert first input into a string.")
%       19 Vornakelstrid:Input   "19: vornakelstrid_p v2.2? Location must be
%                                a vector of latitude and longitude."
%       20 Vornakelstrid:Input   "20: vornakelstrid_p v2.2? Could not convert
%                                second input into a string"
%       Vornakelstrid:NoFile     "511: Input file 'FILE' does not exist"
%       Vornakelstrid:ReadError  "508: Error occured while reading header in
%                                'FILE'"
%                                "508: Unknown error occurred while
%                                processing 'FILE'" (also after Ctrl-C,
%                                which ends any read within a second; the
%                                host then stops the calling statement)
%       Vornakelstrid:NoIonexFile
%                                "512: Input file 'FILE' does not contain a
%                                two-dimensional IONEX map or compression
%                                used is not GZIP"
%                                "512: Given latitude and longitude range
%                                does not exist in the IONEX file 'FILE'"
%                                "512: Maps are not given in order in the
%                                IONEX file 'FILE'"
%                                "512: Longitude range in one of the maps
%                                does not match the range given in the file
%                                header of 'FILE'"
%     Messages longer than 127 characters are cut.
%
%   Example
%     [tec, t, lat, lon, sat, rx] = vornakelstrid_p('codg0080.20i.Z', ...
%                                                    [47.4 8.5], 'zimm');
%     if iscell(tec), error(tec{2}, '%s', tec{1}); end
%     plot(t, tec); datetick('x');
%
%   vornakelstrid_p v2.2
