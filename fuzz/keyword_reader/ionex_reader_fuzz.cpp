// Fuzz target of the IONEX readers: header (with the DCB block), window selection and the
// map reader, over arbitrary text, as the gateway drives them but without a host.
//
// Input layout: the file text, then 9 parameter bytes at the very end (an input shorter
// than that is all text, read with the whole-grid window):
//   p[0]      bits 0-1 window: 0 and 3 whole grid, 1 point, 2 area; bit 2 DCBs wanted;
//             bits 3-5 receiver name (table); bits 6-7 satellite count (table)
//   p[1..8]   four little-endian int16: lat0, lon0, lat1, lon1 in hundredths of a degree;
//             -32768 stands for NaN, 32767 for +infinity, -32767 for -infinity
// A point or area window is read a second time as the whole grid: the window's values and
// every map's result must be the same in both readings, as the map reader keeps the values
// of the window's nodes and nothing else changes with the window.
// Work is bounded: at most 64 maps and 2^21 values over all maps; bigger requests are
// skipped, as the gateway's size limits would refuse most.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "keyword_reader/header_reader.h"
#include "input/line_source.h"
#include "keyword_reader/map_reader.h"
#include "common/records.h"
#include "keyword_reader/window.h"

namespace {

constexpr const char* kTarget = "ionex_reader";
constexpr size_t kParameterBytes = 9;
constexpr long long kMaxMaps = 64;
constexpr long long kMaxWork = 1LL << 21;

constexpr const char* kReceivers[8] = {"", "abcd", "brux", "zimm", "algo", "abcdefghijklmn", "g",
                                       "12345m001"};
constexpr int kSatelliteCounts[4] = {32, 33, 40, 100};

enum class WindowKind { kWhole, kPoint, kArea };

// The request that the parameter bytes describe.
struct Request {
    WindowKind kind = WindowKind::kWhole;
    bool dcb_wanted = false;
    const char* receiver = "";
    int satellite_count = 32;
    ionex::Location loc0{0, 0};
    ionex::Location loc1{0, 0};
};

// Degrees from a little-endian int16 in hundredths, with three codes for non-finite values.
// Returns the float.
float degreesAt(const uint8_t* p) {
    const int16_t raw = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    if (raw == INT16_MIN) return std::numeric_limits<float>::quiet_NaN();
    if (raw == INT16_MAX) return std::numeric_limits<float>::infinity();
    if (raw == INT16_MIN + 1) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(raw) / 100.0f;
}

// Decodes the parameter bytes. Returns the request.
Request requestFrom(const uint8_t* p) {
    Request r;
    const uint8_t mode = p[0];
    r.kind = (mode & 3) == 1 ? WindowKind::kPoint : (mode & 3) == 2 ? WindowKind::kArea : WindowKind::kWhole;
    r.dcb_wanted = (mode & 4) != 0;
    r.receiver = kReceivers[(mode >> 3) & 7];
    r.satellite_count = kSatelliteCounts[mode >> 6];
    r.loc0 = {degreesAt(p + 1), degreesAt(p + 3)};
    r.loc1 = r.kind == WindowKind::kArea ? ionex::Location{degreesAt(p + 5), degreesAt(p + 7)} : r.loc0;
    return r;
}

// Number of nodes of an index window, or 0 when it is empty or reversed.
long long nodeCount(const ionex::Range<int>& index) {
    const long long n = static_cast<long long>(index.last) - index.first + 1;
    return n < 1 ? 0 : n;
}

// Checks what window selection promises for a window it accepted.
// Returns nothing; aborts on a broken promise.
void checkAcceptedWindow(WindowKind kind, const ionex::Range<int>& lat_index,
                         const ionex::Range<int>& lon_index, const ionex::Range<float>& lat_coord,
                         const ionex::Range<float>& lon_coord) {
    FUZZ_CHECK(kTarget, lat_index.first >= 0 && lon_index.first >= 0, "accepted window starts before node 0");
    if (kind == WindowKind::kWhole) {
        FUZZ_CHECK(kTarget, lat_index.first == 0 && lon_index.first == 0, "whole grid not from node 0");
        FUZZ_CHECK(kTarget, lat_index.last >= 0 && lon_index.last >= 0, "whole grid without nodes");
        return;
    }
    FUZZ_CHECK(kTarget, lat_index.last > lat_index.first && lon_index.last > lon_index.first,
               "located window narrower than two nodes");
    FUZZ_CHECK(kTarget, std::isfinite(lat_coord.first) && std::isfinite(lat_coord.last) &&
                            std::isfinite(lon_coord.first) && std::isfinite(lon_coord.last),
               "accepted located window with a non-finite coordinate");
}

// The windows of one reading.
struct Windows {
    ionex::Range<int> lat_index{};
    ionex::Range<int> lon_index{};
    ionex::Range<float> lat_coord{};
    ionex::Range<float> lon_coord{};
};

// What one reading of the file gave.
struct Reading {
    ionex::IonexHeader header;
    bool window_accepted = false;
    Windows windows;
    bool maps_read = false;       // false when the work bound skipped the maps
    std::vector<double> values;   // every map's window, one after the other
    std::vector<int> results;     // readIonexMap's result per map
};

// Reads the maps, each into a buffer of exactly the window's size, so that AddressSanitizer
// sees any write outside it. Returns nothing; fills `r.values` and `r.results`.
void readMaps(ionex::LineSource* file, Reading& r, char* line) {
    const long long window = nodeCount(r.windows.lat_index) * nodeCount(r.windows.lon_index);
    const long long maps = r.header.num_maps < kMaxMaps ? r.header.num_maps : kMaxMaps;
    if (window < 1 || window > kMaxWork || maps * window > kMaxWork) return;
    r.maps_read = true;
    const float scale = ionex::pow10(r.header.exponent);
    FUZZ_CHECK(kTarget, !std::isnan(scale), "pow10 gave NaN");
    int result = ionex::kMapRead;
    for (int j = 0; j < maps && result == ionex::kMapRead; ++j) {
        std::vector<double> values(static_cast<size_t>(window), std::numeric_limits<double>::quiet_NaN());
        result = ionex::readIonexMap(file, r.header, r.windows.lat_index, r.windows.lon_index, scale, j,
                                     line, values.data());
        FUZZ_CHECK(kTarget, result >= ionex::kMapRead && result <= ionex::kMapLonMismatch,
                   "map reader result " + std::to_string(result) + " without a failing read");
        r.values.insert(r.values.end(), values.begin(), values.end());
        r.results.push_back(result);
    }
}

// Reads the file at `path` as the gateway would, with the window `kind` (the locations of
// `req`). Returns the reading.
Reading readFile(const std::string& path, const Request& req, WindowKind kind) {
    Reading r;
    std::memset(&r.header, 0, sizeof r.header);
    ionex::LineSource* file = ionex::openLineSource(path.c_str());
    FUZZ_CHECK(kTarget, file != nullptr, "an existing file did not open");
    std::vector<char> line(ionex::kLineBufferSize, '\0');
    std::vector<double> satellite_dcb(static_cast<size_t>(req.satellite_count), 0.0);
    double receiver_dcb = 0.0;
    const bool ok = ionex::readIonexHeader(file, r.header, line.data(),
                                           req.dcb_wanted ? satellite_dcb.data() : nullptr,
                                           req.satellite_count, req.receiver,
                                           req.dcb_wanted ? &receiver_dcb : nullptr);
    FUZZ_CHECK(kTarget, ok, "header read failed without a failing read");
    FUZZ_CHECK(kTarget, std::memchr(r.header.version, '\0', sizeof r.header.version) != nullptr,
               "version text without its NUL");
    Windows& w = r.windows;
    r.window_accepted = ionex::process_locations(req.loc0, req.loc1, r.header, kind != WindowKind::kWhole,
                                                 w.lat_index, w.lon_index, w.lat_coord, w.lon_coord);
    if (r.window_accepted) {
        checkAcceptedWindow(kind, w.lat_index, w.lon_index, w.lat_coord, w.lon_coord);
        // The map reader is exercised whatever the map dimension: it must hold up on its own.
        readMaps(file, r, line.data());
    }
    ionex::closeLineSource(file);
    return r;
}

// Tells whether two doubles are the same value (NaN equals NaN). Returns true when they are.
bool sameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Checks that a located reading holds, for every map, the whole grid's values at its nodes
// and the same result. Returns nothing; aborts on a difference.
void compareWithWholeGrid(const Reading& located, const Reading& whole) {
    FUZZ_CHECK(kTarget, whole.window_accepted, "whole grid refused where a located window was not");
    if (!whole.maps_read) return;
    FUZZ_CHECK(kTarget, located.results == whole.results, "map results depend on the window");
    const ionex::Range<int>& lat = located.windows.lat_index;
    const ionex::Range<int>& lon = located.windows.lon_index;
    const long long nlon = nodeCount(lon);
    const long long window = nodeCount(lat) * nlon;
    const long long whole_nlon = nodeCount(whole.windows.lon_index);
    const long long whole_window = nodeCount(whole.windows.lat_index) * whole_nlon;
    for (size_t m = 0; m < located.results.size(); ++m) {
        for (long long row = lat.first; row <= lat.last; ++row) {
            for (long long col = lon.first; col <= lon.last; ++col) {
                const double a = located.values[m * window + (row - lat.first) * nlon + (col - lon.first)];
                const double b = whole.values[m * whole_window + row * whole_nlon + col];
                FUZZ_CHECK(kTarget, sameValue(a, b),
                           "map " + std::to_string(m + 1) + " node (" + std::to_string(row) + ", " +
                               std::to_string(col) + ") differs from the whole grid's");
            }
        }
    }
}

}  // namespace

// Runs the header, window and map readers over the input's text, and for a point or an
// area the whole grid as well. Returns 0 (libFuzzer's "input done"); a broken rule aborts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t kNoParameters[kParameterBytes] = {0};
    const bool has_parameters = size >= kParameterBytes;
    const size_t text_size = has_parameters ? size - kParameterBytes : size;
    const Request req = requestFrom(has_parameters ? data + text_size : kNoParameters);

    fuzz::InputFile file = fuzz::makeInputFile(data, text_size);
    if (file.fd < 0) return 0;
    const size_t descriptors = fuzz::openDescriptorCount();
    const Reading reading = readFile(file.path, req, req.kind);
    const bool compare = req.kind != WindowKind::kWhole && reading.maps_read;
    if (compare) compareWithWholeGrid(reading, readFile(file.path, req, WindowKind::kWhole));
    FUZZ_CHECK(kTarget, fuzz::openDescriptorCount() == descriptors, "descriptor left open");
    fuzz::closeInputFile(file);

    const size_t numbers = static_cast<size_t>(std::count_if(
        reading.values.begin(), reading.values.end(), [](double v) { return !std::isnan(v); }));
    fuzz::note(kTarget, std::to_string(reading.header.num_maps) + " maps in the header, window " +
                            (reading.window_accepted ? std::to_string(nodeCount(reading.windows.lat_index)) + "x" +
                                                           std::to_string(nodeCount(reading.windows.lon_index))
                                                     : std::string("refused")) +
                            ", " + std::to_string(reading.results.size()) + " maps read, " +
                            std::to_string(numbers) + " values" + (compare ? ", compared" : ""));
    return 0;
}
