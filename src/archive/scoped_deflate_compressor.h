#pragma once

#include <libdeflate.h>

#include "base/scoped_generic.h"

// Owner of one libdeflate compressor.
struct DeflateCompressorTraits {
    using Type = libdeflate_compressor*;
    static Type invalid() { return nullptr; }
    static void release(Type compressor) { libdeflate_free_compressor(compressor); }
};
using ScopedDeflateCompressor = ScopedGeneric<DeflateCompressorTraits>;
