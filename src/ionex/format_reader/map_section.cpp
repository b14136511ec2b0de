// The map reader: a small state machine over the lines after END OF HEADER.
#include "format_reader/map_section.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/calendar.h"
#include "format_reader/fixed_fields.h"
#include "format_reader/map_values.h"
#include "format_reader/record_label.h"

namespace ionex {

namespace {

constexpr long kLabelColumn = 60;  // 0-based offset of column 61

bool mayStartValue(char c) { return c == ' ' || (c >= '0' && c <= '9') || c == '-' || c == '+'; }

const char* const kKindNames[kMapKindCount] = {"TEC", "RMS", "HEIGHT"};
constexpr double kTimeTolerance = 1e-9;  // days

// Everything the reader keeps while it walks through the maps of one file.
struct SectionState {
    SectionState(LineReader& r, const HeaderRecords& h, const HeaderGrid& g, MapTarget& t, FileMaps& m, ReadFailure& f,
                 int file, int exponent)
        : reader(r), header(h), grid(g), target(t), maps(m), failure(f), file_index(file), header_exponent(exponent) {}
    LineReader& reader;
    const HeaderRecords& header;
    const HeaderGrid& grid;
    MapTarget& target;
    FileMaps& maps;
    ReadFailure& failure;
    int file_index;
    int header_exponent;
    // The map being read.
    bool in_map = false;
    int kind = 0;
    long number = 0;        // 1-based number of the map among its kind
    long start_line = 0;
    bool has_epoch = false;
    long slot = -1;         // its place in the output, -1 when not kept
    bool rows_started = false;
    long last_row_key = -1;
    RowFill row;
    bool in_row = false;
    long row_offset = 0;    // where the kept row's values start in `rows`
    bool direct = false;    // the map's place in the output is allocated: rows go straight there
    // The longitudes and height of the last row record, to spare parsing them again.
    char last_row_tail[24] = {};
    long last_lon_first = -1;
    long last_lon_last = -1;
    long last_height = -1;
    // Kept rows of the current map, until its end scatters them into the output.
    std::vector<double> rows;
    std::vector<long> row_base;  // output offset of each kept row's first value
    ValueTable table;            // scaled small integers of the current exponent
};

// Records a failure at `line` (the current line when -1). Returns its status.
ReadStatus fail(SectionState& s, ReadStatus status, const std::string& detail, long line = -1) {
    s.failure.status = status;
    s.failure.line_number = line < 0 ? s.reader.number : line;
    s.failure.detail = detail;
    return status;
}

// "TEC map 3" and the like, for messages. Returns the name.
std::string mapName(int kind, long number) { return std::string(kKindNames[kind]) + " map " + std::to_string(number); }

// Values the output holds now, kept rows included.
long allocatedValues(const SectionState& s) {
    long n = static_cast<long>(s.rows.size());
    for (const MapSeries& m : s.target.out->maps) n += static_cast<long>(m.values.size());
    return n;
}

// Tells whether `extra` more values stay within what the text read so far allows.
bool withinBudget(const SectionState& s, long extra) {
    const long text = s.target.bytes_before + s.reader.bytes_read;
    const long budget = text > kMinValueBudget ? text : kMinValueBudget;
    return extra <= budget && allocatedValues(s) <= budget - extra;
}

// Tells whether the read keeps maps of `kind`. Returns true when it does.
bool kindKept(const SectionState& s, int kind) { return s.target.options->kinds[kind] && !s.target.options->header_only; }

// START OF ... MAP: checks the number and opens the map.
ReadStatus startMap(SectionState& s, int kind, const RecordSplit& split) {
    long number = 0;
    if (!parseIntegerField(s.reader.text, split.content_end, 1, 60, &number)) {
        return fail(s, ReadStatus::kCorrupt, std::string("START OF ") + kKindNames[kind] + " MAP without a map number");
    }
    const long expected = s.maps.map_counts[kind] + 1;
    if (number != expected) {
        return fail(s, ReadStatus::kCorrupt, "START OF " + std::string(kKindNames[kind]) + " MAP numbered " +
                                                 std::to_string(number) + " where map " + std::to_string(expected) +
                                                 " comes next");
    }
    if (s.header.num_maps && number > *s.header.num_maps) {
        return fail(s, ReadStatus::kCorrupt, mapName(kind, number) + " beyond the header's " +
                                                 std::to_string(*s.header.num_maps) + " maps");
    }
    s.maps.map_counts[kind] = number;
    s.in_map = true;
    s.kind = kind;
    s.number = number;
    s.start_line = s.reader.number;
    s.has_epoch = false;
    s.slot = -1;
    s.rows_started = false;
    s.last_row_key = -1;
    s.in_row = false;
    s.rows.clear();
    s.row_base.clear();
    s.direct = false;
    setRowScale(s.row, s.header_exponent, s.table);
    return ReadStatus::kOk;
}

// Gives a kept map its place in the output now, when that fits the budget, so that its rows
// go straight there; otherwise they wait in `rows` until the map's end. Returns nothing.
void reserveMap(SectionState& s) {
    if (s.slot < 0 || !kindKept(s, s.kind)) return;
    std::vector<double>& values = s.target.out->maps[s.kind].values;
    const size_t map = static_cast<size_t>(s.target.map_values);
    const size_t wanted = (static_cast<size_t>(s.slot) + 1) * map;
    if (wanted > values.size()) {
        if (!withinBudget(s, static_cast<long>(wanted - values.size()))) return;
        if (values.empty() && s.header.num_maps) {
            // Room for the maps the header announces, but never more than a fixed share of
            // the smallest budget: a header's claim alone cannot make the read allocate much.
            const size_t cap = static_cast<size_t>(kMinValueBudget / 4) / map;
            const size_t maps = std::min(static_cast<size_t>(*s.header.num_maps), cap);
            if (maps * map > wanted) values.reserve(maps * map);
        }
        values.resize(wanted, std::numeric_limits<double>::quiet_NaN());
    }
    s.direct = true;
}

// EPOCH OF CURRENT MAP: the map's epoch, the same as the other kinds' map of this number.
ReadStatus mapEpoch(SectionState& s, const RecordSplit& split) {
    IonexEpoch e{};
    if (s.has_epoch || s.rows_started) return fail(s, ReadStatus::kCorrupt, "a second EPOCH OF CURRENT MAP in " + mapName(s.kind, s.number));
    if (!readEpochFields(s.reader.text, split.content_end, e)) {
        return fail(s, ReadStatus::kCorrupt, "EPOCH OF CURRENT MAP of " + mapName(s.kind, s.number) + " cannot be read");
    }
    s.has_epoch = true;
    const size_t index = static_cast<size_t>(s.number - 1);
    FileMaps& m = s.maps;
    if (index < m.epochs.size()) {
        const IonexEpoch& o = m.epochs[index];
        if (o.year != e.year || o.month != e.month || o.day != e.day || o.hour != e.hour || o.minute != e.minute ||
            o.second != e.second) {
            return fail(s, ReadStatus::kCorrupt, mapName(s.kind, s.number) + " has another epoch than the file's other map " +
                                                     std::to_string(s.number));
        }
        s.slot = m.slots[index];
        reserveMap(s);
        return ReadStatus::kOk;
    }
    // The first map of this number defines its epoch and whether the read keeps it.
    m.epochs.push_back(e);
    const double t = serialDayNumber(e);
    const ReadOptions& o = *s.target.options;
    const bool in_time = !o.has_time_range || (t >= o.time_range[0] - kTimeTolerance && t <= o.time_range[1] + kTimeTolerance);
    s.slot = in_time ? static_cast<long>(s.target.out->time.size()) : -1;
    m.slots.push_back(s.slot);
    if (in_time) {
        s.target.out->time.push_back(t);
        s.target.epochs.push_back(e);
        s.target.slot_file.push_back(s.file_index);
    }
    reserveMap(s);
    return ReadStatus::kOk;
}

// Reads a row record's longitudes and height (columns 9-32), or takes them from the previous
// row record when it wrote the same text. Returns false when they cannot be read.
bool rowTail(SectionState& s, const char* line, long end, long* lon_first, long* lon_last, long* height) {
    char tail[sizeof s.last_row_tail] = {};
    for (long i = 0; i < static_cast<long>(sizeof tail); ++i) tail[i] = 8 + i < end ? line[8 + i] : ' ';
    if (s.last_lon_first >= 0 && std::memcmp(tail, s.last_row_tail, sizeof tail) == 0) {
        *lon_first = s.last_lon_first, *lon_last = s.last_lon_last, *height = s.last_height;
        return true;
    }
    double v[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!parseRealField(line, end, 9 + 6 * i, 14 + 6 * i, &v[i])) return false;
    }
    *lon_first = nodeIndex(s.grid.lon, v[0]);
    *lon_last = nodeIndex(s.grid.lon, v[1]);
    *height = nodeIndex(s.grid.height, v[3]);
    const bool same_step = std::fabs(v[2] - s.grid.lon.step) <= 1e-6 * (1.0 + std::fabs(s.grid.lon.step)) ||
                           (*lon_first >= 0 && *lon_first == *lon_last);
    if (*lon_first < 0 || *lon_last < *lon_first || *height < 0 || !same_step) {
        *lon_first = -1;  // not on the grid
        return true;
    }
    std::memcpy(s.last_row_tail, tail, sizeof tail);
    s.last_lon_first = *lon_first, s.last_lon_last = *lon_last, s.last_height = *height;
    return true;
}

// LAT/LON1/LON2/DLON/H (five numbers of six columns from column 3): opens a row of the
// current map.
ReadStatus startRow(SectionState& s, const RecordSplit& split) {
    const char* line = s.reader.text;
    const long end = split.content_end;
    double latitude = 0;
    long lon_first = -1, lon_last = -1, height = -1;
    if (!parseRealField(line, end, 3, 8, &latitude) || !rowTail(s, line, end, &lon_first, &lon_last, &height)) {
        return fail(s, ReadStatus::kCorrupt, "LAT/LON1/LON2/DLON/H record of " + mapName(s.kind, s.number) + " cannot be read");
    }
    if (!s.has_epoch) return fail(s, ReadStatus::kCorrupt, "a row of " + mapName(s.kind, s.number) + " before its EPOCH OF CURRENT MAP");
    const long lat = nodeIndex(s.grid.lat, latitude);
    if (lat < 0 || lon_first < 0) {
        return fail(s, ReadStatus::kCorrupt, "row " + std::string(line, static_cast<size_t>(end < 32 ? end : 32)) + " of " +
                                                 mapName(s.kind, s.number) + " is not on the header's grid");
    }
    const long key = height * s.grid.lat.count + lat;
    if (key <= s.last_row_key) {
        return fail(s, ReadStatus::kCorrupt, "row at latitude " + std::to_string(latitude) + " of " + mapName(s.kind, s.number) +
                                                 " repeated or out of order");
    }
    s.last_row_key = key;
    s.rows_started = true;
    s.in_row = true;
    s.row.next = lon_first;
    s.row.end = lon_last + 1;
    s.row.column_of = s.target.lon.column_of.data();
    s.row.dest = nullptr;
    const AxisRun& run = s.target.lat_run;
    const bool kept = s.slot >= 0 && kindKept(s, s.kind) && lat >= run.first && lat < run.first + run.count;
    if (!kept) return ReadStatus::kOk;
    const long width = static_cast<long>(s.target.lon.coordinates.size());
    const long base = (lat - run.first) + run.count * width * height;
    if (s.direct) {
        s.row.dest = s.target.out->maps[s.kind].values.data() + s.slot * s.target.map_values + base;
        s.row.stride = run.count;
        return ReadStatus::kOk;
    }
    if (!withinBudget(s, width)) {
        return fail(s, ReadStatus::kCorrupt, mapName(s.kind, s.number) + " has more rows than the file's text can hold values for");
    }
    s.row_offset = static_cast<long>(s.rows.size());
    s.rows.resize(s.rows.size() + static_cast<size_t>(width), std::numeric_limits<double>::quiet_NaN());
    s.row_base.push_back(base);
    s.row.dest = s.rows.data() + s.row_offset;
    s.row.stride = 1;
    return ReadStatus::kOk;
}

// EXPONENT inside a map: the scale of this map's values, set before its first row.
ReadStatus mapExponent(SectionState& s, const RecordSplit& split) {
    long exponent = 0;
    if (s.rows_started || !parseIntegerField(s.reader.text, split.content_end, 1, 60, &exponent) || exponent < -99 ||
        exponent > 99) {
        return fail(s, ReadStatus::kCorrupt, "EXPONENT of " + mapName(s.kind, s.number) +
                                                 (s.rows_started ? " after its first row" : " cannot be read"));
    }
    setRowScale(s.row, static_cast<int>(exponent), s.table);
    return ReadStatus::kOk;
}

// A data line: the next values of the current row.
ReadStatus dataLine(SectionState& s) {
    if (!s.in_row) return fail(s, ReadStatus::kCorrupt, "values outside a row of " + mapName(s.kind, s.number));
    long field = 0;
    const DataLineResult r = readDataValues(s.reader.text, s.reader.length, s.row, &field);
    if (r == DataLineResult::kOk) return ReadStatus::kOk;
    const char* what = r == DataLineResult::kBadField      ? "a field that is not an integer"
                       : r == DataLineResult::kBlankField  ? "a blank field before the line's last value"
                       : r == DataLineResult::kCutField    ? "a value cut short at the end of the line"
                                                           : "more values than the row has longitudes";
    return fail(s, ReadStatus::kCorrupt, std::string(what) + " (field " + std::to_string(field) + ") in " + mapName(s.kind, s.number));
}

// Stores the kept rows of the finished map in its place of the output.
ReadStatus storeMap(SectionState& s) {
    MapSeries& series = s.target.out->maps[s.kind];
    if (s.direct) {
        series.present = true;
        return ReadStatus::kOk;
    }
    const size_t size = static_cast<size_t>(s.target.map_values);
    const size_t wanted = (static_cast<size_t>(s.slot) + 1) * size;
    if (wanted > series.values.size()) {
        if (!withinBudget(s, static_cast<long>(wanted - series.values.size()))) {
            return fail(s, ReadStatus::kCorrupt, mapName(s.kind, s.number) + " of " + std::to_string(size) +
                                                     " values is larger than the file's text can hold");
        }
        series.values.resize(wanted, std::numeric_limits<double>::quiet_NaN());
    }
    series.present = true;
    double* map = series.values.data() + static_cast<size_t>(s.slot) * size;
    const long nlat = s.target.lat_run.count;
    const size_t width = s.target.lon.coordinates.size();
    for (size_t r = 0; r < s.row_base.size(); ++r) {
        const double* row = s.rows.data() + r * width;
        double* out = map + s.row_base[r];
        for (size_t j = 0; j < width; ++j) out[static_cast<long>(j) * nlat] = row[j];
    }
    s.rows.clear();
    s.row_base.clear();
    return ReadStatus::kOk;
}

// END OF ... MAP: closes the current map.
ReadStatus endMap(SectionState& s, int kind, const RecordSplit& split) {
    long number = 0;
    if (kind != s.kind || !parseIntegerField(s.reader.text, split.content_end, 1, 60, &number) || number != s.number) {
        return fail(s, ReadStatus::kCorrupt, "END OF " + std::string(kKindNames[kind]) + " MAP does not close " +
                                                 mapName(s.kind, s.number) + " of line " + std::to_string(s.start_line));
    }
    if (!s.has_epoch) return fail(s, ReadStatus::kCorrupt, mapName(s.kind, s.number) + " without EPOCH OF CURRENT MAP");
    s.in_map = false;
    s.in_row = false;
    if (s.slot >= 0 && kindKept(s, s.kind)) return storeMap(s);
    return ReadStatus::kOk;
}

// One line inside a map. Returns kOk or the failure.
ReadStatus mapLine(SectionState& s, const RecordSplit& split) {
    switch (split.label) {
        case Label::kNone: return dataLine(s);
        case Label::kRow: return startRow(s, split);
        case Label::kMapEpoch: return mapEpoch(s, split);
        case Label::kExponent: return mapExponent(s, split);
        case Label::kEndTecMap: return endMap(s, kTecMap, split);
        case Label::kEndRmsMap: return endMap(s, kRmsMap, split);
        case Label::kEndHeightMap: return endMap(s, kHeightMap, split);
        default:
            return fail(s, ReadStatus::kCorrupt,
                        "\"" + std::string(s.reader.text + split.label_begin, s.reader.text + split.label_end) + "\" inside " +
                            mapName(s.kind, s.number) + " of line " + std::to_string(s.start_line));
    }
}

// One line between maps. Returns kOk or the failure.
ReadStatus betweenMaps(SectionState& s, const RecordSplit& split) {
    switch (split.label) {
        case Label::kStartTecMap: return startMap(s, kTecMap, split);
        case Label::kStartRmsMap: return startMap(s, kRmsMap, split);
        case Label::kStartHeightMap: return startMap(s, kHeightMap, split);
        case Label::kEndFile: s.maps.end_of_file = true; return ReadStatus::kOk;
        case Label::kComment:
            s.maps.comments.push_back(std::string(s.reader.text, static_cast<size_t>(split.content_end)));
            return ReadStatus::kOk;
        case Label::kNone: return fail(s, ReadStatus::kCorrupt, "values outside any map");
        default:
            return fail(s, ReadStatus::kCorrupt,
                        "\"" + std::string(s.reader.text + split.label_begin, s.reader.text + split.label_end) +
                            "\" between maps");
    }
}

// Tells whether every kind of map the read keeps has all the maps the header announces, so
// that the rest of the file (maps of kinds not asked for) need not be read.
bool allWantedRead(const SectionState& s) {
    if (!s.header.num_maps) return false;
    if (*s.header.num_maps == 0) return false;  // nothing announced: read to the end
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        if (kindKept(s, kind) && s.maps.map_counts[kind] < *s.header.num_maps) return false;
    }
    return true;
}

// At the end of the text: every map the header announces must be there.
ReadStatus checkComplete(SectionState& s) {
    if (s.in_map) {
        return fail(s, ReadStatus::kTruncated, mapName(s.kind, s.number) + " (line " + std::to_string(s.start_line) +
                                                   ") cut: the file ends inside it", s.reader.number);
    }
    if (!s.header.num_maps) return ReadStatus::kOk;
    const long announced = *s.header.num_maps;
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        const long found = s.maps.map_counts[kind];
        // TEC maps are what the header counts; RMS and height maps, once present, come as many.
        if (found >= announced || (kind != kTecMap && found == 0)) continue;
        const std::string what = mapName(kind, found + 1) + " of " + std::to_string(announced) + " missing";
        if (s.maps.end_of_file) return fail(s, ReadStatus::kCorrupt, what + " before END OF FILE");
        return fail(s, ReadStatus::kTruncated, what + ": the file ends at line " + std::to_string(s.reader.number), s.reader.number);
    }
    return ReadStatus::kOk;
}

}  // namespace

ReadStatus setWindows(const HeaderGrid& grid, const ReadOptions& o, MapTarget& t, ReadFailure& failure) {
    t.lat_run = {0, grid.lat.count};
    if (o.has_lat_range && !enclosingRun(grid.lat, o.lat_range[0], o.lat_range[1], t.lat_run)) {
        failure.status = ReadStatus::kInput;
        failure.detail = rangeOutsideText("latitude", grid.lat, o.lat_range[0], o.lat_range[1]);
        return ReadStatus::kInput;
    }
    std::string detail;
    if (o.has_lon_range) {
        if (!longitudeWindow(grid.lon, o.lon_range[0], o.lon_range[1], t.lon, detail)) {
            failure.status = ReadStatus::kInput;
            failure.detail = detail;
            return ReadStatus::kInput;
        }
    } else {
        wholeLongitudes(grid.lon, t.lon);
    }
    t.nhgt = grid.height.count;
    t.map_values = t.lat_run.count * static_cast<long>(t.lon.coordinates.size()) * t.nhgt;
    return ReadStatus::kOk;
}

ReadStatus readMapSection(LineReader& reader, const HeaderRecords& header, const HeaderGrid& grid, int exponent,
                          int file_index, MapTarget& target, FileMaps& maps, ReadFailure& failure) {
    SectionState s(reader, header, grid, target, maps, failure, file_index, exponent);
    while (nextLine(reader)) {
        if (reader.too_long) return fail(s, ReadStatus::kCorrupt, "a line longer than 511 characters");
        if (isBlankLine(reader)) continue;
        // Inside a map, a line whose column 61 could start a value is a data line: every
        // label read there starts with a letter in column 61.
        const bool data = s.in_map && (reader.length <= kLabelColumn || mayStartValue(reader.text[kLabelColumn]));
        const RecordSplit split = data ? RecordSplit{} : splitRecord(reader.text, reader.length);
        const ReadStatus st = s.in_map ? mapLine(s, split) : betweenMaps(s, split);
        if (st == ReadStatus::kCorrupt && reader.unterminated && s.in_map) {
            // A last line without its line end was cut with the file.
            return fail(s, ReadStatus::kTruncated, mapName(s.kind, s.number) + " (line " + std::to_string(s.start_line) +
                                                       ") cut: the file ends inside it, in a line cut short");
        }
        if (st != ReadStatus::kOk) return st;
        if (maps.end_of_file) break;
        // Every map asked for is read: what follows is not needed, whatever it holds.
        if (!s.in_map && allWantedRead(s)) return ReadStatus::kOk;
    }
    return checkComplete(s);
}

}  // namespace ionex
