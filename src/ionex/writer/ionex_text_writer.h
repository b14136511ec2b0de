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

// Writes the whole file for `input` as `plan` says into `sink`, flushing it at the end.
// Returns false when the sink's flush stopped the write.
bool writeIonexText(const WriteInput& input, const WritePlan& plan, TextSink& sink);

}  // namespace ionex
