// The TEC map reader: one map block per call, cut to the window and scaled.
#include "map_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "value_parser.h"

namespace ionex {

namespace {

enum class Phase { kAwaitingStart, kAwaitingEpoch, kInMap };

// What one call keeps while it reads a map.
struct MapState {
    Phase phase = Phase::kAwaitingStart;
    long row = -1;  // latitude row being read, counted over this map's LAT/LON lines
    bool row_in_window = false;
    long column = 0;  // values read so far in the current row, over all its data lines
    float scale = 1.0f;
};

// Every keyword the reader acts on holds an 'E' or an 'L'; data lines hold neither, so this
// cheap test spares them the substring searches.
bool mayHoldKeyword(const char* line, long length) {
    size_t n = static_cast<size_t>(length);
    return std::memchr(line, 'E', n) != nullptr || std::memchr(line, 'L', n) != nullptr;
}

bool contains(const char* line, const char* keyword) { return std::strstr(line, keyword) != nullptr; }

// Checks a row's longitude range against the header's, as floats; NaN never matches.
// Returns false on any difference, or when fewer than four numbers can be read.
bool longitudesMatch(const char* line, const IonexHeader& h) {
    float lat = 0, lon1 = 0, lon2 = 0, dlon = 0, height = 0;
    int n = std::sscanf(line, "%f %f %f %f %f", &lat, &lon1, &lon2, &dlon, &height);
    if (n < 4) return false;
    return lon1 == h.lon1 && lon2 == h.lon2 && dlon == h.dlon;
}

// Reads the values of one data line of a row inside the window. Tokens are found from one
// space to the next; a token that is not a number is passed over and not counted.
void readDataLine(const char* line, MapState& st, const Range<int>& lat_index,
                  const Range<int>& lon_index, double* values) {
    const long nlon = static_cast<long>(lon_index.last) - lon_index.first + 1;
    const long row_offset = (st.row - lat_index.first) * nlon;
    const char* p = line;
    for (;;) {
        if (*p == '\0') return;
        while (*p == ' ' || *p == '\t') ++p;
        float number = 0.0f;
        if (parseFloatToken(p, &number)) {
            if (st.column >= lon_index.first && st.column <= lon_index.last) {
                values[row_offset + (st.column - lon_index.first)] =
                    static_cast<double>(st.scale) * static_cast<double>(number);
            }
            ++st.column;
        }
        p = std::strchr(p, ' ');
        if (p == nullptr) return;
    }
}

// Handles one line in the map phase. Returns a MapResult, or -1 to go on reading.
int handleMapLine(const char* line, bool keyword_possible, const IonexHeader& header,
                  const Range<int>& lat_index, const Range<int>& lon_index, MapState& st,
                  double* values) {
    if (keyword_possible && contains(line, "EXPONENT")) {
        int exponent = 0;
        if (std::sscanf(line, "%d", &exponent) == 1) st.scale = pow10(exponent);
    } else if (keyword_possible && contains(line, "LAT/LON1/LON2/DLON/H")) {
        if (!longitudesMatch(line, header)) return kMapLonMismatch;
        ++st.row;
        st.row_in_window = st.row >= lat_index.first && st.row <= lat_index.last;
        st.column = 0;
    } else if (st.row_in_window) {
        readDataLine(line, st, lat_index, lon_index, values);
    }
    return -1;
}

}  // namespace

float pow10(int exponent) {
    if (exponent >= 10 || exponent <= -10) {
        return static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
    }
    int magnitude = exponent < 0 ? -exponent : exponent;
    int p = 1;
    for (int i = 0; i < magnitude; ++i) p *= 10;
    return exponent < 0 ? static_cast<float>(1.0 / p) : static_cast<float>(p);
}

int readIonexMap(LineSource* file, const IonexHeader& header, const Range<int>& lat_index,
                 const Range<int>& lon_index, float scale, int map_index, char* line,
                 double* values) {
    MapState st;
    st.scale = scale;
    for (;;) {
        long length = 0;
        try {
            length = readLineLength(file, line, kLineBufferSize);
        } catch (...) {
            return kMapReadFailure;
        }
        if (length < 0) return kMapRead;
        bool keyword_possible = mayHoldKeyword(line, length);
        if (keyword_possible && contains(line, "END OF TEC MAP")) return kMapRead;
        switch (st.phase) {
            case Phase::kAwaitingStart:
                if (keyword_possible && contains(line, "START OF TEC MAP")) {
                    int number = 0;
                    if (std::sscanf(line, "%d", &number) != 1 ||
                        static_cast<long>(number) != static_cast<long>(map_index) + 1) {
                        return kMapOutOfOrder;
                    }
                    st.phase = Phase::kAwaitingEpoch;
                }
                break;
            case Phase::kAwaitingEpoch:
                if (keyword_possible && contains(line, "EPOCH OF CURRENT MAP")) st.phase = Phase::kInMap;
                break;
            case Phase::kInMap: {
                int result = handleMapLine(line, keyword_possible, header, lat_index, lon_index, st,
                                           values);
                if (result >= 0) return result;
                break;
            }
        }
    }
}

}  // namespace ionex
