// The state of the processor's vector registers between our code and code it does not
// control (ISA-L's inflater and compressor, and whatever the caller ran before a call).
#pragma once

namespace ionex {

// Marks the upper halves of the AVX vector registers unused (vzeroupper), where the processor
// has AVX and the compiler can say so; nothing elsewhere. Code that returns with them in use
// (ISA-L's AVX2 and AVX-512 routines do) makes every plain SSE instruction after it wait on
// them: the writer's encoding of the maps ran close to twice as slow, and so does parsing.
// Returns nothing.
void clearUpperVectorHalves();

}  // namespace ionex
