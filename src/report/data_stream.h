#pragma once

#include <cstdint>

// The bytes of the archive being built, in memory. One instance lives for the whole process
// (theDataStream()); the zip writer's memory file writes into its buffer.
class CDataStream {
public:
    CDataStream() = default;
    virtual ~CDataStream();

    CDataStream(const CDataStream&) = delete;
    CDataStream& operator=(const CDataStream&) = delete;

    // Makes the buffer at least size bytes (rounded up to a multiple of 4), keeping the data
    // written so far. False, changing nothing, when the memory cannot be had.
    bool reserve(std::uint32_t size);
    // Frees the buffer: no buffer, no data, no capacity.
    void release();

    unsigned char* buffer() const { return buffer_; }
    std::uint32_t length() const { return length_; }
    std::uint32_t capacity() const { return capacity_; }
    void setLength(std::uint32_t length) { length_ = length; }

private:
    unsigned char* buffer_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint32_t capacity_ = 0;
};

CDataStream& theDataStream();
