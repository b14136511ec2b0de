// What ionex.write hands the core writer: the header records and DCB blocks as the readers
// fill them, the axes and map epochs, and the maps themselves borrowed from the caller.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/ionex_contents.h"

namespace ionex {

// Everything a file is written from. Records that the maps determine (first and last epoch,
// interval, number of maps, map dimension, the grid records) are derived, whatever `header`
// says of them.
struct WriteInput {
    HeaderRecords header;
    std::vector<double> lat;     // node coordinates, uniformly spaced, in file order
    std::vector<double> lon;
    std::vector<double> height;  // km; empty: one layer at 450 km
    std::vector<double> time;    // serial day number of each map, increasing
    // The maps of each kind (null: none written). Map m, height layer h is the nlat x nlon
    // layer at maps[kind] + m * map_stride + h * height_stride, latitude running fastest.
    const double* maps[kMapKindCount] = {nullptr, nullptr, nullptr};
    std::size_t map_stride = 0;
    std::size_t height_stride = 0;
    std::vector<DcbBlock> dcb;
    bool has_exponent = false;  // the caller chose the exponent: every map is written with it
    int exponent = 0;
};

enum class WriteStatus : int {
    kOk = 0,
    kInput,        // ionex:Input   a field or option that cannot be written (see `field`)
    kExists,       // ionex:Exists  the file exists and may not be replaced
    kWrite,        // ionex:Write   the system refused (the message is the system's)
    kOutOfMemory,  // ionex:OutOfMemory
};

// Why a write failed: the field concerned (named as ionex.read names it, "lat", "time(3)",
// "dcb(1).stations.name{4}"; empty when none) and what is wrong with it.
struct WriteFailure {
    WriteStatus status = WriteStatus::kOk;
    std::string field;
    std::string detail;
};

// A write input that writes back what a reader read: its header records, axes, epochs, DCB
// blocks and maps. Returns a view that borrows the maps of `contents`, which must outlive it.
WriteInput writeInputOf(const IonexContents& contents);

}  // namespace ionex
