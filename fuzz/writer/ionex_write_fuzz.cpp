// Fuzz target of the writer: a map set built from the fuzz input is written, read back with
// the +ionex reader, and compared with what was written.
//
// Input layout, read front to back by a byte reader (missing bytes read as zeros):
//   mode byte: bit 0 "hostile" (fields may be broken: non-finite or unsorted axes and times,
//   long or unprintable text, values beyond any field, a chosen exponent that cannot hold
//   them); bit 1 a chosen exponent; bit 2 gzip is not used here (text only)
//   then the grid (sizes, first nodes and steps from tables), the epochs, the header's
//   exponent, text fields, DCB lines and one code byte per map value.
// Rules checked:
//   - a well-formed map set (hostile bit clear) is always written;
//   - whatever is written reads back: the same axes, epochs, text and DCB lines, and every
//     value as the IONEX integer of its map's exponent gives it (NaN as NaN);
//   - every line of the text is at most 80 columns, none is blank, and the labels stand in
//     columns 61-80;
//   - a refusal names a field.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"
#include "fuzz_support.h"
#include "writer/ionex_text_writer.h"
#include "writer/ionex_writer.h"
#include "writer/value_encoding.h"
#include "writer/write_plan.h"

namespace {

constexpr const char* kTarget = "ionex_write";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The fuzz input as a stream of bytes; past its end every byte is 0.
struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return at < size ? data[at++] : 0; }
    uint16_t next16() { return static_cast<uint16_t>(next() | (next() << 8)); }
    double nextDouble() {
        uint64_t bits = 0;
        for (int k = 0; k < 8; ++k) bits |= static_cast<uint64_t>(next()) << (8 * k);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
};

const double kFirstNodes[8] = {87.5, -87.5, 0.0, 45.25, -180.0, 0.0, 12.5, -60.0};
const double kSteps[8] = {-2.5, 2.5, 5.0, -1.0, 0.25, 0.5, -5.0, 10.0};
const double kHeights[4] = {450.0, 100.0, 350.0, 0.0};

// A text of up to `limit` characters: printable ASCII unless `hostile`.
std::string text(Bytes& b, size_t limit, bool hostile) {
    const size_t n = b.next() % (limit + 1);
    std::string s;
    for (size_t k = 0; k < n; ++k) {
        const uint8_t c = b.next();
        s.push_back(hostile ? static_cast<char>(c) : static_cast<char>(' ' + c % 95));
    }
    // A well-formed field has no blank at either end (the reader trims them).
    if (!hostile) {
        while (!s.empty() && s.back() == ' ') s.pop_back();
        while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    }
    return s;
}

// An axis of `n` nodes from a first node and a step of the tables.
std::vector<double> axis(Bytes& b, size_t n) {
    const uint8_t code = b.next();
    const double first = kFirstNodes[code % 8], step = kSteps[(code >> 3) % 8];
    std::vector<double> v(n);
    for (size_t k = 0; k < n; ++k) v[k] = first + static_cast<double>(k) * step;
    return v;
}

// One map value from a code byte: mostly exact at `exponent`, sometimes NaN, an arbitrary
// double, or (hostile) beyond every field.
double value(Bytes& b, int exponent, bool hostile) {
    const uint8_t code = b.next();
    switch (code % 16) {
        case 0: return kNaN;
        case 1: return hostile ? (code & 16 ? std::numeric_limits<double>::infinity() : 1e300) : 0.0;
        case 2: {
            const double v = b.nextDouble();
            return hostile || std::isnan(v) || std::fabs(v) < 1e4 ? v : 1.0;
        }
        case 3: return (static_cast<double>(b.next16()) - 32768.0) / 7.0;
        default: {
            const long n = static_cast<long>(b.next16() % 20000) - 9999;
            return ionex::decodeValue(n == ionex::kMissingValue ? 0 : n, exponent);
        }
    }
}

// `s` without its trailing blanks, as the reader gives text back. Returns it.
std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The same for each line of a list. Returns the list.
std::vector<std::string> trimmed(std::vector<std::string> lines) {
    for (std::string& line : lines) line = trimmed(line);
    return lines;
}

// Tells whether some node of `axis` needs more than the six columns of the grid records
// (one decimal, or more where they fit): "-179.75" does. Returns true if so.
bool widerThanSix(const std::vector<double>& axis) {
    for (const double v : axis) {
        char text[64];
        std::snprintf(text, sizeof text, "%.4f", v);
        std::string s = text;
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.push_back('0');
        if (s.size() > 6) return true;
    }
    return false;
}

// Tells whether two doubles are the same value (NaN equal to NaN).
bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Checks each line of the text by its columns.
void checkLines(const std::string& t) {
    size_t start = 0;
    while (start < t.size()) {
        const size_t end = t.find('\n', start);
        FUZZ_CHECK(kTarget, end != std::string::npos, "text does not end with a line end");
        const size_t length = end - start;
        FUZZ_CHECK(kTarget, length > 0 && length <= 80, "a blank line or one longer than 80 columns");
        // A data line holds five-column values only; any other line is a record with its label
        // from column 61 (or 62, for a date of 21 characters).
        const bool data = length % 5 == 0 && t.find_first_not_of(" -0123456789", start) >= end;
        if (!data) {
            FUZZ_CHECK(kTarget, length > 61 && (t[start + 60] != ' ' || t[start + 61] != ' '), "a label not in columns 61-80");
        }
        start = end + 1;
    }
}

// Reads the text back and compares it with the input and plan.
void compare(const ionex::WriteInput& in, const ionex::WritePlan& plan, const std::string& t) {
    fuzz::InputFile file = fuzz::makeInputFile(reinterpret_cast<const uint8_t*>(t.data()), t.size());
    if (file.fd < 0) return;
    ionex::IonexContents c;
    ionex::ReadFailure failure;
    const ionex::ReadStatus st = ionex::readIonexFile(file.path, ionex::ReadOptions{}, c, failure);
    fuzz::closeInputFile(file);
    FUZZ_CHECK(kTarget, st == ionex::ReadStatus::kOk, "written text does not read: " + ionex::describeFailure(failure));
    FUZZ_CHECK(kTarget, c.lat.size() == in.lat.size() && c.lon.size() == in.lon.size() && c.height == plan.heights,
               "axes differ in size or heights");
    for (size_t k = 0; k < in.lat.size(); ++k) FUZZ_CHECK(kTarget, std::fabs(c.lat[k] - in.lat[k]) <= 1e-6, "latitude differs");
    for (size_t k = 0; k < in.lon.size(); ++k) FUZZ_CHECK(kTarget, std::fabs(c.lon[k] - in.lon[k]) <= 1e-6, "longitude differs");
    FUZZ_CHECK(kTarget, c.time.size() == in.time.size(), "map count differs");
    for (size_t k = 0; k < in.time.size(); ++k) FUZZ_CHECK(kTarget, std::fabs(c.time[k] - in.time[k]) <= 0.5 / 86400 + 1e-9, "epoch differs");
    FUZZ_CHECK(kTarget, c.header.exponent && *c.header.exponent == plan.file_exponent, "file exponent differs");
    FUZZ_CHECK(kTarget, c.header.num_maps && *c.header.num_maps == static_cast<long>(in.time.size()), "# OF MAPS differs");
    FUZZ_CHECK(kTarget, c.header.comments == trimmed(in.header.comments) && c.header.description == trimmed(in.header.description),
               "comments or description differ");
    // A file without program and run-by names the writer.
    const std::string program = in.header.program.empty() && in.header.run_by.empty() ? "ionex.write" : trimmed(in.header.program);
    FUZZ_CHECK(kTarget, c.header.program == program && c.header.run_by == trimmed(in.header.run_by), "PGM / RUN BY differ");
    FUZZ_CHECK(kTarget, c.dcb.size() == in.dcb.size(), "DCB block count differs");
    for (size_t b = 0; b < in.dcb.size(); ++b) {
        const ionex::DcbBlock &x = in.dcb[b], &y = c.dcb[b];
        FUZZ_CHECK(kTarget, x.satellites.size() == y.satellites.size() && x.stations.size() == y.stations.size(), "DCB lines lost");
        for (size_t k = 0; k < x.satellites.size(); ++k) {
            FUZZ_CHECK(kTarget, x.satellites[k].prn == y.satellites[k].prn && x.satellites[k].system == y.satellites[k].system &&
                                    x.satellites[k].bias == y.satellites[k].bias, "satellite line differs");
        }
        for (size_t k = 0; k < x.stations.size(); ++k) {
            FUZZ_CHECK(kTarget, x.stations[k].name == y.stations[k].name && x.stations[k].domes == y.stations[k].domes &&
                                    x.stations[k].rms == y.stations[k].rms, "station line differs");
        }
    }
    const size_t nlat = in.lat.size(), nlon = in.lon.size(), nhgt = plan.heights.size(), layer = nlat * nlon;
    for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
        FUZZ_CHECK(kTarget, c.maps[kind].present == (in.maps[kind] != nullptr), "a kind of map appeared or vanished");
        if (in.maps[kind] == nullptr) continue;
        FUZZ_CHECK(kTarget, c.maps[kind].values.size() == layer * nhgt * in.time.size(), "map size differs");
        for (size_t m = 0; m < in.time.size(); ++m) {
            const int e = plan.map_exponent[kind][m];
            for (size_t h = 0; h < nhgt; ++h) {
                const double* given = in.maps[kind] + m * in.map_stride + h * in.height_stride;
                const double* read = c.maps[kind].values.data() + (m * nhgt + h) * layer;
                for (size_t k = 0; k < layer; ++k) {
                    long n = 0;
                    FUZZ_CHECK(kTarget, ionex::encodeValue(given[k], e, &n) == ionex::Encoding::kFits, "written value does not fit");
                    FUZZ_CHECK(kTarget, same(read[k], ionex::decodeValue(n, e)), "value read back differs from its integer");
                    if (ionex::exactAt(given[k], plan.file_exponent)) FUZZ_CHECK(kTarget, same(read[k], given[k]), "exact value changed");
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes b{data, size};
    const uint8_t mode = b.next();
    const bool hostile = mode & 1;
    ionex::WriteInput in;
    const size_t nlat = 1 + b.next() % 12, nlon = 1 + b.next() % 40, nhgt = 1 + b.next() % 3, nmaps = 1 + b.next() % 4;
    in.lat = axis(b, nlat);
    in.lon = axis(b, nlon);
    if (nhgt > 1 || (b.next() & 1)) {
        const double first = kHeights[b.next() % 4];
        for (size_t k = 0; k < nhgt; ++k) in.height.push_back(first + 50.0 * static_cast<double>(k));
    }
    double t = 726834.0 + b.next16();  // days from 1990
    for (size_t k = 0; k < nmaps; ++k) {
        in.time.push_back(t);
        t += (1 + b.next16()) / 86400.0 * (1 + b.next() % 4);
    }
    if (hostile) {
        const uint8_t broken = b.next();
        if (broken == 1 && !in.time.empty()) in.time.back() = in.time.front() - 1;  // unsorted
        if (broken == 2) in.lat[0] = kNaN;
        if (broken == 3 && in.lon.size() > 2) in.lon[1] += 0.3;                     // not uniform
        if (broken == 4) in.time[0] = std::numeric_limits<double>::infinity();
    }
    if (b.next() & 1) in.header.exponent = static_cast<int>(b.next() % 5) - 3;
    if (mode & 2) {
        in.has_exponent = true;
        in.exponent = static_cast<int>(b.next() % 7) - 4;
    }
    in.header.program = text(b, 20, hostile);
    in.header.run_by = text(b, 20, hostile);
    in.header.date = "01-JAN-20 00:00";
    for (size_t k = b.next() % 3; k > 0; --k) in.header.comments.push_back(text(b, hostile ? 80 : 60, hostile));
    for (size_t k = b.next() % 2; k > 0; --k) in.header.description.push_back(text(b, 60, hostile));
    if (b.next() & 1) {
        ionex::DcbBlock block;
        block.title = "DIFFERENTIAL CODE BIASES";
        for (size_t k = b.next() % 3; k > 0; --k) {
            block.satellites.push_back({static_cast<char>("GRECJ"[b.next() % 5]), b.next() % 100,
                                        (static_cast<double>(b.next16()) - 32768.0) / 1000.0, b.next() / 1000.0});
        }
        for (size_t k = b.next() % 3; k > 0; --k) {
            std::string name = text(b, 4, false);
            if (name.empty()) name = "ABCD";
            block.stations.push_back({'G', name, text(b, 9, false), (static_cast<double>(b.next16()) - 32768.0) / 1000.0,
                                      b.next() / 1000.0});
        }
        in.dcb.push_back(block);
    }
    // The maps: TEC always, RMS and height maps when asked for; each map exact at its own
    // exponent (sometimes a finer one than the file's).
    const size_t per_kind = nlat * nlon * nhgt * nmaps;
    std::vector<double> values[ionex::kMapKindCount];
    const uint8_t kinds = b.next();
    const int base = in.has_exponent ? in.exponent : in.header.exponent.value_or(-1);
    for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
        if (kind != ionex::kTecMap && !(kinds & (1 << kind))) continue;
        values[kind].resize(per_kind);
        for (size_t m = 0; m < nmaps; ++m) {
            const int e = base - static_cast<int>(b.next() % 3);
            for (size_t h = 0; h < nhgt; ++h) {
                for (size_t k = 0; k < nlat * nlon; ++k) values[kind][(h * nmaps + m) * nlat * nlon + k] = value(b, e, hostile);
            }
        }
        in.maps[kind] = values[kind].data();
    }
    in.map_stride = nlat * nlon;
    in.height_stride = nlat * nlon * nmaps;

    ionex::WritePlan plan;
    ionex::WriteFailure failure;
    const ionex::WriteStatus st = ionex::planWrite(in, plan, failure);
    // The write that checks the values as it encodes them gives the same text, or the same
    // refusal, as the plan that checks them all first.
    std::string fast;
    ionex::WriteFailure fast_failure;
    const ionex::WriteStatus fast_st = ionex::writeIonexString(in, fast, fast_failure);
    FUZZ_CHECK(kTarget, fast_st == st && fast_failure.field == failure.field && fast_failure.detail == failure.detail,
               "the checking write and the plan disagree: " + fast_failure.field + " " + fast_failure.detail + " / " +
                   failure.field + " " + failure.detail);
    if (st != ionex::WriteStatus::kOk) {
        FUZZ_CHECK(kTarget, st == ionex::WriteStatus::kInput && !failure.field.empty() && !failure.detail.empty(),
                   "a refusal without its field");
        // A chosen exponent may be too fine for the values, an axis too fine for its six
        // columns; nothing else refuses a well-formed set.
        const bool axis_too_fine = (failure.field == "lat" && widerThanSix(in.lat)) || (failure.field == "lon" && widerThanSix(in.lon));
        FUZZ_CHECK(kTarget, hostile || in.has_exponent || axis_too_fine,
                   "a well-formed map set was refused: " + failure.field + " " + failure.detail);
        fuzz::note(kTarget, "refused: " + failure.field);
        return 0;
    }
    std::string written;
    ionex::TextSink sink;
    sink.flush = [](void* context, const char* d, std::size_t n) {
        static_cast<std::string*>(context)->append(d, n);
        return true;
    };
    sink.context = &written;
    sink.buffer.resize(4096);
    FUZZ_CHECK(kTarget, ionex::writeIonexText(in, plan, sink) == ionex::TextResult::kWritten,
               "text writer stopped without a failing sink");
    FUZZ_CHECK(kTarget, fast == written, "the checking write made other text than the checked plan");
    checkLines(written);
    compare(in, plan, written);
    fuzz::note(kTarget, "written and read back: " + std::to_string(written.size()) + " bytes");
    return 0;
}
