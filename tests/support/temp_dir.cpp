#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace testfiles {

namespace fs = std::filesystem;

namespace {

// The path of a UTF-8 name; u8path because a plain std::string is taken in the ANSI code
// page on Windows.
fs::path pathOf(const std::string& utf8) { return fs::u8path(utf8); }

// The UTF-8 text of `path`, with '/' between components on every platform.
std::string textOf(const fs::path& path) {
    std::string text = path.generic_u8string();
    return text;
}

}  // namespace

std::string makeTempDir(const std::string& prefix) {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) throw std::runtime_error("no temporary folder: " + ec.message());
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / pathOf(prefix + std::to_string(random() % 1000000000ull));
        // create_directory is false when the folder exists already: another process has it.
        if (fs::create_directory(candidate, ec) && !ec) return textOf(candidate);
    }
    throw std::runtime_error("cannot make a temporary folder under " + textOf(base));
}

bool makeDirs(const std::string& path) {
    std::error_code ec;
    fs::create_directories(pathOf(path), ec);
    return fs::is_directory(pathOf(path), ec);
}

void removeTree(const std::string& path) {
    std::error_code ignored;
    fs::remove_all(pathOf(path), ignored);
}

}  // namespace testfiles
