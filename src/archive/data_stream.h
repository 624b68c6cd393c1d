#pragma once

#include <cstdint>

#include "archive/address_reservation.h"

// The bytes of the archive being built, in memory. One instance lives for the whole process
// (theDataStream()); the zip writer's memory file writes into its buffer.
//
// The buffer grows in place: the first reserve takes a large stretch of address space (as much
// as the process can spare, up to what a 32-bit length can address) and every reserve commits
// pages of it. The buffer never moves while it grows, nothing is copied, and the old and the new
// size never exist side by side.
class CDataStream {
public:
    CDataStream() = default;
    virtual ~CDataStream();

    CDataStream(const CDataStream&) = delete;
    CDataStream& operator=(const CDataStream&) = delete;

    // Makes the buffer at least size bytes (rounded up to a multiple of 4), keeping the data
    // written so far at the same address. False, changing nothing, when the memory cannot be had.
    bool reserve(std::uint32_t size);
    // Frees the buffer: no buffer, no data, no capacity.
    void release();
    // Hands back the address space the buffer could still have grown into; the data stays.
    void releaseUnusedAddressSpace();

    unsigned char* buffer() const { return buffer_; }
    std::uint32_t length() const { return length_; }
    std::uint32_t capacity() const { return capacity_; }
    void setLength(std::uint32_t length) { length_ = length; }
    // How far the buffer can grow in place.
    std::uint32_t reservedCapacity() const;

    // Caps the address space that later reservations take (0: no cap). A test hook: it lets a
    // test run out of room for the archive on purpose. The tool reads the same cap, in bytes, from
    // the environment variable VOSSEL_PRT_TEST_ARCHIVE_LIMIT.
    static void limitReservation(std::uint32_t bytes);

private:
    CAddressReservation reservation_;
    unsigned char* buffer_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint32_t capacity_ = 0;
};

CDataStream& theDataStream();
