// The TEC map reader: one map block per call, cut to the window and scaled.
#include "keyword_reader/map_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "keyword_reader/data_line.h"
#include "keyword_reader/value_parser.h"

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

// Every keyword the reader acts on holds capital letters and data lines hold none, so this
// one pass spares data lines the substring searches. Returns true when `line` holds a
// letter A to Z among its first `length` bytes.
bool mayHoldKeyword(const char* line, long length) {
    size_t n = static_cast<size_t>(length);
    size_t i = 0;
#ifdef __SSE2__
    const __m128i below_a = _mm_set1_epi8('A' - 1);
    const __m128i above_z = _mm_set1_epi8('Z' + 1);
    for (; i + 16 <= n; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + i));
        __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(bytes, below_a), _mm_cmplt_epi8(bytes, above_z));
        if (_mm_movemask_epi8(upper) != 0) return true;
    }
#endif
    for (; i < n; ++i) {
        if (line[i] >= 'A' && line[i] <= 'Z') return true;
    }
    return false;
}

bool contains(const char* line, const char* keyword) { return std::strstr(line, keyword) != nullptr; }

// Checks a row's longitude range against the header's, as floats; NaN never matches.
// Returns false on any difference, or when fewer than four numbers can be read.
bool longitudesMatch(const char* line, const IonexHeader& h) {
    // Latitude, first and last longitude, step; the height that follows is not needed.
    float numbers[4] = {};
    if (scanFloats(line, numbers, 4) < 4) return false;
    return numbers[1] == h.lon1 && numbers[2] == h.lon2 && numbers[3] == h.dlon;
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
        const long nlon = static_cast<long>(lon_index.last) - lon_index.first + 1;
        double* row_values = values + (st.row - lat_index.first) * nlon;
        st.column = readDataLine(line, st.column, lon_index, st.scale, row_values);
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
                 double* values, bool* ended_before_start) {
    MapState st;
    st.scale = scale;
    if (ended_before_start != nullptr) *ended_before_start = false;
    for (;;) {
        long length = 0;
        try {
            length = readLineLength(file, line, kLineBufferSize);
        } catch (...) {
            return kMapReadFailure;
        }
        if (length < 0) {
            if (ended_before_start != nullptr) *ended_before_start = st.phase == Phase::kAwaitingStart;
            return kMapRead;
        }
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
