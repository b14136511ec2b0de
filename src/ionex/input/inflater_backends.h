// The two implementations behind the gzip inflater (gzip_inflater.h), with the same
// contracts as the functions there. Only gzip_inflater.cpp and the backends include this.
#pragma once

#include "input/gzip_inflater.h"

namespace ionex {

struct ZlibInflater;
ZlibInflater* createZlibInflater();
void destroyZlibInflater(ZlibInflater* inflater);
bool startZlibMember(ZlibInflater* inflater);
InflateStep inflateZlib(ZlibInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size);
unsigned long zlibOutputCrc(const ZlibInflater* inflater);

#ifdef IONEX_WITH_ISAL
struct IsalInflater;
IsalInflater* createIsalInflater();
void destroyIsalInflater(IsalInflater* inflater);
bool startIsalMember(IsalInflater* inflater);
InflateStep inflateIsal(IsalInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size);
unsigned long isalOutputCrc(const IsalInflater* inflater);
#endif

}  // namespace ionex
