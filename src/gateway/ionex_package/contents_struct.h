// The struct that ionex.read and ionex.info return, built from what the reader found, in
// MATLAB's shapes: axes and epochs as columns, maps nlat-by-nlon-by-nmaps(-by-nhgt), text
// as char rows, lists of lines as cell columns, absent records as '' or [].
#pragma once

#include "common/ionex_contents.h"
#include "mex.h"

namespace gateway {

// Makes the struct of `contents`; with `with_maps` false (ionex.info) it has no time and
// map fields. Releases each kind of map from `contents` once copied, so that the peak stays
// near the size of the output. Returns the new struct.
mxArray* createContentsStruct(ionex::IonexContents& contents, bool with_maps);

}  // namespace gateway
