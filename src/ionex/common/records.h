// Plain records shared by the IONEX readers and the gateway.
#pragma once

namespace ionex {

// Every reader reads one line at a time into a caller-owned buffer of this size:
// at most 511 characters and a terminating NUL.
constexpr int kLineBufferSize = 512;

// One calendar epoch as written in an IONEX epoch record.
struct IonexEpoch {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    double second;
};

// The parsed IONEX header. Callers zero it before reading, so absent records read as 0.
struct IonexHeader {
    char version[6];
    IonexEpoch first_epoch;
    IonexEpoch last_epoch;
    int interval;
    int num_maps;
    int map_dimension;
    float base_radius;
    float hgt1;
    float lat1;
    float lat2;
    float dlat;
    float lon1;
    float lon2;
    float dlon;
    int exponent;
};

// A geographic position in degrees; the longitude is in the file's convention.
struct Location {
    float lat;
    float lon;
};

// A window along one grid axis: node numbers (Range<int>) or coordinates (Range<float>).
template <typename T>
struct Range {
    T first;
    T last;
    T step;
};

}  // namespace ionex
