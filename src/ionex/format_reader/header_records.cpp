// Header records by column.
#include "format_reader/header_records.h"

#include <cstring>

#include "common/calendar.h"
#include "format_reader/dcb_lines.h"
#include "format_reader/fixed_fields.h"

namespace ionex {

namespace {

// The text of columns [first, last] of the content, blanks trimmed. Returns the text.
std::string fieldText(const char* line, long content_end, int first, int last) {
    const TextSpan s = trimmedField(line, content_end, first, last);
    return std::string(line + s.begin, static_cast<size_t>(s.end - s.begin));
}

// The content as written (leading blanks kept, trailing blanks removed). Returns the text.
std::string contentText(const char* line, long content_end) {
    return std::string(line, static_cast<size_t>(content_end));
}

// A record holding one number somewhere in its content: the number must be all the content
// holds. An empty content leaves the field absent. Returns false for anything else.
bool readSingleReal(const char* line, long content_end, std::optional<double>& field) {
    const TextSpan s = trimmedField(line, content_end, 1, 60);
    if (isEmpty(s)) return true;
    double v = 0;
    if (!parseRealSpan(line, s, &v)) return false;
    field = v;
    return true;
}

// The same for an integer record. Returns false when the content is not one integer.
bool readSingleInteger(const char* line, long content_end, std::optional<long>& field) {
    const TextSpan s = trimmedField(line, content_end, 1, 60);
    if (isEmpty(s)) return true;
    long v = 0;
    if (!parseIntegerSpan(line, s, &v)) return false;
    field = v;
    return true;
}

// An integer record that fits an int (five digits at most). Returns false otherwise.
bool readSmallInteger(const char* line, long content_end, std::optional<int>& field) {
    std::optional<long> v;
    if (!readSingleInteger(line, content_end, v)) return false;
    if (v && (*v < -99999 || *v > 99999)) return false;
    if (v) field = static_cast<int>(*v);
    return true;
}

// A grid record: first, last and step, six columns each, in columns 3-8, 9-14 and 15-20. Producers
// that write wider numbers separate them by blanks; three numbers are then read as such.
bool readAxisRecord(const char* line, long content_end, AxisDefinition& axis) {
    double v[3] = {};
    bool by_columns = isEmpty(trimmedField(line, content_end, 1, 2)) && isEmpty(trimmedField(line, content_end, 21, 60));
    for (int i = 0; i < 3 && by_columns; ++i) by_columns = parseRealField(line, content_end, 3 + 6 * i, 8 + 6 * i, &v[i]);
    if (!by_columns) {
        // Blank-separated numbers: exactly three, each a whole token.
        long p = 0;
        int found = 0;
        while (p < content_end) {
            while (p < content_end && line[p] == ' ') ++p;
            if (p >= content_end) break;
            long q = p;
            while (q < content_end && line[q] != ' ') ++q;
            if (found == 3 || !parseRealSpan(line, TextSpan{p, q}, &v[found])) return false;
            ++found;
            p = q;
        }
        if (found != 3) return false;
    }
    axis.present = true;
    axis.first = v[0];
    axis.last = v[1];
    axis.step = v[2];
    return true;
}

// IONEX VERSION / TYPE: the version number in columns 1-8, the file type letter in column
// 21 and the system from column 41 (its text may run on to column 60).
bool readVersionType(const char* line, long content_end, HeaderRecords& h) {
    double version = 0;
    if (!parseRealField(line, content_end, 1, 20, &version)) return false;
    h.version = version;
    h.file_type = fieldText(line, content_end, 21, 21);
    h.system = fieldText(line, content_end, 41, 60);
    return true;
}

// Starts an aux data block; blocks of differential code biases are read, others kept as
// records. Returns nothing.
void startAux(const char* line, long content_end, long line_number, HeaderState& st) {
    st.in_aux = true;
    st.aux_line = line_number;
    std::string title = fieldText(line, content_end, 1, 60);
    std::string upper = title;
    for (char& c : upper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    st.aux_is_dcb = upper.find("DIFFERENTIAL CODE BIASES") != std::string::npos;
    if (st.aux_is_dcb) {
        DcbBlock block;
        block.file = *st.file;
        block.title = title;
        st.dcb->push_back(std::move(block));
    }
}

// A record of the header that is not a grid, epoch or aux record. Returns false when its
// content cannot be read.
bool applySimpleRecord(Label label, const char* line, long end, HeaderRecords& h) {
    switch (label) {
        case Label::kVersionType: return readVersionType(line, end, h);
        case Label::kProgramRunByDate:
            h.program = fieldText(line, end, 1, 20);
            h.run_by = fieldText(line, end, 21, 40);
            h.date = fieldText(line, end, 41, 61);
            return true;
        case Label::kDescription: h.description.push_back(contentText(line, end)); return true;
        case Label::kComment: h.comments.push_back(contentText(line, end)); return true;
        case Label::kInterval: return readSingleReal(line, end, h.interval);
        case Label::kNumMaps: return readSingleInteger(line, end, h.num_maps) && (!h.num_maps || *h.num_maps >= 0);
        case Label::kMappingFunction: h.mapping_function = fieldText(line, end, 1, 60); return true;
        case Label::kElevationCutoff: return readSingleReal(line, end, h.elevation_cutoff);
        case Label::kObservables: h.observables = fieldText(line, end, 1, 60); return true;
        case Label::kNumStations: return readSingleInteger(line, end, h.num_stations);
        case Label::kNumSatellites: return readSingleInteger(line, end, h.num_satellites);
        case Label::kBaseRadius: return readSingleReal(line, end, h.base_radius);
        case Label::kMapDimension: return readSmallInteger(line, end, h.map_dimension);
        case Label::kExponent: return readSmallInteger(line, end, h.exponent) && (!h.exponent || (*h.exponent >= -99 && *h.exponent <= 99));
        default: return false;
    }
}

// One line inside a DCB block. Returns false when it cannot be read.
bool applyDcbLine(const char* line, long end, const RecordSplit& split, HeaderState& st, std::string& detail) {
    DcbBlock& block = st.dcb->back();
    switch (split.label) {
        case Label::kSatelliteBias: {
            SatelliteBias b{};
            if (readSatelliteBias(line, end, b)) {
                block.satellites.push_back(b);
                return true;
            }
            detail = "a satellite bias line whose columns cannot be read";
            return false;
        }
        case Label::kStationBias: {
            StationBias b{};
            if (readStationBias(line, end, b)) {
                block.stations.push_back(std::move(b));
                return true;
            }
            detail = "a station bias line whose columns cannot be read";
            return false;
        }
        case Label::kComment: block.comments.push_back(contentText(line, end)); return true;
        default:
            detail = std::string("\"") + std::string(line + split.label_begin, line + split.label_end) +
                     "\" inside a DCB block";
            return false;
    }
}

}  // namespace

bool readEpochFields(const char* line, long length, IonexEpoch& e) {
    long f[5] = {};
    for (int i = 0; i < 5; ++i) {
        if (!parseIntegerField(line, length, 1 + 6 * i, 6 + 6 * i, &f[i]) || f[i] < -99999 || f[i] > 99999) return false;
    }
    double second = 0;
    if (!parseRealField(line, length, 31, 36, &second)) return false;
    if (!isEmpty(trimmedField(line, length, 37, 60))) return false;
    e = IonexEpoch{static_cast<int>(f[0]), static_cast<int>(f[1]), static_cast<int>(f[2]),
                   static_cast<int>(f[3]), static_cast<int>(f[4]), second};
    return isValidEpoch(e);
}

bool applyHeaderLine(const char* line, long length, const RecordSplit& split, long line_number, HeaderState& st,
                     std::string& detail) {
    (void)length;
    const long end = split.content_end;
    HeaderRecords& h = *st.header;
    if (split.label == Label::kNone) {
        detail = "a header line without a label in columns 61-80";
        return false;
    }
    if (st.in_aux) {
        if (split.label == Label::kEndAux) {
            st.in_aux = false;
            if (!st.aux_is_dcb) h.other_records.emplace_back(labelName(Label::kEndAux), contentText(line, end));
            return true;
        }
        if (split.label == Label::kEndHeader || split.label == Label::kStartAux) {
            detail = std::string(labelName(split.label)) + " inside the aux data block of line " + std::to_string(st.aux_line);
            return false;
        }
        if (st.aux_is_dcb) return applyDcbLine(line, end, split, st, detail);
        // Lines of other aux blocks are kept as they are.
        h.other_records.emplace_back(std::string(line + split.label_begin, line + split.label_end), contentText(line, end));
        return true;
    }
    bool ok = true;
    switch (split.label) {
        case Label::kEndHeader: st.ended = true; return true;
        case Label::kStartAux:
            startAux(line, end, line_number, st);
            if (!st.aux_is_dcb) h.other_records.emplace_back(labelName(Label::kStartAux), contentText(line, end));
            return true;
        case Label::kFirstEpoch:
        case Label::kLastEpoch: {
            IonexEpoch e{};
            ok = readEpochFields(line, end, e);
            if (ok) (split.label == Label::kFirstEpoch ? h.first_epoch : h.last_epoch) = e;
            break;
        }
        case Label::kLatitudeGrid: ok = readAxisRecord(line, end, st.grid.lat); break;
        case Label::kLongitudeGrid: ok = readAxisRecord(line, end, st.grid.lon); break;
        case Label::kHeightGrid: ok = readAxisRecord(line, end, st.grid.height); break;
        case Label::kUnknown:
            h.other_records.emplace_back(std::string(line + split.label_begin, line + split.label_end), contentText(line, end));
            return true;
        case Label::kVersionType:
        case Label::kProgramRunByDate:
        case Label::kDescription:
        case Label::kComment:
        case Label::kInterval:
        case Label::kNumMaps:
        case Label::kMappingFunction:
        case Label::kElevationCutoff:
        case Label::kObservables:
        case Label::kNumStations:
        case Label::kNumSatellites:
        case Label::kBaseRadius:
        case Label::kMapDimension:
        case Label::kExponent: ok = applySimpleRecord(split.label, line, end, h); break;
        default:
            detail = std::string(labelName(split.label)) + " inside the header";
            return false;
    }
    if (!ok) detail = std::string(labelName(split.label)) + " record whose fields cannot be read";
    return ok;
}

}  // namespace ionex
