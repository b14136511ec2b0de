// The large working memory of the line source: the block of file bytes, the block of decoded
// bytes, both gzip inflaters and the LZW decoder tables. Each thread keeps one set and lends
// it to the sources it opens, one at a time, so that a steady loop of reads takes no memory
// from the system after its first call; their sizes are fixed, so what a thread keeps is
// bounded (about 700 KB with every part made).
#pragma once

#include <cstddef>

#include "input/gzip_inflater.h"
#include "input/lzw_decoder.h"

namespace ionex {

constexpr size_t kInputCapacity = 128 * 1024;   // file bytes read at once
constexpr size_t kOutputCapacity = 128 * 1024;  // decoded bytes made at once

struct WorkBuffers;  // opaque: one set of working memory

// Lends the calling thread's set, or a new set of the caller's own when the thread's set is
// lent already (two sources open at once). Returns null when out of memory.
WorkBuffers* borrowWorkBuffers();

// Takes a set back: the thread's set waits for the next source, a set of one source's own
// is released. Accepts null.
void returnWorkBuffers(WorkBuffers* buffers);

// The block for file bytes (kInputCapacity bytes). Returns it (never null for a lent set).
unsigned char* inputBlock(WorkBuffers& buffers);

// The block for decoded bytes: kOutputCapacity bytes behind kInflaterOutputLead zeroed bytes
// (which nothing writes). Made on first use. Returns its first byte after the lead, or null
// when out of memory.
unsigned char* outputBlock(WorkBuffers& buffers);

// The inflater of `kind`, made on first use (its member state is the caller's to start).
// Returns it, or null when out of memory or when the build lacks that kind.
GzipInflater* workInflater(WorkBuffers& buffers, InflaterKind kind);

// The LZW decoder, made on first use (lzwStart is the caller's). Returns it, or null when
// out of memory.
LzwDecoder* workLzwDecoder(WorkBuffers& buffers);

}  // namespace ionex
