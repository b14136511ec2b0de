// Differential code biases: one line of the DCB block at a time.
#pragma once

namespace ionex {

// Interprets one NUL-terminated line of a DCB block. A satellite entry ("PRN / BIAS / RMS")
// stores its bias in satellite_dcb[PRN - 1] when 1 <= PRN <= satellite_count; a station entry
// ("STATION / BIAS / RMS") whose name (or any tail of a token) equals `receiver` stores its bias
// in *receiver_dcb (ignored when receiver_dcb is null). Returns nothing; never reads past the line.
void process_dcb(const char* line, double* satellite_dcb, int satellite_count, const char* receiver,
                 double* receiver_dcb);

}  // namespace ionex
