// bench_baseline: the baselines of the host benchmark, as one MEX function in Octave.
//
//   n = bench_baseline('zlib', FILE)     zlib's inflate of every gzip member, alone
//   n = bench_baseline('isal', FILE)     ISA-L's inflate of every gzip member, alone
//   n = bench_baseline('lzw', FILE)      the LZW decoder on a .Z file, alone
//   n = bench_baseline('lines', FILE)    the line source alone (the build's inflater)
//   n = bench_baseline('lines', FILE, INFLATER)   ... with 'zlib' or 'isal'
//   c = bench_baseline('floor', NMAPS, NLON, NLAT)  the host's cost of the whole-grid
//        output: an NMAPS-by-1 cell of NLON-by-NLAT double matrices, each filled once
//   s = bench_baseline('inflaters')      the inflaters built in, e.g. 'zlib ISA-L'
//
// Every reader works in 128 KB blocks like the line source and returns the number of
// bytes it decoded (or lines it read), so that nothing can be skipped.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#ifdef IONEX_WITH_ISAL
#include <isa-l/igzip_lib.h>
#endif

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "input/gzip_inflater.h"
#include "input/line_source.h"
#include "input/lzw_decoder.h"
#include "mex.h"

namespace {

constexpr size_t kBlock = 128 * 1024;

// Reads the file in blocks and hands each to `consume(data, size, ended)`; the last call has
// size 0 and ended true. Returns false when the file does not open.
template <typename Consume>
bool forEachBlock(const std::string& path, Consume consume) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    std::vector<unsigned char> block(kBlock);
    for (;;) {
        ssize_t n = ::read(fd, block.data(), block.size());
        if (n <= 0) break;
        consume(block.data(), static_cast<size_t>(n), false);
    }
    consume(block.data(), 0, true);
    ::close(fd);
    return true;
}

// zlib alone: every gzip member of the file, inflated into a reused block.
// Returns the number of bytes inflated.
double zlibInflate(const std::string& path) {
    z_stream zs{};
    inflateInit2(&zs, 16 + MAX_WBITS);
    std::vector<unsigned char> out(kBlock);
    double total = 0;
    bool failed = false;
    forEachBlock(path, [&](const unsigned char* in, size_t n, bool) {
        zs.next_in = const_cast<unsigned char*>(in);
        zs.avail_in = static_cast<uInt>(n);
        while (zs.avail_in > 0 && !failed) {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            int rc = inflate(&zs, Z_NO_FLUSH);
            total += static_cast<double>(out.size() - zs.avail_out);
            if (rc == Z_STREAM_END) inflateReset(&zs);
            else if (rc != Z_OK) failed = true;
        }
    });
    inflateEnd(&zs);
    return failed ? -total : total;
}

#ifdef IONEX_WITH_ISAL
// ISA-L alone: every gzip member of the file (ISA-L reads the headers and checks the
// trailers), inflated into a reused block. Returns the number of bytes inflated.
double isalInflate(const std::string& path) {
    static inflate_state st;  // large: kept out of the stack
    isal_inflate_init(&st);
    st.crc_flag = ISAL_GZIP;
    std::vector<unsigned char> out(kBlock);
    double total = 0;
    bool failed = false;
    forEachBlock(path, [&](const unsigned char* in, size_t n, bool) {
        st.next_in = const_cast<unsigned char*>(in);
        st.avail_in = static_cast<uint32_t>(n);
        while (st.avail_in > 0 && !failed) {
            st.next_out = out.data();
            st.avail_out = static_cast<uint32_t>(out.size());
            int rc = isal_inflate(&st);
            total += static_cast<double>(out.size() - st.avail_out);
            if (rc < 0) failed = true;
            else if (st.block_state == ISAL_BLOCK_FINISH) {
                uint8_t* next = st.next_in;
                uint32_t left = st.avail_in;
                isal_inflate_reset(&st);
                st.crc_flag = ISAL_GZIP;
                st.next_in = next;
                st.avail_in = left;
            }
        }
    });
    return failed ? -total : total;
}
#endif

// The LZW decoder alone on a .Z file. Returns the number of bytes decoded.
double lzwDecode(const std::string& path) {
    static ionex::LzwDecoder decoder;  // about 200 KB of tables
    std::vector<unsigned char> out(kBlock);
    double total = 0;
    bool started = false;
    forEachBlock(path, [&](const unsigned char* in, size_t n, bool ended) {
        if (!started) {
            if (n < 2) return;
            ionex::lzwStart(decoder);
            in += 2;
            n -= 2;
            started = true;
        }
        for (;;) {
            size_t used = 0, made = 0;
            ionex::LzwStatus st = ionex::lzwDecode(decoder, in, n, ended, &used, out.data(), out.size(), &made);
            total += static_cast<double>(made);
            in += used;
            n -= used;
            if (st != ionex::LzwStatus::kOutputFull) break;
        }
    });
    return total;
}

// The line source alone: every line of the file into a 512-byte buffer.
// Returns the number of lines, or -1 when the file does not open.
double readLines(const std::string& path, ionex::InflaterKind kind) {
    ionex::LineSource* s = ionex::openLineSource(path.c_str(), kind);
    if (s == nullptr) return -1;
    char line[512];
    double n = 0;
    while (ionex::readLineLength(s, line, sizeof line) >= 0) ++n;
    ionex::closeLineSource(s);
    return n;
}

// The host's own cost of a whole-grid result: the cell and its maps, each filled once.
// Returns the cell.
mxArray* outputFloor(double nmaps, double nlon, double nlat) {
    const mwSize maps = static_cast<mwSize>(nmaps);
    const mwSize rows = static_cast<mwSize>(nlon);
    const mwSize cols = static_cast<mwSize>(nlat);
    mxArray* cell = mxCreateCellMatrix(maps, 1);
    for (mwSize j = 0; j < maps; ++j) {
        mxArray* map = mxCreateUninitNumericMatrix(rows, cols, mxDOUBLE_CLASS, mxREAL);
        double* v = mxGetPr(map);
        for (mwSize k = 0; k < rows * cols; ++k) v[k] = static_cast<double>(k % 512) * 0.1;
        mxSetCell(cell, j, map);
    }
    return cell;
}

}  // namespace

extern "C" void mexFunction(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // Fixed buffers: no C++ object that owns memory is alive when an error is raised.
    char what[16] = "";
    char path[4096] = "";
    if (nrhs < 1 || mxGetString(prhs[0], what, sizeof what) != 0) {
        mexErrMsgIdAndTxt("bench:usage", "bench_baseline(WHAT, ...)");
    }
    if (std::strcmp(what, "inflaters") == 0) {
        plhs[0] = mxCreateString(ionex::inflaterAvailable(ionex::InflaterKind::kIsal) ? "zlib ISA-L" : "zlib");
        return;
    }
    if (std::strcmp(what, "floor") == 0 && nrhs == 4) {
        plhs[0] = outputFloor(mxGetScalar(prhs[1]), mxGetScalar(prhs[2]), mxGetScalar(prhs[3]));
        return;
    }
    if (nrhs < 2 || mxGetString(prhs[1], path, sizeof path) != 0) {
        mexErrMsgIdAndTxt("bench:usage", "bench_baseline(WHAT, FILE)");
    }
    double result = -2;
    if (std::strcmp(what, "zlib") == 0) result = zlibInflate(path);
#ifdef IONEX_WITH_ISAL
    if (std::strcmp(what, "isal") == 0) result = isalInflate(path);
#endif
    if (std::strcmp(what, "lzw") == 0) result = lzwDecode(path);
    if (std::strcmp(what, "lines") == 0) {
        char kind[8] = "";
        if (nrhs >= 3) mxGetString(prhs[2], kind, sizeof kind);
        const ionex::InflaterKind inflater = nrhs < 3 ? ionex::defaultInflater()
                                             : std::strcmp(kind, "isal") == 0 ? ionex::InflaterKind::kIsal
                                                                              : ionex::InflaterKind::kZlib;
        result = readLines(path, inflater);
    }
    if (result == -2) mexErrMsgIdAndTxt("bench:usage", "bench_baseline: unknown or unavailable baseline '%s'", what);
    plhs[0] = mxCreateDoubleScalar(result);
}
