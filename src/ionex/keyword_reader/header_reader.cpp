// The IONEX header reader: keyword records up to "END OF HEADER", DCB block lines set apart.
#include "keyword_reader/header_reader.h"

#include <cstdio>
#include <cstring>

#include "keyword_reader/dcb.h"

namespace ionex {

namespace {

bool contains(const char* line, const char* keyword) { return std::strstr(line, keyword) != nullptr; }

// Scans the values of one header record into `header`, when the line holds a keyword.
// Returns true when the line holds "END OF HEADER". Keywords are tested in a fixed order;
// the first one found decides, so a line holding several is taken for the earliest.
bool applyHeaderRecord(const char* line, IonexHeader& h) {
    if (contains(line, "END OF HEADER")) return true;
    if (contains(line, "IONEX VERSION / TYPE")) {
        std::sscanf(line, "%5s", h.version);
    } else if (contains(line, "EPOCH OF FIRST MAP")) {
        IonexEpoch& e = h.first_epoch;
        std::sscanf(line, "%d %d %d %d %d %lf", &e.year, &e.month, &e.day, &e.hour, &e.minute,
                    &e.second);
    } else if (contains(line, "EPOCH OF LAST MAP")) {
        IonexEpoch& e = h.last_epoch;
        std::sscanf(line, "%d %d %d %d %d %lf", &e.year, &e.month, &e.day, &e.hour, &e.minute,
                    &e.second);
    } else if (contains(line, "INTERVAL")) {
        std::sscanf(line, "%d", &h.interval);
    } else if (contains(line, "# OF MAPS IN FILE")) {
        std::sscanf(line, "%d", &h.num_maps);
    } else if (contains(line, "MAP DIMENSION")) {
        std::sscanf(line, "%d", &h.map_dimension);
    } else if (contains(line, "BASE RADIUS")) {
        std::sscanf(line, "%f", &h.base_radius);
    } else if (contains(line, "HGT1 / HGT2 / DHGT")) {
        std::sscanf(line, "%f", &h.hgt1);
    } else if (contains(line, "LAT1 / LAT2 / DLAT")) {
        std::sscanf(line, "%f %f %f", &h.lat1, &h.lat2, &h.dlat);
    } else if (contains(line, "LON1 / LON2 / DLON")) {
        std::sscanf(line, "%f %f %f", &h.lon1, &h.lon2, &h.dlon);
    } else if (contains(line, "EXPONENT")) {
        std::sscanf(line, "%d", &h.exponent);
    }
    return false;
}

}  // namespace

bool readIonexHeader(LineSource* file, IonexHeader& header, char* line, double* satellite_dcb,
                     int satellite_count, const char* receiver, double* receiver_dcb) {
    header.map_dimension = 0;
    bool in_dcb_block = false;
    try {
        while (readLine(file, line, kLineBufferSize) != nullptr) {
            if (contains(line, "END OF AUX DATA")) {
                in_dcb_block = false;
            } else if (in_dcb_block) {
                // Inside the block even "END OF HEADER" is a DCB line.
                process_dcb(line, satellite_dcb, satellite_count, receiver, receiver_dcb);
            } else if (contains(line, "START OF AUX DATA")) {
                // Blocks of other types, or any block when DCBs are not wanted, are read as
                // ordinary header lines.
                in_dcb_block = satellite_dcb != nullptr && contains(line, "DIFFERENTIAL CODE BIASES");
            } else if (applyHeaderRecord(line, header)) {
                return true;
            }
        }
    } catch (...) {
        return false;
    }
    return true;
}

}  // namespace ionex
