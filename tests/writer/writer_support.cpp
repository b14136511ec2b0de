// Helpers of the writer tests.
#include "writer/writer_support.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "format_reader/ionex_reader.h"
#include "support/test_files.h"
#include "writer/ionex_writer.h"

namespace writertest {

ionex::WriteInput MapSet::input() const {
    ionex::WriteInput in;
    in.lat = lat;
    in.lon = lon;
    in.height = height;
    in.time = time;
    in.maps[ionex::kTecMap] = tec.data();
    if (!rms.empty()) in.maps[ionex::kRmsMap] = rms.data();
    in.map_stride = lat.size() * lon.size();
    in.height_stride = lat.size() * lon.size() * time.size();
    return in;
}

MapSet makeSet(const std::vector<double>& lat, const std::vector<double>& lon, const std::vector<double>& height,
               std::size_t nmaps, double (*value)(std::size_t m, std::size_t i, std::size_t j, std::size_t h)) {
    MapSet s;
    s.lat = lat;
    s.lon = lon;
    s.height = height;
    for (std::size_t m = 0; m < nmaps; ++m) s.time.push_back(737798.0 + static_cast<double>(m) / 24.0);
    const std::size_t nhgt = height.empty() ? 1 : height.size();
    for (std::size_t h = 0; h < nhgt; ++h) {
        for (std::size_t m = 0; m < nmaps; ++m) {
            for (std::size_t j = 0; j < lon.size(); ++j) {
                for (std::size_t i = 0; i < lat.size(); ++i) s.tec.push_back(value(m, i, j, h));
            }
        }
    }
    return s;
}

std::string textOf(const ionex::WriteInput& input) {
    std::string text;
    ionex::WriteFailure failure;
    const ionex::WriteStatus st = ionex::writeIonexString(input, text, failure);
    EXPECT_EQ(st, ionex::WriteStatus::kOk) << failure.field << " " << failure.detail;
    return text;
}

ionex::IonexContents readBack(const std::string& text) {
    const std::string path = testfiles::writeTemp("written.i", text);
    ionex::IonexContents c;
    ionex::ReadFailure failure;
    EXPECT_EQ(ionex::readIonexFile(path, ionex::ReadOptions{}, c, failure), ionex::ReadStatus::kOk)
        << ionex::describeFailure(failure);
    std::remove(path.c_str());
    return c;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<double> axis(double first, double step, std::size_t n) {
    std::vector<double> v;
    for (std::size_t k = 0; k < n; ++k) v.push_back(first + static_cast<double>(k) * step);
    return v;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace writertest
