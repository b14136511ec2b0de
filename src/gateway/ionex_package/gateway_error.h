// Errors of the +ionex entries: a plain record that travels back to the entry, and the one
// place that raises it into the host.
#pragma once

#include <cstddef>

#include "common/ionex_contents.h"

namespace gateway {

// Room for an identifier ("ionex:GridMismatch") and for a message. Plain arrays, so that the
// record owns no heap memory when the host unwinds past it.
constexpr std::size_t kIdentifierSize = 32;
constexpr std::size_t kMessageSize = 1024;

// Why a +ionex call failed: identifier and message, both NUL-terminated.
struct GatewayError {
    char identifier[kIdentifierSize];
    char message[kMessageSize];
};

// Fills `error` with `identifier` and the printf-formatted message, cut to fit.
// Returns false, so that a caller can write `return fail(error, ...)`.
#if defined(__MINGW32__)
// MinGW-w64's C++ library formats with its own C99 printf (%zu and all), not Microsoft's.
__attribute__((format(gnu_printf, 3, 4)))
#elif defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
bool fail(GatewayError& error, const char* identifier, const char* format, ...);

// Identifier of a reader status ("ionex:Corrupt", ...). Returns static text.
const char* identifierOf(ionex::ReadStatus status);

// Raises `error` in the host with mexErrMsgIdAndTxt. The caller must have destroyed every
// C++ object that owns memory: a real host unwinds without running destructors.
// Does not return in a real host (the stand-in throws).
void raiseError(const GatewayError& error);

}  // namespace gateway
