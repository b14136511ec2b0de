// Record labels by column.
#include "record_label.h"

#include <cstring>

namespace ionex {

namespace {

constexpr long kLabelColumn = 60;  // 0-based offset of column 61
constexpr long kLabelWidth = 20;

struct KnownLabel {
    const char* text;
    Label label;
};

const KnownLabel kKnownLabels[] = {
    {"IONEX VERSION / TYPE", Label::kVersionType},
    {"PGM / RUN BY / DATE", Label::kProgramRunByDate},
    {"DESCRIPTION", Label::kDescription},
    {"COMMENT", Label::kComment},
    {"EPOCH OF FIRST MAP", Label::kFirstEpoch},
    {"EPOCH OF LAST MAP", Label::kLastEpoch},
    {"INTERVAL", Label::kInterval},
    {"# OF MAPS IN FILE", Label::kNumMaps},
    {"MAPPING FUNCTION", Label::kMappingFunction},
    {"ELEVATION CUTOFF", Label::kElevationCutoff},
    {"OBSERVABLES USED", Label::kObservables},
    {"# OF STATIONS", Label::kNumStations},
    {"# OF SATELLITES", Label::kNumSatellites},
    {"BASE RADIUS", Label::kBaseRadius},
    {"MAP DIMENSION", Label::kMapDimension},
    {"HGT1 / HGT2 / DHGT", Label::kHeightGrid},
    {"LAT1 / LAT2 / DLAT", Label::kLatitudeGrid},
    {"LON1 / LON2 / DLON", Label::kLongitudeGrid},
    {"EXPONENT", Label::kExponent},
    {"START OF AUX DATA", Label::kStartAux},
    {"END OF AUX DATA", Label::kEndAux},
    {"PRN / BIAS / RMS", Label::kSatelliteBias},
    {"STATION / BIAS / RMS", Label::kStationBias},
    {"END OF HEADER", Label::kEndHeader},
    {"START OF TEC MAP", Label::kStartTecMap},
    {"START OF RMS MAP", Label::kStartRmsMap},
    {"START OF HEIGHT MAP", Label::kStartHeightMap},
    {"END OF TEC MAP", Label::kEndTecMap},
    {"END OF RMS MAP", Label::kEndRmsMap},
    {"END OF HEIGHT MAP", Label::kEndHeightMap},
    {"EPOCH OF CURRENT MAP", Label::kMapEpoch},
    {"LAT/LON1/LON2/DLON/H", Label::kRow},
    {"END OF FILE", Label::kEndFile},
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Compares the label text [begin, end) with a known label, an underscore matching a blank.
// Returns true when they are the same.
bool sameLabel(const char* line, long begin, long end, const char* known) {
    const long n = static_cast<long>(std::strlen(known));
    if (end - begin != n) return false;
    for (long i = 0; i < n; ++i) {
        const char c = line[begin + i] == '_' ? ' ' : line[begin + i];
        if (c != known[i]) return false;
    }
    return true;
}

// Looks the label text up. Returns its Label, or kUnknown.
Label findLabel(const char* line, long begin, long end) {
    for (const KnownLabel& k : kKnownLabels) {
        if (sameLabel(line, begin, end, k.text)) return k.label;
    }
    return Label::kUnknown;
}

long trimEnd(const char* line, long begin, long end) {
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return end;
}

}  // namespace

RecordSplit splitRecord(const char* line, long length) {
    RecordSplit split;
    split.content_end = trimEnd(line, 0, length < kLabelColumn ? length : kLabelColumn);
    if (length <= kLabelColumn) return split;
    // Data lines hold digits, signs and blanks only: a letter marks a label.
    long first = kLabelColumn;
    while (first < length && (line[first] == ' ' || line[first] == '\t')) ++first;
    bool has_letter = false;
    for (long i = first; i < length && !has_letter; ++i) has_letter = isLetter(line[i]);
    if (!has_letter) return split;
    split.label_begin = kLabelColumn;
    split.label_end = length;
    split.label = length - kLabelColumn <= kLabelWidth ? findLabel(line, kLabelColumn, length) : Label::kUnknown;
    // The date of some producers fills column 61 and pushes the label one column on.
    if (split.label == Label::kUnknown && length > kLabelColumn + 1 &&
        sameLabel(line, kLabelColumn + 1, length, "PGM / RUN BY / DATE")) {
        split.label = Label::kProgramRunByDate;
        split.label_begin = kLabelColumn + 1;
        split.content_end = trimEnd(line, 0, kLabelColumn + 1);
    }
    if (split.label == Label::kUnknown) {
        // Keep the unknown label as written, from its first character.
        split.label_begin = first;
    }
    return split;
}

const char* labelName(Label label) {
    for (const KnownLabel& k : kKnownLabels) {
        if (k.label == label) return k.text;
    }
    return label == Label::kNone ? "a data line" : "an unknown record";
}

}  // namespace ionex
