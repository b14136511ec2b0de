// The large working memory of the line source: the block of file bytes, the block of decoded
// bytes, both gzip inflaters and the LZW decoder tables. A few sets are kept for the whole
// process and lent to the sources opened, one set a source, so that a steady loop of reads
// takes no memory from the system after its first call; their sizes are fixed and their
// number small, so what is kept is bounded (about 700 KB a set with every part made).
#pragma once

#include <cstddef>

#include "input/gzip_inflater.h"
#include "input/lzw_decoder.h"

namespace ionex {

constexpr size_t kInputCapacity = 128 * 1024;   // file bytes read at once
constexpr size_t kOutputCapacity = 128 * 1024;  // decoded bytes made at once

struct WorkBuffers;  // opaque: one set of working memory

// Lends a kept set, or a new one when every kept set is lent (several sources open at once,
// on one thread or many). Safe to call from any thread. Returns null when out of memory.
WorkBuffers* borrowWorkBuffers();

// Takes a set back: it is kept for the next source while the pool has room, else released.
// Safe to call from any thread. Accepts null.
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
