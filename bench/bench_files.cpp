#include "bench_files.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace bench {

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes the gzip copy of `plain` at level 6, as gzip(1) does by default.
void writeGzip(const std::string& plain, const std::string& path) {
    gzFile f = gzopen(path.c_str(), "wb6");
    std::string text = readFile(plain);
    gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
    gzclose(f);
}

// Writes the .Z copy with the reference compress tool. Returns the path, or "" without it.
std::string writeCompress(const std::string& plain, const std::string& path) {
    std::string cmd = "compress -c -b 16 '" + plain + "' > '" + path + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
}

FileSet makeSet(const std::string& name, const std::string& plain, const std::string& dir) {
    FileSet s;
    s.name = name;
    s.plain = plain;
    s.gz = dir + "/" + name + ".gz";
    writeGzip(plain, s.gz);
    s.z = writeCompress(plain, dir + "/" + name + ".Z");
    s.text_bytes = readFile(plain).size();
    return s;
}

std::string record(const std::string& data, const char* label) {
    char line[128];
    std::snprintf(line, sizeof line, "%-60s%-20s\n", data.c_str(), label);
    return line;
}

// The text of the high-rate product: smooth TEC values with a little noise.
std::string highRateText() {
    std::string t;
    t += record("     1.0            IONOSPHERE MAPS     GNSS", "IONEX VERSION / TYPE");
    t += record("  2024    12    14     0     0     0", "EPOCH OF FIRST MAP");
    t += record("  2024    12    15     0     0     0", "EPOCH OF LAST MAP");
    t += record("   900", "INTERVAL");
    t += record("    97", "# OF MAPS IN FILE");
    t += record("     2", "MAP DIMENSION");
    t += record("   450.0 450.0   0.0", "HGT1 / HGT2 / DHGT");
    t += record("    90.0 -90.0  -1.0", "LAT1 / LAT2 / DLAT");
    t += record("  -180.0 180.0   1.0", "LON1 / LON2 / DLON");
    t += record("    -1", "EXPONENT");
    t += record("", "END OF HEADER");
    std::mt19937 rng(97);
    char buf[16];
    char epoch[48];
    for (int m = 1; m <= 97; ++m) {
        t += record("     " + std::to_string(m), "START OF TEC MAP");
        // Every 15 minutes from 2024-12-14 00:00 to 2024-12-15 00:00, as the header says.
        const int minutes = (m - 1) * 15;
        std::snprintf(epoch, sizeof epoch, "  2024    12    %2d    %2d    %2d     0", 14 + minutes / 1440,
                      minutes % 1440 / 60, minutes % 60);
        t += record(epoch, "EPOCH OF CURRENT MAP");
        for (int r = 0; r < 181; ++r) {
            std::snprintf(buf, sizeof buf, "%8.1f", 90.0 - r);
            t += record(std::string(buf) + "-180.0 180.0   1.0 450.0", "LAT/LON1/LON2/DLON/H");
            for (int c = 0; c < 361; ++c) {
                int v = 100 + (r * 3 + c + m * 5) % 400 + static_cast<int>(rng() % 20);
                std::snprintf(buf, sizeof buf, "%5d", v);
                t += buf;
                if (c % 16 == 15 || c == 360) t += '\n';
            }
        }
        t += record("     " + std::to_string(m), "END OF TEC MAP");
    }
    t += record("", "END OF FILE");
    return t;
}

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

FileSet dailyFiles(const std::string& dir) {
    std::string plain = dir + "/CODG0080.20I";
    writeFile(plain, readFile(std::string(IONEX_TEST_DATA) + "/CODG0080.20I"));
    return makeSet("CODG0080.20I", plain, dir);
}

FileSet highRateFiles(const std::string& dir) {
    std::string plain = dir + "/HIGH0010.24I";
    writeFile(plain, highRateText());
    return makeSet("HIGH0010.24I", plain, dir);
}

}  // namespace bench
