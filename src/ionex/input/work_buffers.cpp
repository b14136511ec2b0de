// Per-thread working memory of the line source.
//
// Each call of a reader used to take about 600 KB in blocks of 100 KB and more and give them
// back at its end; with the C library's default allocator such blocks go back to the system
// and every call pays for fresh pages. Kept per thread, they are made once. A thread's set is
// released when the thread ends.
#include "input/work_buffers.h"

#include <new>

namespace ionex {

struct WorkBuffers {
    unsigned char* input = nullptr;
    unsigned char* output_block = nullptr;  // kInflaterOutputLead zeroed bytes, then the output
    GzipInflater* inflaters[2] = {nullptr, nullptr};  // by InflaterKind
    LzwDecoder* lzw = nullptr;
    bool thread_set = false;  // the thread's own set, not one source's
};

namespace {

// Releases every part of a set (not the set itself). Returns nothing.
void releaseParts(WorkBuffers& b) {
    delete[] b.input;
    delete[] b.output_block;
    for (GzipInflater*& inflater : b.inflaters) destroyGzipInflater(inflater);
    delete b.lzw;
    b = WorkBuffers{};
}

// The thread's set and whether a source holds it; released when the thread ends.
struct ThreadSet {
    WorkBuffers set;
    bool lent = false;
    ~ThreadSet() { releaseParts(set); }
};

thread_local ThreadSet t_thread_set;

size_t inflaterSlot(InflaterKind kind) { return kind == InflaterKind::kIsal ? 1 : 0; }

}  // namespace

WorkBuffers* borrowWorkBuffers() {
    WorkBuffers* b = nullptr;
    if (!t_thread_set.lent) {
        b = &t_thread_set.set;
        b->thread_set = true;
    } else {
        b = new (std::nothrow) WorkBuffers;
        if (b == nullptr) return nullptr;
    }
    if (b->input == nullptr) b->input = new (std::nothrow) unsigned char[kInputCapacity];
    if (b->input == nullptr) {
        if (!b->thread_set) delete b;
        return nullptr;
    }
    if (b->thread_set) t_thread_set.lent = true;
    return b;
}

void returnWorkBuffers(WorkBuffers* b) {
    if (b == nullptr) return;
    if (b->thread_set) {
        t_thread_set.lent = false;
        return;
    }
    releaseParts(*b);
    delete b;
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
