// The header reader: keyword records, their order, and the DCB block states.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "keyword_reader/header_reader.h"
#include "input/line_source_faults.h"
#include "support/test_files.h"

namespace {

// A header line: text, padded to 60 columns, then the label.
std::string rec(const std::string& data, const std::string& label) {
    std::string line = data;
    if (line.size() < 60) line.resize(60, ' ');
    return line + label + "\n";
}

struct HeaderRead {
    bool result = false;
    ionex::IonexHeader header{};
    double sat[40] = {};
    double receiver_dcb = 0.0;
    std::string last_line;
};

HeaderRead readHeader(const std::string& text, bool with_dcb = true, const char* receiver = "") {
    HeaderRead r;
    std::memset(&r.header, 0, sizeof r.header);
    testfiles::OpenSource src(testfiles::writeTemp("header.txt", text));
    char line[512] = {};
    r.result = ionex::readIonexHeader(src.source, r.header, line, with_dcb ? r.sat : nullptr, 32,
                                      receiver, with_dcb ? &r.receiver_dcb : nullptr);
    r.last_line = line;
    return r;
}

const std::string kDcbStart = rec("DIFFERENTIAL CODE BIASES", "START OF AUX DATA");
const std::string kDcbEnd = rec("DIFFERENTIAL CODE BIASES", "END OF AUX DATA");

}  // namespace

TEST(HeaderReader, FillsEveryRecord) {
    std::string text = rec("     1.0            IONOSPHERE MAPS     GNSS", "IONEX VERSION / TYPE") +
                       rec("  2016     4    28     0     0     0", "EPOCH OF FIRST MAP") +
                       rec("  2016     4    29     0     0  30.5", "EPOCH OF LAST MAP") +
                       rec("  7200", "INTERVAL") + rec("    13", "# OF MAPS IN FILE") +
                       rec("     2", "MAP DIMENSION") + rec("  6371.0", "BASE RADIUS") +
                       rec("   450.0 450.0   0.0", "HGT1 / HGT2 / DHGT") +
                       rec("    87.5 -87.5  -2.5", "LAT1 / LAT2 / DLAT") +
                       rec("  -180.0 180.0   5.0", "LON1 / LON2 / DLON") + rec("    -1", "EXPONENT") +
                       rec("", "END OF HEADER") + rec("     1", "START OF TEC MAP");
    HeaderRead r = readHeader(text);
    ASSERT_TRUE(r.result);
    const ionex::IonexHeader& h = r.header;
    EXPECT_STREQ(h.version, "1.0");
    EXPECT_EQ(h.first_epoch.year, 2016);
    EXPECT_EQ(h.first_epoch.month, 4);
    EXPECT_EQ(h.first_epoch.day, 28);
    EXPECT_EQ(h.first_epoch.second, 0.0);
    EXPECT_EQ(h.last_epoch.day, 29);
    EXPECT_EQ(h.last_epoch.second, 30.5);
    EXPECT_EQ(h.interval, 7200);
    EXPECT_EQ(h.num_maps, 13);
    EXPECT_EQ(h.map_dimension, 2);
    EXPECT_EQ(h.base_radius, 6371.0f);
    EXPECT_EQ(h.hgt1, 450.0f);
    EXPECT_EQ(h.lat1, 87.5f);
    EXPECT_EQ(h.lat2, -87.5f);
    EXPECT_EQ(h.dlat, -2.5f);
    EXPECT_EQ(h.lon1, -180.0f);
    EXPECT_EQ(h.lon2, 180.0f);
    EXPECT_EQ(h.dlon, 5.0f);
    EXPECT_EQ(h.exponent, -1);
    EXPECT_NE(r.last_line.find("END OF HEADER"), std::string::npos) << "stops at END OF HEADER";
}

TEST(HeaderReader, KeywordRules) {
    struct Case {
        const char* name;
        std::string text;
        int interval, num_maps, map_dimension, exponent;
        const char* version;
    };
    const Case cases[] = {
        {"empty file", "", 0, 0, 0, 0, ""},
        {"later record wins", rec("  3600", "INTERVAL") + rec("  7200", "INTERVAL"), 7200, 0, 0, 0, ""},
        {"comment with keyword and number", rec("  900 INTERVAL in a comment", "COMMENT"), 900, 0, 0, 0, ""},
        {"comment with keyword, no number", rec("The INTERVAL is 900", "COMMENT"), 0, 0, 0, 0, ""},
        {"unscannable record keeps value", rec("  12", "INTERVAL") + rec("  x", "INTERVAL"), 12, 0, 0, 0, ""},
        {"table order: INTERVAL before EXPONENT", rec("  5", "INTERVAL EXPONENT"), 5, 0, 0, 0, ""},
        {"table order: END OF HEADER first", rec("  5", "END OF HEADER INTERVAL") + rec("  6", "INTERVAL"), 0, 0, 0, 0, ""},
        {"version cut to five", rec("123456789", "IONEX VERSION / TYPE"), 0, 0, 0, 0, "12345"},
        {"keywords are case-sensitive", rec("  5", "interval"), 0, 0, 0, 0, ""},
        {"no END OF HEADER: exponent of maps read", rec("  2", "MAP DIMENSION") + rec("  -2", "EXPONENT"), 0, 0, 2, -2, ""},
        {"START OF AUX DATA line not scanned further", rec("  7", "START OF AUX DATA INTERVAL"), 0, 0, 0, 0, ""},
        {"CRLF lines", "  25                                                        # OF MAPS IN FILE\r\n", 0, 25, 0, 0, ""},
    };
    for (const Case& c : cases) {
        HeaderRead r = readHeader(c.text);
        EXPECT_TRUE(r.result) << c.name;
        EXPECT_EQ(r.header.interval, c.interval) << c.name;
        EXPECT_EQ(r.header.num_maps, c.num_maps) << c.name;
        EXPECT_EQ(r.header.map_dimension, c.map_dimension) << c.name;
        EXPECT_EQ(r.header.exponent, c.exponent) << c.name;
        EXPECT_STREQ(r.header.version, c.version) << c.name;
    }
}

TEST(HeaderReader, KeywordOnlyCountsWithinOne511CharacterPiece) {
    std::string split = std::string(505, ' ') + "INTERVAL\n";  // keyword straddles the piece boundary
    std::string whole = "  42" + std::string(400, ' ') + "INTERVAL\n";
    EXPECT_EQ(readHeader("  42" + split.substr(4)).header.interval, 0);
    EXPECT_EQ(readHeader(whole).header.interval, 42);
}

TEST(HeaderReader, DcbBlockStates) {
    const std::string sat = rec("   G05    -1.500     0.010", "PRN / BIAS / RMS");
    const std::string station = rec("   G ALBH 40129M003         -2.413     0.008", "STATION / BIAS / RMS");
    {
        HeaderRead r = readHeader(kDcbStart + sat + station + kDcbEnd + rec("  2", "MAP DIMENSION"), true, "albh");
        EXPECT_EQ(r.sat[4], -1.5);
        EXPECT_EQ(r.receiver_dcb, -2.413);
        EXPECT_EQ(r.header.map_dimension, 2) << "records after the block are read again";
    }
    {
        // Inside the block keywords are not header records, "END OF HEADER" included.
        HeaderRead r = readHeader(kDcbStart + rec("  9", "INTERVAL") + rec("", "END OF HEADER") + sat + kDcbEnd + rec("  2", "MAP DIMENSION"));
        EXPECT_EQ(r.header.interval, 0);
        EXPECT_EQ(r.sat[4], -1.5);
        EXPECT_EQ(r.header.map_dimension, 2);
    }
    {
        // Without a satellite array the block is read as header lines and nothing is stored.
        HeaderRead r = readHeader(kDcbStart + rec("  9", "INTERVAL") + sat + kDcbEnd, false);
        EXPECT_EQ(r.header.interval, 9);
        EXPECT_EQ(r.sat[4], 0.0);
    }
    {
        // An auxiliary block of another type is read as header lines.
        HeaderRead r = readHeader(rec("OTHER BLOCK", "START OF AUX DATA") + rec("  9", "INTERVAL") + sat);
        EXPECT_EQ(r.header.interval, 9);
        EXPECT_EQ(r.sat[4], 0.0);
    }
    {
        // A block without its end takes every later line, and the reader stops at the end of input.
        HeaderRead r = readHeader(kDcbStart + sat + rec("  2", "MAP DIMENSION") + rec("", "END OF HEADER"));
        EXPECT_TRUE(r.result);
        EXPECT_EQ(r.header.map_dimension, 0);
        EXPECT_EQ(r.sat[4], -1.5);
    }
}

TEST(HeaderReader, ReadFailureGivesFalse) {
    ionex::testing::failReadNumber(2);
    HeaderRead r = readHeader(rec("  2", "MAP DIMENSION") + rec("  7200", "INTERVAL"));
    ionex::testing::failReadNumber(0);
    EXPECT_FALSE(r.result);
    EXPECT_EQ(r.header.map_dimension, 2) << "what was read before the failure stands";
    EXPECT_EQ(r.header.interval, 0);
}
