#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "decrypt/byte_source.h"
#include "decrypt/zip_entries.h"

// One entry of an archive as bytes readable at any offset, without holding the entry in memory:
// it is inflated forward, and from its start again when a read goes back before the last window.
// Readers that mostly go forward (a dump's directory and streams) pay little for that. The archive
// must outlive the source, and no other entry may be read while it is used.
class CZipEntrySource final : public CByteSource {
public:
    CZipEntrySource(CZipReader& archive, std::size_t index);
    ~CZipEntrySource() override;
    CZipEntrySource(const CZipEntrySource&) = delete;
    CZipEntrySource& operator=(const CZipEntrySource&) = delete;

    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

private:
    bool restart();
    bool fill(char* buffer, std::size_t count);

    CZipReader& archive_;
    std::size_t index_;
    std::uint64_t size_;
    bool reading_ = false;
    std::uint64_t position_ = 0;
    std::uint64_t windowStart_ = 0;
    std::string window_;
};
