%INTERP  Vertical TEC at any time and place from IONEX maps.
%
%   [VTEC, RMS] = ionex.interp(M, T, LAT, LON)
%   [VTEC, RMS] = ionex.interp(M, T, LAT, LON, 'Method', METHOD, 'Height', H)
%
%   M is the struct that ionex.read returns. T is a datenum, LAT and LON are
%   degrees (longitudes -180..180 or 0..360, either works). T, LAT and LON are
%   arrays of one size, or scalars expanded against the others; VTEC and RMS
%   (TECU) have that size. RMS comes from the RMS maps; it is NaN when M has
%   none.
%
%   In space: the bivariate interpolation inside the grid cell that holds the
%   point, E = (1-p)(1-q) E00 + p(1-q) E10 + q(1-p) E01 + pq E11, p and q the
%   fractions of the cell along longitude and latitude. On a grid that covers
%   360 degrees (with or without a repeated seam column) longitudes wrap.
%
%   In time, for map epochs T(i) <= t <= T(i+1), METHOD is
%     'rotated'  (default) linear in time, each map turned with the Sun:
%                E(i) at LON + (t - T(i)) * 360 deg/day and E(i+1) at
%                LON + (t - T(i+1)) * 360 deg/day. The format's recommendation.
%     'linear'   linear in time, the maps as they are.
%     'nearest'  the map nearest in time; a tie goes to the later map.
%   A time within 1 ms of a map epoch (the first and the last included) is
%   that epoch and uses that map alone.
%
%   The result is NaN, never an extrapolation or a neighbour's value, outside
%   the maps' time span; beyond the grid's first or last latitude row (the
%   polar caps of a global map included) or a regional grid's longitudes; and
%   where a node it needs is NaN (a node whose weight is exactly 0 is not
%   needed). With 'rotated' each map is read at its turned longitude, which on
%   a regional grid must lie on the grid as well.
%
%   'Height' H (km) picks a layer of a 3-D map set: one of M.height. It is
%   needed when M holds more than one layer.
%
%   Wrong arguments raise ionex:Input, saying what was wrong.
%
%   Example: TEC above Zimmerwald through the day, every 5 minutes
%     M = ionex.read('codg0080.20i.Z');
%     t = M.time(1) + (0:5:1440) / 1440;
%     [vtec, rms] = ionex.interp(M, t, 46.88, 7.47);
%     plot(t, vtec, t, vtec + rms, ':', t, vtec - rms, ':'); datetick('x')
%
%   See also ionex.read, ionex.delay.
