#include "decrypt/zip_source_io.h"

#include <cstdint>
#include <cstdio>

namespace {

struct OpenSource {
    CByteSource* source;
    std::uint64_t position;
};

voidpf ZCALLBACK openSource(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) {
        return nullptr;
    }
    return new OpenSource{static_cast<CByteSource*>(opaque), 0};
}

uLong ZCALLBACK readSource(voidpf, voidpf stream, void* buffer, uLong size)
{
    auto* open = static_cast<OpenSource*>(stream);
    const std::uint64_t total = open->source->size();
    const std::uint64_t left = open->position < total ? total - open->position : 0;
    const uLong count = left < size ? static_cast<uLong>(left) : size;
    if (count == 0 || !open->source->readAt(open->position, buffer, count)) {
        return 0;
    }
    open->position += count;
    return count;
}

uLong ZCALLBACK writeNothing(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellSource(voidpf, voidpf stream)
{
    return static_cast<OpenSource*>(stream)->position;
}

long ZCALLBACK seekSource(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* open = static_cast<OpenSource*>(stream);
    const std::uint64_t total = open->source->size();
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = open->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = total; break;
    default: return -1;
    }
    // Offsets wrap around for the seeks back from the end that the end-record search makes.
    const std::uint64_t target = base + offset;
    if (target > total) {
        return -1;
    }
    open->position = target;
    return 0;
}

int ZCALLBACK closeSource(voidpf, voidpf stream)
{
    delete static_cast<OpenSource*>(stream);
    return 0;
}

int ZCALLBACK noError(voidpf, voidpf)
{
    return 0;
}

} // namespace

zlib_filefunc64_def byteSourceFileFunctions(CByteSource& source)
{
    zlib_filefunc64_def functions = {};
    functions.zopen64_file = openSource;
    functions.zread_file = readSource;
    functions.zwrite_file = writeNothing;
    functions.ztell64_file = tellSource;
    functions.zseek64_file = seekSource;
    functions.zclose_file = closeSource;
    functions.zerror_file = noError;
    functions.opaque = &source;
    return functions;
}
