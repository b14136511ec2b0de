// The +ionex readers on inputs without end: a first line that is no IONEX record ends the
// read as not IONEX, and a later line longer than a record can be as corrupt, each after a
// bounded number of bytes; an endless header of valid records ends when the stop check says
// so. The inputs are /dev/zero, /dev/urandom and FIFOs whose writer never stops.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "format_reader/ionex_reader.h"
#include "support/test_files.h"

using ionex::ReadStatus;

namespace {

#ifndef _WIN32
// A FIFO whose writer thread writes `head` once and then `body` again and again until the
// reader closes its end. `written` counts the bytes the reader took.
struct EndlessFifo {
    EndlessFifo(const std::string& name, std::string head, std::string body) {
        std::signal(SIGPIPE, SIG_IGN);  // a write after the reader left fails with EPIPE instead
        path = testfiles::writeTemp(name, "");
        std::remove(path.c_str());
        if (::mkfifo(path.c_str(), 0600) != 0) return;
        writer = std::thread([this, head = std::move(head), body = std::move(body)] {
            const int fd = ::open(path.c_str(), O_WRONLY);
            if (fd < 0) return;
            bool ok = writeAll(fd, head);
            while (ok) ok = writeAll(fd, body);
            ::close(fd);
        });
    }
    ~EndlessFifo() {
        // A reader that never came: open the read end once so that the writer's open returns.
        if (writer.joinable()) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            writer.join();
        }
        std::remove(path.c_str());
    }
    bool writeAll(int fd, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
            written += n;
        }
        return true;
    }
    std::string path;
    std::thread writer;
    std::atomic<long long> written{0};
};

#endif

// The 80 columns of a record: text in columns 1-60, the label in 61-80.
std::string record(const std::string& text, const std::string& label) {
    std::string line = text;
    line.resize(60, ' ');
    line += label;
    line.resize(80, ' ');
    return line + "\n";
}

const std::string kVersion = record("     1.0            IONOSPHERE MAPS     GPS", "IONEX VERSION / TYPE");

struct Outcome {
    ReadStatus status;
    ionex::ReadFailure failure;
    double seconds;
};

// Reads `path` with the +ionex reader (header only or whole). Returns the status and how long it took.
Outcome readTimed(const std::string& path, bool header_only, const ionex::StopCheck& stop = {}) {
    ionex::ReadOptions options;
    options.header_only = header_only;
    options.stop = stop;
    ionex::IonexContents contents;
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    o.status = ionex::readIonexFile(path, options, contents, o.failure);
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return o;
}

}  // namespace

TEST(EndlessInput, DevicesWithoutEndAreNoIonexAtOnce) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#else
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        for (bool header_only : {false, true}) {
            const Outcome o = readTimed(device, header_only);
            EXPECT_EQ(o.status, ReadStatus::kNotIonex) << device << " " << ionex::describeFailure(o.failure);
            EXPECT_LT(o.seconds, 1.0) << device;
        }
    }
#endif
}

TEST(EndlessInput, FifosEndAfterABoundedNumberOfBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#else
    struct Case {
        const char* name;
        std::string head;
        std::string body;
        ReadStatus expected;
        long line;  // the line the failure names
    };
    const std::string blanks(4096, ' ');
    const Case cases[] = {
        {"a first line without end", "", std::string(4096, 'x'), ReadStatus::kNotIonex, 1},
        {"a first line of NUL bytes", "", std::string(4096, '\0'), ReadStatus::kNotIonex, 1},
        {"a first line longer than a record", "", kVersion.substr(0, 80) + "IONEX VERSION / TYPE\n", ReadStatus::kNotIonex, 1},
        {"a first record, then blanks without end", "", kVersion.substr(0, 80) + blanks, ReadStatus::kNotIonex, 1},
        {"blank lines without end before any record", "", std::string(100, ' ') + "\n", ReadStatus::kNotIonex, 0},
        {"a second line without end", kVersion, std::string(4096, '7'), ReadStatus::kCorrupt, 2},
        {"a second line of blanks without end", kVersion, blanks, ReadStatus::kCorrupt, 2},
    };
    for (const Case& c : cases) {
        EndlessFifo fifo("endless.fifo", c.head, c.body);
        ASSERT_TRUE(fifo.writer.joinable()) << "no FIFO could be made";
        const Outcome o = readTimed(fifo.path, false);
        EXPECT_EQ(o.status, c.expected) << c.name << ": " << ionex::describeFailure(o.failure);
        if (c.line > 0) {
            EXPECT_EQ(o.failure.line_number, c.line) << c.name;
        }
        EXPECT_LT(o.seconds, 1.0) << c.name;
        fifo.writer.join();
        // Bounded: what was read is a few of the source's blocks at most.
        EXPECT_LT(fifo.written.load(), 1024 * 1024) << c.name;
    }
#endif
}

TEST(EndlessInput, AnEndlessHeaderEndsWhenTheStopCheckSaysSo) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#else
    // Valid comment records forever: no line rule ends this; the caller's check does.
    struct After {
        long calls = 0;
        long stop_at = 0;
        static bool check(void* context) {
            After& a = *static_cast<After*>(context);
            return ++a.calls >= a.stop_at;
        }
    };
    for (bool header_only : {false, true}) {
        EndlessFifo fifo("comments.fifo", kVersion, record("a header that never ends", "COMMENT"));
        After after;
        after.stop_at = 3;
        ionex::StopCheck stop;
        stop.should_stop = After::check;
        stop.context = &after;
        const Outcome o = readTimed(fifo.path, header_only, stop);
        EXPECT_EQ(o.status, ReadStatus::kStopped) << ionex::describeFailure(o.failure);
        EXPECT_EQ(after.calls, 3);
        EXPECT_EQ(o.failure.file, fifo.path);
        EXPECT_NE(ionex::describeFailure(o.failure).find("interrupted"), std::string::npos) << ionex::describeFailure(o.failure);
        fifo.writer.join();
    }
#endif
}

TEST(EndlessInput, LongLinesWithinTheBoundsReadAsBefore) {
    // A first record followed by trailing blanks, and a later line of 600 blanks: both fit the
    // bounds and read as before (the file then ends inside its header).
    const std::string text = kVersion.substr(0, 80) + std::string(300, ' ') + "\r\n" + std::string(600, ' ') + "\n" +
                             record("a comment", "COMMENT");
    const Outcome o = readTimed(testfiles::writeTemp("bounded.20i", text), false);
    EXPECT_EQ(o.status, ReadStatus::kTruncated) << ionex::describeFailure(o.failure);
}
