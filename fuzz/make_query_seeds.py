#!/usr/bin/env python3
"""Writes the seed corpus of the ionex_query fuzz target (fuzz/corpus/ionex_query/): small
IONEX files that read without error (global with a seam, regional west-going, south to north,
two height layers, 9999 nodes, a damaged struct), each followed by the 83 parameter bytes of
ionex_query_fuzz.cpp.
The seeds are committed; run this only to renew them."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "ionex_query")


def rec(content, label):
    return "%-60s%s\n" % (content, label)


def ionex(lat, lon, heights, maps=3, nan_node=None):
    """IONEX text: lat/lon/heights are (first, last, step); `maps` maps an hour apart."""
    nh = 1 if heights[2] == 0 else int(round((heights[1] - heights[0]) / heights[2])) + 1
    nlat = int(round((lat[1] - lat[0]) / lat[2])) + 1
    nlon = int(round((lon[1] - lon[0]) / lon[2])) + 1
    t = rec("     1.0            IONOSPHERE MAPS     GPS", "IONEX VERSION / TYPE")
    t += rec("  2020     1     8     0     0     0", "EPOCH OF FIRST MAP")
    t += rec("  2020     1     8 %5d     0     0" % (maps - 1), "EPOCH OF LAST MAP")
    t += rec("  3600", "INTERVAL")
    t += rec("%6d" % maps, "# OF MAPS IN FILE")
    t += rec("  COSZ", "MAPPING FUNCTION")
    t += rec("  6371.0", "BASE RADIUS")
    t += rec("%6d" % (3 if nh > 1 else 2), "MAP DIMENSION")
    t += rec("  %6.1f%6.1f%6.1f" % heights, "HGT1 / HGT2 / DHGT")
    t += rec("  %6.1f%6.1f%6.1f" % lat, "LAT1 / LAT2 / DLAT")
    t += rec("  %6.1f%6.1f%6.1f" % lon, "LON1 / LON2 / DLON")
    t += rec("    -1", "EXPONENT")
    t += rec("", "END OF HEADER")
    for kind, scale in (("TEC", 1), ("RMS", 10)):
        for m in range(maps):
            t += rec("%6d" % (m + 1), "START OF %s MAP" % kind)
            t += rec("  2020     1     8 %5d     0     0" % m, "EPOCH OF CURRENT MAP")
            for h in range(nh):
                for i in range(nlat):
                    la = lat[0] + i * lat[2]
                    t += rec("  %6.1f%6.1f%6.1f%6.1f%6.1f" % (la, lon[0], lon[1], lon[2], heights[0] + h * heights[2]),
                             "LAT/LON1/LON2/DLON/H")
                    vals = []
                    for j in range(nlon):
                        v = (100 + 10 * m + 7 * i + (j % (nlon - 1 if nlon > 1 else 1)) ** 2 + 50 * h) // scale
                        if nan_node == (m, i, j) and kind == "TEC":
                            v = 9999
                        vals.append(v)
                    for k in range(0, nlon, 16):
                        t += "".join("%5d" % v for v in vals[k:k + 16]) + "\n"
            t += rec("%6d" % (m + 1), "END OF %s MAP" % kind)
    t += rec("", "END OF FILE")
    return t


def params(control, code, count, queries):
    b = bytes([control, code, count])
    for q in queries:
        b += struct.pack("<5h", *q)
    b += b"\0" * (83 - len(b))
    return b


def main():
    os.makedirs(OUT, exist_ok=True)
    q = [(30, 4000, 500, 0, 3000), (90, 0, 0, 4500, 9000), (0, 8750, 8990, 9000, 1000), (-32768, 0, 0, 0, 3000),
         (120, -3000, -9000, 13500, 500), (60, 4688, 373, 18000, 4500), (1, -8750, 17950, 0, 100), (119, 0, -9000, 0, 0)]
    seeds = {
        "global_seam_rotated": (ionex((80.0, -80.0, -40.0), (-180.0, 180.0, 90.0), (450.0, 450.0, 0.0)), params(0x00, 0, 7, q)),
        "global_0_360_linear_mslm": (ionex((80.0, -80.0, -40.0), (0.0, 270.0, 90.0), (450.0, 450.0, 0.0)), params(0x25, 0, 7, q)),
        "regional_west_nearest_none": (ionex((30.0, 60.0, 10.0), (40.0, -10.0, -5.0), (350.0, 350.0, 0.0)), params(0x2a, 0, 5, q)),
        "nan_node_linear": (ionex((10.0, -10.0, -10.0), (-20.0, 20.0, 10.0), (450.0, 450.0, 0.0), nan_node=(0, 1, 2)),
                            params(0xc1, 120, 7, q)),
        "layers_height": (ionex((20.0, -20.0, -20.0), (-180.0, 180.0, 120.0), (200.0, 400.0, 200.0)), params(0x50, 1, 7, q)),
        "damaged_lat_reversed": (ionex((80.0, -80.0, -40.0), (-180.0, 180.0, 90.0), (450.0, 450.0, 0.0)),
                                 params(0x00, 0, 7 | 1 << 3, q)),
        "damaged_nan_radius": (ionex((80.0, -80.0, -40.0), (-180.0, 180.0, 90.0), (450.0, 450.0, 0.0)),
                               params(0x00, 0, 7 | 5 << 3, q)),
        "layers_no_height": (ionex((20.0, -20.0, -20.0), (-180.0, 180.0, 120.0), (200.0, 400.0, 200.0)), params(0x01, 0, 3, q)),
    }
    for name, (text, p) in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(text.encode() + p)


if __name__ == "__main__":
    main()
