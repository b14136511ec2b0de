// Working memory of the line source, kept between reads.
//
// Each call of a reader used to take about 600 KB in blocks of 100 KB and more and give them
// back at its end; with the C library's default allocator such blocks go back to the system
// and every call pays for fresh pages. Kept in a small process-wide pool, they are made once.
//
// A pool and not a thread_local set: MinGW-w64 runs the destructors of thread_local objects
// after its emulated thread storage is freed, so a set released at thread exit corrupted the
// heap of every program (and MEX module) built with it that reads on more than one thread.
#include "input/work_buffers.h"

#include <mutex>
#include <new>

namespace ionex {

struct WorkBuffers {
    unsigned char* input = nullptr;
    unsigned char* output_block = nullptr;  // kInflaterOutputLead zeroed bytes, then the output
    GzipInflater* inflaters[2] = {nullptr, nullptr};  // by InflaterKind
    LzwDecoder* lzw = nullptr;
};

namespace {

// Sets kept while no source holds them: as many as sources are commonly open at once.
constexpr int kPooledSets = 4;

// Releases a set and every part of it. Accepts null. Returns nothing.
void releaseSet(WorkBuffers* b) {
    if (b == nullptr) return;
    delete[] b->input;
    delete[] b->output_block;
    for (GzipInflater*& inflater : b->inflaters) destroyGzipInflater(inflater);
    delete b->lzw;
    delete b;
}

// The sets no source holds; released when the program (or the module) is unloaded.
struct Pool {
    std::mutex mutex;
    WorkBuffers* sets[kPooledSets] = {};
    int count = 0;
    ~Pool() {
        for (int i = 0; i < count; ++i) releaseSet(sets[i]);
    }
};

Pool& pool() {
    static Pool kept;
    return kept;
}

size_t inflaterSlot(InflaterKind kind) { return kind == InflaterKind::kIsal ? 1 : 0; }

}  // namespace

WorkBuffers* borrowWorkBuffers() {
    WorkBuffers* b = nullptr;
    {
        Pool& p = pool();
        std::lock_guard<std::mutex> lock(p.mutex);
        if (p.count > 0) b = p.sets[--p.count];
    }
    if (b == nullptr) b = new (std::nothrow) WorkBuffers;
    if (b == nullptr) return nullptr;
    if (b->input == nullptr) b->input = new (std::nothrow) unsigned char[kInputCapacity];
    if (b->input == nullptr) {
        releaseSet(b);
        return nullptr;
    }
    return b;
}

void returnWorkBuffers(WorkBuffers* b) {
    if (b == nullptr) return;
    {
        Pool& p = pool();
        std::lock_guard<std::mutex> lock(p.mutex);
        if (p.count < kPooledSets) {
            p.sets[p.count++] = b;
            return;
        }
    }
    releaseSet(b);
}

unsigned char* inputBlock(WorkBuffers& b) { return b.input; }

unsigned char* outputBlock(WorkBuffers& b) {
    if (b.output_block == nullptr) {
        b.output_block = new (std::nothrow) unsigned char[kInflaterOutputLead + kOutputCapacity]();
    }
    return b.output_block == nullptr ? nullptr : b.output_block + kInflaterOutputLead;
}

GzipInflater* workInflater(WorkBuffers& b, InflaterKind kind) {
    if (!inflaterAvailable(kind)) return nullptr;
    GzipInflater*& slot = b.inflaters[inflaterSlot(kind)];
    if (slot == nullptr) slot = createGzipInflater(kind);
    return slot;
}

LzwDecoder* workLzwDecoder(WorkBuffers& b) {
    if (b.lzw == nullptr) b.lzw = new (std::nothrow) LzwDecoder;
    return b.lzw;
}

}  // namespace ionex
