// Windows only: UTF-8 names to UTF-16 for the wide Windows calls; names too long for a
// plain path are made absolute and given the \\?\ prefix, so that deep folders open.
#include "input/wide_names_windows.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

// The UTF-16 name toWideName makes of `utf8` ("" when it refuses it). Returns it.
std::wstring wideOf(const std::string& utf8) {
    ionex::WideName name;
    if (!ionex::toWideName(utf8.c_str(), &name)) return L"";
    const std::wstring text = name.text;
    ionex::releaseWideName(&name);
    return text;
}

// `text` (ASCII) as UTF-16. Returns it.
std::wstring ascii(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// `text` (ASCII) as UTF-16 with every '/' turned into '\'. Returns it.
std::wstring backslashed(const std::string& text) {
    std::wstring out = ascii(text);
    for (wchar_t& c : out) {
        if (c == L'/') c = L'\\';
    }
    return out;
}

// Six folder names of 49 characters: 300 characters of path, beyond what a plain one holds.
std::string deepFolders() {
    std::string path;
    for (char c = 'a'; c < 'g'; ++c) path += std::string(1, c) + std::string(48, 'x') + "/";
    return path;
}

TEST(WideNames, LongNamesTakeThePrefixShortOnesStayAsGiven) {
    const std::string deep = deepFolders();
    const std::string parent = deep.substr(0, deep.size() - 50);  // without its last folder
    // (name given, UTF-16 name the wide calls get)
    const std::vector<std::pair<std::string, std::wstring>> rows = {
        {"C:/data/codg0080.20i.Z", L"C:/data/codg0080.20i.Z"},
        {"C:/" + deep + "day.20i", L"\\\\?\\C:\\" + backslashed(deep + "day.20i")},
        {"C:\\" + deep + "../day.20i", L"\\\\?\\C:\\" + backslashed(parent + "day.20i")},
        {"C:/" + deep + "./*", L"\\\\?\\C:\\" + backslashed(deep + "*")},
        {"//server/share/" + deep + "day.20i", L"\\\\?\\UNC\\server\\share\\" + backslashed(deep + "day.20i")},
        {"\\\\?\\C:\\" + deep + "day.20i", std::wstring(L"\\\\?\\C:\\") + ascii(deep + "day.20i")},  // as given
    };
    for (const auto& [given, expected] : rows) {
        EXPECT_EQ(wideOf(given), expected) << given;
    }
    EXPECT_EQ(wideOf("bad \xff name"), L"");
}

TEST(WideNames, AFileInFoldersDeeperThanAPlainPathReadsThroughTheLineSource) {
    const std::string root = testfiles::makeTempDir("deep");
    std::string folder = root;
    const std::string deep = deepFolders();
    for (std::size_t at = 0; at < deep.size(); at += 50) {
        folder += "/" + deep.substr(at, 49);
        ASSERT_TRUE(CreateDirectoryW(wideOf(folder).c_str(), nullptr)) << "cannot make " << folder;
    }
    const std::string name = folder + "/day.20i.gz";
    ASSERT_GT(name.size(), 300u);
    const std::string bytes = testfiles::gzipBytes("first line\nsecond line\n");
    FILE* file = _wfopen(wideOf(name).c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    EXPECT_EQ(testfiles::readAllLines(name), (std::vector<std::string>{"first line\n", "second line\n"}));
    DeleteFileW(wideOf(name).c_str());
    while (folder.size() > root.size()) {
        RemoveDirectoryW(wideOf(folder).c_str());
        folder.erase(folder.rfind('/'));
    }
    testfiles::removeTree(root);
}

}  // namespace
