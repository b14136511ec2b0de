// The progress line of a series read: when the reader's callback writes it, what it writes,
// how it ends, and an interrupt raised by the host while it is written, which stops the read
// and is kept for the gateway to raise again.

#include <gtest/gtest.h>

#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"
#include "minimex_testing.h"
#include "ionex_package/progress_line.h"

namespace {

using gateway::ProgressLine;

const std::string kData = IONEX_TEST_DATA;

// A line whose read started `elapsed` seconds ago, last written `since_shown` seconds ago
// (negative: never written). Returns it.
ProgressLine lineAged(double elapsed, double since_shown) {
    ProgressLine line;
    const auto now = ProgressLine::Clock::now();
    auto ago = [&](double s) { return now - std::chrono::duration_cast<ProgressLine::Clock::duration>(std::chrono::duration<double>(s)); };
    line.start = ago(elapsed);
    if (since_shown >= 0) {
        line.shown = true;
        line.last_shown = ago(since_shown);
    }
    return line;
}

TEST(ProgressLine, WrittenOnlyAfterTheDelayAndAtMostOncePerPeriod) {
    struct Row {
        double elapsed, since_shown;  // seconds; since_shown < 0: not written yet
        size_t done, total;
        const char* printed;
    };
    const Row rows[] = {
        {0.0, -1, 1, 5, ""},
        {1.5, -1, 2, 5, ""},
        {2.4, -1, 2, 5, "\rionex.read: file 2 of 5 (2 seconds)"},
        {10.2, 0.4, 3, 5, ""},
        {10.2, 1.3, 3, 5, "\rionex.read: file 3 of 5 (10 seconds)"},
        {125.3, 5.0, 299, 300, "\rionex.read: file 299 of 300 (125 seconds)"},
    };
    for (const Row& row : rows) {
        minimex::clearPrinted();
        ProgressLine line = lineAged(row.elapsed, row.since_shown);
        const bool was_shown = line.shown;
        EXPECT_TRUE(gateway::reportProgress(&line, row.done, row.total)) << row.elapsed;
        EXPECT_EQ(minimex::printedText(), row.printed) << row.elapsed;
        const bool written = *row.printed != '\0';
        EXPECT_EQ(minimex::evaluatedCommands().size(), written ? 1u : 0u) << row.elapsed << ": flushed after each write";
        EXPECT_EQ(line.shown, was_shown || written) << row.elapsed;
        EXPECT_EQ(line.files_done, row.done);
        EXPECT_EQ(line.files_total, row.total);
    }
}

TEST(ProgressLine, FinishedOnALineOfItsOwnOnlyWhenShown) {
    minimex::clearPrinted();
    ProgressLine quiet = lineAged(1.0, -1);
    quiet.files_done = quiet.files_total = 4;
    gateway::finishProgress(quiet);
    EXPECT_EQ(minimex::printedText(), "");

    ProgressLine shown = lineAged(7.21, 0.5);
    shown.files_done = shown.files_total = 4;
    gateway::finishProgress(shown);
    EXPECT_EQ(minimex::printedText(), "\rionex.read: file 4 of 4 (7.2 seconds)\n");
    EXPECT_FALSE(shown.host_exception);
}

TEST(ProgressLine, AnInterruptWhileWritingStopsTheReadAndIsKept) {
    // Three files, the line due from the first: the host interrupts the second flush.
    const std::string file = kData + "/codg0080.20i.gz";
    ProgressLine line = lineAged(5.0, -1);
    // Each report sees the last write a period old, so that every file writes the line.
    struct Aging {
        ProgressLine* line;
        static bool report(void* context, size_t done, size_t total) {
            ProgressLine& l = *static_cast<Aging*>(context)->line;
            l.last_shown -= std::chrono::seconds(2);
            return gateway::reportProgress(&l, done, total);
        }
    } aging{&line};
    ionex::ReadProgress progress;
    progress.report = Aging::report;
    progress.context = &aging;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    ionex::ReadOptions options;
    options.kinds[ionex::kRmsMap] = false;
    minimex::clearPrinted();
    minimex::interruptEvaluationNumber(2);
    const ionex::ReadStatus status = ionex::readIonexSeries({file, file, file}, options, contents, failure, &progress);
    minimex::interruptEvaluationNumber(0);
    EXPECT_EQ(status, ionex::ReadStatus::kStopped);
    ASSERT_TRUE(line.host_exception);
    EXPECT_THROW(std::rethrow_exception(line.host_exception), minimex::HostInterrupt);
    EXPECT_EQ(line.files_done, 2u);
    EXPECT_EQ(minimex::evaluatedCommands().size(), 2u);
    // Nothing more is written once the host has interrupted.
    minimex::clearPrinted();
    EXPECT_FALSE(gateway::reportProgress(&line, 3, 3));
    gateway::finishProgress(line);
    EXPECT_EQ(minimex::printedText(), "");
}

}  // namespace
