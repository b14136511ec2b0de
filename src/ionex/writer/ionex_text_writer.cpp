// Header records, maps and data lines as text.
#include "writer/ionex_text_writer.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

#include "writer/epoch_fields.h"
#include "writer/record_columns.h"
#include "writer/value_encoding.h"
#include "common/vector_state.h"

namespace ionex {

namespace {

constexpr int kValuesPerLine = 16;
constexpr int kFieldWidth = 5;
constexpr double kDefaultBaseRadius = 6371.0;  // km
const char* const kStartLabels[kMapKindCount] = {"START OF TEC MAP", "START OF RMS MAP", "START OF HEIGHT MAP"};
const char* const kEndLabels[kMapKindCount] = {"END OF TEC MAP", "END OF RMS MAP", "END OF HEIGHT MAP"};

// Writes the sink's buffer out. Returns false when the flush refused.
bool flushSink(TextSink& sink) {
    if (sink.used == 0) return true;
    const bool ok = sink.flush(sink.context, sink.buffer.data(), sink.used);
    sink.used = 0;
    return ok;
}

// Makes room for `count` more bytes. Returns false when the flush refused.
inline bool reserve(TextSink& sink, std::size_t count) {
    return sink.used + count <= sink.buffer.size() || flushSink(sink);
}

// Appends a record line, padded to 80 columns, and its line end. Returns false when the
// sink stopped.
bool putLine(TextSink& sink, const RecordLine& line) {
    if (!reserve(sink, kRecordColumns + 1)) return false;
    std::memcpy(sink.buffer.data() + sink.used, line.text, kRecordColumns);
    sink.buffer[sink.used + kRecordColumns] = '\n';
    sink.used += kRecordColumns + 1;
    return true;
}

// Puts a string at `column`. Returns nothing.
void putString(RecordLine& line, int column, const std::string& text) { putText(line, column, text.data(), text.size()); }

// A record whose content is `text` from column 1. Returns false when the sink stopped.
bool textRecord(TextSink& sink, const std::string& text, const char* label) {
    RecordLine line;
    clearLine(line);
    putString(line, 1, text);
    putLabel(line, label);
    return putLine(sink, line);
}

// A record of one integer, I6 (wider when it needs more). Returns false when the sink stopped.
bool integerRecord(TextSink& sink, long long value, const char* label) {
    RecordLine line;
    clearLine(line);
    char text[24];
    int width = 6;
    while (!formatInteger(value, width, text)) ++width;
    putText(line, 1, text, static_cast<std::size_t>(width));
    putLabel(line, label);
    return putLine(sink, line);
}

// A record of one real in eight columns with one decimal (more decimals when the value needs them to read back the same).
// Returns false when the sink stopped.
bool realRecord(TextSink& sink, double value, const char* label) {
    RecordLine line;
    clearLine(line);
    char text[8];
    formatReal(value, 8, 1, text);
    putText(line, 1, text, 8);
    putLabel(line, label);
    return putLine(sink, line);
}

// An epoch record, 6I6. Returns false when the sink stopped.
bool epochRecord(TextSink& sink, const IonexEpoch& e, const char* label) {
    RecordLine line;
    clearLine(line);
    const long long fields[6] = {e.year, e.month, e.day, e.hour, e.minute, static_cast<long long>(e.second)};
    for (int k = 0; k < 6; ++k) {
        char text[6];
        formatInteger(fields[k], 6, text);
        putText(line, 1 + 6 * k, text, 6);
    }
    putLabel(line, label);
    return putLine(sink, line);
}

// A grid record, 2X,3F6.1. Returns false when the sink stopped.
bool gridRecord(TextSink& sink, const AxisText& axis, const char* label) {
    RecordLine line;
    clearLine(line);
    putText(line, 3, axis.first, 6);
    putText(line, 9, axis.last, 6);
    putText(line, 15, axis.step, 6);
    putLabel(line, label);
    return putLine(sink, line);
}

// IONEX VERSION / TYPE and PGM / RUN BY / DATE. Returns false when the sink stopped.
bool versionRecords(TextSink& sink, const HeaderRecords& h) {
    RecordLine line;
    clearLine(line);
    char version[8];
    formatReal(h.version.value_or(1.0), 8, 1, version);
    putText(line, 1, version, 8);
    const std::string type = h.file_type.empty() ? std::string("I") : h.file_type;
    putString(line, 21, type == "I" ? std::string("IONOSPHERE MAPS") : type);
    putString(line, 41, h.system.empty() ? std::string("GPS") : h.system);
    putLabel(line, "IONEX VERSION / TYPE");
    if (!putLine(sink, line)) return false;
    clearLine(line);
    putString(line, 1, h.program.empty() && h.run_by.empty() ? std::string("ionex.write") : h.program);
    putString(line, 21, h.run_by);
    const std::string date = h.date.empty() ? currentDateText() : h.date;
    putString(line, 41, date);
    // A date of 21 characters (some producers write seconds) moves the label one column on.
    putLabel(line, "PGM / RUN BY / DATE", date.size() > 20);
    return putLine(sink, line);
}

// The records from DESCRIPTION to EXPONENT, in the format's order. Returns false when the
// sink stopped.
bool headerRecords(TextSink& sink, const WriteInput& in, const WritePlan& plan) {
    const HeaderRecords& h = in.header;
    for (const std::string& text : h.description) {
        if (!textRecord(sink, text, "DESCRIPTION")) return false;
    }
    for (const std::string& text : h.comments) {
        if (!textRecord(sink, text, "COMMENT")) return false;
    }
    if (!epochRecord(sink, plan.epochs.front(), "EPOCH OF FIRST MAP") || !epochRecord(sink, plan.epochs.back(), "EPOCH OF LAST MAP")) {
        return false;
    }
    const bool whole = plan.interval == std::floor(plan.interval) && plan.interval < 1e9;
    if (!(whole ? integerRecord(sink, static_cast<long long>(plan.interval), "INTERVAL") : realRecord(sink, plan.interval, "INTERVAL"))) {
        return false;
    }
    if (!integerRecord(sink, static_cast<long long>(plan.nmaps), "# OF MAPS IN FILE")) return false;
    RecordLine line;
    clearLine(line);
    putString(line, 3, h.mapping_function.empty() ? std::string("NONE") : h.mapping_function);
    putLabel(line, "MAPPING FUNCTION");
    if (!putLine(sink, line)) return false;
    if (!realRecord(sink, h.elevation_cutoff.value_or(0.0), "ELEVATION CUTOFF")) return false;
    if (!textRecord(sink, h.observables, "OBSERVABLES USED")) return false;
    if (h.num_stations && !integerRecord(sink, *h.num_stations, "# OF STATIONS")) return false;
    if (h.num_satellites && !integerRecord(sink, *h.num_satellites, "# OF SATELLITES")) return false;
    return realRecord(sink, h.base_radius.value_or(kDefaultBaseRadius), "BASE RADIUS") &&
           integerRecord(sink, plan.map_dimension, "MAP DIMENSION") && gridRecord(sink, plan.height, "HGT1 / HGT2 / DHGT") &&
           gridRecord(sink, plan.lat, "LAT1 / LAT2 / DLAT") && gridRecord(sink, plan.lon, "LON1 / LON2 / DLON") &&
           integerRecord(sink, plan.file_exponent, "EXPONENT");
}

// A bias in ns, F10.3 (more decimals when needed to read back the same). Returns nothing.
void putBias(RecordLine& line, int column, double value) {
    char text[10];
    formatReal(value, 10, 3, text);
    putText(line, column, text, 10);
}

// One DCB block: START OF AUX DATA, its comments, satellite and station lines, END OF AUX
// DATA. Returns false when the sink stopped.
bool dcbBlock(TextSink& sink, const DcbBlock& block) {
    const std::string title = block.title.empty() ? std::string("DIFFERENTIAL CODE BIASES") : block.title;
    if (!textRecord(sink, title, "START OF AUX DATA")) return false;
    for (const std::string& text : block.comments) {
        if (!textRecord(sink, text, "COMMENT")) return false;
    }
    RecordLine line;
    for (const SatelliteBias& s : block.satellites) {
        // 3X,A1,I2.2,2F10.3
        clearLine(line);
        const char prn[2] = {static_cast<char>('0' + s.prn / 10), static_cast<char>('0' + s.prn % 10)};
        putText(line, 4, &s.system, 1);
        putText(line, 5, prn, 2);
        putBias(line, 7, s.bias);
        putBias(line, 17, s.rms);
        putLabel(line, "PRN / BIAS / RMS");
        if (!putLine(sink, line)) return false;
    }
    for (const StationBias& s : block.stations) {
        // 3X,A1,2X,A4,1X,A9,6X,2F10.3
        clearLine(line);
        putText(line, 4, &s.system, 1);
        putString(line, 7, s.name);
        putString(line, 12, s.domes);
        putBias(line, 27, s.bias);
        putBias(line, 37, s.rms);
        putLabel(line, "STATION / BIAS / RMS");
        if (!putLine(sink, line)) return false;
    }
    return textRecord(sink, title, "END OF AUX DATA");
}

// The whole header. Returns false when the sink stopped.
bool header(TextSink& sink, const WriteInput& in, const WritePlan& plan) {
    if (!versionRecords(sink, in.header) || !headerRecords(sink, in, plan)) return false;
    for (const auto& record : in.header.other_records) {
        if (!textRecord(sink, record.second, record.first.c_str())) return false;
    }
    for (const DcbBlock& block : in.dcb) {
        if (!dcbBlock(sink, block)) return false;
    }
    return textRecord(sink, std::string(), "END OF HEADER");
}

// One row: its LAT/LON1/LON2/DLON/H record (2X,5F6.1, made by the plan) and its values,
// 16I5 to a line, from the layer's integers. Returns false when the sink stopped.
bool mapRow(TextSink& sink, const char* record, const int* codes, std::size_t i, std::size_t nlat, std::size_t nlon,
            const char* small_texts) {
    if (!reserve(sink, kRecordColumns + 1)) return false;
    std::memcpy(sink.buffer.data() + sink.used, record, kRecordColumns + 1);
    sink.used += kRecordColumns + 1;
    for (std::size_t j = 0; j < nlon; j += kValuesPerLine) {
        const std::size_t count = nlon - j < kValuesPerLine ? nlon - j : kValuesPerLine;
        if (!reserve(sink, count * kFieldWidth + 1)) return false;
        char* out = sink.buffer.data() + sink.used;
        const int* code = codes + j * nlat + i;
        for (std::size_t c = 0; c < count; ++c, code += nlat, out += kFieldWidth) {
            const int n = *code;
            if (n >= 0 && n <= kMissingValue) {
                std::memcpy(out, small_texts + n * kFieldWidth, kFieldWidth);
            } else {
                formatField(n, out);
            }
        }
        *out = '\n';
        sink.used += count * kFieldWidth + 1;
    }
    return true;
}

// The integers of map m of `kind` into `codes` (the layers one after the other, latitude
// fastest: a pass in memory order, so that the rows, which take every nlat-th value, read a
// small array) and the exponent they are for: the plan's when it has checked the values;
// else the file's, each value checked here as it is encoded, or a finer one at which the map
// is exact where the file's would round it (the choice planExponents makes).
// Returns false when a value does not fit the file's exponent (nothing of the map is written).
bool encodeMapOf(const WriteInput& in, const WritePlan& plan, int kind, std::size_t m, std::vector<int>& codes, int* exponent) {
    const MapLayers map = mapLayers(in, plan, kind, m);
    if (plan.values_checked) {
        *exponent = plan.map_exponent[kind][m];
        encodeCheckedMap(map, scaleFor(*exponent), codes.data());
        return true;
    }
    *exponent = plan.file_exponent;
    const MapScan scan = encodeMap(map, plan.file_exponent, *sharedDecodeTable(plan.file_exponent), codes.data());
    if (!scan.fits) return false;
    if (!scan.exact && !in.has_exponent) {
        *exponent = finerExactExponent(map, plan.file_exponent);
        if (*exponent != plan.file_exponent) encodeCheckedMap(map, scaleFor(*exponent), codes.data());
    }
    return true;
}

// Every map of one kind. Returns kWritten, kStopped or kUnchecked.
TextResult mapsOfKind(TextSink& sink, const WriteInput& in, const WritePlan& plan, int kind) {
    const std::size_t nlat = in.lat.size(), nlon = in.lon.size(), nhgt = plan.heights.size();
    const char* const small_texts = smallFieldTexts();
    std::vector<int> codes(nlat * nlon * nhgt);
    for (std::size_t m = 0; m < plan.nmaps; ++m) {
        int exponent = plan.file_exponent;
        if (!encodeMapOf(in, plan, kind, m, codes, &exponent)) return TextResult::kUnchecked;
        if (!integerRecord(sink, static_cast<long long>(m + 1), kStartLabels[kind]) ||
            !epochRecord(sink, plan.epochs[m], "EPOCH OF CURRENT MAP")) {
            return TextResult::kStopped;
        }
        if (exponent != plan.file_exponent && !integerRecord(sink, exponent, "EXPONENT")) return TextResult::kStopped;
        for (std::size_t h = 0; h < nhgt; ++h) {
            const int* layer = codes.data() + h * nlat * nlon;
            for (std::size_t i = 0; i < nlat; ++i) {
                const char* record = plan.row_records.data() + (h * nlat + i) * (kRecordColumns + 1);
                if (!mapRow(sink, record, layer, i, nlat, nlon, small_texts)) return TextResult::kStopped;
            }
        }
        if (!integerRecord(sink, static_cast<long long>(m + 1), kEndLabels[kind])) return TextResult::kStopped;
    }
    return TextResult::kWritten;
}

}  // namespace

std::string currentDateText() {
    static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const std::time_t now = std::time(nullptr);
    IonexEpoch e{};
    long long seconds = 0;
    // Seconds since 1970 (the clock's epoch everywhere this builds) as a day number.
    if (now == static_cast<std::time_t>(-1) ||
        !epochFromDayNumber(719529.0 + static_cast<double>(now) / 86400.0, e, &seconds)) {
        return std::string();
    }
    char text[32];
    const int parts[4] = {e.day, e.year % 100, e.hour, e.minute};
    char two[4][3];
    for (int k = 0; k < 4; ++k) {
        two[k][0] = static_cast<char>('0' + parts[k] / 10);
        two[k][1] = static_cast<char>('0' + parts[k] % 10);
        two[k][2] = '\0';
    }
    std::strcpy(text, two[0]);
    std::strcat(text, "-");
    std::strcat(text, kMonths[e.month - 1]);
    std::strcat(text, "-");
    std::strcat(text, two[1]);
    std::strcat(text, " ");
    std::strcat(text, two[2]);
    std::strcat(text, ":");
    std::strcat(text, two[3]);
    return text;
}

TextResult writeIonexText(const WriteInput& in, const WritePlan& plan, TextSink& sink) {
    clearUpperVectorHalves();  // the caller may have left them in use (a gzip read just before)
    if (!header(sink, in, plan)) return TextResult::kStopped;
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        if (in.maps[kind] == nullptr) continue;
        const TextResult result = mapsOfKind(sink, in, plan, kind);
        if (result != TextResult::kWritten) return result;
    }
    return textRecord(sink, std::string(), "END OF FILE") && flushSink(sink) ? TextResult::kWritten : TextResult::kStopped;
}

}  // namespace ionex
