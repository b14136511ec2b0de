// The output seam and the file write: a complete file appears under its name only at the
// end; an existing file is replaced only when allowed; a failure leaves no file, no
// temporary file and an existing file untouched; .gz is gzip, .Z is refused.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"
#include "writer/ionex_writer.h"
#include "writer/output_file.h"
#include "writer/writer_support.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

// A fresh empty folder for one test. Returns its path.
std::string freshFolder(const std::string& name) { return testfiles::makeTempDir("ionex_write_" + name + "_"); }


ionex::WriteInput smallInput(writertest::MapSet& set) {
    set = writertest::makeSet({10, 5}, {0, 5, 10}, {}, 2, [](std::size_t m, std::size_t i, std::size_t j, std::size_t) {
        return static_cast<double>(m + i + j);
    });
    return set.input();
}

TEST(OutputFile, ExistingFileIsReplacedOnlyWhenAllowed) {
    const std::string folder = freshFolder("exists");
    const std::string path = folder + "/maps.20i";
    std::ofstream(path) << "keep me";
    writertest::MapSet set;
    ionex::WriteFailure failure;
    EXPECT_EQ(ionex::writeIonexFile(path, smallInput(set), {}, failure), ionex::WriteStatus::kExists);
    EXPECT_EQ(writertest::fileText(path), "keep me");
    EXPECT_EQ(writertest::namesIn(folder), std::vector<std::string>{"maps.20i"});
    ionex::WriteFileOptions replace;
    replace.overwrite = true;
    ASSERT_EQ(ionex::writeIonexFile(path, smallInput(set), replace, failure), ionex::WriteStatus::kOk) << failure.detail;
    EXPECT_EQ(writertest::fileText(path), writertest::textOf(smallInput(set)));
    EXPECT_EQ(writertest::namesIn(folder), std::vector<std::string>{"maps.20i"});
}

TEST(OutputFile, FailuresLeaveNothingBehind) {
    const std::string folder = freshFolder("failures");
    writertest::MapSet set;
    ionex::WriteFailure failure;
    // No such folder: the system's reason comes back.
    EXPECT_EQ(ionex::writeIonexFile(folder + "/missing/maps.20i", smallInput(set), {}, failure), ionex::WriteStatus::kWrite);
    EXPECT_FALSE(failure.detail.empty());
    // The target is a folder: the rename fails after the whole file was written.
    ASSERT_TRUE(testfiles::makeDirs(folder + "/taken"));
    ionex::WriteFileOptions replace;
    replace.overwrite = true;
    EXPECT_EQ(ionex::writeIonexFile(folder + "/taken", smallInput(set), replace, failure), ionex::WriteStatus::kWrite);
    EXPECT_FALSE(failure.detail.empty());
    // Bad input: refused before anything is created.
    ionex::WriteInput bad = smallInput(set);
    bad.lat[0] = std::nan("");
    EXPECT_EQ(ionex::writeIonexFile(folder + "/bad.20i", bad, {}, failure), ionex::WriteStatus::kInput);
    EXPECT_EQ(failure.field, "lat(1)");
    // .Z is refused whatever the rest.
    EXPECT_EQ(ionex::writeIonexFile(folder + "/maps.20i.Z", smallInput(set), {}, failure), ionex::WriteStatus::kInput);
    EXPECT_EQ(failure.field, "FILE");
    EXPECT_EQ(writertest::namesIn(folder), std::vector<std::string>{"taken"});
}

TEST(OutputFile, AnAbandonedOutputRemovesItsTemporaryFile) {
    const std::string folder = freshFolder("abandon");
    ionex::OutputFailure failure;
    for (const bool gzip : {false, true}) {
        ionex::OutputOptions options;
        options.gzip = gzip;
        ionex::OutputFile* file = ionex::openOutput((folder + "/part.20i").c_str(), options, failure);
        ASSERT_NE(file, nullptr) << failure.message;
        ASSERT_TRUE(ionex::writeOutput(file, "some text\n", 10, failure));
        EXPECT_EQ(writertest::namesIn(folder).size(), 1u);  // the temporary file
        EXPECT_TRUE(writertest::namesIn(folder).front().find("part.20i") != std::string::npos);
        ionex::abandonOutput(file);
        EXPECT_TRUE(writertest::namesIn(folder).empty());
    }
}

TEST(OutputFile, AFileSystemThatStopsTakingBytesFailsTheWriteAndLeavesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "no file size limit to set on Windows";
#else
    // A daily file against a limit of 64 KB on the size of any file this process writes:
    // the write fails part way, plain and gzip, with the system's reason, and no file is left.
    ionex::IonexContents contents;
    ionex::ReadFailure read_failure;
    ASSERT_EQ(ionex::readIonexFile(testfiles::dataPath("CODG0080.20I"), ionex::ReadOptions{}, contents, read_failure),
              ionex::ReadStatus::kOk);
    const std::string folder = freshFolder("limit");
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit limit = old_limit;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    ionex::WriteFailure failure[2];
    const ionex::WriteStatus plain = ionex::writeIonexFile(folder + "/day.20i", ionex::writeInputOf(contents), {}, failure[0]);
    const ionex::WriteStatus gzip = ionex::writeIonexFile(folder + "/day.20i.gz", ionex::writeInputOf(contents), {}, failure[1]);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(plain, ionex::WriteStatus::kWrite);
    EXPECT_EQ(gzip, ionex::WriteStatus::kWrite);
    for (const ionex::WriteFailure& f : failure) EXPECT_FALSE(f.detail.empty());
    EXPECT_TRUE(writertest::namesIn(folder).empty());
    // Without the limit the same writes succeed.
    EXPECT_EQ(ionex::writeIonexFile(folder + "/day.20i.gz", ionex::writeInputOf(contents), {}, failure[1]), ionex::WriteStatus::kOk);
    EXPECT_EQ(writertest::namesIn(folder), std::vector<std::string>{"day.20i.gz"});
#endif
}

TEST(OutputFile, GzipNamesAreCompressed) {
    EXPECT_TRUE(ionex::isGzipName("a.20i.gz"));
    EXPECT_TRUE(ionex::isGzipName("A.20I.GZ"));
    EXPECT_FALSE(ionex::isGzipName("a.20i"));
    EXPECT_FALSE(ionex::isGzipName("gz"));
    EXPECT_TRUE(ionex::isCompressName("codg0080.20i.Z"));
    EXPECT_FALSE(ionex::isCompressName("codg0080.20i.zip"));
}

}  // namespace
