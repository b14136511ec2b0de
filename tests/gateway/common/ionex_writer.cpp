// Synthetic IONEX files: 60 columns of data, then the record label, as products write them.

#include "ionex_writer.h"

#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace gwtest {

namespace {

// One header or map line: `data` padded to 60 columns, then `label`.
std::string record(const std::string& data, const std::string& label) {
    std::string line = data;
    if (line.size() < 60) line.append(60 - line.size(), ' ');
    return line + label + "\n";
}

// The data lines of one latitude row: at most 16 values to a line, each after a blank.
std::string rowLines(const std::vector<int>& row) {
    std::string text;
    for (size_t i = 0; i < row.size(); ++i) {
        char value[16];
        std::snprintf(value, sizeof value, " %4d", row[i]);
        text += value;
        if (i % 16 == 15 || i + 1 == row.size()) text += "\n";
    }
    return text;
}

// Data of a LAT1 / LAT2 / DLAT or LON1 / LON2 / DLON record.
// Returns the three values as text.
std::string gridRecord(float first, float last, float step) {
    return "  " + floatText(first) + " " + floatText(last) + " " + floatText(step);
}

// The lines of one TEC map block, from START OF TEC MAP to END OF TEC MAP.
// Returns them as text.
std::string mapText(const MapBlock& map, const IonexText& file) {
    const Grid& g = file.grid;
    const std::string lon = map.lon_record.empty()
                                ? floatText(g.lon1) + " " + floatText(g.lon2) + " " + floatText(g.dlon)
                                : map.lon_record;
    std::string text = record("  " + std::to_string(map.number), "START OF TEC MAP");
    if (map.has_epoch) text += record("  " + file.first_epoch, "EPOCH OF CURRENT MAP");
    for (size_t r = 0; r < map.rows.size(); ++r) {
        const float lat = g.lat1 + static_cast<float>(r) * g.dlat;
        text += record("  " + floatText(lat) + " " + lon + " 450.0", "LAT/LON1/LON2/DLON/H");
        text += rowLines(map.rows[r]);
    }
    return text + record("  " + std::to_string(map.number), "END OF TEC MAP");
}

}  // namespace

int rowCount(const Grid& grid) { return static_cast<int>((grid.lat2 - grid.lat1) / grid.dlat) + 1; }

int columnCount(const Grid& grid) { return static_cast<int>((grid.lon2 - grid.lon1) / grid.dlon) + 1; }

std::string floatText(float value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

MapBlock fullMap(int number, const Grid& grid, const std::function<int(int, int)>& value) {
    MapBlock map;
    map.number = number;
    map.rows.assign(static_cast<size_t>(rowCount(grid)), {});
    for (int r = 0; r < rowCount(grid); ++r) {
        for (int c = 0; c < columnCount(grid); ++c) map.rows[static_cast<size_t>(r)].push_back(value(r, c));
    }
    return map;
}

std::string render(const IonexText& file) {
    const Grid& g = file.grid;
    std::string text = record("     1.0            IONOSPHERE MAPS     GNSS", "IONEX VERSION / TYPE");
    text += record("  " + file.first_epoch, "EPOCH OF FIRST MAP");
    text += record("  " + file.interval, "INTERVAL");
    text += record("  " + file.num_maps, "# OF MAPS IN FILE");
    if (!file.map_dimension.empty()) text += record("  " + file.map_dimension, "MAP DIMENSION");
    text += record(gridRecord(g.lat1, g.lat2, g.dlat), "LAT1 / LAT2 / DLAT");
    text += record(gridRecord(g.lon1, g.lon2, g.dlon), "LON1 / LON2 / DLON");
    text += record("  " + file.exponent, "EXPONENT");
    text += file.extra_header;
    text += record("", "END OF HEADER");
    for (const MapBlock& map : file.maps) text += mapText(map, file);
    return text;
}

TempDir::TempDir() {
    path = testfiles::makeTempDir("gateway-test-");
}

TempDir::~TempDir() {
    testfiles::removeTree(path);
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
    const std::string file = path + "/" + name;
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file);
    return file;
}

}  // namespace gwtest
