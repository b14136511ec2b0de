// The writer's calls of the operating system, on files named in UTF-8: the one place where
// the writer meets POSIX or Windows (output_system_posix.cpp, output_system_windows.cpp;
// each compiles to nothing on the other kind of system, so builds may list both).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ionex {

constexpr int kNoOutputDescriptor = -1;

// What a call that may fail gave: done, the name taken, or the system's words.
struct SystemOutcome {
    bool ok = true;
    bool name_taken = false;  // the file to be made exists already
    std::string message;      // the system's text when not ok and not name_taken
};

// Tells whether `name` can be given to the system: not empty, no NUL inside (the system
// would see a shorter name), and valid UTF-8 where the system takes names in another form.
// Returns true when it can.
bool isSystemName(const std::string& name);

// Creates the file `name` for writing its bytes as given, only when no such file exists.
// Returns its descriptor, or kNoOutputDescriptor with `outcome` filled.
int createNewFile(const std::string& name, SystemOutcome& outcome);

// Writes some of the `count` bytes at `data` (never more than a system call takes), retrying
// interrupted calls. Returns the number written (0 when none could be), or -1 with
// `outcome` filled.
std::int64_t writeToFile(int descriptor, const unsigned char* data, std::size_t count, SystemOutcome& outcome);

// Closes `descriptor`. Returns false with `outcome` filled (a full disk may only show here).
bool closeFile(int descriptor, SystemOutcome& outcome);

// Removes the file `name`, if it can. Returns nothing.
void removeFile(const std::string& name);

// Gives the file `from` the name `to`, replacing a file of that name only when `replace`.
// Returns the outcome (name_taken when `to` exists and may not be replaced).
SystemOutcome moveFile(const std::string& from, const std::string& to, bool replace);

// The running process's number, for names no other process makes. Returns it.
int processNumber();

}  // namespace ionex
