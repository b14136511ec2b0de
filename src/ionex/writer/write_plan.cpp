// The checks of a write and its plan. Nothing is written before every field but the map values
// has passed; the values are checked as they are written, or here, all at once, when one does
// not fit the preferred exponent.
#include "writer/write_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "format_reader/fixed_fields.h"
#include "format_reader/grid_axes.h"
#include "format_reader/record_label.h"
#include "writer/epoch_fields.h"
#include "writer/record_columns.h"
#include "writer/value_encoding.h"

namespace ionex {

namespace {

constexpr double kNodeTolerance = 1e-6;  // degrees or km: how far a written node may lie from the given one
const char* const kKindFields[kMapKindCount] = {"tec", "rms", "height_map"};

// Records an input failure of `field`. Returns kInput.
WriteStatus inputFailure(WriteFailure& failure, const std::string& field, const std::string& detail) {
    failure.status = WriteStatus::kInput;
    failure.field = field;
    failure.detail = detail;
    return WriteStatus::kInput;
}

// `value` with up to ten significant digits, for messages. Returns the text.
std::string numberText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// Tells whether every character of `text` is printable ASCII: anything else would shift
// columns or break a line. Returns true when it is.
bool printable(const std::string& text) {
    for (const char c : text) {
        if (c < ' ' || c > '~') return false;
    }
    return true;
}

// Checks that `text` fits `width` columns of printable ASCII. Returns kOk or kInput.
WriteStatus checkText(const std::string& text, std::size_t width, const std::string& field, WriteFailure& failure) {
    if (!printable(text)) return inputFailure(failure, field, "holds a character other than printable ASCII");
    if (text.size() > width) {
        return inputFailure(failure, field, "has " + std::to_string(text.size()) + " characters; its record holds " +
                                                std::to_string(width));
    }
    return WriteStatus::kOk;
}

// Checks each line of a list of text lines. Returns kOk or kInput.
WriteStatus checkLines(const std::vector<std::string>& lines, std::size_t width, const std::string& field,
                       WriteFailure& failure) {
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (checkText(lines[k], width, field + "{" + std::to_string(k + 1) + "}", failure) != WriteStatus::kOk) {
            return WriteStatus::kInput;
        }
    }
    return WriteStatus::kOk;
}

// Writes `value` into six columns exactly, or to within kNodeTolerance. Returns false when
// six columns cannot hold it that closely.
bool sixColumns(double value, char (&out)[6], double* written) {
    if (formatReal(value, 6, 1, out) == RealText::kTooWide) return false;
    if (!parseRealSpan(out, trimmedField(out, 6, 1, 6), written)) return false;
    return std::fabs(*written - value) <= kNodeTolerance;
}

// Checks that `values` are uniformly spaced and writable in the six-column grid records, and
// makes their texts: the reader's nodes (first + k * step from the written numbers) must lie
// within kNodeTolerance of the given ones. Returns kOk or kInput.
WriteStatus planAxis(const std::vector<double>& values, const char* field, AxisText& text, WriteFailure& failure) {
    const std::size_t n = values.size();
    if (n == 0) return inputFailure(failure, field, "is empty: a map needs at least one node along each axis");
    if (n > static_cast<std::size_t>(kMaxAxisNodes)) {
        return inputFailure(failure, field, "has more than " + std::to_string(kMaxAxisNodes) + " nodes");
    }
    for (std::size_t k = 0; k < n; ++k) {
        if (!std::isfinite(values[k])) {
            return inputFailure(failure, std::string(field) + "(" + std::to_string(k + 1) + ")", "is not a finite number");
        }
    }
    const double first = values.front(), last = values.back();
    const double step = n > 1 ? (last - first) / static_cast<double>(n - 1) : 0.0;
    if (n > 1 && step == 0) return inputFailure(failure, field, "repeats its first node: the nodes must differ");
    AxisDefinition axis;
    axis.present = true;
    if (!sixColumns(first, text.first, &axis.first) || !sixColumns(last, text.last, &axis.last) ||
        !sixColumns(step, text.step, &axis.step)) {
        return inputFailure(failure, field, "first " + numberText(first) + ", last " + numberText(last) + " and step " +
                                                numberText(step) + " cannot be written in the six columns of the grid record");
    }
    std::string detail;
    if (!countNodes(axis, detail) || axis.count != static_cast<long>(n)) {
        return inputFailure(failure, field, "written as first " + numberText(axis.first) + ", last " + numberText(axis.last) +
                                                ", step " + numberText(axis.step) + " does not give its " + std::to_string(n) + " nodes");
    }
    text.nodes.assign(n, std::string(6, ' '));
    for (std::size_t k = 0; k < n; ++k) {
        const double node = nodeAt(axis, static_cast<long>(k));
        if (std::fabs(node - values[k]) > kNodeTolerance * (1.0 + std::fabs(step))) {
            return inputFailure(failure, field, "is not uniformly spaced: node " + std::to_string(k + 1) + " is " +
                                                    numberText(values[k]) + " where the step from " + numberText(first) +
                                                    " puts " + numberText(node));
        }
        char node_text[6];
        double written = 0;
        if (!sixColumns(node, node_text, &written) || nodeIndex(axis, written) != static_cast<long>(k)) {
            return inputFailure(failure, field, "node " + numberText(node) + " cannot be written in six columns");
        }
        text.nodes[k].assign(node_text, 6);
    }
    return WriteStatus::kOk;
}

// Whether `values` lie within kNodeTolerance of first + k * step. Returns true or false.
bool evenlySpaced(const std::vector<double>& values) {
    const std::size_t n = values.size();
    if (n < 2) return true;
    const double step = (values.back() - values.front()) / static_cast<double>(n - 1);
    for (std::size_t k = 0; k < n; ++k) {
        if (!(std::fabs(values[k] - (values.front() + static_cast<double>(k) * step)) <= kNodeTolerance)) return false;
    }
    return true;
}

// The longitudes as the grid records can state them. A window across a file's seam, as
// ionex.read cuts it, jumps by a turn between two neighbours (170, 175, 180, -175, -170, or
// 350, 355, 360, 5, 10 from a 0..360 file); it is written unwrapped, moved by whole turns
// into -180..180 where it fits there (-10 .. 10), else into 0..360 (170 .. 190). Other axes
// are returned as given. Returns the longitudes.
std::vector<double> statedLongitudes(const std::vector<double>& lon) {
    if (evenlySpaced(lon)) return lon;
    std::vector<double> unwrapped(lon);
    for (std::size_t k = 1; k < unwrapped.size(); ++k) {
        const double d = lon[k] - lon[k - 1];
        unwrapped[k] = unwrapped[k - 1] + (d - 360.0 * std::round(d / 360.0));
    }
    if (!evenlySpaced(unwrapped)) return lon;
    const double west = std::min(unwrapped.front(), unwrapped.back());
    const double east = std::max(unwrapped.front(), unwrapped.back());
    for (const double start : {-180.0, 0.0}) {
        const double turns = std::ceil((start - west) / 360.0 - 1e-9);
        if (east + 360.0 * turns <= start + 360.0 + kNodeTolerance) {
            for (double& x : unwrapped) x += 360.0 * turns;
            break;
        }
    }
    return unwrapped;
}

// The map epochs to the second, strictly increasing; the interval when they are evenly
// spaced. Returns kOk or kInput.
WriteStatus planEpochs(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    const std::size_t n = in.time.size();
    if (n == 0) return inputFailure(failure, "time", "is empty: there is no map to write");
    plan.epochs.resize(n);
    std::vector<long long> seconds(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::string field = "time(" + std::to_string(k + 1) + ")";
        if (!epochFromDayNumber(in.time[k], plan.epochs[k], &seconds[k])) {
            return inputFailure(failure, field, "is " + numberText(in.time[k]) + ", not a datenum within the years 0 to 9999");
        }
        if (k > 0 && seconds[k] <= seconds[k - 1]) {
            return inputFailure(failure, field, "is not later than time(" + std::to_string(k) +
                                                    ") to the second: the map epochs must increase");
        }
    }
    if (n >= 2) {
        // The spacing when uniform, else 0, as the format asks.
        const long long spacing = seconds[1] - seconds[0];
        bool uniform = true;
        for (std::size_t k = 2; k < n && uniform; ++k) uniform = seconds[k] - seconds[k - 1] == spacing;
        plan.has_interval = true;
        plan.interval = uniform ? static_cast<double>(spacing) : 0.0;
    } else if (in.header.interval) {
        // One map has no spacing: the interval given stands.
        if (!std::isfinite(*in.header.interval) || *in.header.interval < 0) {
            return inputFailure(failure, "interval", "must be a finite number of seconds, not negative");
        }
        plan.has_interval = true;
        plan.interval = *in.header.interval;
    } else {
        plan.has_interval = true;
        plan.interval = 0;
    }
    return WriteStatus::kOk;
}

// "map 3 at latitude 87.5, longitude -180 (height 450)" for messages. Returns the text.
std::string nodeText(const WriteInput& in, const WritePlan& plan, std::size_t map, const NodeIndex& node) {
    std::string text = "map " + std::to_string(map + 1) + " at latitude " + numberText(in.lat[node.lat]) + ", longitude " +
                       numberText(in.lon[node.lon]);
    if (plan.heights.size() > 1) text += ", height " + numberText(plan.heights[node.hgt]);
    return text;
}


// The message for a value that `exponent` cannot write. Returns kInput.
WriteStatus valueFailure(const WriteInput& in, const WritePlan& plan, int kind, std::size_t m, const NodeIndex& node,
                         double value, Encoding why, int exponent, bool chosen, WriteFailure& failure) {
    std::string detail = nodeText(in, plan, m, node) + ": " + numberText(value);
    if (why == Encoding::kNotFinite) {
        detail += " has no IONEX value (only finite numbers and NaN can be written)";
    } else if (chosen) {
        detail += " does not fit a five-column field with the exponent " + std::to_string(exponent) +
                  " (integers -9999 to 99999, 9999 meaning no value)";
    } else {
        detail += " is too large for any exponent up to " + std::to_string(kHighestExponent);
    }
    return inputFailure(failure, kKindFields[kind], detail);
}

// The preferred exponent: the option's, else the header's, else -1. Returns kOk with it as
// the plan's file exponent, or kInput when no EXPONENT record holds it.
WriteStatus planPreferredExponent(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    const int exponent = in.has_exponent ? in.exponent : in.header.exponent.value_or(-1);
    if (exponent < kLowestExponent || exponent > kHighestExponent) {
        return inputFailure(failure, in.has_exponent ? "Exponent" : "exponent",
                            "must be an integer from " + std::to_string(kLowestExponent) + " to " + std::to_string(kHighestExponent));
    }
    plan.file_exponent = exponent;
    return WriteStatus::kOk;
}

// The file's exponent and each map's, starting from the plan's preferred one. Returns kOk
// or kInput naming the value that no exponent (or not the chosen one) can write.
WriteStatus checkExponents(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    int exponent = plan.file_exponent;
    // One exponent for the file: the first, from the preferred one upwards, that fits every
    // value. Each step starts over: a coarser exponent can round a value that fitted to 9999.
    // The scan also tells which maps are exact at it.
    std::vector<bool> exact[kMapKindCount];
    for (bool all_fit = false; !all_fit;) {
        all_fit = true;
        const std::shared_ptr<const DecodeTable> table = sharedDecodeTable(exponent);
        for (int kind = 0; kind < kMapKindCount && all_fit; ++kind) {
            exact[kind].assign(in.maps[kind] == nullptr ? 0 : plan.nmaps, true);
            if (in.maps[kind] == nullptr) continue;
            for (std::size_t m = 0; m < plan.nmaps && all_fit; ++m) {
                const MapLayers map = mapLayers(in, plan, kind, m);
                const MapScan scan = scanMap(map, exponent, table.get());
                exact[kind][m] = scan.exact;
                if (scan.fits) continue;
                NodeIndex node;
                double value = 0;
                Encoding why = Encoding::kFits;
                mapFits(map, exponent, &node, &value, &why);
                if (why == Encoding::kNotFinite || in.has_exponent || exponent == kHighestExponent) {
                    return valueFailure(in, plan, kind, m, node, value, why, exponent, in.has_exponent, failure);
                }
                ++exponent;
                all_fit = false;
            }
        }
    }
    plan.file_exponent = exponent;
    // A map that loses nothing at a finer exponent, where the file's would round it, gets its
    // own EXPONENT record; a chosen exponent applies to every map.
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        plan.map_exponent[kind].assign(in.maps[kind] == nullptr ? 0 : plan.nmaps, exponent);
        if (in.maps[kind] == nullptr || in.has_exponent) continue;
        for (std::size_t m = 0; m < plan.nmaps; ++m) {
            if (!exact[kind][m]) plan.map_exponent[kind][m] = finerExactExponent(mapLayers(in, plan, kind, m), exponent);
        }
    }
    plan.values_checked = true;
    return WriteStatus::kOk;
}

// Checks a number record: finite and within [low, high]. Returns kOk or kInput.
WriteStatus checkReal(const std::optional<double>& value, const char* field, double low, double high, WriteFailure& failure) {
    if (!value) return WriteStatus::kOk;
    if (!std::isfinite(*value) || *value < low || *value > high) {
        return inputFailure(failure, field, "must be a finite number from " + numberText(low) + " to " + numberText(high));
    }
    return WriteStatus::kOk;
}

// Checks a count record: a whole number 0 .. 999999. Returns kOk or kInput.
WriteStatus checkCount(const std::optional<long>& value, const char* field, WriteFailure& failure) {
    if (value && (*value < 0 || *value > 999999)) return inputFailure(failure, field, "must be a count from 0 to 999999");
    return WriteStatus::kOk;
}

// Checks the header's text and number records. Returns kOk or kInput.
WriteStatus checkHeader(const HeaderRecords& h, WriteFailure& failure) {
    WriteStatus st = WriteStatus::kOk;
    auto ok = [&](WriteStatus s) { st = s; return s == WriteStatus::kOk; };
    if (!ok(checkReal(h.version, "version", 0, 99, failure)) || !ok(checkText(h.file_type, 1, "file_type", failure)) ||
        !ok(checkText(h.system, 20, "system", failure)) || !ok(checkText(h.program, 20, "program", failure)) ||
        !ok(checkText(h.run_by, 20, "run_by", failure)) || !ok(checkText(h.date, 21, "date", failure)) ||
        !ok(checkLines(h.description, kContentColumns, "description", failure)) ||
        !ok(checkLines(h.comments, kContentColumns, "comments", failure)) ||
        !ok(checkText(h.mapping_function, 58, "mapping_function", failure)) ||
        !ok(checkReal(h.elevation_cutoff, "elevation_cutoff", -90, 90, failure)) ||
        !ok(checkText(h.observables, kContentColumns, "observables", failure)) ||
        !ok(checkCount(h.num_stations, "num_stations", failure)) || !ok(checkCount(h.num_satellites, "num_satellites", failure)) ||
        !ok(checkReal(h.base_radius, "base_radius", 0, 99999, failure))) {
        return st;
    }
    // Text fields start at their first column: leading blanks would be lost on reading.
    if (!h.program.empty() && h.program.front() == ' ') return inputFailure(failure, "program", "starts with a blank");
    if (!h.run_by.empty() && h.run_by.front() == ' ') return inputFailure(failure, "run_by", "starts with a blank");
    return WriteStatus::kOk;
}

// Tells whether a record labelled `label` would be read as `expected`. Returns true if so.
bool readsAs(const std::string& label, Label expected) {
    char line[kRecordColumns + 1];
    std::memset(line, ' ', sizeof line);
    std::memcpy(line + kContentColumns, label.data(), label.size());
    long length = kRecordColumns;
    while (length > 0 && line[length - 1] == ' ') --length;
    return splitRecord(line, length).label == expected;
}

// Checks the records the reader did not know: each must read back as such, aux data blocks
// other than DCB blocks kept whole. Returns kOk or kInput.
WriteStatus checkOtherRecords(const std::vector<std::pair<std::string, std::string>>& records, WriteFailure& failure) {
    bool in_aux = false;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::string field = "other_records{" + std::to_string(k + 1) + "}";
        const std::string& label = records[k].first;
        const std::string& content = records[k].second;
        if (checkText(label, 20, field, failure) != WriteStatus::kOk ||
            checkText(content, kContentColumns, field, failure) != WriteStatus::kOk) {
            return WriteStatus::kInput;
        }
        if (label.empty() || label.front() == ' ') return inputFailure(failure, field, "has no label (or one that starts with a blank)");
        if (readsAs(label, Label::kStartAux)) {
            std::string upper = content;
            for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            if (in_aux || upper.find("DIFFERENTIAL CODE BIASES") != std::string::npos) {
                return inputFailure(failure, field, "opens an aux data block where none may start (DCB blocks go to M.dcb)");
            }
            in_aux = true;
        } else if (readsAs(label, Label::kEndAux)) {
            if (!in_aux) return inputFailure(failure, field, "closes an aux data block that is not open");
            in_aux = false;
        } else if (in_aux ? readsAs(label, Label::kEndHeader) : !readsAs(label, Label::kUnknown)) {
            return inputFailure(failure, field, "'" + label + "' is a record ionex.write writes from other fields");
        }
    }
    if (in_aux) return inputFailure(failure, "other_records", "leaves an aux data block open (no END OF AUX DATA)");
    return WriteStatus::kOk;
}

// Checks the DCB blocks. Returns kOk or kInput.
WriteStatus checkDcb(const std::vector<DcbBlock>& blocks, WriteFailure& failure) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto bias = [](double v) { return std::isfinite(v) && std::fabs(v) < 1e5; };
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const DcbBlock& block = blocks[b];
        const std::string base = "dcb(" + std::to_string(b + 1) + ").";
        if (checkText(block.title, kContentColumns, base + "title", failure) != WriteStatus::kOk ||
            checkLines(block.comments, kContentColumns, base + "comments", failure) != WriteStatus::kOk) {
            return WriteStatus::kInput;
        }
        std::string upper = block.title;
        for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (!block.title.empty() && upper.find("DIFFERENTIAL CODE BIASES") == std::string::npos) {
            return inputFailure(failure, base + "title", "must name DIFFERENTIAL CODE BIASES, as the block's type");
        }
        for (std::size_t k = 0; k < block.satellites.size(); ++k) {
            const SatelliteBias& s = block.satellites[k];
            const std::string at = "(" + std::to_string(k + 1) + ")";
            if (!letter(s.system)) return inputFailure(failure, base + "satellites.system" + at, "must be a letter (G, R, E, C, J, ...)");
            if (s.prn < 0 || s.prn > 99) return inputFailure(failure, base + "satellites.prn" + at, "must be a whole number 0 to 99");
            if (!bias(s.bias)) return inputFailure(failure, base + "satellites.bias" + at, "must be a finite number of ns below 1e5");
            if (!bias(s.rms)) return inputFailure(failure, base + "satellites.rms" + at, "must be a finite number of ns below 1e5");
        }
        for (std::size_t k = 0; k < block.stations.size(); ++k) {
            const StationBias& s = block.stations[k];
            const std::string at = "(" + std::to_string(k + 1) + ")";
            const std::string cell = "{" + std::to_string(k + 1) + "}";
            if (!letter(s.system)) return inputFailure(failure, base + "stations.system" + at, "must be a letter (G, R, E, C, J, ...)");
            if (s.name.empty() || s.name.front() == ' ' || s.name.back() == ' ' ||
                checkText(s.name, 4, base + "stations.name" + cell, failure) != WriteStatus::kOk) {
                return inputFailure(failure, base + "stations.name" + cell, "must be 1 to 4 printable characters");
            }
            if (checkText(s.domes, 9, base + "stations.domes" + cell, failure) != WriteStatus::kOk) return WriteStatus::kInput;
            if (!bias(s.bias)) return inputFailure(failure, base + "stations.bias" + at, "must be a finite number of ns below 1e5");
            if (!bias(s.rms)) return inputFailure(failure, base + "stations.rms" + at, "must be a finite number of ns below 1e5");
        }
    }
    return WriteStatus::kOk;
}

// The row records of every latitude and height (2X,5F6.1), each a line of 80 columns.
// Returns nothing.
void planRowRecords(WritePlan& plan) {
    const std::size_t nlat = plan.lat.nodes.size(), nhgt = plan.height.nodes.size();
    plan.row_records.clear();
    plan.row_records.reserve(nlat * nhgt * (kRecordColumns + 1));
    for (std::size_t h = 0; h < nhgt; ++h) {
        for (std::size_t i = 0; i < nlat; ++i) {
            RecordLine line;
            clearLine(line);
            putText(line, 3, plan.lat.nodes[i].data(), 6);
            putText(line, 9, plan.lon.first, 6);
            putText(line, 15, plan.lon.last, 6);
            putText(line, 21, plan.lon.step, 6);
            putText(line, 27, plan.height.nodes[h].data(), 6);
            putLabel(line, "LAT/LON1/LON2/DLON/H");
            plan.row_records.append(line.text, kRecordColumns);
            plan.row_records.push_back('\n');
        }
    }
}

}  // namespace

MapLayers mapLayers(const WriteInput& in, const WritePlan& plan, int kind, std::size_t m) {
    MapLayers map;
    map.values = in.maps[kind] + m * in.map_stride;
    map.nlat = in.lat.size();
    map.nlon = in.lon.size();
    map.nhgt = plan.heights.size();
    map.height_stride = in.height_stride;
    return map;
}

WriteStatus planWrite(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    const WriteStatus st = planLayout(in, plan, failure);
    return st == WriteStatus::kOk ? planExponents(in, plan, failure) : st;
}

WriteStatus planExponents(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    failure = WriteFailure{};
    const WriteStatus st = planPreferredExponent(in, plan, failure);
    return st == WriteStatus::kOk ? checkExponents(in, plan, failure) : st;
}

WriteStatus planLayout(const WriteInput& in, WritePlan& plan, WriteFailure& failure) {
    failure = WriteFailure{};
    plan.values_checked = false;
    if (in.maps[kTecMap] == nullptr) return inputFailure(failure, "tec", "is empty: a file needs its TEC maps");
    WriteStatus st = checkHeader(in.header, failure);
    if (st == WriteStatus::kOk) st = checkOtherRecords(in.header.other_records, failure);
    if (st == WriteStatus::kOk) st = checkDcb(in.dcb, failure);
    if (st == WriteStatus::kOk) st = planAxis(in.lat, "lat", plan.lat, failure);
    if (st == WriteStatus::kOk) st = planAxis(statedLongitudes(in.lon), "lon", plan.lon, failure);
    plan.heights = in.height.empty() ? std::vector<double>{kDefaultHeight} : in.height;
    if (st == WriteStatus::kOk) st = planAxis(plan.heights, "height", plan.height, failure);
    if (st == WriteStatus::kOk) st = planEpochs(in, plan, failure);
    if (st != WriteStatus::kOk) return st;
    plan.nmaps = in.time.size();
    planRowRecords(plan);
    plan.map_dimension = plan.heights.size() > 1 || in.header.map_dimension.value_or(2) == 3 ? 3 : 2;
    return planPreferredExponent(in, plan, failure);
}

}  // namespace ionex
