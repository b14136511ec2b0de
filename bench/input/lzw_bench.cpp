// Benchmark of the Unix-compress (LZW) decoder against the reference tool.
//
// Standalone build, from the repository root:
//   g++ -O2 -std=c++17 -Isrc/ionex bench/input/lzw_bench.cpp src/ionex/input/lzw_decoder.cpp -o lzw_bench
// Run:
//   ./lzw_bench [plain-file [copies [runs]]]
// (defaults: tests/data/CODG0080.20I, or IONEX_TEST_DATA/CODG0080.20I when that macro is set;
// 8 copies; 9 runs). Needs /usr/bin/compress (Debian package ncompress).
//
// Makes a multi-MB text (the plain file repeated), compresses it with `compress -c -b 16`
// into a temporary file, then measures in the same run, each as the median of the runs:
//   - lzwDecode on the .Z bytes held in memory (read once), output into a reused buffer:
//     once with the whole input and output in one call, once streamed as the line source
//     feeds it (64 KiB input blocks, 16 KiB output blocks);
//   - `compress -dc file > /dev/null` as a process (spawned directly, no shell).
// Throughputs are in MB/s (10^6 bytes) of uncompressed output.
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "input/lzw_decoder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

// Runs argv with stdin from `in` (or inherited when empty) and stdout to `out`;
// returns the exit status or -1.
int runProcess(const std::vector<std::string>& args, const std::string& in,
               const std::string& out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!in.empty()) posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Decodes the stream after the magic bytes; returns the bytes produced or -1 on an error.
long long decodeOnce(ionex::LzwDecoder& d, const uint8_t* in, size_t in_size, uint8_t* out,
                     size_t out_size, size_t in_block, size_t out_block) {
    ionex::lzwStart(d);
    size_t pos = 0, total = 0;
    for (;;) {
        const size_t n = std::min(in_block, in_size - pos);
        const size_t room = std::min(out_block, out_size - total);
        size_t consumed = 0, produced = 0;
        const ionex::LzwStatus st = ionex::lzwDecode(d, in + pos, n, pos + n == in_size,
                                                     &consumed, out + total, room, &produced);
        pos += consumed;
        total += produced;
        if (st == ionex::LzwStatus::kEnd) return static_cast<long long>(total);
        if (st == ionex::LzwStatus::kDataError) return -1;
        if (st == ionex::LzwStatus::kOutputFull && total == out_size) return -1;  // too long
    }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef IONEX_TEST_DATA
    std::string plain_path = std::string(IONEX_TEST_DATA) + "/CODG0080.20I";
#else
    std::string plain_path = "tests/data/CODG0080.20I";
#endif
    int copies = 8, runs = 9;
    if (argc > 1) plain_path = argv[1];
    if (argc > 2) copies = std::max(1, std::atoi(argv[2]));
    if (argc > 3) runs = std::max(1, std::atoi(argv[3]));

    const std::string one = readFile(plain_path);
    if (one.empty()) {
        std::fprintf(stderr, "cannot read %s\n", plain_path.c_str());
        return 1;
    }
    if (access("/usr/bin/compress", X_OK) != 0) {
        std::fprintf(stderr, "/usr/bin/compress (Debian package ncompress) is missing\n");
        return 1;
    }
    std::string plain;
    for (int i = 0; i < copies; ++i) plain += one;

    char dir_template[] = "/tmp/lzwbench.XXXXXX";
    if (mkdtemp(dir_template) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = dir_template;
    const std::string plain_file = dir + "/plain.txt", z_file = dir + "/plain.txt.Z";
    if (!writeFile(plain_file, plain)) {
        std::fprintf(stderr, "cannot write %s\n", plain_file.c_str());
        return 1;
    }
    const int crc = runProcess({"/usr/bin/compress", "-c", "-b", "16"}, plain_file, z_file);
    const std::string z = readFile(z_file);
    if ((crc != 0 && crc != 2) || z.size() < 3 || static_cast<uint8_t>(z[0]) != 0x1f ||
        static_cast<uint8_t>(z[1]) != 0x9d) {
        std::fprintf(stderr, "compress -c -b 16 failed (status %d)\n", crc);
        return 1;
    }

    const auto* in = reinterpret_cast<const uint8_t*>(z.data()) + 2;
    const size_t in_size = z.size() - 2;
    std::unique_ptr<ionex::LzwDecoder> decoder(new ionex::LzwDecoder);
    std::vector<uint8_t> out(plain.size() + 1);

    // Correctness once, then the timed runs.
    long long got = decodeOnce(*decoder, in, in_size, out.data(), out.size(), in_size, out.size());
    if (got != static_cast<long long>(plain.size()) ||
        std::memcmp(out.data(), plain.data(), plain.size()) != 0) {
        std::fprintf(stderr, "decoded output differs from the original\n");
        return 1;
    }

    const double mb = static_cast<double>(plain.size()) / 1e6;
    auto timeDecoder = [&](size_t in_block, size_t out_block) {
        std::vector<double> secs;
        for (int r = 0; r < runs; ++r) {
            const auto t0 = Clock::now();
            const long long n =
                decodeOnce(*decoder, in, in_size, out.data(), out.size(), in_block, out_block);
            const auto t1 = Clock::now();
            if (n != static_cast<long long>(plain.size())) {
                std::fprintf(stderr, "decode failed\n");
                std::exit(1);
            }
            secs.push_back(std::chrono::duration<double>(t1 - t0).count());
        }
        return median(secs);
    };
    const double ours_whole = timeDecoder(in_size, out.size());
    const double ours_blocks = timeDecoder(64 * 1024, 16 * 1024);

    std::vector<double> tool_secs;
    for (int r = 0; r < runs; ++r) {
        const auto t0 = Clock::now();
        const int rc = runProcess({"/usr/bin/compress", "-dc", z_file}, "", "/dev/null");
        const auto t1 = Clock::now();
        if (rc != 0) {
            std::fprintf(stderr, "compress -dc failed (status %d)\n", rc);
            return 1;
        }
        tool_secs.push_back(std::chrono::duration<double>(t1 - t0).count());
    }
    const double tool = median(tool_secs);

    std::remove(plain_file.c_str());
    std::remove(z_file.c_str());
    rmdir(dir.c_str());

    std::printf("input: %s x %d = %.2f MB plain, %.2f MB compressed (-b 16), median of %d runs\n",
                plain_path.c_str(), copies, mb, static_cast<double>(z.size()) / 1e6, runs);
    std::printf("lzwDecode, one call        : %8.1f MB/s  (%.2f ms)\n", mb / ours_whole,
                ours_whole * 1e3);
    std::printf("lzwDecode, 64K in/16K out  : %8.1f MB/s  (%.2f ms)\n", mb / ours_blocks,
                ours_blocks * 1e3);
    std::printf("compress -dc > /dev/null   : %8.1f MB/s  (%.2f ms, whole process)\n",
                mb / tool, tool * 1e3);
    std::printf("ratio ours/compress        : %8.2f (one call), %.2f (blocks)\n",
                tool / ours_whole, tool / ours_blocks);
    return 0;
}
