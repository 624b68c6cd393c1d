#include "decrypt/byte_source.h"

#include <cstring>

bool CMemorySource::readAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        return false;
    }
    if (count > 0) {
        std::memcpy(buffer, bytes_.data() + offset, count);
    }
    return true;
}
