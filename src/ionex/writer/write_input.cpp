// A write input over what a reader read.
#include "writer/write_input.h"

namespace ionex {

WriteInput writeInputOf(const IonexContents& contents) {
    WriteInput in;
    in.header = contents.header;
    in.lat = contents.lat;
    in.lon = contents.lon;
    in.height = contents.height;
    in.time = contents.time;
    in.dcb = contents.dcb;
    for (int kind = 0; kind < kMapKindCount; ++kind) {
        if (contents.maps[kind].present) in.maps[kind] = contents.maps[kind].values.data();
    }
    // The reader stores each map as its height layers one after the other.
    const std::size_t layer = contents.lat.size() * contents.lon.size();
    in.map_stride = layer * (contents.height.empty() ? 1 : contents.height.size());
    in.height_stride = layer;
    return in;
}

}  // namespace ionex
