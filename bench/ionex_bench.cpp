// Speed of reading IONEX, measured side by side in one run: baselines (zlib alone, the LZW
// decoder alone, `compress -dc`, a naive sscanf reader), our line source alone, and whole
// calls of the module through the stand-in host. Prints times, MB/s of uncompressed text and
// the ratios the reader is held to.
//
//   ionex_bench                   the full table
//   ionex_bench --once MODE FILE  one call (MODE: whole, point, area; none: no call), for
//                                 peak-memory checks
//   ionex_bench --write DIR       writes the benchmark's input files into DIR and exits
//   ionex_bench --core            the +ionex reader's core against the module, daily file only
#include <fcntl.h>
#include <unistd.h>
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_files.h"
#include "format_reader/ionex_reader.h"
#include "input/line_source.h"
#include "input/lzw_decoder.h"
#include "mex.h"
#include "minimex_testing.h"

namespace {

constexpr size_t kBlock = 256 * 1024;
volatile size_t g_sink = 0;  // keeps results alive so nothing is optimised away

// Runs `work` `runs` times and returns the median wall time in seconds.
double medianSeconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        work();
        auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double>(t1 - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Reads a file in blocks and hands each block to `consume`.
void forEachBlock(const std::string& path, const std::function<void(const unsigned char*, size_t, bool)>& consume) {
    int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<unsigned char> block(kBlock);
    for (;;) {
        ssize_t n = ::read(fd, block.data(), block.size());
        if (n <= 0) {
            consume(block.data(), 0, true);
            break;
        }
        consume(block.data(), static_cast<size_t>(n), false);
    }
    ::close(fd);
}

// zlib alone: inflates the .gz copy into a reused block.
void inflateOnly(const std::string& path) {
    z_stream zs{};
    inflateInit2(&zs, 16 + MAX_WBITS);
    std::vector<unsigned char> out(kBlock);
    size_t total = 0;
    forEachBlock(path, [&](const unsigned char* in, size_t n, bool) {
        zs.next_in = const_cast<unsigned char*>(in);
        zs.avail_in = static_cast<uInt>(n);
        while (zs.avail_in > 0) {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            int rc = inflate(&zs, Z_NO_FLUSH);
            total += out.size() - zs.avail_out;
            if (rc == Z_STREAM_END) inflateReset(&zs);
            else if (rc != Z_OK) break;
        }
    });
    inflateEnd(&zs);
    g_sink = total;
}

// The LZW decoder alone on the .Z copy.
void lzwOnly(const std::string& path) {
    static ionex::LzwDecoder decoder;
    std::vector<unsigned char> out(kBlock);
    size_t total = 0;
    bool started = false;
    forEachBlock(path, [&](const unsigned char* in, size_t n, bool ended) {
        if (!started && n >= 2) {
            ionex::lzwStart(decoder);
            in += 2;
            n -= 2;
            started = true;
        }
        for (;;) {
            size_t used = 0, made = 0;
            ionex::LzwStatus st = ionex::lzwDecode(decoder, in, n, ended, &used, out.data(), out.size(), &made);
            total += made;
            in += used;
            n -= used;
            if (st != ionex::LzwStatus::kOutputFull) break;
        }
    });
    g_sink = total;
}

void compressTool(const std::string& path) {
    std::string cmd = "compress -dc '" + path + "' > /dev/null";
    g_sink = static_cast<size_t>(std::system(cmd.c_str()));
}

// The straightforward reader: zlib's gzgets for lines, sscanf("%f") for every value.
void naiveReader(const std::string& path) {
    gzFile f = gzopen(path.c_str(), "rb");
    char line[512];
    bool in_map = false;
    size_t values = 0;
    double sum = 0;
    while (gzgets(f, line, sizeof line)) {
        if (std::strstr(line, "END OF TEC MAP")) in_map = false;
        else if (std::strstr(line, "START OF TEC MAP")) in_map = true;
        else if (!in_map || std::strstr(line, "EPOCH OF CURRENT MAP") || std::strstr(line, "EXPONENT") ||
                 std::strstr(line, "LAT/LON1/LON2/DLON/H")) continue;
        else {
            for (const char* p = line; p && *p;) {
                while (*p == ' ' || *p == '\t') ++p;
                float v;
                if (std::sscanf(p, "%f", &v) == 1) { sum += v; ++values; }
                p = std::strchr(p, ' ');
            }
        }
    }
    gzclose(f);
    g_sink = values + static_cast<size_t>(sum);
}

// Our line source alone: every line of the file into a 512-byte buffer.
void lineSourceOnly(const std::string& path) {
    ionex::LineSource* s = ionex::openLineSource(path.c_str());
    char line[512];
    size_t n = 0;
    while (ionex::readLineLength(s, line, sizeof line) >= 0) ++n;
    ionex::closeLineSource(s);
    g_sink = n;
}

// One call of the module through the stand-in host.
void moduleCall(const std::string& path, const std::string& mode) {
    std::vector<const mxArray*> in{mxCreateString(path.c_str())};
    if (mode == "point") in.push_back(minimex::makeRow({47.4, 8.5}));
    if (mode == "area") {
        in.push_back(minimex::makeRow({30.0, -20.0}));
        in.push_back(minimex::makeRow({60.0, 40.0}));
    }
    mxArray* out[6] = {};
    minimex::runEntry(mexFunction, 6, out, static_cast<int>(in.size()), in.data());
    g_sink = mxGetNumberOfElements(out[0]);
    minimex::destroyOutputs(out, 6);
    for (const mxArray* a : in) mxDestroyArray(const_cast<mxArray*>(a));
}

// The +ionex reader's core: every map of every kind (TEC and RMS) of the whole grid, or the
// TEC maps alone.
void coreRead(const std::string& path, bool tec_only = false) {
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    ionex::ReadOptions options;
    options.kinds[ionex::kRmsMap] = options.kinds[ionex::kHeightMap] = !tec_only;
    const ionex::ReadStatus st = ionex::readIonexFile(path, options, contents, failure);
    g_sink = st == ionex::ReadStatus::kOk ? contents.maps[ionex::kTecMap].values.size() : 0;
}

struct Measured {
    std::string name;
    double seconds;
};

std::vector<Measured> g_rows;

double measure(const std::string& name, size_t text_bytes, int runs, const std::function<void()>& work) {
    work();  // warm the page cache and the allocator
    double s = medianSeconds(runs, work);
    std::printf("  %-40s %9.2f ms %9.1f MB/s\n", name.c_str(), s * 1e3, text_bytes / s / 1e6);
    std::fflush(stdout);
    g_rows.push_back({name, s});
    return s;
}

// Times `a` and `b` in alternation, so that a change of the machine's load between the two
// cannot tilt the comparison. Returns median(a) / median(b).
double pairedRatio(const std::string& name, int runs, const std::function<void()>& a, const std::function<void()>& b) {
    a();
    b();
    std::vector<double> ta, tb;
    for (int i = 0; i < runs; ++i) {
        ta.push_back(medianSeconds(1, a));
        tb.push_back(medianSeconds(1, b));
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    const double ma = ta[ta.size() / 2], mb = tb[tb.size() / 2];
    std::printf("  %-40s %9.2f ms against %.2f ms, alternated\n", name.c_str(), ma * 1e3, mb * 1e3);
    return ma / mb;
}

int g_failures = 0;

void verdict(const std::string& what, double ratio, bool met) {
    std::printf("  %-62s %6.2f  %s\n", what.c_str(), ratio, met ? "met" : "NOT MET");
    if (!met) ++g_failures;
}

void benchSet(const bench::FileSet& f, int runs, bool with_naive) {
    std::printf("\n%s (%.1f MB of text)\n", f.name.c_str(), f.text_bytes / 1e6);
    double inflate = measure("zlib inflate alone (.gz)", f.text_bytes, runs, [&] { inflateOnly(f.gz); });
    double lzw = f.z.empty() ? 0 : measure("LZW decoder alone (.Z)", f.text_bytes, runs, [&] { lzwOnly(f.z); });
    double tool = f.z.empty() ? 0 : measure("compress -dc (.Z), a process", f.text_bytes, runs, [&] { compressTool(f.z); });
    double naive = with_naive ? measure("naive sscanf reader (plain)", f.text_bytes, runs, [&] { naiveReader(f.plain); }) : 0;
    double lines_plain = measure("line source alone (plain)", f.text_bytes, runs, [&] { lineSourceOnly(f.plain); });
    double lines_gz = measure("line source alone (.gz)", f.text_bytes, runs, [&] { lineSourceOnly(f.gz); });
    double lines_z = f.z.empty() ? 0 : measure("line source alone (.Z)", f.text_bytes, runs, [&] { lineSourceOnly(f.z); });
    double whole_plain = measure("module, whole grid (plain)", f.text_bytes, runs, [&] { moduleCall(f.plain, "whole"); });
    double whole_gz = measure("module, whole grid (.gz)", f.text_bytes, runs, [&] { moduleCall(f.gz, "whole"); });
    measure("ionex.read core, TEC and RMS (plain)", f.text_bytes, runs, [&] { coreRead(f.plain); });
    double core_gz = measure("ionex.read core, TEC and RMS (.gz)", f.text_bytes, runs, [&] { coreRead(f.gz); });
    const double core_ratio = pairedRatio("ionex.read core / module (.gz)", 3 * runs, [&] { coreRead(f.gz); },
                                          [&] { moduleCall(f.gz, "whole"); });
    double whole_z = f.z.empty() ? 0 : measure("module, whole grid (.Z)", f.text_bytes, runs, [&] { moduleCall(f.z, "whole"); });
    double point_plain = measure("module, point (plain)", f.text_bytes, runs, [&] { moduleCall(f.plain, "point"); });
    double point_gz = measure("module, point (.gz)", f.text_bytes, runs, [&] { moduleCall(f.gz, "point"); });
    measure("module, area (.gz)", f.text_bytes, runs, [&] { moduleCall(f.gz, "area"); });

    std::printf("  ratios:\n");
    verdict(".gz whole grid / zlib inflate alone (goal <= 1.5)", whole_gz / inflate, whole_gz / inflate <= 1.5);
    verdict("ionex.read core (.gz, TEC+RMS) / module whole grid (.gz, TEC) (goal <= 1)", core_ratio, core_ratio <= 1.0);
    const double tec_ratio = pairedRatio("ionex.read core TEC only / module (.gz)", 3 * runs, [&] { coreRead(f.gz, true); },
                                         [&] { moduleCall(f.gz, "whole"); });
    verdict("ionex.read core (.gz, TEC only) / module whole grid (.gz, TEC) (goal <= 1)", tec_ratio, tec_ratio <= 1.0);
    (void)core_gz;
    if (with_naive) verdict("naive sscanf reader / plain whole grid (goal >= 8)", naive / whole_plain, naive / whole_plain >= 8);
    if (!f.z.empty()) {
        verdict(".Z whole grid / LZW decoder alone (goal <= 1.5)", whole_z / lzw, whole_z / lzw <= 1.5);
        verdict("compress -dc / LZW decoder alone (goal >= 1)", tool / lzw, tool / lzw >= 1.0);
    }
    verdict("point (plain) / line source alone (plain) (goal <= 1.2)", point_plain / lines_plain, point_plain / lines_plain <= 1.2);
    verdict("point (.gz) / line source alone (.gz) (goal <= 1.2)", point_gz / lines_gz, point_gz / lines_gz <= 1.2);
    (void)lines_z;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--once") {
        if (std::string(argv[2]) != "none") moduleCall(argv[3], argv[2]);
        return 0;
    }
    if (argc == 2 && std::string(argv[1]) == "--core") {
        // The +ionex core against the module alone, on the daily product.
        mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
        char pattern[] = "/tmp/ionex-bench-XXXXXX";
        const std::string dir = mkdtemp(pattern);
        const bench::FileSet f = bench::dailyFiles(dir);
        for (const std::string* path : {&f.gz, &f.plain}) {
            const double r = pairedRatio("ionex.read core / module whole grid", 41, [&] { coreRead(*path); },
                                         [&] { moduleCall(*path, "whole"); });
            std::printf("  %s: ratio %.2f\n", path->c_str(), r);
            const double t = pairedRatio("ionex.read core TEC only / module", 41, [&] { coreRead(*path, true); },
                                         [&] { moduleCall(*path, "whole"); });
            std::printf("  %s: ratio %.2f\n", path->c_str(), t);
        }
        const std::string cleanup = "rm -rf '" + dir + "'";
        return std::system(cleanup.c_str()) == 0 ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--write") {
        for (const bench::FileSet& f : {bench::dailyFiles(argv[2]), bench::highRateFiles(argv[2])}) {
            std::printf("%s\n%s\n%s\n", f.plain.c_str(), f.gz.c_str(), f.z.c_str());
        }
        return 0;
    }
    // Steady state of a long host session: freed output memory stays with the process, so
    // repeated calls measure reading, not the kernel handing out fresh pages (one call in a
    // fresh process is timed by scripts/bench.sh).
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    char dir_pattern[] = "/tmp/ionex-bench-XXXXXX";
    std::string dir = mkdtemp(dir_pattern);
    std::printf("vornakelstrid_p benchmark: median of repeated runs, MB/s of uncompressed text\n");
    benchSet(bench::dailyFiles(dir), 15, true);
    benchSet(bench::highRateFiles(dir), 5, true);
    std::string cleanup = "rm -rf '" + dir + "'";
    if (std::system(cleanup.c_str()) != 0) std::printf("could not remove %s\n", dir.c_str());
    std::printf("\n%d goal(s) not met\n", g_failures);
    return 0;
}
