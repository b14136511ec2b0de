// Global operator new / delete of the test program, counting what they hand out. Each block
// carries its size in front so that delete can count it back.
#include "allocation_probe.h"

#include <cstdlib>
#include <new>

namespace {

size_t g_largest = 0;
size_t g_live = 0;
size_t g_peak = 0;
size_t g_base = 0;
constexpr size_t kHeader = alignof(std::max_align_t);

void* allocateOrNull(size_t n) {
    void* p = std::malloc(n + kHeader);
    if (p == nullptr) return nullptr;
    *static_cast<size_t*>(p) = n;
    if (n > g_largest) g_largest = n;
    g_live += n;
    if (g_live > g_peak) g_peak = g_live;
    return static_cast<char*>(p) + kHeader;
}

void* allocate(size_t n) {
    void* p = allocateOrNull(n);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void release(void* p) {
    if (p == nullptr) return;
    char* block = static_cast<char*>(p) - kHeader;
    g_live -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t n) { return allocate(n); }
void* operator new[](size_t n) { return allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return allocateOrNull(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return allocateOrNull(n); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, size_t) noexcept { release(p); }
void operator delete[](void* p, size_t) noexcept { release(p); }

namespace allocprobe {

void reset() {
    g_largest = 0;
    g_base = g_live;
    g_peak = g_live;
}

size_t largest() { return g_largest; }

size_t peak() { return g_peak - g_base; }

}  // namespace allocprobe
