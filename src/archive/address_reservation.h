#pragma once

#include <cstddef>
#include <cstdint>

// One contiguous stretch of address space, taken once, whose pages are committed as it fills: a
// buffer that grows in place, so nothing is copied and no second block exists while it grows.
// It is taken as consecutive slices, so that the tail that was never committed can be given back
// (a 32-bit process needs that space again for the encrypted copy of the report).
class CAddressReservation {
public:
    CAddressReservation() = default;
    ~CAddressReservation();

    CAddressReservation(const CAddressReservation&) = delete;
    CAddressReservation& operator=(const CAddressReservation&) = delete;

    // Takes up to maxBytes of address space (at least minBytes, else nothing): false when not even
    // minBytes can be had.
    bool reserve(std::size_t minBytes, std::size_t maxBytes);
    // Makes the first bytes usable (page granular); false, changing nothing, when they lie beyond
    // the reservation or the system cannot commit them.
    bool commit(std::size_t bytes);
    // Gives back the address space beyond the committed pages.
    void releaseUncommitted();
    // Gives back everything.
    void release();

    unsigned char* base() const { return base_; }
    std::size_t reserved() const { return reserved_; }
    std::size_t committed() const { return committed_; }

    // The slice size: the reservation is always a whole number of them.
    static constexpr std::size_t kSliceBytes = 64 * 1024 * 1024;

private:
    unsigned char* base_ = nullptr;
    std::size_t reserved_ = 0;
    std::size_t committed_ = 0;
};

// The largest free stretch of the process's address space, in bytes.
std::size_t largestFreeAddressRange();
