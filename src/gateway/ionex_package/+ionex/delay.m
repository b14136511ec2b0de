%DELAY  Slant ionospheric delay of a signal from IONEX maps.
%
%   [D, SIGMA, STEC, IPP] = ionex.delay(M, T, RX, AZ, EL)
%   [...] = ionex.delay(..., 'Frequency', F, 'MappingFunction', MF, ...
%                       'Method', METHOD)
%
%   M is the struct that ionex.read returns. T is a datenum; AZ and EL are
%   the azimuth and elevation (degrees) of the satellite seen from the
%   receiver. T, AZ and EL are arrays of one size, or scalars expanded
%   against the others. RX is [lat lon] or [lat lon h] (degrees, metres):
%   one row for every query, or one row per query (with scalar T, AZ and EL
%   its rows set the number of queries). The single-layer model puts the
%   receiver on the sphere of the file's BASE RADIUS, so h does not enter.
%
%   The ray pierces the shell of radius R + H (R = M.base_radius, H the map
%   height M.height, both km) at the pierce point; with z = 90 deg - EL,
%     sin z' = R/(R+H) sin z,   psi = z - z',
%     lat_p  = asin(sin(lat) cos(psi) + cos(lat) sin(psi) cos(AZ)),
%     lon_p  = lon + asin(sin(psi) sin(AZ) / cos(lat_p))  (beyond the pole
%              when the ray passes over it).
%   MF, the mapping function, is
%     'slm'   (default) 1/cos z'
%     'mslm'  1/cos z'' with sin z'' = R/(R + 506.7 km) sin(0.9782 z)
%     'none'  1
%
%   Outputs, of the size of the queries
%     STEC   slant TEC (TECU): VTEC at the pierce point, at time T
%            (ionex.interp with METHOD, default 'rotated'), times MF
%     D      the delay in metres: 40.3e16 / F^2 * STEC; F in Hz, by default
%            GPS L1, 1575.42e6
%     SIGMA  the same with the RMS maps in place of the TEC maps (NaN when M
%            has none)
%     IPP    the pierce points [lat lon] (degrees, longitude -180..180), one
%            row per query (n-by-2-by-nheight for 3-D maps)
%   For 3-D maps the delays of all layers are summed, each at its own height.
%   EL <= 0 or EL > 90, or a NaN in RX, AZ or EL, gives NaN in every output.
%   A pierce point off the grid, or a time outside the maps (or NaN), gives
%   NaN in D, SIGMA and STEC only: the pierce point is geometry and needs no
%   map, so IPP is given there.
%
%   Wrong arguments raise ionex:Input, saying what was wrong.
%
%   Example: a satellite pass seen from Zimmerwald, with its uncertainty
%     M  = ionex.read('codg0080.20i.Z');
%     t  = M.time(1) + (8:0.1:14) / 24;
%     el = 10 + 70 * sin(pi * (t - t(1)) / (t(end) - t(1)));
%     az = linspace(30, 160, numel(t));
%     [d, sigma] = ionex.delay(M, t, [46.88 7.47 956], az, el);
%     plot(t, d, t, d + sigma, ':', t, d - sigma, ':'); datetick('x')
%     ylabel('L1 delay (m)')
%
%   See also ionex.read, ionex.interp.
