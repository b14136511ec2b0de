// Replay program of a fuzz target: runs every file named on the command line, and every
// regular file inside every directory named, through LLVMFuzzerTestOneInput once, without
// libFuzzer. With -v each target says what each input reached. A broken invariant or a
// sanitizer report aborts the program; a run that finds no input at all fails too, so that
// a missing or emptied corpus cannot pass unnoticed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

// Lists the inputs a command-line argument names: the file itself, or the regular files of
// the directory tree, in name order so that runs are repeatable.
// Returns false when the path does not exist.
bool collectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        inputs.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, ec)) return false;
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(path, ec)) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md") {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
    return !ec;
}

// Reads a whole file. Returns false when it cannot be read.
bool readBytes(const fs::path& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

// Replays every input named on the command line (-v: each target notes what it reached).
// Returns 0 when all ran, 2 when an input is missing or unreadable or none was found.
int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-v") {
            fuzz::setVerbose();
            continue;
        }
        if (!collectInputs(argv[i], inputs)) {
            std::fprintf(stderr, "replay: no such file or directory: %s\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs found\n");
        return 2;
    }
    for (const fs::path& path : inputs) {
        std::vector<uint8_t> bytes;
        if (!readBytes(path, bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", path.u8string().c_str());
            return 2;
        }
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", path.u8string().c_str(), bytes.size());
        // The empty input comes with a null pointer: the targets must not read through it.
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replay: %zu inputs ran without a finding\n", inputs.size());
    return 0;
}
