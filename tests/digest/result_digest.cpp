// Prints a digest of every result of reading the bundled real files, one line per file and
// call: vornakelstrid_p (whole grid, one point, an area), ionex.read, ionex.info and
// ionex.interp on what ionex.read returned, all through the stand-in host. The cross-build
// script compares these lines between the native build and the Windows and ARM builds:
// every target must give the same bytes.
//
// Usage: result_digest <folder of IONEX files>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mex.h"
#include "minimex_testing.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_read_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_info_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_interp_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

// FNV-1a over a byte stream whose every number is written least significant byte first,
// so that the digest does not depend on the host's byte order.
struct Digest {
    std::uint64_t state = 0xcbf29ce484222325ull;

    void byte(unsigned char b) {
        state ^= b;
        state *= 0x100000001b3ull;
    }
    void number(std::uint64_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) byte(static_cast<unsigned char>(v >> (8 * k)));
    }
    void text(const char* s) {
        number(std::strlen(s), 8);
        for (const char* c = s; *c != '\0'; ++c) byte(static_cast<unsigned char>(*c));
    }
};

// Element `i` of a numeric, logical or char array (`size` bytes each) as an integer of its
// own width. Returns the bits, the same value on every host.
std::uint64_t elementBits(const void* data, std::size_t size, std::size_t i) {
    const unsigned char* p = static_cast<const unsigned char*>(data) + i * size;
    std::uint8_t b1;
    std::uint16_t b2;
    std::uint32_t b4;
    std::uint64_t b8 = 0;
    switch (size) {
        case 1: std::memcpy(&b1, p, 1); return b1;
        case 2: std::memcpy(&b2, p, 2); return b2;
        case 4: std::memcpy(&b4, p, 4); return b4;
        default: std::memcpy(&b8, p, 8); return b8;
    }
}

// `bits` of one element, with every NaN of a floating class given one pattern: a host
// cannot tell NaNs apart, and processors differ in the sign of the NaN that 0/0 makes.
// Returns the bits to digest.
std::uint64_t canonical(std::uint64_t bits, std::size_t size, bool floating) {
    if (!floating) return bits;
    if (size == 8 && (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull && (bits & 0x000FFFFFFFFFFFFFull) != 0)
        return 0x7FF8000000000000ull;
    if (size == 4 && (bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0) return 0x7FC00000u;
    return bits;
}

// Adds `a` and everything inside it to `d`: class, dimensions, then the elements.
// Returns nothing.
void add(Digest& d, const mxArray* a) {
    if (a == nullptr) {
        d.text("<null>");
        return;
    }
    d.text(mxGetClassName(a));
    const mwSize rank = mxGetNumberOfDimensions(a);
    d.number(rank, 8);
    for (mwSize k = 0; k < rank; ++k) d.number(mxGetDimensions(a)[k], 8);
    const std::size_t count = mxGetNumberOfElements(a);
    if (mxIsStruct(a)) {
        const int fields = mxGetNumberOfFields(a);
        for (int f = 0; f < fields; ++f) d.text(mxGetFieldNameByNumber(a, f));
        for (std::size_t i = 0; i < count; ++i) {
            for (int f = 0; f < fields; ++f) add(d, mxGetFieldByNumber(a, i, f));
        }
    } else if (mxIsCell(a)) {
        for (std::size_t i = 0; i < count; ++i) add(d, mxGetCell(a, i));
    } else {
        const std::size_t size = mxGetElementSize(a);
        if (size != 1 && size != 2 && size != 4 && size != 8) return;
        const void* data = mxGetData(a);
        const bool floating = mxIsDouble(a) || mxIsClass(a, "single");
        for (std::size_t i = 0; i < count && data != nullptr; ++i) {
            d.number(canonical(elementBits(data, size, i), size, floating), static_cast<int>(size));
        }
    }
}

// Runs `entry` with `inputs` (released afterwards) and prints the digest of its outputs.
// Returns the outputs' first array when `keep` (the caller releases it), else null.
mxArray* run(const std::string& file, const char* what, minimex::MexEntry entry, int nlhs,
             std::vector<mxArray*> inputs, bool keep = false) {
    std::vector<mxArray*> outputs(static_cast<std::size_t>(nlhs), nullptr);
    std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
    std::string error;
    try {
        minimex::runEntry(entry, nlhs, outputs.data(), static_cast<int>(prhs.size()), prhs.data());
    } catch (const minimex::MexError& e) {
        error = e.identifier + ": " + e.message;  // a raised error is the result
    }
    Digest d;
    d.text(error.c_str());
    for (mxArray* out : outputs) add(d, out);
    std::printf("%s %s %016llx\n", file.c_str(), what, static_cast<unsigned long long>(d.state));
    mxArray* kept = nullptr;
    if (keep && !outputs.empty() && outputs[0] != nullptr) {
        kept = outputs[0];
        outputs[0] = nullptr;
    }
    minimex::destroyOutputs(outputs.data(), nlhs);
    for (mxArray* in : inputs) mxDestroyArray(in);
    return kept;
}

// The bundled files of `folder` (not its notes or subfolders), sorted by name.
// Returns their names.
std::vector<std::string> ionexFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder))) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().u8string();
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".md") == 0) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Digests every call on one file. Returns nothing.
void digestFile(const std::string& folder, const std::string& name) {
    using minimex::makeChar;
    using minimex::makeRow;
    const std::string path = folder + "/" + name;
    run(name, "vornakelstrid_p:grid", mexFunction, 6, {makeChar(path)});
    run(name, "vornakelstrid_p:point", mexFunction, 6, {makeChar(path), makeRow({47.25, 8.6}), makeChar("zimm")});
    run(name, "vornakelstrid_p:area", mexFunction, 6,
        {makeChar(path), makeRow({-12.5, -170}), makeRow({31, 77.5}), makeChar("WTZR"), makeRow({40})});
    run(name, "ionex.info", ionex_info_mexFunction, 1, {makeChar(path)});
    mxArray* maps = run(name, "ionex.read", ionex_read_mexFunction, 1, {makeChar(path)}, true);
    if (maps == nullptr) return;
    // Queries at every map epoch and halfway between, over a spread of places.
    const mxArray* time = mxGetField(maps, 0, "time");
    std::vector<double> t, lat, lon;
    const std::size_t epochs = time != nullptr && mxIsDouble(time) ? mxGetNumberOfElements(time) : 0;
    for (std::size_t i = 0; i < epochs; ++i) {
        for (double shift : {0.0, 1.0 / 48}) {
            for (double la : {-87.5, -33.3, 0.0, 12.7, 47.25, 89.9}) {
                t.push_back(mxGetPr(time)[i] + shift);
                lat.push_back(la);
                lon.push_back(-179.0 + 37.3 * static_cast<double>(t.size() % 10));
            }
        }
    }
    const std::size_t n = t.size();
    run(name, "ionex.interp", ionex_interp_mexFunction, 2,
        {maps, minimex::makeDouble(n, 1, t), minimex::makeDouble(n, 1, lat), minimex::makeDouble(n, 1, lon)});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: result_digest <folder of IONEX files>\n");
        return 2;
    }
    for (const std::string& name : ionexFiles(argv[1])) digestFile(argv[1], name);
    return 0;
}
