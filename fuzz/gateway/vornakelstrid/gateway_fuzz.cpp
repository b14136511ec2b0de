// Fuzz target of the whole entry point: mexFunction through the stand-in host, with
// arbitrary file bytes and argument shapes chosen from the input.
//
// Input layout: 9 parameter bytes, then the file's bytes (a shorter input is all
// parameters, padded with zeros, and an empty file):
//   p[0]  nrhs = p[0] % 7 (0..6), nlhs = (p[0] / 7) % 8 (0..7)
//   p[1]  bits 0-2: input 1 (0-3 the file, 4 a number, 5 text the host cannot convert,
//         6 a missing file, 7 a directory); bits 3-7: form of input 2 (a location)
//   p[2]  bit 0: input 3 is a receiver name (1) or a location (0); bits 1-7 its form
//   p[3]  input 4: satellite count (after a name in input 3) or receiver name
//   p[4]  input 5: satellite count
//   p[5..8] lat0, lon0, lat1, lon1: 108..127 pick special values (NaN, infinities, poles,
//         dateline, 1e30, ...), other bytes are int8 * 1.5 degrees
// After every call: every requested output exists and nothing else was written; an error
// result names one of the five identifiers and the number its message starts with fits
// it; the usage error the arguments deserve is the one returned; a normal result has the
// shape of its mode; output 5 has the satellite count the inputs ask for; no host array,
// host string or descriptor is left behind.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "gateway_call.h"
#include "minimex_testing.h"

namespace {

constexpr const char* kTarget = "gateway";
constexpr int kSlots = 8;

// Destroys the inputs of a finished call, as the caller owns them.
// Returns nothing.
void destroyInputs(std::vector<mxArray*>& inputs) {
    for (mxArray* a : inputs) mxDestroyArray(a);
    inputs.clear();
}

// Runs the entry, turning an escaped exception into a finding.
// Returns nothing.
void callEntry(int nlhs, mxArray* plhs[], const std::vector<mxArray*>& inputs) {
    std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
    try {
        minimex::runEntry(mexFunction, nlhs, plhs, static_cast<int>(prhs.size()), prhs.data());
    } catch (const std::exception& e) {
        fuzz::fail(kTarget, std::string("exception left mexFunction: ") + e.what());
    } catch (...) {
        fuzz::fail(kTarget, "unknown exception left mexFunction");
    }
}

// Checks that the requested slots are filled and the others untouched.
// Returns nothing; aborts on a broken rule.
void checkSlots(int nlhs, mxArray* const plhs[]) {
    const int filled = nlhs > 1 ? nlhs : 1;
    for (int i = 0; i < kSlots; ++i) {
        if (i < filled) {
            FUZZ_CHECK(kTarget, plhs[i] != nullptr, "output " + std::to_string(i + 1) + " missing");
        } else {
            FUZZ_CHECK(kTarget, plhs[i] == nullptr, "slot " + std::to_string(i + 1) + " written beyond nlhs");
        }
    }
}

}  // namespace

// Calls mexFunction once with the arguments and file the input describes.
// Returns 0 (libFuzzer's "input done"); a broken rule aborts instead.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t params[gwcall::kParameterBytes] = {0};
    std::memcpy(params, data, size < sizeof params ? size : sizeof params);
    const uint8_t* file_bytes = size > sizeof params ? data + sizeof params : nullptr;
    const size_t file_size = size > sizeof params ? size - sizeof params : 0;
    const gwcall::Call call = gwcall::decodeCall(params);

    fuzz::InputFile file = fuzz::makeInputFile(file_bytes, file_size);
    if (file.fd < 0) return 0;
    // Whole-window results of big grids are host allocations by design, not faults: skip.
    if (gwcall::tooBigForTheHost(call, file.path)) {
        fuzz::note(kTarget, "skipped: whole-window result too big for a fuzzing process");
        fuzz::closeInputFile(file);
        return 0;
    }

    const size_t arrays_before = minimex::liveArrayCount();
    const size_t strings_before = minimex::liveStringCount();
    const size_t descriptors = fuzz::openDescriptorCount();
    mxArray* plhs[kSlots] = {nullptr};
    std::vector<mxArray*> inputs = gwcall::makeInputs(call, file.path);
    callEntry(call.nlhs, plhs, inputs);
    checkSlots(call.nlhs, plhs);
    const std::string problem = gwcall::judgeOutputs(call, plhs);
    FUZZ_CHECK(kTarget, problem.empty(), problem);
    fuzz::note(kTarget, gwcall::describeCall(call, plhs));
    minimex::destroyOutputs(plhs, kSlots);
    destroyInputs(inputs);
    FUZZ_CHECK(kTarget, minimex::liveArrayCount() == arrays_before, "host arrays leaked");
    FUZZ_CHECK(kTarget, minimex::liveStringCount() == strings_before, "host strings leaked");
    FUZZ_CHECK(kTarget, fuzz::openDescriptorCount() == descriptors, "descriptor left open");
    fuzz::closeInputFile(file);
    return 0;
}
