// Speed of the map queries behind ionex.interp and ionex.delay, on one core, in one run:
// queries per second of the core functions over a CODE-like global map set (71 x 73 nodes,
// 25 maps, TEC and RMS), for each time method and mapping function, against the goals of
// 20 million ionex.interp and 5 million ionex.delay queries per second. Counts the
// allocations made while timing: there must be none.
//
// Two orders of the same queries (random places all over the globe):
//   in time order  as observations come (a day of epochs, many receivers and satellites
//                  at each): the two maps in use stay in the cache. The goals apply here.
//   random times   every query on other maps: the 2 MB of TEC and RMS maps are read from
//                  memory. Shown for comparison, the worst case.
//
//   query_bench                  queries in time order: the table and the verdict; exit
//                                status 1 if a goal is missed
//   query_bench --random-times   the same queries in random time order
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <algorithm>
#include <vector>

#include "queries/map_set.h"
#include "queries/slant_delay.h"
#include "queries/tec_interp.h"

namespace {

size_t g_allocations = 0;  // operator new calls since the start
size_t g_timed_allocations = 0;  // of them, made while a measurement ran
volatile double g_sink = 0;

constexpr size_t kQueries = 1 << 20;  // per pass; several passes per measurement
constexpr int kPasses = 24;           // 25 million queries a measurement
constexpr double kInterpGoal = 20e6;
constexpr double kDelayGoal = 5e6;

// A global map set shaped as CODE's: smooth TEC with a day-side bulge, RMS a tenth of it.
struct Maps {
    std::vector<double> lat, lon, time, height{450.0}, tec, rms;
    ionex::MapSetView view() const {
        ionex::MapSetView v;
        v.lat = lat.data(); v.nlat = lat.size();
        v.lon = lon.data(); v.nlon = lon.size();
        v.time = time.data(); v.nmaps = time.size();
        v.height = height.data(); v.nheight = 1;
        v.base_radius = 6371;
        v.tec = tec.data(); v.rms = rms.data();
        ionex::useHostLayout(v);
        return v;
    }
};

Maps makeMaps() {
    Maps m;
    for (int i = 0; i < 71; ++i) m.lat.push_back(87.5 - 2.5 * i);
    for (int j = 0; j < 73; ++j) m.lon.push_back(-180 + 5.0 * j);
    for (int k = 0; k < 25; ++k) m.time.push_back(737798.0 + k / 24.0);
    for (int k = 0; k < 25; ++k)
        for (int j = 0; j < 73; ++j)
            for (int i = 0; i < 71; ++i) {
                const double sun = (m.lon[j] + 15.0 * k - 180.0) * M_PI / 180;
                const double v = 5 + 25 * std::cos(m.lat[i] * M_PI / 180) * (1 + std::cos(sun)) / 2;
                m.tec.push_back(v);
                m.rms.push_back(v / 10);
            }
    return m;
}

// CPU time of this thread in seconds: the time on one core, whatever else the machine
// runs (wall time is printed beside it).
double threadSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

// Best of three runs of `work`: CPU seconds on this thread, and the wall seconds of that run.
struct Timing {
    double cpu = 1e30;
    double wall = 0;
};
template <typename Work>
Timing bestSeconds(Work work) {
    Timing best;
    for (int r = 0; r < 3; ++r) {
        const auto w0 = std::chrono::steady_clock::now();
        const double c0 = threadSeconds();
        work();
        const double cpu = threadSeconds() - c0;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        if (cpu < best.cpu) best = {cpu, wall};
    }
    return best;
}

}  // namespace

// Counts every allocation made through operator new.
void* operator new(size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    const Maps maps = makeMaps();
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    if (ionex::prepareGrid(view, grid) != ionex::GridStatus::kOk) return 2;

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> t(maps.time.front(), maps.time.back()), lat(-87.5, 87.5), lon(-180, 180),
        az(0, 360), el(5, 90), rx_lat(-70, 70);
    std::vector<double> qt(kQueries), qlat(kQueries), qlon(kQueries), qaz(kQueries), qel(kQueries), rx(2 * kQueries);
    for (size_t i = 0; i < kQueries; ++i) {
        qt[i] = t(rng); qlat[i] = lat(rng); qlon[i] = lon(rng); qaz[i] = az(rng); qel[i] = el(rng);
        rx[i] = rx_lat(rng); rx[kQueries + i] = lon(rng);
    }
    const bool random_times = argc > 1 && std::string(argv[1]) == "--random-times";
    if (!random_times) std::sort(qt.begin(), qt.end());
    std::vector<double> out1(kQueries), out2(kQueries), out3(kQueries), out4(2 * kQueries);
    const double total = static_cast<double>(kQueries) * kPasses;
    bool all_met = true;

    std::printf("Map queries, one core, %.0f million queries per measurement (best of 3), %s\n", total / 1e6,
                random_times ? "random times (worst case; goals for comparison only)" : "in time order");
    std::printf("%-44s %12s %12s %10s %8s\n", "function", "queries/s", "(wall)", "goal", "verdict");
    const ionex::TimeMethod methods[3] = {ionex::TimeMethod::kRotated, ionex::TimeMethod::kLinear, ionex::TimeMethod::kNearest};
    const char* method_names[3] = {"rotated", "linear", "nearest"};
    for (int m = 0; m < 3; ++m) {
        for (int with_rms = 0; with_rms < 2; ++with_rms) {
            const size_t before = g_allocations;
            const Timing s = bestSeconds([&] {
                for (int p = 0; p < kPasses; ++p)
                    ionex::interpolateQueries(grid, view, 0, methods[m], {qt.data(), 1}, {qlat.data(), 1}, {qlon.data(), 1},
                                              kQueries, out1.data(), with_rms ? out2.data() : nullptr);
                g_sink = g_sink + out1[kQueries / 2];
            });
            const double rate = total / s.cpu;
            g_timed_allocations += g_allocations - before;
            const bool met = rate >= kInterpGoal && g_allocations == before;
            all_met = all_met && met;
            char name[64];
            std::snprintf(name, sizeof name, "ionex.interp %s%s", method_names[m], with_rms ? " (VTEC + RMS)" : "");
            std::printf("%-44s %10.1f M %10.1f M %8.0f M %8s%s\n", name, rate / 1e6, total / s.wall / 1e6, kInterpGoal / 1e6, met ? "met" : "MISSED",
                        g_allocations != before ? "  (allocated!)" : "");
        }
    }
    const ionex::MappingFunction mappings[2] = {ionex::MappingFunction::kSingleLayer, ionex::MappingFunction::kModifiedSingleLayer};
    const char* mapping_names[2] = {"slm", "mslm"};
    for (int m = 0; m < 3; ++m) {
        for (int f = 0; f < 2; ++f) {
            if (m > 0 && f > 0) continue;
            ionex::DelayOptions options;
            options.method = methods[m];
            options.mapping = mappings[f];
            const size_t before = g_allocations;
            const Timing s = bestSeconds([&] {
                for (int p = 0; p < kPasses; ++p)
                    ionex::slantDelays(grid, view, options, {qt.data(), 1}, {rx.data(), rx.data() + kQueries, 1},
                                       {qaz.data(), 1}, {qel.data(), 1}, kQueries,
                                       {out1.data(), out2.data(), out3.data(), out4.data()});
                g_sink = g_sink + out1[kQueries / 2];
            });
            const double rate = total / s.cpu;
            g_timed_allocations += g_allocations - before;
            const bool met = rate >= kDelayGoal && g_allocations == before;
            all_met = all_met && met;
            char name[64];
            std::snprintf(name, sizeof name, "ionex.delay %s %s (all 4 outputs)", method_names[m], mapping_names[f]);
            std::printf("%-44s %10.1f M %10.1f M %8.0f M %8s%s\n", name, rate / 1e6, total / s.wall / 1e6, kDelayGoal / 1e6, met ? "met" : "MISSED",
                        g_allocations != before ? "  (allocated!)" : "");
        }
    }
    std::printf("allocations while timing: %zu\n", g_timed_allocations);
    std::printf("verdict: %s\n", all_met ? "every goal met" : "a goal was MISSED");
    return all_met || random_times ? 0 : 1;
}
