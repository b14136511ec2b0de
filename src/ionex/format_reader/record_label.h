// The label of an IONEX record: columns 61-80 of its line. Labels are compared the way real
// products write them: trailing blanks trimmed or padded, underscores for blanks
// ("MAPPING_FUNCTION"), and the "PGM / RUN BY / DATE" label one column late when the date
// fills column 61.
#pragma once

namespace ionex {

// Every record label the +ionex readers act on.
enum class Label : int {
    kNone = 0,  // no label: a data line, or a blank label field
    kUnknown,   // a label this reader does not know
    kVersionType,
    kProgramRunByDate,
    kDescription,
    kComment,
    kFirstEpoch,
    kLastEpoch,
    kInterval,
    kNumMaps,
    kMappingFunction,
    kElevationCutoff,
    kObservables,
    kNumStations,
    kNumSatellites,
    kBaseRadius,
    kMapDimension,
    kHeightGrid,
    kLatitudeGrid,
    kLongitudeGrid,
    kExponent,
    kStartAux,
    kEndAux,
    kSatelliteBias,
    kStationBias,
    kEndHeader,
    kStartTecMap,
    kStartRmsMap,
    kStartHeightMap,
    kEndTecMap,
    kEndRmsMap,
    kEndHeightMap,
    kMapEpoch,
    kRow,
    kEndFile,
};

// The columns of a record line: its content (columns 1-60, or 1-61 for a label one column
// late) and its label text, as offsets into the line.
struct RecordSplit {
    Label label = Label::kNone;
    long content_end = 0;  // the content is [0, content_end), trailing blanks removed
    long label_begin = 0;  // the label as written: [label_begin, label_end)
    long label_end = 0;
};

// Splits a trimmed line of `length` characters into content and label. Returns the split;
// its label is kNone when columns 61 onwards hold no letter (a data line or no label).
RecordSplit splitRecord(const char* line, long length);

// The label text as the file spells it best, for messages ("END OF TEC MAP").
// Returns a static string.
const char* labelName(Label label);

}  // namespace ionex
