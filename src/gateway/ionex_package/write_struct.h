// The struct M of ionex.write read into the core writer's input: axes, epochs and maps
// borrowed from M's arrays, header records and DCB blocks copied. Every field is hostile
// until checked; each check names the field it refuses.
#pragma once

#include "ionex_package/gateway_error.h"
#include "mex.h"
#include "writer/write_input.h"

namespace gateway {

// Reads M (a scalar struct as ionex.read returns it, or the user's own with at least lat,
// lon, time and tec) into `input`. Returns true, or false with `error` filled (ionex:Input,
// "M.<field> ...").
bool readWriteStruct(const mxArray* m, ionex::WriteInput& input, GatewayError& error);

}  // namespace gateway
