#include "decrypt/zip_entry_source.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kWindowBytes = 64 * 1024;
}

CZipEntrySource::CZipEntrySource(CZipReader& archive, std::size_t index)
    : archive_(archive), index_(index),
      size_(index < archive.entries().size() ? archive.entries()[index].size : 0)
{
}

CZipEntrySource::~CZipEntrySource()
{
    if (reading_) {
        archive_.stopReading();
    }
}

bool CZipEntrySource::restart()
{
    if (reading_) {
        archive_.stopReading();
    }
    reading_ = archive_.startReading(index_);
    position_ = 0;
    return reading_;
}

// The next count bytes of the entry, which must all come.
bool CZipEntrySource::fill(char* buffer, std::size_t count)
{
    while (count > 0) {
        const long long read = archive_.readNext(buffer, count);
        if (read <= 0) {
            return false;
        }
        buffer += read;
        count -= static_cast<std::size_t>(read);
        position_ += static_cast<std::uint64_t>(read);
    }
    return true;
}

bool CZipEntrySource::readAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (offset > size_ || count > size_ - offset) {
        return false;
    }
    if (offset >= windowStart_ && offset - windowStart_ + count <= window_.size()) {
        if (count > 0) {
            std::memcpy(buffer, window_.data() + (offset - windowStart_), count);
        }
        return true;
    }
    if ((!reading_ || offset < position_) && !restart()) {
        return false;
    }
    std::string skipped(std::min<std::uint64_t>(kWindowBytes, offset - position_), '\0');
    while (position_ < offset) {
        const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(skipped.size(), offset - position_));
        if (!fill(skipped.data(), step)) {
            return false;
        }
    }
    window_.assign(static_cast<std::size_t>(std::min<std::uint64_t>(std::max(count, kWindowBytes), size_ - offset)), '\0');
    windowStart_ = offset;
    if (!fill(window_.data(), window_.size())) {
        window_.clear();
        return false;
    }
    if (count > 0) {
        std::memcpy(buffer, window_.data(), count);
    }
    return true;
}
