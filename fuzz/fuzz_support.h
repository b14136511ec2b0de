// Shared pieces of the fuzz targets: input files made from the fuzzer's bytes, descriptor
// counting, and a check that stops the process loudly when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// An input file reachable by path while it is open: in memory (memfd, "/proc/self/fd/<fd>"),
// or a temporary file where memfd or /proc is not available (always on Windows).
struct InputFile {
    int fd;            // -1 when the file could not be made
    std::string path;
    bool on_disk;      // a temporary file, removed when closed
};

// Makes an in-memory file holding `size` bytes from `data`.
// Returns the file; its fd is -1 (and the path empty) when it could not be made.
InputFile makeInputFile(const uint8_t* data, size_t size);

// Closes the file made by makeInputFile; accepts one whose fd is -1.
// Returns nothing.
void closeInputFile(InputFile& file);

// Number of files this process holds open (testfiles::openFileCount: descriptors, or handles
// on Windows). Returns the count, or 0 when it cannot be taken.
size_t openDescriptorCount();

// Makes note() print (the replay program's -v). Returns nothing.
void setVerbose();

// Prints one line about the input just run, when verbose; the replay program's -v shows
// with it what each seed reaches. Returns nothing.
void note(const char* target, const std::string& text);

// Prints what broke and aborts, so that both libFuzzer and the replay tests see a crash.
// Does not return.
[[noreturn]] void fail(const char* target, const std::string& what);

}  // namespace fuzz

// Stops the process when `condition` is false, naming the target and the broken rule.
#define FUZZ_CHECK(target, condition, what)              \
    do {                                                 \
        if (!(condition)) ::fuzz::fail((target), (what)); \
    } while (0)

// The entry point libFuzzer calls, and the replay program as well.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
