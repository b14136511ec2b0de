// Decoding of ionex.write's inputs. Options are case-insensitive names with their values.

#include "ionex_package/write_arguments.h"

#include <cctype>
#include <cmath>

#include "ionex_package/read_arguments.h"
#include "ionex_package/write_struct.h"
#include "shared/host_text.h"
#include "writer/value_encoding.h"

namespace gateway {
namespace {

constexpr const char* kUsage = "ionex.write(M, FILE, 'Exponent', e, 'Maps', {'tec','rms'}, 'Comment', {...}, 'Overwrite', true)";
const char* const kKindNames[ionex::kMapKindCount] = {"tec", "rms", "height_map"};

// Lower-case copy of `text`. Returns it.
std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads a list of texts: one text, a cell array or a string array of them. Returns false
// when `value` is anything else.
bool readTexts(const mxArray* value, std::vector<std::string>& texts) {
    texts.clear();
    std::string text;
    if (textOf(value, text)) {
        texts.push_back(text);
        return true;
    }
    mxArray* converted = nullptr;
    if (mxIsClass(value, "string")) {
        mxArray* strings = const_cast<mxArray*>(value);
        if (mexCallMATLAB(1, &converted, 1, &strings, "cellstr") != 0 || converted == nullptr) return false;
    }
    const mxArray* cell = converted != nullptr ? converted : value;
    bool ok = mxIsCell(cell);
    for (std::size_t k = 0; ok && k < mxGetNumberOfElements(cell); ++k) {
        const mxArray* element = mxGetCell(cell, k);
        ok = element != nullptr && textOf(element, text);
        if (ok) texts.push_back(text);
    }
    if (converted != nullptr) mxDestroyArray(converted);
    return ok;
}

// 'Maps': the kinds to write; each must be present in M. Returns true, or false with `error`.
bool decodeMaps(const mxArray* value, ionex::WriteInput& in, GatewayError& error) {
    std::vector<std::string> names;
    if (!readTexts(value, names) || names.empty()) {
        return fail(error, "ionex:Input", "'Maps' takes 'tec', 'rms' or 'height_map', or a cell array of them.");
    }
    bool wanted[ionex::kMapKindCount] = {false, false, false};
    for (const std::string& name : names) {
        int kind = 0;
        while (kind < ionex::kMapKindCount && lowerCase(name) != kKindNames[kind]) ++kind;
        if (kind == ionex::kMapKindCount) {
            return fail(error, "ionex:Input", "'Maps' takes 'tec', 'rms' or 'height_map'; '%s' is none of them.", name.c_str());
        }
        if (in.maps[kind] == nullptr) return fail(error, "ionex:Input", "'Maps' asks for '%s', but M.%s is empty.", kKindNames[kind], kKindNames[kind]);
        wanted[kind] = true;
    }
    if (!wanted[ionex::kTecMap]) return fail(error, "ionex:Input", "'Maps' must include 'tec': a file needs its TEC maps.");
    for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
        if (!wanted[kind]) in.maps[kind] = nullptr;
    }
    return true;
}

// Decodes one name-value pair. Returns true, or false with `error` filled.
bool decodeOption(const std::string& name, const mxArray* value, WriteRequest& request, GatewayError& error) {
    const std::string key = lowerCase(name);
    if (key == "exponent") {
        const double e = mxIsNumeric(value) && !mxIsComplex(value) && mxGetNumberOfElements(value) == 1 ? mxGetScalar(value) : NAN;
        if (!(e >= ionex::kLowestExponent && e <= ionex::kHighestExponent && e == std::floor(e))) {
            return fail(error, "ionex:Input", "'Exponent' takes a whole number from %d to %d.", ionex::kLowestExponent, ionex::kHighestExponent);
        }
        request.input.has_exponent = true;
        request.input.exponent = static_cast<int>(e);
        return true;
    }
    if (key == "maps") return decodeMaps(value, request.input, error);
    if (key == "comment") {
        std::vector<std::string> lines;
        if (!readTexts(value, lines)) return fail(error, "ionex:Input", "'Comment' takes a text or a cell array of texts.");
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const std::string& line = lines[k];
            bool printable = line.size() <= 60;
            for (const char c : line) printable = printable && c >= ' ' && c <= '~';
            if (!printable) {
                return fail(error, "ionex:Input", "'Comment' line %zu must be at most 60 printable ASCII characters (a COMMENT record).", k + 1);
            }
            request.input.header.comments.push_back(line);
        }
        return true;
    }
    if (key == "overwrite") {
        if (mxGetNumberOfElements(value) != 1 || !(mxIsLogical(value) || mxIsNumeric(value)) || mxIsComplex(value) ||
            std::isnan(mxGetScalar(value))) {
            return fail(error, "ionex:Input", "'Overwrite' takes true or false.");
        }
        request.options.overwrite = mxGetScalar(value) != 0;
        return true;
    }
    return fail(error, "ionex:Input", "Unknown option '%s': ionex.write takes 'Exponent', 'Maps', 'Comment' and 'Overwrite'.", name.c_str());
}

}  // namespace

bool decodeWriteArguments(int nlhs, int nrhs, const mxArray* prhs[], WriteRequest& request, GatewayError& error) {
    if (nlhs > 1) return fail(error, "ionex:Input", "ionex.write returns at most one output, the file name; %d were requested.", nlhs);
    if (nrhs < 2) return fail(error, "ionex:Input", "ionex.write needs M and FILE: %s", kUsage);
    if (hasNulCharacter(prhs[1])) return fail(error, "ionex:Input", "FILE must be a char row without NUL characters.");
    if (!textOf(prhs[1], request.file) || request.file.empty()) {
        return fail(error, "ionex:Input", "FILE must be a non-empty char row or string scalar, not a %s array.", mxGetClassName(prhs[1]));
    }
    if (ionex::isCompressName(request.file)) {
        return fail(error, "ionex:Input", "FILE '%s' ends in .Z: compress files are not written; name it .gz for a gzip file.",
                    request.file.c_str());
    }
    if (!readWriteStruct(prhs[0], request.input, error)) return false;
    if ((nrhs - 2) % 2 != 0) return fail(error, "ionex:Input", "Options come in name-value pairs; the last name has no value.");
    for (int i = 2; i + 1 < nrhs; i += 2) {
        std::string name;
        if (!textOf(prhs[i], name)) {
            return fail(error, "ionex:Input", "Input %d must be an option name (char row or string scalar), not a %s array.", i + 1,
                        mxGetClassName(prhs[i]));
        }
        if (!decodeOption(name, prhs[i + 1], request, error)) return false;
    }
    return true;
}

}  // namespace gateway
