// The +ionex readers: one file, or a series of files, into IonexContents.
#include "format_reader/ionex_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "format_reader/block_order.h"
#include "common/calendar.h"
#include "format_reader/header_records.h"
#include "format_reader/line_reader.h"
#include "format_reader/map_section.h"
#include "format_reader/record_label.h"
#include "format_reader/value_storage.h"

namespace ionex {

namespace {

// One file's own parts of a read.
struct FileRead {
    std::string path;
    HeaderRecords header;
    HeaderGrid grid;
    FileMaps maps;
    std::vector<DcbBlock> dcb;
    long end_of_header_line = 0;
};

// Closes the line source when the read of a file ends, however it ends.
struct SourceGuard {
    LineSource* source;
    ~SourceGuard() { closeLineSource(source); }
};

// Records a failure at `line` (0: none). Returns its status.
ReadStatus failAt(ReadFailure& f, ReadStatus status, long line, const std::string& detail) {
    f.status = status;
    f.line_number = line;
    f.detail = detail;
    return status;
}

// Columns of a record (text 1-60, label 61-80): the first line may not be longer.
constexpr long kRecordColumns = 80;
// Characters of blank lines a file may start with before its first record.
constexpr long kLeadingBlanks = 64 * 1024;

// Records that the caller's stop check ended the read of the current file.
// Returns kStopped.
ReadStatus interrupted(ReadFailure& f) { return failAt(f, ReadStatus::kStopped, 0, "the read was interrupted"); }

// Counts the nodes of a grid record as soon as it is read, so that a bad one is reported at
// its own line. Returns false (with `detail`) for a record that defines no grid.
bool checkAxis(Label label, HeaderGrid& grid, std::string& detail) {
    AxisDefinition* axis = label == Label::kLatitudeGrid    ? &grid.lat
                           : label == Label::kLongitudeGrid ? &grid.lon
                           : label == Label::kHeightGrid    ? &grid.height
                                                            : nullptr;
    if (axis == nullptr) return true;
    if (countNodes(*axis, detail)) return true;
    detail = std::string(labelName(label)) + " with " + detail;
    return false;
}

// Reads the header, from the first line to END OF HEADER. Returns kOk or the failure.
ReadStatus readHeader(LineReader& reader, FileRead& file, ReadFailure& failure) {
    HeaderState st;
    st.header = &file.header;
    st.dcb = &file.dcb;
    st.file = &file.path;
    bool first = true;
    std::string detail;
    while (nextLine(reader)) {
        // The first record is judged at once: a line longer than a record, or no IONEX
        // VERSION / TYPE, ends the read, so that an input without line ends is not read on.
        if (first && (reader.too_long || reader.length > kRecordColumns)) {
            return failAt(failure, ReadStatus::kNotIonex, reader.number, "the first line is not an IONEX VERSION / TYPE record");
        }
        if (reader.too_long) return failAt(failure, ReadStatus::kCorrupt, reader.number, "a line longer than 511 characters");
        if (isBlankLine(reader)) {
            if (first && reader.bytes_read > kLeadingBlanks) {
                return failAt(failure, ReadStatus::kNotIonex, reader.number, "no IONEX VERSION / TYPE record before line " + std::to_string(reader.number));
            }
            continue;
        }
        const RecordSplit split = splitRecord(reader.text, reader.length);
        if (first && split.label != Label::kVersionType) {
            return failAt(failure, ReadStatus::kNotIonex, reader.number, "the first line is not an IONEX VERSION / TYPE record");
        }
        first = false;
        if (!applyHeaderLine(reader.text, reader.length, split, reader.number, st, detail) ||
            !checkAxis(split.label, st.grid, detail)) {
            // A last line without its line end was cut with the file.
            if (reader.unterminated) {
                return failAt(failure, ReadStatus::kTruncated, reader.number, "the file ends inside the header, in a line cut short");
            }
            return failAt(failure, ReadStatus::kCorrupt, reader.number, detail);
        }
        if (st.ended) {
            file.grid = st.grid;
            file.end_of_header_line = reader.number;
            return ReadStatus::kOk;
        }
    }
    if (first) return failAt(failure, ReadStatus::kNotIonex, 0, "the file is empty");
    return failAt(failure, ReadStatus::kTruncated, reader.number,
                  st.in_aux ? "the file ends inside the aux data block of line " + std::to_string(st.aux_line)
                            : std::string("the file ends inside the header (no END OF HEADER)"));
}

// Tells whether two grids have the same nodes. Returns true when they do.
bool sameGrid(const HeaderGrid& a, const HeaderGrid& b) {
    auto same = [](const AxisDefinition& x, const AxisDefinition& y) {
        if (x.count != y.count) return false;
        for (long k : {0L, x.count - 1}) {
            if (std::fabs(nodeAt(x, k) - nodeAt(y, k)) > 1e-6) return false;
        }
        return true;
    };
    return same(a.lat, b.lat) && same(a.lon, b.lon) && same(a.height, b.height);
}

// Reads one file into `file` (its own parts) and `target` (its maps). The first file of a read
// (`reference` null) sets the windows; later ones must have its grid. Returns kOk or the
// failure, its file named.
ReadStatus readFile(const std::string& path, const ReadOptions& options, int file_index, const HeaderGrid* reference,
                    MapTarget& target, FileRead& file, ReadFailure& failure) {
    file.path = path;
    failure.file = path;
    LineReader reader;
    reader.source = openLineSource(path.c_str());
    if (reader.source == nullptr) return failAt(failure, ReadStatus::kNoFile, 0, "the file cannot be opened");
    SourceGuard guard{reader.source};
    setStopCheck(reader.source, options.stop);
    ReadStatus st = readHeader(reader, file, failure);
    // A stopped source looks like a file that ends early; the stop is what is reported.
    if (lineSourceStopped(reader.source)) return interrupted(failure);
    if (st != ReadStatus::kOk || options.header_only) return st;
    const HeaderGrid& g = file.grid;
    if (!g.lat.present || !g.lon.present || !g.height.present) {
        const char* missing = !g.lat.present ? "LAT1 / LAT2 / DLAT" : !g.lon.present ? "LON1 / LON2 / DLON" : "HGT1 / HGT2 / DHGT";
        return failAt(failure, ReadStatus::kCorrupt, file.end_of_header_line, std::string("the header has no ") + missing + " record");
    }
    if (reference != nullptr) {
        if (!sameGrid(*reference, g)) {
            return failAt(failure, ReadStatus::kGridMismatch, file.end_of_header_line, "the grid differs from that of the series' first file");
        }
    } else if ((st = setWindows(g, options, target, failure)) != ReadStatus::kOk) {
        return st;
    }
    const int exponent = file.header.exponent.value_or(-1);  // IONEX's default unit: 0.1 TECU
    st = readMapSection(reader, file.header, g, exponent, file_index, target, file.maps, failure);
    if (lineSourceStopped(reader.source)) return interrupted(failure);
    target.bytes_before += reader.bytes_read;
    // A kind asked for that the file holds is present even when the time window keeps none
    // of its maps: the output then has nlat-by-nlon-by-0 maps of it, not none.
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        if (options.kinds[kind] && file.maps.map_counts[kind] > 0) target.out->maps[kind].present = true;
    }
    for (std::string& c : file.maps.comments) file.header.comments.push_back(std::move(c));
    return st;
}

// Fills a present kind's missing maps with NaN, so that every kind holds one map per time.
// Returns false when that would take more than the text read allows.
bool padKinds(MapTarget& t) {
    IonexContents& out = *t.out;
    const size_t wanted = out.time.size() * static_cast<size_t>(t.map_values);
    size_t total = 0;
    for (const MapSeries& m : out.maps) total += m.present ? wanted : m.values.size();
    const size_t budget = static_cast<size_t>(std::max(t.bytes_before, kMinValueBudget));
    if (total > budget) return false;
    for (MapSeries& m : out.maps) {
        if (m.present) m.values.resize(wanted, std::numeric_limits<double>::quiet_NaN());
    }
    return true;
}

// The axes of the output: the window's nodes, or the whole grid for a header-only read.
void setAxes(const HeaderGrid& g, const MapTarget& t, bool header_only, IonexContents& out) {
    auto nodes = [](const AxisDefinition& a, long first, long count, std::vector<double>& v) {
        v.clear();
        if (!a.present) return;
        for (long k = first; k < first + count; ++k) v.push_back(nodeAt(a, k));
    };
    nodes(g.height, 0, g.height.count, out.height);
    if (header_only) {
        nodes(g.lat, 0, g.lat.count, out.lat);
        nodes(g.lon, 0, g.lon.count, out.lon);
        return;
    }
    nodes(g.lat, t.lat_run.first, t.lat_run.count, out.lat);
    out.lon = t.lon.coordinates;
}

// Checks the options before any file is opened. Returns kOk or kInput.
ReadStatus checkOptions(const ReadOptions& o, ReadFailure& failure) {
    auto finite = [](const double* r) { return std::isfinite(r[0]) && std::isfinite(r[1]); };
    if (o.has_lat_range && (!finite(o.lat_range) || std::fabs(o.lat_range[0]) > 90 || std::fabs(o.lat_range[1]) > 90)) {
        return failAt(failure, ReadStatus::kInput, 0, "the latitude range must lie within -90..90");
    }
    if (o.has_lon_range && (!finite(o.lon_range) || o.lon_range[0] < -180 || o.lon_range[1] < -180 ||
                            o.lon_range[0] > 360 || o.lon_range[1] > 360)) {
        return failAt(failure, ReadStatus::kInput, 0, "the longitude range must lie within -180..180 or 0..360");
    }
    if (o.has_time_range && (!finite(o.time_range) || o.time_range[0] > o.time_range[1])) {
        return failAt(failure, ReadStatus::kInput, 0, "the time range must be two finite times, the first not after the second");
    }
    return ReadStatus::kOk;
}

// The read of one file or of a series, without the exception guard.
ReadStatus readAll(const std::vector<std::string>& paths, const ReadOptions& options, bool series,
                   const ReadProgress* progress, IonexContents& out, ReadFailure& failure);

}  // namespace

ReadStatus readIonexFile(const std::string& path, const ReadOptions& options, IonexContents& contents, ReadFailure& failure) {
    return readIonexSeries(std::vector<std::string>{path}, options, contents, failure);
}

ReadStatus readIonexSeries(const std::vector<std::string>& paths, const ReadOptions& options, IonexContents& contents,
                           ReadFailure& failure, const ReadProgress* progress) {
    contents = IonexContents{};
    failure = ReadFailure{};
    // The maps go to memory an earlier read of this thread gave back, when there is some.
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        if (options.kinds[kind] && !options.header_only) contents.maps[kind].values = takeValueStorage();
    }
    try {
        return readAll(paths, options, paths.size() != 1, progress, contents, failure);
    } catch (const std::bad_alloc&) {
        contents = IonexContents{};
        return failAt(failure, ReadStatus::kOutOfMemory, 0, "not enough memory for the maps read");
    } catch (...) {
        contents = IonexContents{};
        return failAt(failure, ReadStatus::kCorrupt, 0, "the file could not be read to its end");
    }
}

std::string describeFailure(const ReadFailure& f) {
    std::string text;
    if (!f.file.empty()) text += f.file + ": ";
    if (f.line_number > 0) text += "line " + std::to_string(f.line_number) + ": ";
    return text + f.detail;
}

namespace {

// Makes num_maps, first_epoch and last_epoch describe the maps a read returns (none: 0, and
// no epochs) rather than those the header announces. Returns nothing.
void describeMapsReturned(const MapTarget& t, HeaderRecords& header) {
    header.num_maps = static_cast<long>(t.epochs.size());
    header.first_epoch.reset();
    header.last_epoch.reset();
    if (!t.epochs.empty()) {
        header.first_epoch = t.epochs.front();
        header.last_epoch = t.epochs.back();
    }
}

// Puts the maps of a series in time order, one per epoch (of two maps at the same epoch the
// later file's is kept), and makes the header describe them. Returns nothing.
void orderSeries(std::vector<FileRead>& files, MapTarget& t, IonexContents& out) {
    // Files in time order: by their first map's epoch, else the header's, else as given.
    std::vector<double> start(files.size(), std::numeric_limits<double>::infinity());
    for (size_t i = 0; i < files.size(); ++i) {
        const FileRead& f = files[i];
        if (!f.maps.epochs.empty()) start[i] = serialDayNumber(f.maps.epochs.front());
        else if (f.header.first_epoch) start[i] = serialDayNumber(*f.header.first_epoch);
    }
    std::vector<size_t> file_order(files.size());
    for (size_t i = 0; i < files.size(); ++i) file_order[i] = i;
    std::stable_sort(file_order.begin(), file_order.end(), [&](size_t a, size_t b) { return start[a] < start[b]; });
    std::vector<size_t> rank(files.size());
    for (size_t r = 0; r < file_order.size(); ++r) rank[file_order[r]] = r;

    std::vector<size_t> order(out.time.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (out.time[a] != out.time[b]) return out.time[a] < out.time[b];
        return rank[static_cast<size_t>(t.slot_file[a])] < rank[static_cast<size_t>(t.slot_file[b])];
    });
    std::vector<size_t> kept;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k + 1 < order.size() && out.time[order[k + 1]] == out.time[order[k]]) continue;  // a later map of this epoch follows
        kept.push_back(order[k]);
    }
    reorderBlocks(out.time, 1, kept);
    reorderBlocks(t.epochs, 1, kept);
    for (MapSeries& m : out.maps) {
        if (m.present) reorderBlocks(m.values, static_cast<size_t>(t.map_values), kept);
    }

    const FileRead& earliest = files[file_order.front()];
    out.header = earliest.header;
    describeMapsReturned(t, out.header);
    out.files.clear();
    out.dcb.clear();
    for (size_t i : file_order) {
        out.files.push_back(files[i].path);
        for (DcbBlock& b : files[i].dcb) out.dcb.push_back(std::move(b));
    }
}

ReadStatus readAll(const std::vector<std::string>& paths, const ReadOptions& options, bool series,
                   const ReadProgress* progress, IonexContents& out, ReadFailure& failure) {
    if (paths.empty()) return failAt(failure, ReadStatus::kInput, 0, "no file to read");
    ReadStatus st = checkOptions(options, failure);
    if (st != ReadStatus::kOk) return st;
    MapTarget target;
    target.out = &out;
    target.options = &options;
    std::vector<FileRead> files(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const HeaderGrid* reference = i == 0 ? nullptr : &files[0].grid;
        st = readFile(paths[i], options, static_cast<int>(i), reference, target, files[i], failure);
        if (st != ReadStatus::kOk) return st;
        if (progress != nullptr && progress->report != nullptr &&
            !progress->report(progress->context, i + 1, paths.size())) {
            failure.file.clear();
            return failAt(failure, ReadStatus::kStopped, 0, "the read was stopped");
        }
    }
    if (!options.header_only && !padKinds(target)) {
        failure.file = paths.back();
        return failAt(failure, ReadStatus::kCorrupt, 0, "the maps of one kind are missing for more maps than the file's text can hold");
    }
    setAxes(files[0].grid, target, options.header_only, out);
    if (series) {
        orderSeries(files, target, out);
        return ReadStatus::kOk;
    }
    out.header = std::move(files[0].header);
    // A time window may keep fewer maps than the file holds: the header fields then say which.
    if (options.has_time_range && !options.header_only) describeMapsReturned(target, out.header);
    out.dcb = std::move(files[0].dcb);
    out.files.push_back(paths[0]);
    return ReadStatus::kOk;
}

}  // namespace

}  // namespace ionex
