// The two DCB scans: satellite entries by PRN, station entries by any token tail.
#include <gtest/gtest.h>

#include <string>

#include "keyword_reader/dcb.h"

namespace {

const std::string kSatLabel = "                                  PRN / BIAS / RMS";
const std::string kStaLabel = "              STATION / BIAS / RMS";

struct SatResult {
    double slots[40];
};

// Runs a satellite line against slots prefilled with 99 and returns them.
SatResult satellite(const std::string& data, int count) {
    SatResult r;
    for (double& s : r.slots) s = 99.0;
    std::string line = data + kSatLabel + "\n";
    ionex::process_dcb(line.c_str(), r.slots, count, "", nullptr);
    return r;
}

// Runs a station line for `receiver` with the receiver DCB prefilled with 99.
double station(const std::string& data, const char* receiver) {
    double dcb = 99.0;
    double slots[32] = {};
    std::string line = data + kStaLabel + "\n";
    ionex::process_dcb(line.c_str(), slots, 32, receiver, &dcb);
    return dcb;
}

}  // namespace

TEST(Dcb, SatelliteEntries) {
    struct Case {
        const char* data;
        int count;
        int slot;  // -1: no slot may change
        double value;
    };
    const Case cases[] = {
        {"   G01    -7.977     0.008", 32, 0, -7.977},       // bias read from its field's second column
        {"   G01-123.456     0.008", 32, 0, 123.456},        // a full field loses its first character
        {"   R01    -7.977     0.008", 32, -1, 0},           // GLONASS entries are ignored
        {"   E11     1.250     0.008", 32, 10, 1.25},        // other letters are stepped over
        {"   G33     2.000     0.008", 32, -1, 0},           // PRN beyond the satellite count
        {"   G33     2.000     0.008", 40, 32, 2.0},
        {"   G00     2.000     0.008", 32, -1, 0},
        {"      -7.977     0.008", 32, -1, 0},               // blank PRN: -7 is taken as the PRN
        {"    01    -0.510     0.008", 32, 0, -0.51},        // old layout: blank system column
        {"   GR5     3.000     0.008", 32, 4, 3.0},          // the character after G is not tested for R
    };
    for (const Case& c : cases) {
        SatResult r = satellite(c.data, c.count);
        for (int i = 0; i < 40; ++i) {
            double expected = i == c.slot ? c.value : 99.0;
            EXPECT_DOUBLE_EQ(r.slots[i], expected) << c.data << " slot " << i;
        }
    }
}

TEST(Dcb, SatelliteWithoutBiasLeavesItsSlot) {
    double slots[32];
    for (double& s : slots) s = 99.0;
    ionex::process_dcb("G5", slots, 32, "", nullptr);  // PRN label absent: not an entry at all
    std::string line = "  G07" + std::string(" PRN / BIAS / RMS");
    ionex::process_dcb(line.c_str(), slots, 32, "", nullptr);
    EXPECT_EQ(slots[6], 99.0);
    const char* bare = "G7 PRN / BIAS / RMS";  // bias position inside the label: no number
    ionex::process_dcb(bare, slots, 32, "", nullptr);
    EXPECT_EQ(slots[6], 99.0);
}

TEST(Dcb, StationEntries) {
    const std::string albh = "   G ALBH 40129M003         -2.413     0.008";
    struct Case {
        std::string data;
        const char* receiver;
        double expected;
    };
    const Case cases[] = {
        {albh, "albh", -2.413},
        {"   G albh 40129M003         -2.413     0.008", "albh", -2.413},
        {albh, "ALBH", 99.0},                      // receiver names are lower case
        {albh, "", 99.0},                          // an empty name never matches
        {albh, "bh", -2.413},                      // a tail matches; 16 past it are the blanks before the bias
        {albh, "40129m003", -2.413},               // the monument number is a token too
        {albh, "zimm", 99.0},
        {"   R ALBH 40129M003         -1.000     0.008", "albh", -1.0},  // R entries are not skipped
        {"      AJAC                   3.250     0.010", "ajac", 3.25},  // old layout without DOMES
        {"   G ABCDEFGHIJKLMNOPQRSTUV  -2.413     0.008", "abcdefghijklmn", 99.0},  // token too long
        {"   G ABCDEFGHIJKLMNOPQRSTUV  -2.413     0.008", "ijklmnopqrstuv", -2.413},  // its 14-character tail fits
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(station(c.data, c.receiver), c.expected) << c.data << " / " << c.receiver;
    }
}

TEST(Dcb, StationScanStaysInsideShortLines) {
    double dcb = 99.0;
    double slots[32] = {};
    // The matching token is 16 characters or less from the terminator: nothing is converted.
    ionex::process_dcb("STATION / BIAS / RMS albh", slots, 32, "albh", &dcb);
    ionex::process_dcb("albh STATION / BIAS / RMS", slots, 32, "albh", &dcb);
    EXPECT_EQ(dcb, 99.0);
    ionex::process_dcb("G albh            7.25 STATION / BIAS / RMS", slots, 32, "albh", &dcb);
    EXPECT_EQ(dcb, 7.25) << "the number starts exactly 16 characters past the token";
}

TEST(Dcb, LastMatchingStationWinsAndSatelliteLabelTakesPrecedence) {
    double slots[32] = {};
    double dcb = 0.0;
    std::string g = "   G ALBH 40129M003         -2.413     0.008" + kStaLabel;
    std::string r = "   R ALBH 40129M003         -4.000     0.008" + kStaLabel;
    ionex::process_dcb(g.c_str(), slots, 32, "albh", &dcb);
    EXPECT_EQ(dcb, -2.413);
    ionex::process_dcb(r.c_str(), slots, 32, "albh", &dcb);
    EXPECT_EQ(dcb, -4.0) << "the R line is not skipped: R is its own token";
    std::string both = "   G03     1.000     0.008  PRN / BIAS / RMS STATION / BIAS / RMS";
    ionex::process_dcb(both.c_str(), slots, 32, "g03", &dcb);
    EXPECT_EQ(slots[2], 1.0);
    EXPECT_EQ(dcb, -4.0);
    ionex::process_dcb(g.c_str(), slots, 32, "albh", nullptr);  // no receiver output: ignored
}
