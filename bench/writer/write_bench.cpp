// The writer behind ionex.write against the +ionex reader, in C++ without a host: a daily
// file (CODE, TEC and RMS maps, 71 x 73 nodes, 25 maps each) read, then written plain and
// gzip and read again, each case many times interleaved; the medians and fastest runs and
// their ratios (goal: writing takes no longer than reading the same form). Times are the CPU
// time of the thread (user and system, so the write's system calls count), which other work
// on the machine disturbs far less than the wall time; the wall time's fastest run is shown
// beside it.
//
//   write_bench [ROUNDS]     (default 21); writes into the system's temporary folder
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <time.h>

#include "format_reader/ionex_reader.h"
#include "writer/ionex_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of the calling thread, ms.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The median and the fastest of `times`, in ms.
struct Figures {
    double median;
    double fastest;
};

Figures figures(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr ? tmp : "/tmp";
    ionex::IonexContents daily;
    ionex::ReadFailure failure;
    if (ionex::readIonexFile(std::string(IONEX_TEST_DATA) + "/CODG0080.20I", {}, daily, failure) != ionex::ReadStatus::kOk) {
        std::fprintf(stderr, "write_bench: %s\n", ionex::describeFailure(failure).c_str());
        return 1;
    }
    const ionex::WriteInput input = ionex::writeInputOf(daily);
    const std::string plain = folder + "/write_bench.20i", gz = plain + ".gz";
    ionex::WriteFileOptions replace;
    replace.overwrite = true;
    bool ok = true;
    const std::vector<std::pair<std::string, std::function<void()>>> cases = {
        {"write (plain)", [&] { ionex::WriteFailure f; ok = ok && ionex::writeIonexFile(plain, input, replace, f) == ionex::WriteStatus::kOk; }},
        {"read (plain)", [&] { ionex::IonexContents c; ok = ok && ionex::readIonexFile(plain, {}, c, failure) == ionex::ReadStatus::kOk; }},
        {"write (.gz)", [&] { ionex::WriteFailure f; ok = ok && ionex::writeIonexFile(gz, input, replace, f) == ionex::WriteStatus::kOk; }},
        {"read (.gz)", [&] { ionex::IonexContents c; ok = ok && ionex::readIonexFile(gz, {}, c, failure) == ionex::ReadStatus::kOk; }},
        {"text alone (in memory)", [&] { std::string t; ionex::WriteFailure f; ok = ok && ionex::writeIonexString(input, t, f) == ionex::WriteStatus::kOk; }},
    };
    std::vector<std::vector<double>> times(cases.size()), walls(cases.size());
    for (const auto& c : cases) c.second();  // warm-up, and the files to read
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t k = 0; k < cases.size(); ++k) {
            const Clock::time_point t0 = Clock::now();
            const double c0 = threadMs();
            cases[k].second();
            times[k].push_back(threadMs() - c0);
            walls[k].push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
    }
    if (!ok) {
        std::fprintf(stderr, "write_bench: a write or read failed\n");
        return 1;
    }
    std::printf("daily file CODG0080.20I, TEC and RMS, 71 x 73 nodes, 2 x 25 maps; %d interleaved rounds\n", rounds);
    std::printf("  %-24s %14s %14s %14s\n", "case", "CPU median ms", "CPU fastest ms", "wall fastest ms");
    std::vector<Figures> f;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        f.push_back(figures(times[k]));
        std::printf("  %-24s %14.2f %14.2f %14.2f\n", cases[k].first.c_str(), f.back().median, f.back().fastest,
                    figures(walls[k]).fastest);
    }
    std::printf("CPU time, write / read (plain): %.2f of medians, %.2f of fastest (goal <= 1)\n", f[0].median / f[1].median, f[0].fastest / f[1].fastest);
    std::printf("CPU time, write / read (.gz):   %.2f of medians, %.2f of fastest (goal <= 1)\n", f[2].median / f[3].median, f[2].fastest / f[3].fastest);
    std::remove(plain.c_str());
    std::remove(gz.c_str());
    return 0;
}
