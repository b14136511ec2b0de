#include "test_files.h"

#include "support/temp_dir.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testfiles {

namespace {

// Creates the process's temporary directory once.
const std::string& tempDir() {
    static const std::string dir = makeTempDir("ionex-core-");
    return dir;
}

}  // namespace

std::string writeTemp(const std::string& name, const std::string& bytes) {
    std::string path = tempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string gzipBytes(const std::string& text) {
    return deflateBytes(text, 6, Z_DEFAULT_STRATEGY, 16 + MAX_WBITS);
}

std::string deflateBytes(const std::string& text, int level, int strategy, int window_bits) {
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, window_bits, 8, strategy);
    std::string out(deflateBound(&zs, text.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    zs.avail_in = static_cast<uInt>(text.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

std::string dataPath(const std::string& name) { return std::string(IONEX_TEST_DATA) + "/" + name; }

std::string readData(const std::string& name) {
    std::ifstream in(dataPath(name), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> readAllLines(const std::string& path, int size) {
    std::vector<std::string> lines;
    OpenSource src(path);
    if (src.source == nullptr) return lines;
    std::vector<char> line(static_cast<size_t>(size));
    long n = 0;
    while ((n = ionex::readLineLength(src.source, line.data(), size)) >= 0) {
        lines.emplace_back(line.data(), static_cast<size_t>(n));
    }
    return lines;
}

}  // namespace testfiles
