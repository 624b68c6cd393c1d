#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Bytes that can be read at any offset: a report file, an archive held in memory, one entry of an
// archive. Everything the companion parses is read through this, so that every read is checked
// against the size the source really has.
class CByteSource {
public:
    virtual ~CByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies count bytes from offset into buffer; false when they are not all there or cannot be read.
    virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// Bytes already in memory; the bytes must outlive the source.
class CMemorySource final : public CByteSource {
public:
    explicit CMemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override;

private:
    std::string_view bytes_;
};
