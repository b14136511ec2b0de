#include "ionex_text.h"

#include <cmath>
#include <cstdio>

#include "test_files.h"

namespace ionextext {

namespace {

long count(double first, double last, double step) {
    return step == 0 ? 1 : std::lround((last - first) / step) + 1;
}

std::string format(const char* fmt, double a, double b, double c) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

std::string epoch(int map) {
    char buf[64];
    const int hours = (map - 1) * 2;
    std::snprintf(buf, sizeof buf, "%6d%6d%6d%6d%6d%6d", 2020, 1, 8 + hours / 24, hours % 24, 0, 0);
    return buf;
}

}  // namespace

long Grid::nlat() const { return count(lat1, lat2, dlat); }
long Grid::nlon() const { return count(lon1, lon2, dlon); }
long Grid::nhgt() const { return count(hgt1, hgt2, dhgt); }

std::string record(const std::string& content, const std::string& label) {
    std::string line = content;
    if (line.size() < 60) line.resize(60, ' ');
    return line + label + "\n";
}

std::string header(const Grid& g, int maps, const std::string& extra) {
    std::string h;
    h += record("     1.0            IONOSPHERE MAPS     GPS", "IONEX VERSION / TYPE");
    h += record("TESTGEN             TESTS               08-JAN-20 12:00", "PGM / RUN BY / DATE");
    h += record("A generated file", "DESCRIPTION");
    h += record(epoch(1), "EPOCH OF FIRST MAP");
    h += record(epoch(maps < 1 || maps > 100 ? 1 : maps), "EPOCH OF LAST MAP");
    h += record("  7200", "INTERVAL");
    h += record(format("%6.0f", maps, 0, 0), "# OF MAPS IN FILE");
    h += record("  COSZ", "MAPPING FUNCTION");
    h += record(format("%6.0f", g.nhgt() > 1 ? 3 : 2, 0, 0), "MAP DIMENSION");
    h += record(format("  %6.1f%6.1f%6.1f", g.hgt1, g.hgt2, g.dhgt), "HGT1 / HGT2 / DHGT");
    h += record(format("  %6.1f%6.1f%6.1f", g.lat1, g.lat2, g.dlat), "LAT1 / LAT2 / DLAT");
    h += record(format("  %6.1f%6.1f%6.1f", g.lon1, g.lon2, g.dlon), "LON1 / LON2 / DLON");
    h += record(format("%6.0f", g.exponent, 0, 0), "EXPONENT");
    h += extra;
    h += record("", "END OF HEADER");
    return h;
}

long defaultValue(int map, long lat, long lon, long hgt) { return map * 1000 + lat * 100 + lon * 3 + hgt * 7; }

std::string mapBlock(const std::string& kind, int map, const Grid& g, const ValueAt& value, const std::string& inside) {
    std::string b = record(format("%6.0f", map, 0, 0), "START OF " + kind + " MAP");
    b += record(epoch(map), "EPOCH OF CURRENT MAP");
    b += inside;
    for (long h = 0; h < g.nhgt(); ++h) {
        for (long i = 0; i < g.nlat(); ++i) {
            char row[64];
            std::snprintf(row, sizeof row, "  %6.1f%6.1f%6.1f%6.1f%6.1f", g.lat1 + i * g.dlat, g.lon1, g.lon2, g.dlon,
                          g.hgt1 + h * g.dhgt);
            b += record(row, "LAT/LON1/LON2/DLON/H");
            std::string line;
            for (long j = 0; j < g.nlon(); ++j) {
                char v[16];
                std::snprintf(v, sizeof v, "%5ld", value(map, i, j, h));
                line += v;
                if ((j + 1) % 16 == 0 || j + 1 == g.nlon()) {
                    b += line + "\n";
                    line.clear();
                }
            }
        }
    }
    b += record(format("%6.0f", map, 0, 0), "END OF " + kind + " MAP");
    return b;
}

std::string file(const Grid& g, int maps, bool rms, const ValueAt& value) {
    std::string f = header(g, maps);
    for (int m = 1; m <= maps; ++m) f += mapBlock("TEC", m, g, value);
    for (int m = 1; rms && m <= maps; ++m) f += mapBlock("RMS", m, g, value);
    return f + record("", "END OF FILE");
}

Read readPath(const std::string& path, const ionex::ReadOptions& options) {
    Read r;
    r.status = ionex::readIonexFile(path, options, r.contents, r.failure);
    return r;
}

Read readText(const std::string& name, const std::string& text, const ionex::ReadOptions& options) {
    return readPath(testfiles::writeTemp(name, text), options);
}

double at(const ionex::IonexContents& c, int kind, long lat, long lon, long map, long hgt) {
    const long nlat = static_cast<long>(c.lat.size()), nlon = static_cast<long>(c.lon.size());
    const long nhgt = static_cast<long>(c.height.size());
    const size_t i = static_cast<size_t>(lat + nlat * (lon + nlon * (hgt + nhgt * map)));
    const std::vector<double>& v = c.maps[kind].values;
    return i < v.size() ? v[i] : -1e300;
}

}  // namespace ionextext
