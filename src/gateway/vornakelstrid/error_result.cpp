// Builds error results and holds the table that gives each failure its number, identifier
// and message.

#include "vornakelstrid/error_result.h"

#include <cstdarg>
#include <cstdio>

#include "shared/host_text.h"

namespace gateway {

namespace {

// One row of the message table. `number` is 0 for file errors, whose number is part of
// their text and whose one argument is the file name.
struct ErrorEntry {
    ErrorCode code;
    int number;
    const char* identifier;
    const char* format;
};

constexpr ErrorEntry kErrorTable[] = {
    {kInputCount, 16, kIdInput, kMsgInputCount},
    {kOutputCount, 17, kIdOutput, kMsgOutputCount},
    {kFileNameNotChar, 18, kIdInput, kMsgFileNameNotChar},
    {kBadLocation, 19, kIdInput, kMsgBadLocation},
    {kReceiverNotString, 20, kIdInput, kMsgReceiverNotString},
    {kFileNameNotString, 18, kIdInput, kMsgFileNameNotString},
    {kNoFile, 0, kIdNoFile, kMsgNoFile},
    {kHeaderReadFailed, 0, kIdReadError, kMsgHeaderRead},
    {kNotIonexMap, 0, kIdNoIonexFile, kMsgNotIonexMap},
    {kRangeMissing, 0, kIdNoIonexFile, kMsgRangeMissing},
    {kMapsOutOfOrder, 0, kIdNoIonexFile, kMsgMapsOutOfOrder},
    {kLonRangeMismatch, 0, kIdNoIonexFile, kMsgLonRangeMismatch},
    {kProcessingFailed, 0, kIdReadError, kMsgProcessingFailed},
    // Ctrl-C reaches the call as an exception would: the same result.
    {kInterrupted, 0, kIdReadError, kMsgProcessingFailed},
};

// Finds the table row of `code`.
// Returns the row, or null for kOk and unknown codes.
const ErrorEntry* findEntry(ErrorCode code) {
    for (const ErrorEntry& entry : kErrorTable) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

}  // namespace

void createErrorMsg(int nlhs, mxArray* plhs[], const char* identifier, const char* format, ...) {
    // A buffer of this call alone, so that calls on several threads never share it: the
    // text is copied into a host string at once, and formatting needs no allocation.
    char msg_buf[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(msg_buf, sizeof msg_buf, format, args);
    va_end(args);

    if (plhs[0] != nullptr) {
        mxDestroyArray(plhs[0]);
        plhs[0] = nullptr;  // never leave a released array in a slot, even if creation fails
    }
    plhs[0] = mxCreateCellMatrix(2, 1);
    mxSetCell(plhs[0], 0, gateway::hostTextFromUtf8(msg_buf));
    mxSetCell(plhs[0], 1, mxCreateString(identifier != nullptr ? identifier : ""));

    // Outputs made before the failure (epochs, axes, DCBs) stay; the rest become empty.
    for (int i = 1; i < nlhs; ++i) {
        if (plhs[i] == nullptr) plhs[i] = mxCreateDoubleMatrix(0, 0, mxREAL);
    }
}

void reportError(int nlhs, mxArray* plhs[], ErrorCode code, const char* file_name) {
    const ErrorEntry* entry = findEntry(code);
    if (entry == nullptr) return;
    if (entry->number != 0) {
        createErrorMsg(nlhs, plhs, entry->identifier, entry->format, entry->number, kModuleName,
                       kVersionText);
    } else {
        createErrorMsg(nlhs, plhs, entry->identifier, entry->format,
                       file_name != nullptr ? file_name : "");
    }
}

}  // namespace gateway
