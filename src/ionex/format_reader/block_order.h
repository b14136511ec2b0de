// Reordering of map storage in place: a series puts its maps in time order without a second
// copy of the output.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ionex {

// Rearranges `values`, seen as blocks of `block` elements, so that block j of the result is
// block order[j] of the input, for j < order.size(), and drops the blocks not named. `order`
// names each block at most once. Needs one block of scratch memory. Returns nothing.
template <typename T>
void reorderBlocks(std::vector<T>& values, size_t block, const std::vector<size_t>& order) {
    const size_t blocks = block == 0 ? 0 : values.size() / block;
    // Complete `order` to a permutation of all blocks; the unnamed ones go to the end.
    std::vector<size_t> source(order);
    std::vector<char> named(blocks, 0);
    for (size_t b : order) named[b] = 1;
    for (size_t b = 0; b < blocks; ++b) {
        if (!named[b]) source.push_back(b);
    }
    // Follow each cycle of the permutation: slot k takes block source[k].
    std::vector<char> done(blocks, 0);
    std::vector<T> scratch(block);
    for (size_t start = 0; start < blocks; ++start) {
        if (done[start] || source[start] == start) {
            done[start] = 1;
            continue;
        }
        std::copy(values.begin() + start * block, values.begin() + (start + 1) * block, scratch.begin());
        size_t k = start;
        for (;;) {
            done[k] = 1;
            const size_t from = source[k];
            if (from == start) {
                std::copy(scratch.begin(), scratch.end(), values.begin() + k * block);
                break;
            }
            std::copy(values.begin() + from * block, values.begin() + (from + 1) * block, values.begin() + k * block);
            k = from;
        }
    }
    values.resize(order.size() * block);
}

}  // namespace ionex
