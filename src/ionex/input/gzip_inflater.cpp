// The gzip inflater: hands each call to the implementation the inflater was made with.
#include "input/gzip_inflater.h"

#include <new>

#include "input/inflater_backends.h"

namespace ionex {

struct GzipInflater {
    InflaterKind kind;
    ZlibInflater* zlib;
#ifdef IONEX_WITH_ISAL
    IsalInflater* isal;
#endif
};

InflaterKind defaultInflater() {
#ifdef IONEX_WITH_ISAL
    return InflaterKind::kIsal;
#else
    return InflaterKind::kZlib;
#endif
}

bool inflaterAvailable(InflaterKind kind) {
#ifdef IONEX_WITH_ISAL
    return kind == InflaterKind::kZlib || kind == InflaterKind::kIsal;
#else
    return kind == InflaterKind::kZlib;
#endif
}

const char* inflaterName(InflaterKind kind) { return kind == InflaterKind::kIsal ? "ISA-L" : "zlib"; }

GzipInflater* createGzipInflater(InflaterKind kind) {
    if (!inflaterAvailable(kind)) return nullptr;
    GzipInflater* inflater = new (std::nothrow) GzipInflater{};
    if (inflater == nullptr) return nullptr;
    inflater->kind = kind;
    bool made = false;
#ifdef IONEX_WITH_ISAL
    if (kind == InflaterKind::kIsal) {
        inflater->isal = createIsalInflater();
        made = inflater->isal != nullptr;
    }
#endif
    if (kind == InflaterKind::kZlib) {
        inflater->zlib = createZlibInflater();
        made = inflater->zlib != nullptr;
    }
    if (!made) {
        delete inflater;
        return nullptr;
    }
    return inflater;
}

void destroyGzipInflater(GzipInflater* inflater) {
    if (inflater == nullptr) return;
    destroyZlibInflater(inflater->zlib);
#ifdef IONEX_WITH_ISAL
    destroyIsalInflater(inflater->isal);
#endif
    delete inflater;
}

bool startGzipMember(GzipInflater* inflater) {
#ifdef IONEX_WITH_ISAL
    if (inflater->kind == InflaterKind::kIsal) return startIsalMember(inflater->isal);
#endif
    return startZlibMember(inflater->zlib);
}

InflateStep inflateGzip(GzipInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size) {
#ifdef IONEX_WITH_ISAL
    if (inflater->kind == InflaterKind::kIsal) return inflateIsal(inflater->isal, in, in_size, out, out_size);
#endif
    return inflateZlib(inflater->zlib, in, in_size, out, out_size);
}

unsigned long gzipOutputCrc(const GzipInflater* inflater) {
#ifdef IONEX_WITH_ISAL
    if (inflater->kind == InflaterKind::kIsal) return isalOutputCrc(inflater->isal);
#endif
    return zlibOutputCrc(inflater->zlib);
}

}  // namespace ionex
