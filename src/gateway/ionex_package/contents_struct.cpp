// IonexContents -> host struct. Every field is made here; the entries only choose which.

#include "ionex_package/contents_struct.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "shared/host_text.h"
#include "format_reader/value_storage.h"

namespace gateway {
namespace {

// Makes a char row of `text` ('' when empty). Returns the new array.
mxArray* textArray(const std::string& text) { return hostTextFromUtf8(text.c_str()); }

// Makes an n-by-1 double column of `values`. Returns the new array.
mxArray* columnArray(const std::vector<double>& values) {
    mxArray* a = mxCreateDoubleMatrix(values.size(), 1, mxREAL);
    if (!values.empty()) std::copy(values.begin(), values.end(), mxGetPr(a));
    return a;
}

// Makes a 1-by-1 double of `value`, or [] when it is absent. Returns the new array.
template <typename T>
mxArray* optionalNumber(const std::optional<T>& value) {
    if (!value) return mxCreateDoubleMatrix(0, 0, mxREAL);
    return mxCreateDoubleScalar(static_cast<double>(*value));
}

// Makes the datenum of `epoch`, or [] when it is absent. Returns the new array.
mxArray* optionalEpoch(const std::optional<ionex::IonexEpoch>& epoch) {
    if (!epoch) return mxCreateDoubleMatrix(0, 0, mxREAL);
    return mxCreateDoubleScalar(ionex::serialDayNumber(*epoch));
}

// Lists of at least this many lines are made by the host's cellstr from one char matrix:
// each array a MEX file creates costs the host several allocations and a copy when it
// is returned, which for the hundreds of station names and DOMES numbers of a DCB block
// costs more than reading the file's maps.
constexpr std::size_t kCellstrMinLines = 16;

// Tells whether cellstr gives back every line exactly: printable ASCII only (a char matrix
// row ends at its first NUL, and hosts differ on other bytes) and no blank at a line's end
// (cellstr removes trailing white space). Returns true when it does.
bool cellstrKeepsLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        for (const char c : line) {
            if (c < ' ' || c > '~') return false;
        }
        if (!line.empty() && line.back() == ' ') return false;
    }
    return true;
}

// Makes the n-by-1 cell of `lines` with one call of the host's cellstr on the char matrix
// of the lines. Returns the new array, or null when the host's call does not give it.
mxArray* cellstrCell(const std::vector<std::string>& lines) {
    std::vector<const char*> pointers(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) pointers[i] = lines[i].c_str();
    mxArray* chars = mxCreateCharMatrixFromStrings(lines.size(), pointers.data());
    mxArray* cell = nullptr;
    const bool called = mexCallMATLAB(1, &cell, 1, &chars, "cellstr") == 0;
    mxDestroyArray(chars);
    if (called && cell != nullptr && mxIsCell(cell) && mxGetM(cell) == lines.size() && mxGetN(cell) == 1) return cell;
    if (cell != nullptr) mxDestroyArray(cell);
    return nullptr;
}

// Makes an n-by-1 cell column of char rows. Returns the new array.
mxArray* lineCell(const std::vector<std::string>& lines) {
    if (lines.size() >= kCellstrMinLines && cellstrKeepsLines(lines)) {
        if (mxArray* cell = cellstrCell(lines)) return cell;
    }
    mxArray* cell = mxCreateCellMatrix(lines.size(), 1);
    for (std::size_t i = 0; i < lines.size(); ++i) mxSetCell(cell, i, textArray(lines[i]));
    return cell;
}

// Makes the n-by-2 cell {label, content} of the records the reader does not know.
// Returns the new array.
mxArray* otherRecordsCell(const std::vector<std::pair<std::string, std::string>>& records) {
    const std::size_t n = records.size();
    mxArray* cell = mxCreateCellMatrix(n, 2);
    for (std::size_t i = 0; i < n; ++i) {
        mxSetCell(cell, i, textArray(records[i].first));
        mxSetCell(cell, n + i, textArray(records[i].second));
    }
    return cell;
}

// Makes an n-by-1 char column of system letters. Returns the new array.
mxArray* letterColumn(const std::vector<char>& letters) {
    std::vector<std::string> rows(letters.size());
    std::vector<const char*> pointers(letters.size());
    for (std::size_t i = 0; i < letters.size(); ++i) {
        rows[i] = std::string(1, letters[i]);
        pointers[i] = rows[i].c_str();
    }
    if (letters.empty()) return textArray("");
    return mxCreateCharMatrixFromStrings(letters.size(), pointers.data());
}

// Makes a scalar struct whose fields are `names`, each set from `values` in order.
// Returns the new array.
mxArray* recordStruct(const std::vector<const char*>& names, const std::vector<mxArray*>& values) {
    mxArray* s = mxCreateStructMatrix(1, 1, static_cast<int>(names.size()), const_cast<const char**>(names.data()));
    for (std::size_t f = 0; f < names.size(); ++f) mxSetFieldByNumber(s, 0, static_cast<int>(f), values[f]);
    return s;
}

// Makes the satellites table of a DCB block: column fields system, prn, bias, rms.
// Returns the new struct.
mxArray* satelliteTable(const std::vector<ionex::SatelliteBias>& satellites) {
    std::vector<char> system;
    std::vector<double> prn, bias, rms;
    for (const ionex::SatelliteBias& s : satellites) {
        system.push_back(s.system);
        prn.push_back(s.prn);
        bias.push_back(s.bias);
        rms.push_back(s.rms);
    }
    return recordStruct({"system", "prn", "bias", "rms"},
                        {letterColumn(system), columnArray(prn), columnArray(bias), columnArray(rms)});
}

// Makes the stations table of a DCB block: column fields system, name, domes, bias, rms.
// Returns the new struct.
mxArray* stationTable(const std::vector<ionex::StationBias>& stations) {
    std::vector<char> system;
    std::vector<std::string> name, domes;
    std::vector<double> bias, rms;
    for (const ionex::StationBias& s : stations) {
        system.push_back(s.system);
        name.push_back(s.name);
        domes.push_back(s.domes);
        bias.push_back(s.bias);
        rms.push_back(s.rms);
    }
    return recordStruct({"system", "name", "domes", "bias", "rms"},
                        {letterColumn(system), lineCell(name), lineCell(domes), columnArray(bias), columnArray(rms)});
}

// Makes the n-by-1 struct array of DCB blocks (0-by-1 when the files hold none).
// Returns the new array.
mxArray* dcbArray(const std::vector<ionex::DcbBlock>& blocks) {
    const char* names[] = {"file", "title", "satellites", "stations", "comments"};
    mxArray* s = mxCreateStructMatrix(blocks.size(), 1, 5, names);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        mxSetFieldByNumber(s, b, 0, textArray(blocks[b].file));
        mxSetFieldByNumber(s, b, 1, textArray(blocks[b].title));
        mxSetFieldByNumber(s, b, 2, satelliteTable(blocks[b].satellites));
        mxSetFieldByNumber(s, b, 3, stationTable(blocks[b].stations));
        mxSetFieldByNumber(s, b, 4, lineCell(blocks[b].comments));
    }
    return s;
}

// Map arrays of at least this many values are made by the host's zeros: an array the MEX
// file creates itself the host copies once more, value by value, when the MEX call returns
// (Octave does), while an array the host made is handed over as it is.
constexpr std::size_t kHostZerosMinValues = 4096;

// Makes a real double array of `ndims` dimensions `dims` with the host's zeros. Returns it,
// or null when the host's call does not give exactly that array.
mxArray* hostZeros(int ndims, const mwSize* dims) {
    mxArray* sizes[4] = {};
    for (int d = 0; d < ndims; ++d) sizes[d] = mxCreateDoubleScalar(static_cast<double>(dims[d]));
    mxArray* a = nullptr;
    const bool called = mexCallMATLAB(1, &a, ndims, sizes, "zeros") == 0;
    for (int d = 0; d < ndims; ++d) mxDestroyArray(sizes[d]);
    // Hosts drop trailing singleton dimensions (one map of a 2-D file is nlat-by-nlon).
    int wanted = ndims;
    while (wanted > 2 && dims[wanted - 1] == 1) --wanted;
    bool same = called && a != nullptr && mxIsDouble(a) && !mxIsComplex(a) && !mxIsSparse(a) &&
                mxGetNumberOfDimensions(a) == static_cast<mwSize>(wanted) && mxGetPr(a) != nullptr;
    for (int d = 0; same && d < wanted; ++d) same = mxGetDimensions(a)[d] == dims[d];
    if (same) return a;
    if (a != nullptr) mxDestroyArray(a);
    return nullptr;
}

// Makes the maps of one kind as nlat-by-nlon-by-nmaps(-by-nhgt) doubles, or [] when the
// file lacks the kind; then gives the reader's storage back for the thread's next read. The reader stores latitude fastest,
// then longitude, then height, map after map. Returns the new array.
mxArray* mapArray(ionex::MapSeries& series, std::size_t nlat, std::size_t nlon, std::size_t nhgt) {
    const std::size_t per_map = nlat * nlon * nhgt;
    if (!series.present || per_map == 0) {
        ionex::keepValueStorage(series.values);
        return mxCreateDoubleMatrix(0, 0, mxREAL);
    }
    const std::size_t nmaps = series.values.size() / per_map;
    const mwSize dims[4] = {static_cast<mwSize>(nlat), static_cast<mwSize>(nlon), static_cast<mwSize>(nmaps),
                            static_cast<mwSize>(nhgt)};
    const int ndims = nhgt > 1 ? 4 : 3;
    mxArray* a = per_map * nmaps >= kHostZerosMinValues ? hostZeros(ndims, dims) : nullptr;
    // Every element is written below: no need to zero them first.
    if (a == nullptr) a = mxCreateUninitNumericArray(ndims, dims, mxDOUBLE_CLASS, mxREAL);
    double* out = mxGetPr(a);
    const double* in = series.values.data();
    const std::size_t layer = nlat * nlon;
    if (nhgt == 1) {
        std::copy(in, in + nmaps * layer, out);
    } else {
        // Map m, height h: a layer at (m * nhgt + h) in the reader, at (h * nmaps + m) here.
        for (std::size_t m = 0; m < nmaps; ++m) {
            for (std::size_t h = 0; h < nhgt; ++h) {
                const double* from = in + (m * nhgt + h) * layer;
                std::copy(from, from + layer, out + (h * nmaps + m) * layer);
            }
        }
    }
    ionex::keepValueStorage(series.values);
    return a;
}

}  // namespace

mxArray* createContentsStruct(ionex::IonexContents& contents, bool with_maps) {
    const ionex::HeaderRecords& h = contents.header;
    std::vector<const char*> names;
    std::vector<mxArray*> values;
    // Each field is made as soon as it is named: a failing allocation leaves only arrays
    // of this call behind, which the host releases.
    auto add = [&](const char* name, mxArray* value) {
        names.push_back(name);
        values.push_back(value);
    };
    names.reserve(32);
    values.reserve(32);
    add("version", optionalNumber(h.version));
    add("file_type", textArray(h.file_type));
    add("system", textArray(h.system));
    add("program", textArray(h.program));
    add("run_by", textArray(h.run_by));
    add("date", textArray(h.date));
    add("description", lineCell(h.description));
    add("comments", lineCell(h.comments));
    add("first_epoch", optionalEpoch(h.first_epoch));
    add("last_epoch", optionalEpoch(h.last_epoch));
    add("interval", optionalNumber(h.interval));
    add("num_maps", optionalNumber(h.num_maps));
    add("mapping_function", textArray(h.mapping_function));
    add("elevation_cutoff", optionalNumber(h.elevation_cutoff));
    add("observables", textArray(h.observables));
    add("num_stations", optionalNumber(h.num_stations));
    add("num_satellites", optionalNumber(h.num_satellites));
    add("base_radius", optionalNumber(h.base_radius));
    add("map_dimension", optionalNumber(h.map_dimension));
    add("exponent", optionalNumber(h.exponent));
    add("other_records", otherRecordsCell(h.other_records));
    add("files", lineCell(contents.files));
    add("lat", columnArray(contents.lat));
    add("lon", columnArray(contents.lon));
    add("height", columnArray(contents.height));
    if (with_maps) {
        const std::size_t nhgt = std::max<std::size_t>(contents.height.size(), 1);
        add("time", columnArray(contents.time));
        add("tec", mapArray(contents.maps[ionex::kTecMap], contents.lat.size(), contents.lon.size(), nhgt));
        add("rms", mapArray(contents.maps[ionex::kRmsMap], contents.lat.size(), contents.lon.size(), nhgt));
        add("height_map", mapArray(contents.maps[ionex::kHeightMap], contents.lat.size(), contents.lon.size(), nhgt));
    }
    add("dcb", dcbArray(contents.dcb));
    return recordStruct(names, values);
}

}  // namespace gateway
