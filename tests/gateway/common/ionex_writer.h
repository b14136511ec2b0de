// Writes small synthetic IONEX files for the gateway tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gwtest {

// Grid of the header's LAT1 / LAT2 / DLAT and LON1 / LON2 / DLON records.
struct Grid {
    float lat1 = 87.5f, lat2 = -87.5f, dlat = -2.5f;
    float lon1 = -180.0f, lon2 = 180.0f, dlon = 5.0f;
};

// Rows and columns of a grid whose steps lead from the first node to the last.
int rowCount(const Grid& grid);
int columnCount(const Grid& grid);

// One TEC map block. Each inner vector is a latitude row in file order; a row may be
// shorter than the grid's.
struct MapBlock {
    int number = 1;
    bool has_epoch = true;
    std::string lon_record;  // data of the LAT/LON1/LON2/DLON/H lines; "" means the grid's
    std::vector<std::vector<int>> rows;
};

// A whole file. Header values are text, so that tests can write what no product writes;
// an empty map_dimension omits that record.
struct IonexText {
    std::string first_epoch = "2016     4    28     0     0     0";
    std::string interval = "7200";
    std::string num_maps = "1";
    std::string map_dimension = "2";
    std::string exponent = "-1";
    Grid grid;
    std::string extra_header;  // raw lines placed before END OF HEADER
    std::vector<MapBlock> maps;
};

// A complete map: value(row, column) at every node of `grid`.
MapBlock fullMap(int number, const Grid& grid, const std::function<int(int, int)>& value);

// The file text of `file`.
std::string render(const IonexText& file);

// Text of a float as the header writes it.
std::string floatText(float value);

// A directory for test files, removed with everything in it when the object goes.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // Writes `text` to `name` inside the directory; returns the file's path.
    std::string write(const std::string& name, const std::string& text) const;
    std::string path;
};

}  // namespace gwtest
