// Decoding of the inputs of ionex.read and ionex.info. Every input is hostile until checked:
// any class, shape or value reaches the caller as ionex:Input with what was wrong.

#include "ionex_package/read_arguments.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "shared/host_text.h"
#include "ionex_package/file_pattern.h"

namespace gateway {
namespace {

// Lower-case copy of `text`. Returns it.
std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Tells whether `input` is a string scalar (MATLAB's string class). Returns true if so.
bool isStringScalar(const mxArray* input) {
    return mxIsClass(input, "string") && mxGetNumberOfElements(input) == 1;
}

// Copies the text of a char row into `text`. Returns false when the host cannot convert it,
// or when it holds a NUL (which would cut a name short, naming another file).
bool copyCharRow(const mxArray* input, std::string& text) {
    return !hasNulCharacter(input) && copyUtf8FromHost(input, text);
}

// Adds one name to the request: itself when it names a file or has no wildcard, else the
// files its pattern matches. Returns false with ionex:NoFile when a pattern matches nothing.
bool addName(const std::string& name, ReadRequest& request, GatewayError& error) {
    if (fileExists(name) || !hasWildcard(name)) {
        request.files.push_back(name);
        return true;
    }
    request.series = true;
    if (expandPattern(name, request.files) == 0) {
        return fail(error, "ionex:NoFile", "No file matches the pattern '%s'.", name.c_str());
    }
    return true;
}

// Decodes FILE or FILES: a char row, a string scalar, or (ionex.read only) a cell array or
// string array of them. Returns false with `error` filled when the input does not fit.
bool decodeFiles(IonexCall call, const mxArray* input, ReadRequest& request, GatewayError& error) {
    std::string name;
    if (hasNulCharacter(input)) return fail(error, "ionex:Input", "FILE must be a char row without NUL characters.");
    if (textOf(input, name)) {
        if (name.empty()) return fail(error, "ionex:Input", "FILE is empty: give the name of an IONEX file.");
        if (call == IonexCall::kInfo) {
            request.files.push_back(name);
            return true;
        }
        return addName(name, request, error);
    }
    const bool is_cell = mxIsCell(input);
    const bool is_strings = mxIsClass(input, "string");
    if (call == IonexCall::kInfo || (!is_cell && !is_strings)) {
        return fail(error, "ionex:Input", "FILE must be a char row or a string scalar%s, not a %s array.",
                    call == IonexCall::kRead ? " (FILES a cell array of them)" : "", mxGetClassName(input));
    }
    const std::size_t count = mxGetNumberOfElements(input);
    if (count == 0) return fail(error, "ionex:Input", "FILES is empty: give at least one file name.");
    request.series = true;
    if (is_strings) {
        mxArray* cell = nullptr;
        mxArray* strings = const_cast<mxArray*>(input);
        if (mexCallMATLAB(1, &cell, 1, &strings, "cellstr") != 0 || cell == nullptr) {
            return fail(error, "ionex:Input", "FILES: the string array cannot be converted to text.");
        }
        const bool ok = decodeFiles(call, cell, request, error);
        mxDestroyArray(cell);
        return ok;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const mxArray* element = mxGetCell(input, i);
        if (element == nullptr || !textOf(element, name) || name.empty()) {
            return fail(error, "ionex:Input", "FILES{%zu} must be a non-empty char row or string scalar.", i + 1);
        }
        if (!addName(name, request, error)) return false;
    }
    return true;
}

// Reads a real numeric pair [a b] of finite values. Returns false when `value` is anything
// else (wrong class or size, complex, sparse, NaN or Inf).
bool readPair(const mxArray* value, double (&pair)[2]) {
    if (!mxIsNumeric(value) || mxIsComplex(value) || mxIsSparse(value)) return false;
    if (mxGetNumberOfElements(value) != 2 || mxGetNumberOfDimensions(value) != 2) return false;
    if (mxGetM(value) != 1 && mxGetN(value) != 1) return false;
    const double* data = nullptr;
    double converted[2];
    if (mxIsDouble(value)) {
        data = mxGetPr(value);
    } else {
        // Other numeric classes: their elements, converted one by one.
        const void* raw = mxGetData(value);
        switch (mxGetClassID(value)) {
            case mxSINGLE_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const float*>(raw)[k]; break;
            case mxINT8_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const signed char*>(raw)[k]; break;
            case mxUINT8_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const unsigned char*>(raw)[k]; break;
            case mxINT16_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const short*>(raw)[k]; break;
            case mxUINT16_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const unsigned short*>(raw)[k]; break;
            case mxINT32_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const int*>(raw)[k]; break;
            case mxUINT32_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<const unsigned int*>(raw)[k]; break;
            case mxINT64_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<double>(static_cast<const long long*>(raw)[k]); break;
            case mxUINT64_CLASS: for (int k = 0; k < 2; ++k) converted[k] = static_cast<double>(static_cast<const unsigned long long*>(raw)[k]); break;
            default: return false;
        }
        data = converted;
    }
    if (data == nullptr || !std::isfinite(data[0]) || !std::isfinite(data[1])) return false;
    pair[0] = data[0];
    pair[1] = data[1];
    return true;
}

// Reads a logical or numeric scalar as true/false. Returns false when `value` is anything
// else (or NaN).
bool readFlag(const mxArray* value, bool& flag) {
    if (mxGetNumberOfElements(value) != 1 || mxIsComplex(value) || mxIsSparse(value)) return false;
    if (!mxIsLogical(value) && !mxIsNumeric(value)) return false;
    const double v = mxGetScalar(value);
    if (std::isnan(v)) return false;
    flag = v != 0;
    return true;
}

// Marks the map kind called `name` in `kinds`. Returns false for an unknown name.
bool markKind(const std::string& name, bool (&kinds)[ionex::kMapKindCount]) {
    static const char* const kNames[ionex::kMapKindCount] = {"tec", "rms", "height_map"};
    for (int k = 0; k < ionex::kMapKindCount; ++k) {
        if (lowerCase(name) == kNames[k]) {
            kinds[k] = true;
            return true;
        }
    }
    return false;
}

// Decodes the value of 'Maps': a char row, a string scalar or array, or a cell array of
// them, naming 'tec', 'rms' or 'height_map'. Returns false with `error` filled otherwise.
bool decodeMaps(const mxArray* value, ionex::ReadOptions& options, GatewayError& error) {
    bool kinds[ionex::kMapKindCount] = {false, false, false};
    std::string name;
    const char* const kUsage = "'Maps' takes 'tec', 'rms' or 'height_map', or a cell array of them";
    if (textOf(value, name)) {
        if (!markKind(name, kinds)) return fail(error, "ionex:Input", "%s; '%s' is none of them.", kUsage, name.c_str());
    } else if (mxIsCell(value) || mxIsClass(value, "string")) {
        mxArray* converted = nullptr;
        if (!mxIsCell(value)) {
            mxArray* strings = const_cast<mxArray*>(value);
            if (mexCallMATLAB(1, &converted, 1, &strings, "cellstr") != 0 || converted == nullptr) {
                return fail(error, "ionex:Input", "%s.", kUsage);
            }
        }
        const mxArray* cell = converted != nullptr ? converted : value;
        bool ok = mxGetNumberOfElements(cell) > 0;
        for (std::size_t i = 0; ok && i < mxGetNumberOfElements(cell); ++i) {
            const mxArray* element = mxGetCell(cell, i);
            ok = element != nullptr && textOf(element, name) && markKind(name, kinds);
        }
        if (converted != nullptr) mxDestroyArray(converted);
        if (!ok) return fail(error, "ionex:Input", "%s; the cell array holds something else.", kUsage);
    } else {
        return fail(error, "ionex:Input", "%s, not a %s array.", kUsage, mxGetClassName(value));
    }
    std::copy(kinds, kinds + ionex::kMapKindCount, options.kinds);
    return true;
}

// Decodes one name-value pair of ionex.read. Returns false with `error` filled when the
// name is unknown or the value does not fit.
bool decodeOption(const std::string& name, const mxArray* value, ReadRequest& request, GatewayError& error) {
    ionex::ReadOptions& options = request.options;
    const std::string key = lowerCase(name);
    if (key == "maps") return decodeMaps(value, options, error);
    if (key == "latitude" || key == "longitude" || key == "time") {
        double pair[2];
        if (!readPair(value, pair)) {
            return fail(error, "ionex:Input", "'%s' takes a pair of finite real numbers [%s].", name.c_str(),
                        key == "time" ? "t0 t1" : "first last");
        }
        if (key == "latitude") {
            // A range is a closed interval: its order does not matter.
            options.has_lat_range = true;
            options.lat_range[0] = std::min(pair[0], pair[1]);
            options.lat_range[1] = std::max(pair[0], pair[1]);
        } else if (key == "longitude") {
            if (pair[0] < -180 || pair[0] > 360 || pair[1] < -180 || pair[1] > 360) {
                return fail(error, "ionex:Input", "'Longitude' values lie in -180..180 or 0..360; got [%g %g].", pair[0], pair[1]);
            }
            options.has_lon_range = true;
            options.lon_range[0] = pair[0];
            options.lon_range[1] = pair[1];
        } else {
            if (pair[0] > pair[1]) {
                return fail(error, "ionex:Input", "'Time' takes [t0 t1] with t0 <= t1 (datenum); got [%.10g %.10g].", pair[0], pair[1]);
            }
            options.has_time_range = true;
            options.time_range[0] = pair[0];
            options.time_range[1] = pair[1];
        }
        return true;
    }
    if (key == "progress") {
        if (!readFlag(value, request.progress)) return fail(error, "ionex:Input", "'Progress' takes true or false.");
        return true;
    }
    return fail(error, "ionex:Input",
                "Unknown option '%s': ionex.read takes 'Maps', 'Latitude', 'Longitude', 'Time' and 'Progress'.",
                name.c_str());
}

}  // namespace

bool textOf(const mxArray* input, std::string& text) {
    if (mxIsChar(input)) {
        // A char row, or '' (0-by-0); a char matrix of several rows is no name.
        if (mxGetNumberOfDimensions(input) != 2 || (mxGetM(input) != 1 && mxGetNumberOfElements(input) != 0)) return false;
        return copyCharRow(input, text);
    }
    if (!isStringScalar(input)) return false;
    mxArray* converted = nullptr;
    mxArray* string_scalar = const_cast<mxArray*>(input);
    if (mexCallMATLAB(1, &converted, 1, &string_scalar, "char") != 0 || converted == nullptr) return false;
    const bool ok = mxIsChar(converted) && copyCharRow(converted, text);
    mxDestroyArray(converted);
    return ok;
}

bool decodeReadArguments(IonexCall call, int nlhs, int nrhs, const mxArray* prhs[],
                         ReadRequest& request, GatewayError& error) {
    const char* entry = call == IonexCall::kRead ? "ionex.read" : "ionex.info";
    if (nlhs > 1) return fail(error, "ionex:Input", "%s returns one output, a struct; %d were requested.", entry, nlhs);
    if (nrhs < 1) {
        return fail(error, "ionex:Input", "%s needs a file: %s", entry,
                    call == IonexCall::kRead ? "M = ionex.read(FILE, 'Name', value, ...)" : "INFO = ionex.info(FILE)");
    }
    if (call == IonexCall::kInfo && nrhs > 1) return fail(error, "ionex:Input", "ionex.info takes one input, FILE; got %d.", nrhs);
    if (!decodeFiles(call, prhs[0], request, error)) return false;
    if (call == IonexCall::kInfo) {
        request.options.header_only = true;
        return true;
    }
    if ((nrhs - 1) % 2 != 0) {
        return fail(error, "ionex:Input", "Options come in name-value pairs; the last name has no value.");
    }
    for (int i = 1; i + 1 < nrhs; i += 2) {
        std::string name;
        if (!textOf(prhs[i], name)) {
            return fail(error, "ionex:Input", "Input %d must be an option name (char row or string scalar), not a %s array.",
                        i + 1, mxGetClassName(prhs[i]));
        }
        if (!decodeOption(name, prhs[i + 1], request, error)) return false;
    }
    return true;
}

}  // namespace gateway
