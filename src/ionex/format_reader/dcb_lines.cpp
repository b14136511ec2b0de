// DCB block lines by column.
#include "format_reader/dcb_lines.h"

#include "format_reader/fixed_fields.h"

namespace ionex {

namespace {

// The system letter of column 4: blank in the old layout, which knew GPS alone.
// Returns false when column 4 holds anything but a blank or a letter.
bool readSystem(const char* line, long length, char* system) {
    const char c = length >= 4 ? line[3] : ' ';
    if (c == ' ') {
        *system = 'G';
        return true;
    }
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    *system = c;
    return true;
}

// Tells whether columns [first, last] of the line hold blanks only. Returns true if so.
bool blankColumns(const char* line, long length, int first, int last) {
    return isEmpty(trimmedField(line, length, first, last));
}

}  // namespace

bool readSatelliteBias(const char* line, long length, SatelliteBias& bias) {
    long prn = 0;
    if (!blankColumns(line, length, 1, 3) || !readSystem(line, length, &bias.system)) return false;
    if (!parseIntegerField(line, length, 5, 6, &prn) || prn < 0) return false;
    bias.prn = static_cast<int>(prn);
    return parseRealField(line, length, 7, 16, &bias.bias) && parseRealField(line, length, 17, 26, &bias.rms) &&
           blankColumns(line, length, 27, 60);
}

bool readStationBias(const char* line, long length, StationBias& bias) {
    if (!blankColumns(line, length, 1, 3) || !readSystem(line, length, &bias.system)) return false;
    const TextSpan name = trimmedField(line, length, 7, 10);
    const TextSpan domes = trimmedField(line, length, 12, 20);
    if (isEmpty(name) || !blankColumns(line, length, 5, 6) || !blankColumns(line, length, 11, 11) || !blankColumns(line, length, 21, 26)) return false;
    bias.name.assign(line + name.begin, static_cast<size_t>(name.end - name.begin));
    bias.domes.assign(line + domes.begin, static_cast<size_t>(domes.end - domes.begin));
    return parseRealField(line, length, 27, 36, &bias.bias) && parseRealField(line, length, 37, 46, &bias.rms) &&
           blankColumns(line, length, 47, 60);
}

}  // namespace ionex
