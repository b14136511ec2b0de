// Forms of the gateway fuzz target's inputs: how each is made and what the entry sees in it.
#include "gateway_inputs.h"

#include <cstdint>
#include <limits>

#include "minimex_testing.h"

namespace gwcall {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Location forms: 0-2 a 1x2 double, 3 a 2x2 double, 4 a scalar, 5 empty, 6 single, 7 int32,
// 8 char, 9 logical, 10 complex, 11 sparse, 12 cell, 13 struct, 14 uint8, 15 a 3x1 double.
constexpr int kLocationForms = 16;
// Receiver forms: 0-3 names, 4 a number, 5 unconvertible text, 6 empty text, 7 logical.
constexpr int kReceiverForms = 8;
// Satellite forms: 0-13 the values below, 14 an empty matrix, 15 the char 'x'.
constexpr int kSatelliteForms = 16;

constexpr const char* kNames[4] = {"ABCD", "brux", "ABCDEFGHIJKLMNOPQRST", "ZIMM"};
constexpr const char* kLocationText = "47 8";
constexpr const char* kUnconvertibleName = "abcd";

// Satellite counts: defaults, truncation, huge magnitudes, non-finite values. Values from
// 1e8 up to 2^31 - 1 are left out on purpose: the host would be asked for gigabytes.
constexpr double kSatelliteValues[14] = {32, 24, 40.9, 1e12, -1e12, kNaN, kInf,
                                         -kInf, 33, 64, -5, 0, 2147483648.0, 100};

constexpr const char* kMissingFile = "/nonexistent-dir/vornakelstrid-fuzz.14i";
constexpr const char* kDirectory = "/";

// Makes a 1x2 cell holding the two coordinates as scalars.
// Returns the new array.
mxArray* makeCell(double lat, double lon) {
    mxArray* cell = mxCreateCellMatrix(1, 2);
    mxSetCell(cell, 0, minimex::makeRow({lat}));
    mxSetCell(cell, 1, minimex::makeRow({lon}));
    return cell;
}

// Makes a location input of the given form. Returns the new array.
mxArray* makeLocation(int form, double lat, double lon) {
    switch (form) {
        case 3: return minimex::makeDouble(2, 2, {lat, lon, 99, -99});
        case 4: return minimex::makeRow({lat});
        case 5: return minimex::makeDouble(0, 0, {});
        case 6: return minimex::makeNumeric(mxSINGLE_CLASS, 1, 2, {lat, lon});
        case 7: return minimex::makeNumeric(mxINT32_CLASS, 1, 2, {lat, lon});
        case 8: return minimex::makeChar(kLocationText);
        case 9: return minimex::makeLogical(1, 2, {true, false});
        case 10: return minimex::makeComplex(1, 2, {lat, lon}, {1, 1});
        case 11: return minimex::makeSparse(1, 2, {lat, lon});
        case 12: return makeCell(lat, lon);
        case 13: return minimex::makeStruct(1, 1);
        case 14: return minimex::makeNumeric(mxUINT8_CLASS, 1, 2, {lat, lon});
        case 15: return minimex::makeDouble(3, 1, {lat, lon, 5});
        default: return minimex::makeRow({lat, lon});
    }
}

// Makes a receiver-name input of the given form. Returns the new array.
mxArray* makeReceiver(int form) {
    switch (form) {
        case 4: return minimex::makeRow({5});
        case 5: return minimex::makeUnconvertibleChar(kUnconvertibleName);
        case 6: return minimex::makeChar("");
        case 7: return minimex::makeLogical(1, 1, {true});
        default: return minimex::makeChar(kNames[form]);
    }
}

// Makes a satellite-count input of the given form. Returns the new array.
mxArray* makeSatellites(int form) {
    if (form == 14) return minimex::makeDouble(0, 0, {});
    if (form == 15) return minimex::makeChar("x");
    return minimex::makeRow({kSatelliteValues[form]});
}

// Makes input 1 of the given form; `path` names the fuzzed file.
// Returns the new array.
mxArray* makeFileInput(FileForm form, const std::string& path) {
    switch (form) {
        case FileForm::kNumber: return minimex::makeRow({1});
        case FileForm::kUnconvertible: return minimex::makeUnconvertibleChar(path);
        case FileForm::kMissing: return minimex::makeChar(kMissingFile);
        case FileForm::kDirectory: return minimex::makeChar(kDirectory);
        default: return minimex::makeChar(path);
    }
}

// The first character of a char form, as the host's scalar value of it.
// Returns the character's code, or 0 for empty text.
double firstCharacter(const char* text) { return static_cast<unsigned char>(text[0]); }

// The host's scalar value of a receiver form. Returns it.
double receiverScalar(int form) {
    switch (form) {
        case 4: return 5;
        case 5: return firstCharacter(kUnconvertibleName);
        case 6: return 0;
        case 7: return 1;
        default: return firstCharacter(kNames[form]);
    }
}

}  // namespace

std::vector<InputSpec> inputSpecs(const Call& c) {
    const bool name3 = c.input3_is_name;
    const InputSpec all[6] = {
        {Family::kFile, static_cast<int>(c.file_form), 0, 0},
        {Family::kLocation, c.location0_form % kLocationForms, c.coordinates[0], c.coordinates[1]},
        name3 ? InputSpec{Family::kReceiver, c.input3_form % kReceiverForms, 0, 0}
              : InputSpec{Family::kLocation, c.input3_form % kLocationForms, c.coordinates[2], c.coordinates[3]},
        name3 ? InputSpec{Family::kSatellites, c.input4_form % kSatelliteForms, 0, 0}
              : InputSpec{Family::kReceiver, c.input4_form % kReceiverForms, 0, 0},
        {Family::kSatellites, c.input5_form % kSatelliteForms, 0, 0},
        {Family::kExtra, 0, 0, 0},
    };
    const int n = c.nrhs < 6 ? c.nrhs : 6;
    return std::vector<InputSpec>(all, all + n);
}

mxArray* makeInput(const InputSpec& s, const std::string& path) {
    switch (s.family) {
        case Family::kFile: return makeFileInput(static_cast<FileForm>(s.form), path);
        case Family::kLocation: return makeLocation(s.form, s.lat, s.lon);
        case Family::kReceiver: return makeReceiver(s.form);
        case Family::kSatellites: return makeSatellites(s.form);
        default: return minimex::makeRow({1});
    }
}

bool isCharInput(const InputSpec& s) {
    switch (s.family) {
        case Family::kFile: return static_cast<FileForm>(s.form) != FileForm::kNumber;
        case Family::kLocation: return s.form == 8;
        case Family::kReceiver: return s.form != 4 && s.form != 7;
        case Family::kSatellites: return s.form == 15;
        default: return false;
    }
}

bool isLocationInput(const InputSpec& s) {
    if (s.family != Family::kLocation) return false;  // scalars, text and logicals
    return s.form <= 3 || s.form == 6 || s.form == 7 || s.form == 14 || s.form == 15;
}

bool isConvertibleText(const InputSpec& s) {
    if (!isCharInput(s)) return false;
    if (s.family == Family::kFile) return static_cast<FileForm>(s.form) != FileForm::kUnconvertible;
    return !(s.family == Family::kReceiver && s.form == 5);
}

bool scalarValue(const InputSpec& s, double* value) {
    switch (s.family) {
        case Family::kSatellites:
            *value = s.form == 14 ? 0.0 : s.form == 15 ? firstCharacter("x") : kSatelliteValues[s.form];
            return true;
        case Family::kReceiver:
            *value = receiverScalar(s.form);
            return true;
        default:
            return false;  // never stands where a count is read
    }
}

}  // namespace gwcall
