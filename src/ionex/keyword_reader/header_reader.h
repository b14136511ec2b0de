// Reads the IONEX header up to and including "END OF HEADER".
#pragma once

#include "input/line_source.h"
#include "common/records.h"

namespace ionex {

// Reads header lines from `file` into `header` (which the caller has zeroed), handing the
// lines of a "DIFFERENTIAL CODE BIASES" block to process_dcb when `satellite_dcb` is not
// null. Returns false only when reading a line raised an exception; true at
// "END OF HEADER" read outside a DCB block and at the end of input.
bool readIonexHeader(LineSource* file, IonexHeader& header, char* line, double* satellite_dcb,
                     int satellite_count, const char* receiver, double* receiver_dcb);

}  // namespace ionex
