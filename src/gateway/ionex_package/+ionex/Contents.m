% +ionex: read and write IONEX ionosphere maps (plain, gzip or Unix compress files)
%
%   ionex.read  - every map (TEC, RMS, height), header record and DCB block
%                 of a file or a series of files, as one struct
%   ionex.info  - header records, grid and DCB blocks of a file, no maps
%   ionex.interp - vertical TEC (and RMS) at any time and place
%   ionex.delay  - slant ionospheric delay of a signal, its uncertainty,
%                  slant TEC and pierce points
%   ionex.plot   - a map drawn with coastlines, the subsolar point and
%                  marked points (base graphics, headless too)
%   ionex.write  - an IONEX file (plain or gzip) from such a struct: cut,
%                  joined, edited or your own maps
%
% Failures raise errors with identifiers ionex:NoFile, ionex:NotIonex,
% ionex:Corrupt, ionex:Truncated, ionex:GridMismatch, ionex:Input (and, from
% ionex.write, ionex:Exists and ionex:Write).
%
% Example
%   M = ionex.read('codg0080.20i.Z');
%   ionex.plot(M, M.time(1), 'Sun', true)
%
% See also vornakelstrid_p.
