// Everything an IONEX file holds, as the +ionex readers hand it to their gateways: header
// records, axes, map epochs, the TEC / RMS / height maps and every DCB block. Plain records;
// the readers that fill them live in ionex_reader.h.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/records.h"
#include "common/stop_check.h"

namespace ionex {

// The kinds of map an IONEX file can carry, in the order of the `Maps` option's names.
enum MapKind : int { kTecMap = 0, kRmsMap = 1, kHeightMap = 2 };
constexpr int kMapKindCount = 3;

// One satellite line of a DCB block. `system` is the letter of column 4 ('G' when blank).
struct SatelliteBias {
    char system;
    int prn;
    double bias;  // ns
    double rms;   // ns
};

// One station line of a DCB block. `domes` is empty when the line has none.
struct StationBias {
    char system;
    std::string name;
    std::string domes;
    double bias;  // ns
    double rms;   // ns
};

// One "START OF AUX DATA" ... "END OF AUX DATA" block of differential code biases.
struct DcbBlock {
    std::string file;   // the file the block was read from
    std::string title;  // the block's own title, e.g. "Differential code biases [P1-C1]"
    std::vector<SatelliteBias> satellites;
    std::vector<StationBias> stations;
    std::vector<std::string> comments;  // COMMENT lines inside the block
};

// The header records. A record the file lacks stays empty (nullopt, "" or no elements).
struct HeaderRecords {
    std::optional<double> version;     // 1.0, 1.1, ...
    std::string file_type;             // the letter, "I"
    std::string system;                // as written: "GPS", "GNS", "MIX", ...
    std::string program;
    std::string run_by;
    std::string date;
    std::vector<std::string> description;
    std::vector<std::string> comments;  // header COMMENT lines outside DCB blocks
    std::optional<IonexEpoch> first_epoch;
    std::optional<IonexEpoch> last_epoch;
    std::optional<double> interval;     // s; some producers write a real
    std::optional<long> num_maps;
    std::string mapping_function;       // "COSZ", "QFAC", "NONE"
    std::optional<double> elevation_cutoff;  // degrees
    std::string observables;
    std::optional<long> num_stations;
    std::optional<long> num_satellites;
    std::optional<double> base_radius;  // km
    std::optional<int> map_dimension;
    std::optional<int> exponent;
    // Every record the reader does not know: {label, content}, in file order.
    std::vector<std::pair<std::string, std::string>> other_records;
};

// The maps of one kind: `count` maps of nlat * nlon * nheight values each, stored map after
// map; within a map latitude runs fastest, then longitude, then height. 9999 and places the
// file leaves unfilled are NaN.
struct MapSeries {
    bool present = false;  // the file (or one file of a series) holds this kind
    std::vector<double> values;
};

// What ionex.read returns (ionex.info: the same without maps, axes of the whole grid).
struct IonexContents {
    HeaderRecords header;
    std::vector<double> lat;     // node coordinates of the window, in file order
    std::vector<double> lon;     // a window across the seam lists the seam's meridian once
    std::vector<double> height;  // km
    std::vector<double> time;    // serial day number of each map's own epoch (empty for header_only)
    MapSeries maps[kMapKindCount];
    std::vector<DcbBlock> dcb;
    std::vector<std::string> files;  // the names read, in time order
};

// What to read. Ranges are closed intervals; a window keeps the smallest run of nodes that
// encloses its range.
struct ReadOptions {
    bool kinds[kMapKindCount] = {true, true, true};
    bool header_only = false;  // ionex.info: header and DCB blocks, no map
    bool has_lat_range = false;
    double lat_range[2] = {0, 0};
    bool has_lon_range = false;
    double lon_range[2] = {0, 0};  // -180..180 or 0..360; first > last crosses the seam
    bool has_time_range = false;
    double time_range[2] = {0, 0};  // serial day numbers
    StopCheck stop;                 // the caller's way to end a long read (Ctrl-C)
};

// Why a read failed. The gateway turns each into one identifier ("ionex:<Name>").
enum class ReadStatus : int {
    kOk = 0,
    kNoFile,        // ionex:NoFile       the file cannot be opened
    kNotIonex,      // ionex:NotIonex     no IONEX header; an empty file
    kCorrupt,       // ionex:Corrupt      a line that cannot be read unambiguously
    kTruncated,     // ionex:Truncated    ends inside the header or before its last map
    kGridMismatch,  // ionex:GridMismatch files of a series on different grids
    kInput,         // ionex:Input        options that make no sense (e.g. an empty window)
    kOutOfMemory,   // (added)            the maps read do not fit in the memory available
    kStopped,       // ionex:Interrupted  the caller stopped the read (its stop check or progress report)
};

// The details of a failure, for the message: the file, the 1-based line number (0 when
// none applies) and what was found or is missing.
struct ReadFailure {
    ReadStatus status = ReadStatus::kOk;
    std::string file;
    long line_number = 0;
    std::string detail;
};

}  // namespace ionex
