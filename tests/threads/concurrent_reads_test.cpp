// Concurrent reads: every kind of input (plain, gzip, compress, several gzip members, cut
// short, damaged, missing) read by several threads at once through each reader, and written
// again by ionex.write's core, gives byte for byte what a serial call gives. Built with ThreadSanitizer in the test command,
// so that any state two reads share shows up as a race.
//
// A new reader joins by one function that reads a file and describes what it got, and one
// row in kReaders.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "keyword_reader/header_reader.h"
#include "format_reader/ionex_reader.h"
#include "input/line_source.h"
#include "keyword_reader/map_reader.h"
#include "support/test_files.h"
#include "keyword_reader/window.h"
#include "writer/ionex_writer.h"
#include "writer/writer_support.h"

namespace {

// Appends the bytes of `value` to `out`. Returns nothing.
template <typename T>
void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Appends every header field, one by one (never the padding between them).
void putHeader(std::string& out, const ionex::IonexHeader& h) {
    out.append(h.version, sizeof h.version);
    for (const ionex::IonexEpoch& e : {h.first_epoch, h.last_epoch}) {
        put(out, e.year), put(out, e.month), put(out, e.day), put(out, e.hour), put(out, e.minute);
        put(out, e.second);
    }
    put(out, h.interval), put(out, h.num_maps), put(out, h.map_dimension), put(out, h.exponent);
    for (float f : {h.base_radius, h.hgt1, h.lat1, h.lat2, h.dlat, h.lon1, h.lon2, h.dlon}) put(out, f);
}

// Most maps a test reader reads from one file, so that a damaged count stays cheap.
constexpr int kMapLimit = 100;

// Reads the header with its DCBs, then the maps of the window `locations_given` and the
// location pick (the whole grid, or the 2-by-2 window around 47 N 8 E) through the core
// alone. Returns a description of everything read.
std::string readThroughCore(const std::string& path, bool locations_given) {
    ionex::LineSource* file = ionex::openLineSource(path.c_str());
    if (file == nullptr) return "no file";
    std::string out;
    char line[ionex::kLineBufferSize] = {};
    ionex::IonexHeader header;
    std::memset(&header, 0, sizeof header);
    std::vector<double> satellites(40, 0.0);
    double receiver = 0.0;
    const bool header_read = ionex::readIonexHeader(file, header, line, satellites.data(), 40, "ZIMM", &receiver);
    put(out, header_read);
    putHeader(out, header);
    for (double s : satellites) put(out, s);
    put(out, receiver);

    const ionex::Location point{47.0f, 8.0f};
    ionex::Range<int> lat{}, lon{};
    ionex::Range<float> lat_coord{}, lon_coord{};
    const bool window = ionex::process_locations(point, point, header, locations_given, lat, lon, lat_coord, lon_coord);
    put(out, window);
    const long long nodes = (static_cast<long long>(lat.last) - lat.first + 1) * (static_cast<long long>(lon.last) - lon.first + 1);
    if (window && lat.first >= 0 && lon.first >= 0 && nodes > 0 && nodes <= 1000000) {
        std::vector<double> values(static_cast<size_t>(nodes));
        const float scale = ionex::pow10(header.exponent);
        for (int j = 0; j < header.num_maps && j < kMapLimit; ++j) {
            std::fill(values.begin(), values.end(), -1.0);
            bool ended = false;
            const int result = ionex::readIonexMap(file, header, lat, lon, scale, j, line, values.data(), &ended);
            put(out, result), put(out, ended);
            for (double v : values) put(out, v);
            if (result != ionex::kMapRead || ended) break;
        }
    }
    ionex::closeLineSource(file);
    return out;
}

std::string readWholeGrid(const std::string& path) { return readThroughCore(path, false); }
std::string readPoint(const std::string& path) { return readThroughCore(path, true); }

// Appends the `count` doubles at `values` to `out`. Returns nothing.
void putValues(std::string& out, const std::vector<double>& values) {
    put(out, values.size());
    out.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
}

// Reads `path` with the +ionex reader (every kind of map, whole grid). Returns the status
// and either the failure's text or the axes, epochs, maps and biases, as bytes.
std::string readWithIonexReader(const std::string& path) {
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    const ionex::ReadStatus status = ionex::readIonexFile(path, ionex::ReadOptions{}, contents, failure);
    std::string out;
    put(out, status);
    if (status != ionex::ReadStatus::kOk) return out + ionex::describeFailure(failure);
    for (const auto* axis : {&contents.lat, &contents.lon, &contents.height, &contents.time}) {
        putValues(out, *axis);
    }
    for (const ionex::MapSeries& maps : contents.maps) putValues(out, maps.values);
    for (const ionex::DcbBlock& block : contents.dcb) {
        out += block.title;
        for (const ionex::SatelliteBias& s : block.satellites) {
            put(out, s.system), put(out, s.prn), put(out, s.bias), put(out, s.rms);
        }
        for (const ionex::StationBias& s : block.stations) {
            out += s.name + s.domes;
            put(out, s.bias), put(out, s.rms);
        }
    }
    return out;
}

// Reads `path` with the +ionex reader and writes what it got, plain and gzip, to files of
// the calling thread's own (the writer keeps its buffers and compressor between calls for
// the whole process). Returns the statuses and the bytes of both files.
std::string readAndWrite(const std::string& path) {
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    if (ionex::readIonexFile(path, ionex::ReadOptions{}, contents, failure) != ionex::ReadStatus::kOk) return "not read";
    std::ostringstream thread_name;
    thread_name << std::this_thread::get_id();
    std::string out;
    for (const char* extension : {".20i", ".20i.gz"}) {
        const std::string target = testfiles::writeTemp("threads-written-" + thread_name.str() + extension, "");
        ionex::WriteFileOptions options;
        options.overwrite = true;
        ionex::WriteFailure write_failure;
        put(out, ionex::writeIonexFile(target, ionex::writeInputOf(contents), options, write_failure));
        std::ifstream written(target, std::ios::binary);
        out.append(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
        written.close();
        std::remove(target.c_str());
    }
    return out;
}

// The readers under test.
struct Reader {
    const char* name;
    std::string (*read)(const std::string& path);
};
const Reader kReaders[] = {
    {"core, whole grid", readWholeGrid},
    {"core, point", readPoint},
    {"+ionex reader", readWithIonexReader},
    {"+ionex reader and writer", readAndWrite},
};

// Every kind of input: the real products as stored, and copies made here cut short,
// damaged, joined or empty. Returns the paths.
std::vector<std::string> inputFiles() {
    using testfiles::dataPath;
    using testfiles::readData;
    using testfiles::writeTemp;
    const std::string plain = readData("CODG0080.20I");
    const std::string gzip = readData("codg0080.20i.gz");
    const std::string compress = readData("esag0080.20i.Z");
    std::string damaged_gzip = gzip;
    for (size_t i = gzip.size() / 2; i < gzip.size() / 2 + 64; ++i) damaged_gzip[i] = static_cast<char>(damaged_gzip[i] ^ 0x5A);
    std::string damaged_compress = compress;
    for (size_t i = compress.size() / 3; i < compress.size() / 3 + 64; ++i) damaged_compress[i] = '\xFF';
    return {
        dataPath("CODG0080.20I"),
        dataPath("codg0080.20i.gz"),
        dataPath("codg0080.20i.Z"),
        dataPath("jplg0010.17i.gz"),
        dataPath("esag0080.20i.Z"),
        dataPath("jammed-fields.14i"),
        writeTemp("threads-cut.20i", plain.substr(0, plain.size() / 3)),
        writeTemp("threads-cut.20i.gz", gzip.substr(0, gzip.size() / 2)),
        writeTemp("threads-cut.20i.Z", compress.substr(0, compress.size() / 2)),
        writeTemp("threads-damaged.20i.gz", damaged_gzip),
        writeTemp("threads-damaged.20i.Z", damaged_compress),
        writeTemp("threads-members.20i.gz", testfiles::gzipBytes(plain.substr(0, 700000)) + testfiles::gzipBytes(plain.substr(700000))),
        writeTemp("threads-empty.20i", ""),
        dataPath("no-such-file.20i"),
    };
}

// One read: which reader on which file.
struct Job {
    size_t reader;
    size_t file;
};

TEST(ConcurrentReads, SameResultsAsSerialReads) {
    const std::vector<std::string> files = inputFiles();
    std::vector<Job> jobs;
    for (size_t r = 0; r < std::size(kReaders); ++r) {
        for (size_t f = 0; f < files.size(); ++f) jobs.push_back({r, f});
    }
    std::vector<std::string> serial;
    for (const Job& job : jobs) serial.push_back(kReaders[job.reader].read(files[job.file]));

    // Every thread reads every job, each starting at a different one, so that different
    // files and the same file are read at the same moment.
    const size_t thread_count = 6;
    std::vector<std::vector<std::string>> results(thread_count, std::vector<std::string>(jobs.size()));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (size_t t = 0; t < thread_count; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (size_t k = 0; k < jobs.size(); ++k) {
                const size_t i = (k + t * jobs.size() / thread_count) % jobs.size();
                results[t][i] = kReaders[jobs[i].reader].read(files[jobs[i].file]);
            }
        });
    }
    go.store(true);
    for (std::thread& thread : threads) thread.join();

    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_GT(serial[i].size(), 0u);
        for (size_t t = 0; t < thread_count; ++t) {
            EXPECT_TRUE(results[t][i] == serial[i])
                << kReaders[jobs[i].reader].name << " of " << files[jobs[i].file] << " on thread " << t;
        }
    }
}

// The reads above are worth comparing only if they read what the files hold.
TEST(ConcurrentReads, SerialReadsSeeTheFiles) {
    const std::vector<std::string> files = inputFiles();
    EXPECT_EQ(readWholeGrid(files[0]), readWholeGrid(files[1])) << "plain and gzip of one product";
    EXPECT_EQ(readWholeGrid(files[0]), readWholeGrid(files[2])) << "plain and compress of one product";
    EXPECT_EQ(readWholeGrid(files[0]), readWholeGrid(files[11])) << "one gzip member or two";
    EXPECT_NE(readWholeGrid(files[0]), readWholeGrid(files[7])) << "cut short";
    EXPECT_NE(readWholeGrid(files[0]), readWholeGrid(files[9])) << "damaged";
    EXPECT_EQ(readWholeGrid(files.back()), "no file");
    EXPECT_NE(readPoint(files[0]), readWholeGrid(files[0]));
    EXPECT_EQ(readAndWrite(files[0]), readAndWrite(files[1])) << "written from plain and gzip";
    EXPECT_GT(readAndWrite(files[0]).size(), 1000000u) << "a daily file written, plain and gzip";
}

}  // namespace
