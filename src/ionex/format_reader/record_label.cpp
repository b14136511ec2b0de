// Record labels by column.
#include "format_reader/record_label.h"

#include <cstring>

namespace ionex {

namespace {

constexpr long kLabelColumn = 60;  // 0-based offset of column 61
constexpr long kLabelWidth = 20;

struct KnownLabel {
    const char* text;
    Label label;
    long length;
};

#define LABEL(text, label) {text, label, sizeof(text) - 1}

// The row record first: it is by far the most frequent.
const KnownLabel kKnownLabels[] = {
    LABEL("LAT/LON1/LON2/DLON/H", Label::kRow),
    LABEL("IONEX VERSION / TYPE", Label::kVersionType),
    LABEL("PGM / RUN BY / DATE", Label::kProgramRunByDate),
    LABEL("DESCRIPTION", Label::kDescription),
    LABEL("COMMENT", Label::kComment),
    LABEL("EPOCH OF FIRST MAP", Label::kFirstEpoch),
    LABEL("EPOCH OF LAST MAP", Label::kLastEpoch),
    LABEL("INTERVAL", Label::kInterval),
    LABEL("# OF MAPS IN FILE", Label::kNumMaps),
    LABEL("MAPPING FUNCTION", Label::kMappingFunction),
    LABEL("ELEVATION CUTOFF", Label::kElevationCutoff),
    LABEL("OBSERVABLES USED", Label::kObservables),
    LABEL("# OF STATIONS", Label::kNumStations),
    LABEL("# OF SATELLITES", Label::kNumSatellites),
    LABEL("BASE RADIUS", Label::kBaseRadius),
    LABEL("MAP DIMENSION", Label::kMapDimension),
    LABEL("HGT1 / HGT2 / DHGT", Label::kHeightGrid),
    LABEL("LAT1 / LAT2 / DLAT", Label::kLatitudeGrid),
    LABEL("LON1 / LON2 / DLON", Label::kLongitudeGrid),
    LABEL("EXPONENT", Label::kExponent),
    LABEL("START OF AUX DATA", Label::kStartAux),
    LABEL("END OF AUX DATA", Label::kEndAux),
    LABEL("PRN / BIAS / RMS", Label::kSatelliteBias),
    LABEL("STATION / BIAS / RMS", Label::kStationBias),
    LABEL("END OF HEADER", Label::kEndHeader),
    LABEL("START OF TEC MAP", Label::kStartTecMap),
    LABEL("START OF RMS MAP", Label::kStartRmsMap),
    LABEL("START OF HEIGHT MAP", Label::kStartHeightMap),
    LABEL("END OF TEC MAP", Label::kEndTecMap),
    LABEL("END OF RMS MAP", Label::kEndRmsMap),
    LABEL("END OF HEIGHT MAP", Label::kEndHeightMap),
    LABEL("EPOCH OF CURRENT MAP", Label::kMapEpoch),
    LABEL("END OF FILE", Label::kEndFile),
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Compares the label text [begin, end) with a known label, an underscore matching a blank.
// Returns true when they are the same.
bool sameLabel(const char* line, long begin, long end, const char* known, long n) {
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
        if (sameLabel(line, begin, end, k.text, k.length)) return k.label;
    }
    return Label::kUnknown;
}

// The end of [begin, end) with trailing blanks left out. Returns the new end.
long trimEnd(const char* line, long begin, long end) {
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return end;
}

}  // namespace

RecordSplit splitRecord(const char* line, long length) {
    RecordSplit split;
    split.content_end = trimEnd(line, 0, length < kLabelColumn ? length : kLabelColumn);
    if (length <= kLabelColumn) return split;
    // Data lines hold digits, signs and blanks only: a letter marks a label. Most lines past
    // column 60 are data lines of 80 columns, ending in a digit.
    if (line[length - 1] >= '0' && line[length - 1] <= '9' && length <= 80) {
        bool digits_only = true;
        for (long i = kLabelColumn; i < length && digits_only; ++i) {
            const char c = line[i];
            digits_only = c == ' ' || (c >= '0' && c <= '9') || c == '-' || c == '+';
        }
        if (digits_only) return split;
    }
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
        sameLabel(line, kLabelColumn + 1, length, "PGM / RUN BY / DATE", 19)) {
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
