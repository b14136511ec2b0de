// The IONEX text of a planned write: the header records in the format's order, then every
// TEC, RMS and height map, then END OF FILE; record lines of 80 columns, data lines of 16
// five-column values, no blank line anywhere.
#pragma once

#include <cstddef>
#include <vector>

#include "writer/write_input.h"
#include "writer/write_plan.h"

namespace ionex {

// Where the text goes: a buffer handed to `flush` whenever it fills and at the end. `flush`
// returns false to stop the write (it keeps its own reason).
struct TextSink {
    bool (*flush)(void* context, const char* data, std::size_t count) = nullptr;
    void* context = nullptr;
    std::vector<char> buffer;  // its size is the capacity; at least 4096 bytes
    std::size_t used = 0;
};

// The current time as a PGM / RUN BY / DATE date, "DD-MON-YY HH:MM" in UTC. Returns it.
std::string currentDateText();

enum class TextResult : int {
    kWritten = 0,
    kStopped,    // the sink's flush stopped the write
    kUnchecked,  // the plan had not checked the values, and one does not fit the file's
                 // exponent: the text is incomplete; check them (planExponents) and start again
};

// Writes the whole file for `input` as `plan` says into `sink`, flushing it at the end. A
// plan whose values are not checked is written with the file's exponent, each value checked
// as it is encoded and each map given the exponent planExponents would give it, so that the
// text is the same as from a checked plan whenever every value fits the file's exponent.
// Returns kWritten, kStopped or kUnchecked.
TextResult writeIonexText(const WriteInput& input, const WritePlan& plan, TextSink& sink);

}  // namespace ionex
