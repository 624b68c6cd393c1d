#include "report/data_stream.h"

#include <cstring>
#include <new>

namespace {
// Built before the entry point runs, as a namespace-scope object, and gone at process exit.
CDataStream g_dataStream;
} // namespace

CDataStream& theDataStream()
{
    return g_dataStream;
}

CDataStream::~CDataStream()
{
    release();
}

bool CDataStream::reserve(std::uint32_t size)
{
    const std::uint64_t rounded = (static_cast<std::uint64_t>(size) + 3) & ~std::uint64_t{3};
    if (rounded > UINT32_MAX) {
        return false;
    }
    if (rounded <= capacity_) {
        return true;
    }
    auto* grown = new (std::nothrow) unsigned char[rounded];
    if (!grown) {
        return false;
    }
    if (buffer_) {
        std::memcpy(grown, buffer_, length_);
        delete[] buffer_;
    }
    buffer_ = grown;
    capacity_ = static_cast<std::uint32_t>(rounded);
    return true;
}

void CDataStream::release()
{
    delete[] buffer_;
    buffer_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}
