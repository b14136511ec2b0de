// Decoding of the inputs of ionex.interp and ionex.delay: M's fields, query arrays and
// options. Nothing here allocates on the heap but the host's own output arrays.
#include "ionex_package/query_arguments.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "ionex_package/read_arguments.h"

namespace gateway {

namespace {

constexpr const char* kNotFromRead = "M must be the scalar struct that ionex.read returns";

// Whether `a` is a real, dense double array.
bool isRealDouble(const mxArray* a) {
    return a != nullptr && mxIsDouble(a) && !mxIsComplex(a) && !mxIsSparse(a);
}

// Dimension k of `a`, 1 past its last dimension.
std::size_t dimension(const mxArray* a, std::size_t k) {
    const std::size_t ndim = static_cast<std::size_t>(mxGetNumberOfDimensions(a));
    return k < ndim ? static_cast<std::size_t>(mxGetDimensions(a)[k]) : 1;
}

// Reads field `name` of M as a real double vector (any orientation); an empty vector is
// allowed when `allow_empty`. Returns true, or false with `error` filled.
bool readAxis(const mxArray* m, const char* name, bool allow_empty, const double*& values, std::size_t& count,
              GatewayError& error) {
    const mxArray* f = mxGetField(m, 0, name);
    if (f == nullptr) return fail(error, "ionex:Input", "%s: M has no field '%s'.", kNotFromRead, name);
    if (!isRealDouble(f)) {
        return fail(error, "ionex:Input", "M.%s must be a real double vector, not a %s%s array.", name,
                    mxIsComplex(f) ? "complex " : mxIsSparse(f) ? "sparse " : "", mxGetClassName(f));
    }
    count = mxGetNumberOfElements(f);
    values = count > 0 ? mxGetPr(f) : nullptr;
    if (count == 0 && !allow_empty) return fail(error, "ionex:Input", "M.%s is empty: M holds no maps.", name);
    std::size_t longest = 0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(mxGetNumberOfDimensions(f)); ++k) longest = std::max(longest, dimension(f, k));
    if (count > 0 && longest != count) return fail(error, "ionex:Input", "M.%s must be a vector.", name);
    return true;
}

// Reads map field `name` of M (tec or rms): null when absent or empty and `optional`,
// else a real double array of nlat-by-nlon-by-nmaps-by-nheight. Returns true, or false
// with `error` filled.
bool readMaps(const mxArray* m, const char* name, bool optional, const ionex::MapSetView& view,
              const double*& values, GatewayError& error) {
    values = nullptr;
    const mxArray* f = mxGetField(m, 0, name);
    if (f == nullptr || mxIsEmpty(f)) {
        if (optional) return true;
        return fail(error, "ionex:Input", "M holds no %s maps (M.%s is %s).", name, name, f == nullptr ? "missing" : "empty");
    }
    if (!isRealDouble(f)) {
        return fail(error, "ionex:Input", "M.%s must be a real double array, not a %s%s array.", name,
                    mxIsComplex(f) ? "complex " : mxIsSparse(f) ? "sparse " : "", mxGetClassName(f));
    }
    const std::size_t want[4] = {view.nlat, view.nlon, view.nmaps, view.nheight};
    bool fits = true;
    for (std::size_t k = 0; k < 4; ++k) fits = fits && dimension(f, k) == want[k];
    for (std::size_t k = 4; k < static_cast<std::size_t>(mxGetNumberOfDimensions(f)); ++k) fits = fits && dimension(f, k) == 1;
    if (!fits) {
        char got[96];
        return fail(error, "ionex:Input",
                    "M.%s is %s; with %zu latitudes, %zu longitudes, %zu epochs and %zu heights it must be "
                    "%zux%zux%zux%zu.",
                    name, sizeText(mxGetDimensions(f), mxGetNumberOfDimensions(f), got, sizeof got), want[0], want[1],
                    want[2], want[3], want[0], want[1], want[2], want[3]);
    }
    values = mxGetPr(f);
    return true;
}

// Reads M.base_radius: a finite real double scalar > 0. Returns true, or false with
// `error` filled.
bool readBaseRadius(const mxArray* m, double& radius, GatewayError& error) {
    const mxArray* f = mxGetField(m, 0, "base_radius");
    if (f == nullptr || mxIsEmpty(f)) {
        return fail(error, "ionex:Input", "M.base_radius is %s: the delay needs the file's BASE RADIUS.",
                    f == nullptr ? "missing" : "empty");
    }
    if (!isRealDouble(f) || mxGetNumberOfElements(f) != 1) {
        return fail(error, "ionex:Input", "M.base_radius must be a real double scalar (km).");
    }
    radius = mxGetPr(f)[0];
    if (!(std::isfinite(radius) && radius > 0)) {
        return fail(error, "ionex:Input", "M.base_radius must be finite and positive (km); it is %g.", radius);
    }
    return true;
}

// Lower-cased copy of `text` for case-insensitive comparison. Returns it.
std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads a char option value into `text`. Returns false when it is not text.
bool optionText(const mxArray* value, std::string& text) { return textOf(value, text); }

// Reads a real double scalar option value. Returns false when it is not one.
bool optionScalar(const mxArray* value, double& number) {
    if (!isRealDouble(value) || mxGetNumberOfElements(value) != 1) return false;
    number = mxGetPr(value)[0];
    return true;
}

// Decodes one option pair. Returns true, or false with `error` filled.
bool readOneOption(OptionSet set, const std::string& name, const mxArray* value, QueryOptions& options,
                   GatewayError& error) {
    std::string text;
    if (name == "method") {
        if (!optionText(value, text)) return fail(error, "ionex:Input", "'Method' takes 'rotated', 'linear' or 'nearest'.");
        const std::string m = lowered(text);
        if (m == "rotated") options.method = ionex::TimeMethod::kRotated;
        else if (m == "linear") options.method = ionex::TimeMethod::kLinear;
        else if (m == "nearest") options.method = ionex::TimeMethod::kNearest;
        else return fail(error, "ionex:Input", "'Method' '%s' does not exist: use 'rotated', 'linear' or 'nearest'.", text.c_str());
        return true;
    }
    if (set == OptionSet::kInterp && name == "height") {
        if (!optionScalar(value, options.height) || !std::isfinite(options.height)) {
            return fail(error, "ionex:Input", "'Height' takes a finite real number (km), one of M.height.");
        }
        options.has_height = true;
        return true;
    }
    if (set == OptionSet::kDelay && name == "frequency") {
        if (!optionScalar(value, options.frequency) || !std::isfinite(options.frequency) || options.frequency <= 0) {
            return fail(error, "ionex:Input", "'Frequency' takes a finite positive real number (Hz), e.g. 1575.42e6.");
        }
        return true;
    }
    if (set == OptionSet::kDelay && name == "mappingfunction") {
        if (!optionText(value, text)) return fail(error, "ionex:Input", "'MappingFunction' takes 'slm', 'mslm' or 'none'.");
        const std::string m = lowered(text);
        if (m == "slm") options.mapping = ionex::MappingFunction::kSingleLayer;
        else if (m == "mslm") options.mapping = ionex::MappingFunction::kModifiedSingleLayer;
        else if (m == "none") options.mapping = ionex::MappingFunction::kNone;
        else return fail(error, "ionex:Input", "'MappingFunction' '%s' does not exist: use 'slm', 'mslm' or 'none'.", text.c_str());
        return true;
    }
    return fail(error, "ionex:Input", "Unknown option '%s': %s takes %s.", name.c_str(),
                set == OptionSet::kInterp ? "ionex.interp" : "ionex.delay",
                set == OptionSet::kInterp ? "'Method' and 'Height'" : "'Frequency', 'MappingFunction' and 'Method'");
}

}  // namespace

const char* sizeText(const mwSize* dims, mwSize ndim, char* text, std::size_t size) {
    std::size_t used = 0;
    text[0] = '\0';
    for (mwSize k = 0; k < ndim && used < size; ++k) {
        const int n = std::snprintf(text + used, size - used, k == 0 ? "%zu" : "x%zu", static_cast<std::size_t>(dims[k]));
        if (n < 0) break;
        used += static_cast<std::size_t>(n);
    }
    return text;
}

bool readMapSet(const mxArray* m, MapNeeds needs, ionex::MapSetView& view, GatewayError& error) {
    if (m == nullptr || !mxIsStruct(m) || mxGetNumberOfElements(m) != 1) {
        return fail(error, "ionex:Input", "%s, not a %s.", kNotFromRead,
                    m != nullptr && mxIsStruct(m) ? "struct array" : m != nullptr ? mxGetClassName(m) : "nothing");
    }
    view = ionex::MapSetView{};
    if (!readAxis(m, "lat", false, view.lat, view.nlat, error)) return false;
    if (!readAxis(m, "lon", false, view.lon, view.nlon, error)) return false;
    if (!readAxis(m, "time", false, view.time, view.nmaps, error)) return false;
    const mxArray* h = mxGetField(m, 0, "height");
    if (h != nullptr && !mxIsEmpty(h)) {
        if (!readAxis(m, "height", true, view.height, view.nheight, error)) return false;
    } else {
        view.nheight = 1;  // a 2-D map set; its layer height is unknown
    }
    if (!readMaps(m, "tec", false, view, view.tec, error)) return false;
    if (!readMaps(m, "rms", true, view, view.rms, error)) return false;
    ionex::useHostLayout(view);
    if (needs == MapNeeds::kShell) {
        if (view.height == nullptr) return fail(error, "ionex:Input", "M.height is empty: the delay needs the height of the maps.");
        if (!readBaseRadius(m, view.base_radius, error)) return false;
        for (std::size_t k = 0; k < view.nheight; ++k) {
            if (!std::isfinite(view.height[k]) || view.height[k] < 0) {
                return fail(error, "ionex:Input", "M.height(%zu) is %g: heights must be finite and not negative (km).", k + 1,
                            view.height[k]);
            }
        }
    }
    return true;
}

bool addQueryInput(const mxArray* a, const char* name, ionex::QueryInput& input, QueryShape& shape,
                   GatewayError& error) {
    if (!isRealDouble(a)) {
        return fail(error, "ionex:Input", "%s must be a real double array, not a %s%s array.", name,
                    a != nullptr && mxIsComplex(a) ? "complex " : a != nullptr && mxIsSparse(a) ? "sparse " : "",
                    a != nullptr ? mxGetClassName(a) : "missing");
    }
    const std::size_t count = mxGetNumberOfElements(a);
    const mwSize ndim = mxGetNumberOfDimensions(a);
    const mwSize* dims = mxGetDimensions(a);
    input.values = count > 0 ? mxGetPr(a) : nullptr;
    input.step = count == 1 ? 0 : 1;
    if (count == 1) return true;
    if (static_cast<std::size_t>(ndim) > kMaxQueryDims) return fail(error, "ionex:Input", "%s has %zu dimensions; at most %zu are taken.", name,
                                          static_cast<std::size_t>(ndim), kMaxQueryDims);
    if (!shape.from_array) {
        shape.from_array = true;
        shape.ndim = ndim;
        for (mwSize k = 0; k < ndim; ++k) shape.dims[k] = dims[k];
        shape.count = count;
        return true;
    }
    bool same = shape.ndim == ndim;
    for (mwSize k = 0; same && k < ndim; ++k) same = shape.dims[k] == dims[k];
    if (!same) {
        char have[96], got[96];
        return fail(error, "ionex:Input", "%s is %s but the other inputs are %s: give arrays of one size, or scalars.", name,
                    sizeText(dims, ndim, got, sizeof got), sizeText(shape.dims, shape.ndim, have, sizeof have));
    }
    return true;
}

bool readQueryOptions(OptionSet set, int first, int nrhs, const mxArray* prhs[], QueryOptions& options,
                      GatewayError& error) {
    if ((nrhs - first) % 2 != 0) return fail(error, "ionex:Input", "Options come in name-value pairs; the last name has no value.");
    for (int k = first; k < nrhs; k += 2) {
        std::string name;
        if (!textOf(prhs[k], name)) {
            return fail(error, "ionex:Input", "Input %d must be an option name (char row), not a %s array.", k + 1,
                        mxGetClassName(prhs[k]));
        }
        if (!readOneOption(set, lowered(name), prhs[k + 1], options, error)) return false;
    }
    return true;
}

mxArray* createOutput(const QueryShape& shape) {
    return mxCreateNumericArray(shape.ndim, shape.dims, mxDOUBLE_CLASS, mxREAL);
}

}  // namespace gateway
