// vzeroupper behind a check of the processor: an AVX instruction, only run where AVX exists.
#include "common/vector_state.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define IONEX_HAS_VZEROUPPER 1
#endif

namespace ionex {

#ifdef IONEX_HAS_VZEROUPPER
namespace {

// The instruction itself, compiled for AVX whatever the rest of the build targets.
// Returns nothing.
__attribute__((target("avx"))) void zeroUpperWithAvx() { _mm256_zeroupper(); }

}  // namespace

void clearUpperVectorHalves() {
    static const bool has_avx = __builtin_cpu_supports("avx");
    if (has_avx) zeroUpperWithAvx();
}
#else
void clearUpperVectorHalves() {}
#endif

}  // namespace ionex
