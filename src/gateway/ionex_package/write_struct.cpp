// Decoding of ionex.write's M. Text comes as char rows or string scalars, lists of lines as
// cell arrays (or string arrays), numbers as real scalars; an absent optional field is [],
// '' or {} (or missing).

#include "ionex_package/write_struct.h"

#include <cmath>
#include <string>
#include <vector>

#include "ionex_package/read_arguments.h"

namespace gateway {
namespace {

const char* const kMapFields[ionex::kMapKindCount] = {"tec", "rms", "height_map"};

// Dimension k of `a` (1 past its last). Returns it.
std::size_t dimension(const mxArray* a, std::size_t k) {
    const std::size_t ndim = static_cast<std::size_t>(mxGetNumberOfDimensions(a));
    return k < ndim ? static_cast<std::size_t>(mxGetDimensions(a)[k]) : 1;
}

// Tells whether `a` is a real, dense double array. Returns true if so.
bool isRealDouble(const mxArray* a) { return mxIsDouble(a) && !mxIsComplex(a) && !mxIsSparse(a); }

// Tells whether field `f` counts as absent: missing, or empty. Returns true if so.
bool absent(const mxArray* f) { return f == nullptr || mxIsEmpty(f); }

// Reads a real double vector field (any orientation) into `values`; absent gives none.
// Returns true, or false with `error` filled.
bool readVector(const mxArray* m, const char* name, std::vector<double>& values, GatewayError& error) {
    values.clear();
    const mxArray* f = mxGetField(m, 0, name);
    if (absent(f)) return true;
    const std::size_t n = mxGetNumberOfElements(f);
    std::size_t longest = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(mxGetNumberOfDimensions(f)); ++k) longest = std::max(longest, dimension(f, k));
    if (!isRealDouble(f) || longest != n) {
        return fail(error, "ionex:Input", "M.%s must be a real double vector, not a %zu-element %s%s array of another shape or class.",
                    name, n, mxIsComplex(f) ? "complex " : mxIsSparse(f) ? "sparse " : "", mxGetClassName(f));
    }
    values.assign(mxGetPr(f), mxGetPr(f) + n);
    return true;
}

// Reads a real scalar field; absent leaves `value` empty. `whole` asks for an integer.
// Returns true, or false with `error` filled.
template <typename T>
bool readScalar(const mxArray* m, const char* name, bool whole, std::optional<T>& value, GatewayError& error) {
    value.reset();
    const mxArray* f = mxGetField(m, 0, name);
    if (absent(f)) return true;
    if (!(mxIsNumeric(f) || mxIsLogical(f)) || mxIsComplex(f) || mxIsSparse(f) || mxGetNumberOfElements(f) != 1) {
        return fail(error, "ionex:Input", "M.%s must be a real scalar (or [] when absent), not a %s array.", name, mxGetClassName(f));
    }
    const double v = mxGetScalar(f);
    if (!std::isfinite(v) || (whole && (v != std::floor(v) || std::fabs(v) > 1e9))) {
        return fail(error, "ionex:Input", "M.%s must be a finite %snumber; it is %g.", name, whole ? "whole " : "", v);
    }
    value = static_cast<T>(v);
    return true;
}

// Reads text (a char row, '' or a string scalar) from array `f` called `name` (cell `cell`
// of it when not 0: its name is made only for a message, as a list has many cells).
// Returns true, or false with `error` filled.
bool readTextOf(const mxArray* f, const std::string& name, std::string& text, GatewayError& error, std::size_t cell = 0) {
    text.clear();
    if (f == nullptr || (mxIsChar(f) && mxIsEmpty(f)) || (mxIsDouble(f) && mxIsEmpty(f))) return true;
    if (!textOf(f, text)) {
        const std::string full = cell == 0 ? name : name + "{" + std::to_string(cell) + "}";
        return fail(error, "ionex:Input", "M.%s must be text (a char row or a string scalar), not a %s array.", full.c_str(),
                    mxGetClassName(f));
    }
    return true;
}

// Reads a text field of M. Returns true, or false with `error` filled.
bool readText(const mxArray* m, const char* name, std::string& text, GatewayError& error) {
    return readTextOf(mxGetField(m, 0, name), name, text, error);
}

// Reads a list of lines from array `f`: a cell array of texts, a string array, or one text.
// Returns true, or false with `error` filled.
bool readLinesOf(const mxArray* f, const std::string& name, std::vector<std::string>& lines, GatewayError& error) {
    lines.clear();
    if (absent(f)) return true;
    if (mxIsChar(f) || (mxIsClass(f, "string") && mxGetNumberOfElements(f) == 1)) {
        lines.emplace_back();
        return readTextOf(f, name, lines.back(), error);
    }
    mxArray* converted = nullptr;
    if (mxIsClass(f, "string")) {
        mxArray* strings = const_cast<mxArray*>(f);
        if (mexCallMATLAB(1, &converted, 1, &strings, "cellstr") != 0 || converted == nullptr) {
            return fail(error, "ionex:Input", "M.%s: the string array cannot be converted to text.", name.c_str());
        }
    }
    const mxArray* cell = converted != nullptr ? converted : f;
    bool ok = mxIsCell(cell);
    if (!ok) fail(error, "ionex:Input", "M.%s must be a cell array of lines (char rows), not a %s array.", name.c_str(), mxGetClassName(f));
    if (ok) lines.reserve(mxGetNumberOfElements(cell));
    for (std::size_t k = 0; ok && k < mxGetNumberOfElements(cell); ++k) {
        lines.emplace_back();
        ok = readTextOf(mxGetCell(cell, k), name, lines.back(), error, k + 1);
    }
    if (converted != nullptr) mxDestroyArray(converted);
    return ok;
}

// Reads M.other_records: an n-by-2 cell {label, content}. Returns true, or false with `error`.
bool readOtherRecords(const mxArray* m, ionex::HeaderRecords& h, GatewayError& error) {
    h.other_records.clear();
    const mxArray* f = mxGetField(m, 0, "other_records");
    if (absent(f)) return true;
    if (!mxIsCell(f) || mxGetNumberOfDimensions(f) != 2 || mxGetN(f) != 2) {
        return fail(error, "ionex:Input", "M.other_records must be an n-by-2 cell array {label, content}.");
    }
    const std::size_t n = mxGetM(f);
    for (std::size_t k = 0; k < n; ++k) {
        std::pair<std::string, std::string> record;
        const std::string at = "other_records{" + std::to_string(k + 1) + ",";
        if (!readTextOf(mxGetCell(f, k), at + "1}", record.first, error) ||
            !readTextOf(mxGetCell(f, n + k), at + "2}", record.second, error)) {
            return false;
        }
        h.other_records.push_back(std::move(record));
    }
    return true;
}

// Reads the header record fields. Returns true, or false with `error` filled.
bool readHeader(const mxArray* m, ionex::HeaderRecords& h, GatewayError& error) {
    return readScalar(m, "version", false, h.version, error) && readText(m, "file_type", h.file_type, error) &&
           readText(m, "system", h.system, error) && readText(m, "program", h.program, error) &&
           readText(m, "run_by", h.run_by, error) && readText(m, "date", h.date, error) &&
           readLinesOf(mxGetField(m, 0, "description"), "description", h.description, error) &&
           readLinesOf(mxGetField(m, 0, "comments"), "comments", h.comments, error) &&
           readScalar(m, "interval", false, h.interval, error) && readText(m, "mapping_function", h.mapping_function, error) &&
           readScalar(m, "elevation_cutoff", false, h.elevation_cutoff, error) &&
           readText(m, "observables", h.observables, error) && readScalar(m, "num_stations", true, h.num_stations, error) &&
           readScalar(m, "num_satellites", true, h.num_satellites, error) &&
           readScalar(m, "base_radius", false, h.base_radius, error) &&
           readScalar(m, "map_dimension", true, h.map_dimension, error) && readScalar(m, "exponent", true, h.exponent, error) &&
           readOtherRecords(m, h, error);
}

// Reads a numeric column field of a DCB table with `n` rows. Returns true, or false.
bool readTableNumbers(const mxArray* table, const std::string& name, const char* field, std::size_t n,
                      std::vector<double>& values, GatewayError& error) {
    const mxArray* f = mxGetField(table, 0, field);
    values.clear();
    if (n == 0 && absent(f)) return true;
    if (f == nullptr || !isRealDouble(f) || mxGetNumberOfElements(f) != n) {
        return fail(error, "ionex:Input", "M.%s.%s must be a real double vector of %zu elements, one per line.", name.c_str(),
                    field, n);
    }
    values.assign(mxGetPr(f), mxGetPr(f) + n);
    return true;
}

// Reads the system letters of a DCB table (a char column, or one row of letters).
// Returns true, or false with `error` filled.
bool readLetters(const mxArray* table, const std::string& name, std::size_t n, std::string& letters, GatewayError& error) {
    const mxArray* f = mxGetField(table, 0, "system");
    letters.clear();
    if (n == 0 && absent(f)) return true;
    char* text = (f != nullptr && mxIsChar(f) && mxGetNumberOfElements(f) == n) ? mxArrayToString(f) : nullptr;
    if (text != nullptr) {
        letters.assign(text);
        mxFree(text);
    }
    if (letters.size() != n) {
        return fail(error, "ionex:Input", "M.%s.system must be a char column of %zu letters, one per line.", name.c_str(), n);
    }
    return true;
}

// The number of lines of a DCB table: the length of its bias column. Returns it.
std::size_t tableRows(const mxArray* table) {
    const mxArray* bias = mxGetField(table, 0, "bias");
    return bias == nullptr ? 0 : mxGetNumberOfElements(bias);
}

// Reads the satellites table of DCB block `b`. Returns true, or false with `error` filled.
bool readSatellites(const mxArray* table, const std::string& name, ionex::DcbBlock& block, GatewayError& error) {
    if (absent(table)) return true;
    if (!mxIsStruct(table) || mxGetNumberOfElements(table) != 1) {
        return fail(error, "ionex:Input", "M.%s must be a scalar struct with fields system, prn, bias, rms.", name.c_str());
    }
    const std::size_t n = tableRows(table);
    std::string system;
    std::vector<double> prn, bias, rms;
    if (!readLetters(table, name, n, system, error) || !readTableNumbers(table, name, "prn", n, prn, error) ||
        !readTableNumbers(table, name, "bias", n, bias, error) || !readTableNumbers(table, name, "rms", n, rms, error)) {
        return false;
    }
    block.satellites.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (!(prn[k] >= 0 && prn[k] <= 99 && prn[k] == std::floor(prn[k]))) {
            return fail(error, "ionex:Input", "M.%s.prn(%zu) must be a whole number 0 to 99; it is %g.", name.c_str(), k + 1, prn[k]);
        }
        block.satellites.push_back(ionex::SatelliteBias{system[k], static_cast<int>(prn[k]), bias[k], rms[k]});
    }
    return true;
}

// Reads the stations table of a DCB block. Returns true, or false with `error` filled.
bool readStations(const mxArray* table, const std::string& name, ionex::DcbBlock& block, GatewayError& error) {
    if (absent(table)) return true;
    if (!mxIsStruct(table) || mxGetNumberOfElements(table) != 1) {
        return fail(error, "ionex:Input", "M.%s must be a scalar struct with fields system, name, domes, bias, rms.", name.c_str());
    }
    const std::size_t n = tableRows(table);
    std::string system;
    std::vector<double> bias, rms;
    std::vector<std::string> names, domes;
    if (!readLetters(table, name, n, system, error) || !readTableNumbers(table, name, "bias", n, bias, error) ||
        !readTableNumbers(table, name, "rms", n, rms, error) ||
        !readLinesOf(mxGetField(table, 0, "name"), name + ".name", names, error) ||
        !readLinesOf(mxGetField(table, 0, "domes"), name + ".domes", domes, error)) {
        return false;
    }
    if (names.size() != n) return fail(error, "ionex:Input", "M.%s.name must be a cell of %zu names, one per line.", name.c_str(), n);
    if (domes.empty()) domes.assign(n, std::string());
    if (domes.size() != n) return fail(error, "ionex:Input", "M.%s.domes must be a cell of %zu texts, one per line.", name.c_str(), n);
    block.stations.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        block.stations.push_back(ionex::StationBias{system[k], names[k], domes[k], bias[k], rms[k]});
    }
    return true;
}

// Reads M.dcb: a struct array of blocks (title, satellites, stations, comments).
// Returns true, or false with `error` filled.
bool readDcb(const mxArray* m, std::vector<ionex::DcbBlock>& blocks, GatewayError& error) {
    blocks.clear();
    const mxArray* f = mxGetField(m, 0, "dcb");
    if (absent(f)) return true;
    if (!mxIsStruct(f)) return fail(error, "ionex:Input", "M.dcb must be a struct array as ionex.read returns it, not a %s array.", mxGetClassName(f));
    for (std::size_t b = 0; b < mxGetNumberOfElements(f); ++b) {
        ionex::DcbBlock block;
        const std::string name = "dcb(" + std::to_string(b + 1) + ")";
        if (!readTextOf(mxGetField(f, b, "title"), name + ".title", block.title, error) ||
            !readLinesOf(mxGetField(f, b, "comments"), name + ".comments", block.comments, error) ||
            !readSatellites(mxGetField(f, b, "satellites"), name + ".satellites", block, error) ||
            !readStations(mxGetField(f, b, "stations"), name + ".stations", block, error)) {
            return false;
        }
        blocks.push_back(std::move(block));
    }
    return true;
}

// Reads the maps of each kind: real double arrays of nlat x nlon x ntime x nheight (the
// same for every kind present). Returns true, or false with `error` filled.
bool readMaps(const mxArray* m, ionex::WriteInput& in, GatewayError& error) {
    const std::size_t nlat = in.lat.size(), nlon = in.lon.size(), ntime = in.time.size();
    const std::size_t nhgt = in.height.empty() ? 1 : in.height.size();
    const std::size_t want[4] = {nlat, nlon, ntime, nhgt};
    for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
        in.maps[kind] = nullptr;
        const mxArray* f = mxGetField(m, 0, kMapFields[kind]);
        if (absent(f)) {
            if (kind == ionex::kTecMap) {
                return fail(error, "ionex:Input", "M.tec is %s: a file needs its TEC maps.", f == nullptr ? "missing" : "empty");
            }
            continue;
        }
        if (!isRealDouble(f)) {
            return fail(error, "ionex:Input", "M.%s must be a real double array, not a %s%s array.", kMapFields[kind],
                        mxIsComplex(f) ? "complex " : mxIsSparse(f) ? "sparse " : "", mxGetClassName(f));
        }
        bool fits = true;
        for (std::size_t k = 0; k < 4; ++k) fits = fits && dimension(f, k) == want[k];
        for (std::size_t k = 4; k < static_cast<std::size_t>(mxGetNumberOfDimensions(f)); ++k) fits = fits && dimension(f, k) == 1;
        if (!fits) {
            return fail(error, "ionex:Input",
                        "M.%s must be nlat-by-nlon-by-ntime-by-nheight, %zux%zux%zux%zu (from M.lat, M.lon, M.time, M.height); "
                        "it has %zu elements in %zu dimensions.",
                        kMapFields[kind], nlat, nlon, ntime, nhgt, mxGetNumberOfElements(f),
                        static_cast<std::size_t>(mxGetNumberOfDimensions(f)));
        }
        in.maps[kind] = mxGetPr(f);
    }
    // The host's layout: latitude fastest, then longitude, then map, then height.
    in.map_stride = nlat * nlon;
    in.height_stride = nlat * nlon * ntime;
    return true;
}

}  // namespace

bool readWriteStruct(const mxArray* m, ionex::WriteInput& in, GatewayError& error) {
    if (!mxIsStruct(m) || mxGetNumberOfElements(m) != 1) {
        return fail(error, "ionex:Input", "M must be a scalar struct as ionex.read returns it (at least lat, lon, time, tec), not a %s array.",
                    mxGetClassName(m));
    }
    for (const char* name : {"lat", "lon", "time"}) {
        if (absent(mxGetField(m, 0, name))) return fail(error, "ionex:Input", "M.%s is missing or empty: ionex.write needs lat, lon, time and tec.", name);
    }
    return readVector(m, "lat", in.lat, error) && readVector(m, "lon", in.lon, error) &&
           readVector(m, "height", in.height, error) && readVector(m, "time", in.time, error) && readMaps(m, in, error) &&
           readHeader(m, in.header, error) && readDcb(m, in.dcb, error);
}

}  // namespace gateway
