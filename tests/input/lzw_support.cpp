#include "lzw_support.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#ifndef IONEX_TEST_DATA
#error "IONEX_TEST_DATA must name the test data directory"
#endif

namespace lzwtest {

using ionex::LzwDecoder;
using ionex::LzwStatus;

DecodeResult decode(const std::string& stream, size_t in_block, size_t out_capacity) {
    DecodeResult r;
    // Garbage everywhere first: lzwStart must set all it relies on.
    std::unique_ptr<LzwDecoder> d(new LzwDecoder);
    std::memset(static_cast<void*>(d.get()), 0xA5, sizeof(LzwDecoder));
    ionex::lzwStart(*d);

    const auto* data = reinterpret_cast<const uint8_t*>(stream.data());
    const size_t size = stream.size();
    const bool whole_out = out_capacity == kWhole;
    std::vector<uint8_t> small(whole_out ? 1 : std::max<size_t>(out_capacity, 1));
    if (whole_out) r.out.resize(4 * size + 65536);
    size_t produced_total = 0;
    size_t pos = 0;

    for (;;) {
        const size_t n = std::min(in_block, size - pos);
        const bool ended = pos + n == size;
        uint8_t* out;
        size_t cap;
        if (whole_out) {
            out = reinterpret_cast<uint8_t*>(&r.out[0]) + produced_total;
            cap = r.out.size() - produced_total;
        } else {
            out = small.data();
            cap = out_capacity;
        }
        size_t consumed = 12345, produced = 12345;
        const LzwStatus st = ionex::lzwDecode(*d, data + pos, n, ended, &consumed, out, cap,
                                              &produced);
        ++r.calls;
        if (consumed > n || produced > cap) {
            ADD_FAILURE() << "consumed " << consumed << " of " << n << ", produced " << produced
                          << " of " << cap;
            r.status = st;
            break;
        }
        pos += consumed;
        if (whole_out) {
            produced_total += produced;
        } else {
            r.out.append(reinterpret_cast<const char*>(out), produced);
        }
        r.status = st;
        if (st == LzwStatus::kEnd || st == LzwStatus::kDataError) break;
        if (st == LzwStatus::kNeedInput) {
            if (ended) {
                ADD_FAILURE() << "kNeedInput although the input has ended";
                break;
            }
            if (consumed != n) {
                ADD_FAILURE() << "kNeedInput with " << n - consumed << " bytes not consumed";
                break;
            }
        } else {  // kOutputFull: the whole capacity was used
            if (produced != cap) {
                ADD_FAILURE() << "kOutputFull with " << cap - produced << " bytes of room left";
                break;
            }
            if (whole_out) r.out.resize(r.out.size() * 2);
        }
    }
    if (whole_out) r.out.resize(produced_total);

    // Every later call gives nothing and the same status.
    if (r.status == LzwStatus::kEnd || r.status == LzwStatus::kDataError) {
        const uint8_t more[4] = {1, 2, 3, 4};
        uint8_t sink[16];
        size_t consumed = 99, produced = 99;
        const LzwStatus again =
            ionex::lzwDecode(*d, more, sizeof more, true, &consumed, sink, sizeof sink, &produced);
        EXPECT_EQ(again, r.status);
        EXPECT_EQ(produced, 0u);
    }
    return r;
}

void BitWriter::put(uint32_t code, unsigned width) {
    ASSERT_LT(code, 1u << width) << "code does not fit its width";
    putBits(code, width);
}

void BitWriter::putBits(uint64_t bits, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (bits_ % 8 == 0) bytes_.push_back('\0');
        if ((bits >> (i % 64)) & 1) bytes_.back() = static_cast<char>(bytes_.back() | (1 << (bits_ % 8)));
        ++bits_;
    }
}

std::string BitWriter::bytes() const { return bytes_; }

ReferenceResult referenceDecode(const std::string& s) {
    ReferenceResult r;
    if (s.empty()) {
        r.data_error = true;  // no flag byte
        return r;
    }
    const unsigned flag = static_cast<uint8_t>(s[0]);
    const unsigned max_width = flag & 0x1f;
    const bool block = (flag & 0x80) != 0;
    if (max_width > 16) {
        r.data_error = true;
        return r;
    }
    const size_t total = (s.size() - 1) * 8;  // bits of code data
    size_t pos = 0;
    auto bit = [&](size_t i) -> uint32_t {
        return (static_cast<uint8_t>(s[1 + i / 8]) >> (i % 8)) & 1u;
    };
    auto take = [&](unsigned w) {
        uint32_t v = 0;
        for (unsigned k = 0; k < w; ++k) v |= bit(pos + k) << k;
        pos += w;
        return v;
    };
    auto restZero = [&] {
        for (size_t i = pos; i < total; ++i)
            if (bit(i)) return false;
        return true;
    };
    if (total < 16) return r;  // the first code needs 16 bits

    std::vector<uint16_t> prefix(65536, 0);
    std::vector<uint8_t> suffix(65536, 0);
    for (unsigned i = 0; i < 256; ++i) suffix[i] = static_cast<uint8_t>(i);

    uint32_t code = take(9);
    r.codes = 1;
    r.widest = 9;
    if (code > 255) {
        r.data_error = true;
        return r;
    }
    r.out.push_back(static_cast<char>(code));
    unsigned width = 9;
    uint32_t next_free = block ? 257 : 256;
    uint64_t bit_count = 9;
    uint32_t prev = code;
    uint32_t first_byte = code;
    uint64_t skip = 0;
    std::string str;
    for (;;) {
        if (skip != 0) {
            pos = std::min<size_t>(total, pos + skip);
            skip = 0;
        }
        const uint32_t limit = width == max_width ? (1u << max_width) : (1u << width) - 1;
        if (next_free > limit) {
            ++width;
            r.widest = std::max(r.widest, width);
            bit_count = 0;
            continue;
        }
        const size_t remaining = total - pos;
        if (remaining < 16 && (remaining < width || restZero())) break;
        code = take(width);
        bit_count += width;
        ++r.codes;
        if (code == 256 && block) {
            std::fill(prefix.begin(), prefix.end(), 0);
            next_free = 256;
            const uint64_t group = 8 * width;
            skip = (bit_count + group - 1) / group * group - bit_count;
            width = 9;
            bit_count = 0;
            ++r.clear_codes;
            continue;
        }
        if (code > next_free) {
            r.data_error = true;
            break;
        }
        str.clear();
        uint32_t c = code;
        bool kwkwk = false;
        if (c == next_free) {
            kwkwk = true;
            ++r.kwkwk;
            c = prev;
        }
        while (c >= 256) {
            str.push_back(static_cast<char>(suffix[c]));
            c = prefix[c];
            if (str.size() > 65536) {
                ADD_FAILURE() << "reference: string longer than 65536 bytes";
                r.data_error = true;
                return r;
            }
        }
        str.push_back(static_cast<char>(c));
        std::reverse(str.begin(), str.end());
        if (kwkwk) str.push_back(static_cast<char>(first_byte));
        first_byte = static_cast<uint8_t>(str[0]);
        r.out += str;
        if (next_free < (1u << max_width)) {
            prefix[next_free] = static_cast<uint16_t>(prev);
            suffix[next_free] = static_cast<uint8_t>(first_byte);
            ++next_free;
        }
        prev = code;
    }
    return r;
}

StreamBuilder::StreamBuilder(uint8_t flag, uint64_t skip_fill)
    : flag_(flag), max_width_(flag & 0x1f), block_((flag & 0x80) != 0), skip_fill_(skip_fill) {}

void StreamBuilder::grow() {
    for (;;) {
        const uint32_t limit = width_ == max_width_ ? (1u << max_width_) : (1u << width_) - 1;
        if (next_free_ <= limit) return;
        ++width_;
        bit_count_ = 0;
    }
}

void StreamBuilder::code(uint32_t c) {
    if (first_) {
        writer_.put(c, 9);
        first_ = false;
        next_free_ = block_ ? 257 : 256;
        bit_count_ = 9;
        return;
    }
    writer_.put(c, width_);
    bit_count_ += width_;
    if (c == 256 && block_) {
        const uint64_t group = 8 * width_;
        uint64_t skip = (bit_count_ + group - 1) / group * group - bit_count_;
        while (skip > 0) {
            const unsigned n = static_cast<unsigned>(std::min<uint64_t>(skip, 64));
            writer_.putBits(skip_fill_, n);
            skip -= n;
        }
        next_free_ = 256;
        width_ = 9;
        bit_count_ = 0;
        return;
    }
    if (next_free_ < (1u << max_width_)) ++next_free_;
    grow();
}

std::string StreamBuilder::stream() const {
    return std::string(1, static_cast<char>(flag_)) + writer_.bytes();
}

std::string dataPath(const std::string& name) { return std::string(IONEX_TEST_DATA) + "/" + name; }

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
std::string g_temp_dir;
void removeTempDir() {
    std::error_code ec;
    if (!g_temp_dir.empty()) std::filesystem::remove_all(g_temp_dir, ec);
}
std::atomic<int> g_counter{0};

bool runShell(const std::string& command) {
#ifdef _WIN32
    (void)command;
    return false;  // the reference tool is never there (haveCompressTool)
#else
    const int rc = std::system(command.c_str());
    if (rc == -1 || !WIFEXITED(rc)) return false;
    // compress exits with 2 when the output is not smaller than the input; still written.
    return WEXITSTATUS(rc) == 0 || WEXITSTATUS(rc) == 2;
#endif
}
}  // namespace

const std::string& tempDir() {
    if (g_temp_dir.empty()) {
        g_temp_dir = testfiles::makeTempDir("lzwtest.");
        std::atexit(removeTempDir);
    }
    return g_temp_dir;
}

bool haveCompressTool() {
#ifdef _WIN32
    return false;  // ncompress is a POSIX program; Windows has no compress to run
#else
    return access("/usr/bin/compress", X_OK) == 0;
#endif
}

std::string compressWithTool(const std::string& plain, int bits) {
    const std::string base = tempDir() + "/c" + std::to_string(g_counter++);
    writeFile(base + ".in", plain);
    if (!runShell("/usr/bin/compress -c -b " + std::to_string(bits) + " < '" + base +
                  ".in' > '" + base + ".Z'"))
        return std::string();
    std::string z = readFile(base + ".Z");
    std::remove((base + ".in").c_str());
    std::remove((base + ".Z").c_str());
    return z;
}

std::string decompressWithTool(const std::string& z) {
    const std::string base = tempDir() + "/d" + std::to_string(g_counter++);
    writeFile(base + ".Z", z);
    if (!runShell("/usr/bin/compress -dc < '" + base + ".Z' > '" + base + ".out'"))
        return std::string();
    std::string plain = readFile(base + ".out");
    std::remove((base + ".Z").c_str());
    std::remove((base + ".out").c_str());
    return plain;
}

std::string variedText(size_t size) {
    Rng rng(0x5EEDC0DE2020ull);
    std::vector<std::string> words;
    for (int i = 0; i < 300; ++i) {
        std::string w;
        const size_t len = 2 + rng.below(9);
        for (size_t k = 0; k < len; ++k) w.push_back(static_cast<char>('a' + rng.below(26)));
        words.push_back(w);
    }
    std::string t;
    t.reserve(size + 200000);
    char line[128];
    while (t.size() < size) {
        switch (rng.below(6)) {
        case 0: {  // sentences
            const size_t end = t.size() + 20000 + rng.below(180000);
            while (t.size() < end) {
                const size_t n = 3 + rng.below(15);
                for (size_t k = 0; k < n; ++k) {
                    t += words[rng.below(words.size()) % (k % 3 == 0 ? 40 : words.size())];
                    t += ' ';
                }
                t += rng.below(4) == 0 ? "!\n" : ".\n";
            }
            break;
        }
        case 1: {  // IONEX-like rows of numbers
            const size_t end = t.size() + 20000 + rng.below(180000);
            int v = 100;
            while (t.size() < end) {
                for (int k = 0; k < 16; ++k) {
                    v += static_cast<int>(rng.below(21)) - 10;
                    if (v < 0) v = 0;
                    std::snprintf(line, sizeof line, "%5d", v);
                    t += line;
                }
                t += '\n';
            }
            break;
        }
        case 2:  // a long run of one byte
            t.append(1000 + rng.below(100000), static_cast<char>(rng.below(256)));
            break;
        case 3: {  // random printable
            const size_t n = 5000 + rng.below(45000);
            for (size_t k = 0; k < n; ++k) t.push_back(static_cast<char>(32 + rng.below(95)));
            break;
        }
        case 4: {  // random binary
            const size_t n = 5000 + rng.below(45000);
            for (size_t k = 0; k < n; ++k) t.push_back(static_cast<char>(rng.below(256)));
            break;
        }
        default: {  // repeat an earlier stretch
            if (t.empty()) break;
            const size_t from = rng.below(t.size());
            const size_t n = std::min(t.size() - from, 1000 + rng.below(100000));
            t.append(t, from, n);
            break;
        }
        }
    }
    t.resize(size);
    return t;
}

}  // namespace lzwtest
