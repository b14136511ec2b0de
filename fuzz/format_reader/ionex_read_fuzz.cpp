// Fuzz target of the +ionex reader (readIonexFile): arbitrary bytes as a file, read with
// options taken from the input's last bytes.
//
// Input layout: the file's bytes, then 12 parameter bytes at the very end (an input shorter
// than that is all file, read with the default options):
//   p[0]      bits 0-2 kinds (tec, rms, height; 0 = all), bit 3 header only, bit 4 latitude
//             range, bit 5 longitude range, bit 6 time range, bit 7 also read as a series of
//             the file twice
//   p[1..8]   four little-endian int16: lat0, lat1, lon0, lon1 in hundredths of a degree
//   p[9]      bits 0-1: the day the time range starts from (table)
//   p[10]     int8: first time, hours from that day; p[11]: length of the range in hours
// Checked:
//   - the status is one of the enum's; a failure carries its status, a detail and a message;
//   - every kind present holds one map of the window per time, an absent kind none;
//   - a read with a latitude or longitude window holds, at each of its nodes, the values the
//     read of the whole grid holds there (only the memory budget may refuse the whole grid);
//   - a read with a time range holds, in order, the maps of the read without one whose epochs
//     lie in the range (only the memory budget may refuse the read without a range);
//   - a series of the file twice succeeds exactly when the file's read does, with one map
//     per epoch.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "fuzz_support.h"
#include "format_reader/ionex_reader.h"

namespace {

constexpr const char* kTarget = "ionex_read";
constexpr size_t kParameterBytes = 12;

double hundredths(const uint8_t* p) {
    return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)))) / 100.0;
}

// Decodes the options. Returns them; *series tells whether to read the file twice as a series.
ionex::ReadOptions optionsFrom(const uint8_t* p, bool* series) {
    static const ionex::IonexEpoch kDays[4] = {
        {2020, 1, 8, 0, 0, 0}, {2016, 4, 28, 0, 0, 0}, {2014, 2, 13, 0, 0, 0}, {2017, 1, 1, 0, 0, 0}};
    ionex::ReadOptions o;
    const uint8_t mode = p[0];
    if ((mode & 7) != 0) {
        for (int k = 0; k < ionex::kMapKindCount; ++k) o.kinds[k] = (mode >> k) & 1;
    }
    o.header_only = (mode & 8) != 0;
    o.has_lat_range = (mode & 16) != 0;
    o.lat_range[0] = hundredths(p + 1);
    o.lat_range[1] = hundredths(p + 3);
    o.has_lon_range = (mode & 32) != 0;
    o.lon_range[0] = hundredths(p + 5);
    o.lon_range[1] = hundredths(p + 7);
    o.has_time_range = (mode & 64) != 0;
    const double start = ionex::serialDayNumber(kDays[p[9] & 3]) + static_cast<int8_t>(p[10]) / 24.0;
    o.time_range[0] = start;
    o.time_range[1] = start + p[11] / 24.0;
    *series = (mode & 128) != 0;
    return o;
}

struct Result {
    ionex::ReadStatus status;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
};

Result read(const std::string& path, const ionex::ReadOptions& o) {
    Result r;
    r.status = ionex::readIonexFile(path, o, r.contents, r.failure);
    return r;
}

bool sameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Checks the status and the shape of a read. Returns nothing; aborts on a broken rule.
void checkShape(const Result& r, const ionex::ReadOptions& o) {
    const int st = static_cast<int>(r.status);
    FUZZ_CHECK(kTarget, st >= static_cast<int>(ionex::ReadStatus::kOk) && st <= static_cast<int>(ionex::ReadStatus::kOutOfMemory),
               "status outside the enum: " + std::to_string(st));
    if (r.status != ionex::ReadStatus::kOk) {
        FUZZ_CHECK(kTarget, r.failure.status == r.status, "failure record with another status");
        FUZZ_CHECK(kTarget, !r.failure.detail.empty() && r.failure.line_number >= 0, "failure without detail");
        FUZZ_CHECK(kTarget, !ionex::describeFailure(r.failure).empty(), "empty failure message");
        return;
    }
    const ionex::IonexContents& c = r.contents;
    const size_t map = c.lat.size() * c.lon.size() * c.height.size();
    for (int k = 0; k < ionex::kMapKindCount; ++k) {
        const ionex::MapSeries& m = c.maps[k];
        if (o.header_only || !m.present) {
            FUZZ_CHECK(kTarget, m.values.empty() && !m.present, "maps in a read that keeps none of this kind");
            continue;
        }
        FUZZ_CHECK(kTarget, o.kinds[k], "a kind present that was not asked for");
        FUZZ_CHECK(kTarget, m.values.size() == map * c.time.size(), "map storage does not match axes and times");
    }
    if (o.header_only) FUZZ_CHECK(kTarget, c.time.empty(), "times in a header-only read");
    FUZZ_CHECK(kTarget, c.files.size() == 1, "a single read names other than one file");
}

// Index of `x` in `axis`, or -1. Returns the index.
long indexOf(const std::vector<double>& axis, double x) {
    for (size_t i = 0; i < axis.size(); ++i) {
        if (axis[i] == x) return static_cast<long>(i);
    }
    return -1;
}

// Checks that the windowed read holds the whole read's values at its nodes.
void compareWindow(const Result& window, const Result& whole) {
    if (whole.status != ionex::ReadStatus::kOk) {
        FUZZ_CHECK(kTarget, whole.status == ionex::ReadStatus::kCorrupt &&
                                whole.failure.detail.find("text can hold") != std::string::npos,
                   "the whole grid failed where a window did not: " + ionex::describeFailure(whole.failure));
        return;
    }
    const ionex::IonexContents& a = window.contents;
    const ionex::IonexContents& b = whole.contents;
    FUZZ_CHECK(kTarget, a.time == b.time && a.height == b.height, "times or heights depend on the window");
    std::vector<long> lat(a.lat.size()), lon(a.lon.size());
    for (size_t i = 0; i < a.lat.size(); ++i) {
        lat[i] = indexOf(b.lat, a.lat[i]);
        FUZZ_CHECK(kTarget, lat[i] >= 0, "a window latitude that is not a node");
    }
    for (size_t j = 0; j < a.lon.size(); ++j) {
        lon[j] = indexOf(b.lon, a.lon[j]);
        FUZZ_CHECK(kTarget, lon[j] >= 0, "a window longitude that is not a node");
    }
    const size_t nmaps = a.time.size() * a.height.size();
    for (int k = 0; k < ionex::kMapKindCount; ++k) {
        FUZZ_CHECK(kTarget, a.maps[k].present == b.maps[k].present, "kinds present depend on the window");
        if (!a.maps[k].present) continue;
        for (size_t m = 0; m < nmaps; ++m) {
            for (size_t j = 0; j < a.lon.size(); ++j) {
                for (size_t i = 0; i < a.lat.size(); ++i) {
                    const double x = a.maps[k].values[i + a.lat.size() * (j + a.lon.size() * m)];
                    const double y = b.maps[k].values[static_cast<size_t>(lat[i]) + b.lat.size() * (static_cast<size_t>(lon[j]) + b.lon.size() * m)];
                    FUZZ_CHECK(kTarget, sameValue(x, y), "a window value differs from the whole grid's");
                }
            }
        }
    }
}

// Checks that the read with a time range holds the whole read's maps of its times, in order.
void compareTimes(const Result& ranged, const Result& whole) {
    if (whole.status != ionex::ReadStatus::kOk) {
        FUZZ_CHECK(kTarget, whole.status == ionex::ReadStatus::kCorrupt &&
                                whole.failure.detail.find("text can hold") != std::string::npos,
                   "the whole time span failed where a time range did not: " + ionex::describeFailure(whole.failure));
        return;
    }
    const ionex::IonexContents& a = ranged.contents;
    const ionex::IonexContents& b = whole.contents;
    const size_t map = a.lat.size() * a.lon.size() * a.height.size();
    FUZZ_CHECK(kTarget, a.lat == b.lat && a.lon == b.lon, "axes depend on the time range");
    size_t k = 0;
    for (size_t i = 0; i < a.time.size(); ++i, ++k) {
        while (k < b.time.size() && b.time[k] != a.time[i]) ++k;
        FUZZ_CHECK(kTarget, k < b.time.size(), "a time of the ranged read missing from the whole read");
        for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
            if (!a.maps[kind].present) continue;
            FUZZ_CHECK(kTarget, b.maps[kind].present, "a kind present only with a time range");
            for (size_t v = 0; v < map; ++v) {
                FUZZ_CHECK(kTarget, sameValue(a.maps[kind].values[i * map + v], b.maps[kind].values[k * map + v]),
                           "a map of the ranged read differs from the whole read's");
            }
        }
    }
}

}  // namespace

// Reads the input as a file with the options of its last bytes and checks the result.
// Returns 0 (libFuzzer's "input done"); a broken rule aborts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t kDefaults[kParameterBytes] = {0};
    const bool has_parameters = size >= kParameterBytes;
    const size_t file_size = has_parameters ? size - kParameterBytes : size;
    bool series = false;
    const ionex::ReadOptions options = optionsFrom(has_parameters ? data + file_size : kDefaults, &series);

    fuzz::InputFile file = fuzz::makeInputFile(data, file_size);
    if (file.fd < 0) return 0;
    const size_t descriptors = fuzz::openDescriptorCount();
    const Result r = read(file.path, options);
    checkShape(r, options);
    const bool windowed = (options.has_lat_range || options.has_lon_range) && !options.header_only;
    if (windowed && r.status == ionex::ReadStatus::kOk) {
        ionex::ReadOptions whole = options;
        whole.has_lat_range = whole.has_lon_range = false;
        compareWindow(r, read(file.path, whole));
    }
    if (options.has_time_range && !options.header_only && r.status == ionex::ReadStatus::kOk) {
        ionex::ReadOptions all_times = options;
        all_times.has_time_range = false;
        compareTimes(r, read(file.path, all_times));
    }
    if (series) {
        ionex::IonexContents c;
        ionex::ReadFailure f;
        const ionex::ReadStatus st = ionex::readIonexSeries({file.path, file.path}, options, c, f);
        FUZZ_CHECK(kTarget, (st == ionex::ReadStatus::kOk) == (r.status == ionex::ReadStatus::kOk) ||
                                (st == ionex::ReadStatus::kCorrupt && f.detail.find("text can hold") != std::string::npos),
                   "a series of the file twice and the file disagree");
        for (size_t k = 1; st == ionex::ReadStatus::kOk && k < c.time.size(); ++k) {
            FUZZ_CHECK(kTarget, c.time[k - 1] < c.time[k], "series times not increasing");
        }
    }
    FUZZ_CHECK(kTarget, fuzz::openDescriptorCount() == descriptors, "descriptor left open");
    fuzz::closeInputFile(file);
    fuzz::note(kTarget, "status " + std::to_string(static_cast<int>(r.status)) + ", " + std::to_string(r.contents.time.size()) +
                            " maps, " + r.failure.detail);
    return 0;
}
