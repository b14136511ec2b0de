// File names beyond ASCII: folders such as "Zürich 2020/" and "測站/" open through every
// entry (vornakelstrid_p, ionex.read with a name, a cell of names and a wildcard pattern,
// ionex.info) on every platform, the names come back in M.files unchanged, and the
// wildcard rules are the same on POSIX systems and Windows.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "input/line_source.h"
#include "ionex_package/file_pattern.h"
#include "minimex_testing.h"
#include "support/open_files.h"
#include "support/temp_dir.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_read_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_info_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

using minimex::makeCell;
using minimex::makeChar;

// One call of an entry with one output; the inputs are released, the output kept.
struct Call {
    Call(minimex::MexEntry entry, int nlhs, std::vector<mxArray*> inputs) : outputs(static_cast<size_t>(nlhs)) {
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        try {
            minimex::runEntry(entry, nlhs, outputs.data(), static_cast<int>(prhs.size()), prhs.data());
        } catch (const minimex::MexError& e) {
            identifier = e.identifier + ": " + e.message;
        }
        for (mxArray* input : inputs) mxDestroyArray(input);
    }
    ~Call() { minimex::destroyOutputs(outputs.data(), static_cast<int>(outputs.size())); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    const mxArray* out(size_t i) const { return outputs.at(i); }
    std::vector<mxArray*> outputs;
    std::string identifier;  // "" when the entry returned
};

// Every double of `a` (a cell's elements in order), to compare two reads of one product.
std::vector<double> allValues(const mxArray* a) {
    std::vector<double> values;
    if (a == nullptr) return values;
    if (mxIsCell(a)) {
        for (size_t i = 0; i < mxGetNumberOfElements(a); ++i) {
            const std::vector<double> inner = allValues(mxGetCell(a, i));
            values.insert(values.end(), inner.begin(), inner.end());
        }
    } else if (mxIsDouble(a)) {
        values.assign(mxGetPr(a), mxGetPr(a) + mxGetNumberOfElements(a));
    }
    return values;
}

// The texts of the cell `files` (M.files). Returns them in order.
std::vector<std::string> namesOf(const mxArray* files) {
    std::vector<std::string> names;
    for (size_t i = 0; files != nullptr && mxIsCell(files) && i < mxGetNumberOfElements(files); ++i) {
        names.push_back(minimex::textOf(mxGetCell(files, i)));
    }
    return names;
}

// A temporary tree with copies of bundled files under names beyond ASCII.
class NonAsciiNames : public ::testing::Test {
protected:
    void SetUp() override {
        root = testfiles::makeTempDir("names-");
        ASSERT_TRUE(testfiles::makeDirs(root + "/Zürich 2020"));
        ASSERT_TRUE(testfiles::makeDirs(root + "/測站"));
        copy("codg0080.20i.Z", zurich);
        copy("codg0090.20i.Z", station_a);
        copy("codg0080.20i.gz", station_b);
    }
    void TearDown() override { testfiles::removeTree(root); }

    // Copies the bundled file `name` to `target` below the tree. Returns nothing.
    void copy(const std::string& name, const std::string& target) {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::copy_file(fs::u8path(std::string(IONEX_TEST_DATA) + "/" + name), fs::u8path(root + "/" + target), ec);
        ASSERT_FALSE(ec) << "copy to " << target << ": " << ec.message();
    }
    std::string path(const std::string& target) const { return root + "/" + target; }
    static std::string data(const std::string& name) { return std::string(IONEX_TEST_DATA) + "/" + name; }

    std::string root;
    const std::string zurich = "Zürich 2020/cödg0080.20i.Z";
    const std::string station_a = "測站/codg0090.20i.Z";
    const std::string station_b = "測站/codg0080.20i.gz";
};

TEST_F(NonAsciiNames, VornakelstridReadsWhatTheAsciiNameReads) {
    // (file under a name beyond ASCII, the same bytes under the bundled name)
    const std::vector<std::pair<std::string, std::string>> rows = {
        {zurich, "codg0080.20i.Z"}, {station_a, "codg0090.20i.Z"}, {station_b, "codg0080.20i.gz"}};
    for (const auto& [copy_name, original] : rows) {
        Call renamed(mexFunction, 2, {makeChar(path(copy_name))});
        Call bundled(mexFunction, 2, {makeChar(data(original))});
        ASSERT_EQ(renamed.identifier, "") << copy_name;
        ASSERT_FALSE(mxIsCell(renamed.out(1)) && mxGetNumberOfElements(renamed.out(1)) == 2 &&
                     mxIsChar(mxGetCell(renamed.out(1), 1)))
            << copy_name << ": an error result";
        const std::vector<double> values = allValues(renamed.out(0));
        EXPECT_GT(values.size(), 1000u) << copy_name;
        EXPECT_EQ(values, allValues(bundled.out(0))) << copy_name;
        EXPECT_EQ(allValues(renamed.out(1)), allValues(bundled.out(1))) << copy_name << ": epochs";
    }
}

TEST_F(NonAsciiNames, IonexReadGivesTheNamesBackUnchanged) {
    Call one(ionex_read_mexFunction, 1, {makeChar(path(zurich))});
    ASSERT_EQ(one.identifier, "");
    EXPECT_EQ(namesOf(mxGetField(one.out(0), 0, "files")), std::vector<std::string>{path(zurich)});
    Call bundled(ionex_read_mexFunction, 1, {makeChar(data("codg0080.20i.Z"))});
    EXPECT_EQ(allValues(mxGetField(one.out(0), 0, "tec")), allValues(mxGetField(bundled.out(0), 0, "tec")));

    Call cell(ionex_read_mexFunction, 1, {makeCell(1, 2, {makeChar(path(station_a)), makeChar(path(zurich))})});
    ASSERT_EQ(cell.identifier, "");
    // A series is read in time order: day 8 (Zürich) before day 9 (測站).
    const std::vector<std::string> names = namesOf(mxGetField(cell.out(0), 0, "files"));
    EXPECT_EQ(names.size(), 2u);
    EXPECT_NE(std::find(names.begin(), names.end(), path(station_a)), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), path(zurich)), names.end());
}

TEST_F(NonAsciiNames, WildcardsMatchInFoldersBeyondAscii) {
    // (pattern below the tree, the files it must give, sorted by their bytes)
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"測站/codg*.20i.*", {station_b, station_a}},
        {"測站/codg00[89]0.20i.Z", {station_a}},
        {"Zürich 2020/c*dg0080.20i.Z", {zurich}},
        {"Zürich 2020/*", {zurich}},
    };
    for (const auto& [pattern, expected] : rows) {
        std::vector<std::string> found;
        gateway::expandPattern(path(pattern), found);
        std::vector<std::string> want;
        for (const std::string& name : expected) want.push_back(path(name));
        EXPECT_EQ(found, want) << pattern;
    }
#ifdef _WIN32
    // Windows takes either separator, and the case of a name does not matter there.
    std::vector<std::string> found;
    gateway::expandPattern(root + "\\測站\\CODG*.20I.Z", found);
    EXPECT_EQ(found, std::vector<std::string>{root + "\\測站\\codg0090.20i.Z"});
#endif
}

TEST_F(NonAsciiNames, IonexInfoAndPatternsThroughTheEntries) {
    Call info(ionex_info_mexFunction, 1, {makeChar(path(station_a))});
    EXPECT_EQ(info.identifier, "");
    EXPECT_TRUE(info.out(0) != nullptr && mxIsStruct(info.out(0)));

    Call series(ionex_read_mexFunction, 1, {makeChar(path("測站/codg00?0.20i.*"))});
    ASSERT_EQ(series.identifier, "");
    EXPECT_EQ(namesOf(mxGetField(series.out(0), 0, "files")),
              (std::vector<std::string>{path(station_b), path(station_a)}));

    Call none(ionex_read_mexFunction, 1, {makeChar(path("測站/*.14i"))});
    EXPECT_EQ(none.identifier.substr(0, 13), "ionex:NoFile:");
}

TEST(FilePattern, MatchesAsGlobDoes) {
    struct Row {
        const char* name;
        const char* pattern;
        bool fold_case;
        bool matches;
    };
    const Row rows[] = {
        {"codg0080.20i.Z", "codg*.20i.Z", false, true},
        {"codg0080.20i.Z", "codg*.20i", false, false},
        {"codg0080.20i.Z", "codg00?0.20i.Z", false, true},
        {"codg0080.20i.Z", "codg00[7-9]0.20i.Z", false, true},
        {"codg0080.20i.Z", "codg00[!7-9]0.20i.Z", false, false},
        {"codg0080.20i.Z", "codg00[^0-7]0.20i.Z", false, true},
        {"codg0080.20i.Z", "CODG*.20I.Z", false, false},
        {"codg0080.20i.Z", "CODG*.20I.Z", true, true},
        {"a[b", "a[b", false, true},          // '[' without ']' is itself
        {"ab", "a[]b]", false, true},
        {"ac", "a[]b]", false, false},
        {"a]", "a[]b]", false, true},         // ']' first in a set is a member
        {".hidden.20i", "*.20i", false, false},
        {".hidden.20i", ".*", false, true},
        {"cödg", "c?dg", false, true},
        {"cödg", "c??dg", false, false},
        {"測站.20i", "??.20i", false, true},
        {"", "*", false, true},
        {"x", "", false, false},
        {"aaaa", "*a*a*a*a", false, true},
        {"aaa", "*a*a*a*a", false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(gateway::matchesPattern(row.name, row.pattern, row.fold_case), row.matches)
            << row.name << " ~ " << row.pattern << (row.fold_case ? " (any case)" : "");
    }
}

}  // namespace

namespace {

// The open-file count the resource tests rely on sees a file the core holds open, on
// every platform (descriptors on POSIX systems, disk handles on Windows).
TEST(OpenFiles, CountSeesAFileHeldOpen) {
    const size_t before = testfiles::openFileCount();
    ionex::LineSource* source = ionex::openLineSource((std::string(IONEX_TEST_DATA) + "/codg0080.20i.Z").c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(testfiles::openFileCount(), before + 1);
    ionex::closeLineSource(source);
    EXPECT_EQ(testfiles::openFileCount(), before);
}

}  // namespace
