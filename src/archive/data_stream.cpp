#include "archive/data_stream.h"

#include <windows.h>

#include <algorithm>

#include "base/test_setting.h"

namespace {
// Built before the entry point runs, as a namespace-scope object, and gone at process exit.
CDataStream g_dataStream;

std::uint32_t g_reservationLimit = 0;

// The largest capacity a 32-bit length can describe, on the allocation granularity.
constexpr std::size_t kLargestCapacity = 0xFFFF0000u;
// Address space left to everything else (threads, read buffers, the heap) in a 32-bit process.
constexpr std::size_t kHeadroom = 64u * 1024 * 1024;

std::size_t reservationLimit()
{
    if (g_reservationLimit != 0) {
        return g_reservationLimit;
    }
    const unsigned long long limit = testSettingNumber(L"VOSSEL_PRT_TEST_ARCHIVE_LIMIT");
    if (limit > 0) {
        return static_cast<std::size_t>(std::min<unsigned long long>(limit, kLargestCapacity));
    }
    if (sizeof(void*) > 4) {
        return kLargestCapacity;
    }
    // A 32-bit process takes as much as it can get while leaving room for the rest of the run.
    const std::size_t free = largestFreeAddressRange();
    return std::min(kLargestCapacity, free > 2 * kHeadroom ? free - kHeadroom : free / 2);
}
} // namespace

CDataStream& theDataStream()
{
    return g_dataStream;
}

void CDataStream::limitReservation(std::uint32_t bytes)
{
    g_reservationLimit = bytes;
}

CDataStream::~CDataStream()
{
    release();
}

std::uint32_t CDataStream::reservedCapacity() const
{
    return static_cast<std::uint32_t>(std::min(reservation_.reserved(), kLargestCapacity));
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
    if (!buffer_) {
        const std::size_t limit = reservationLimit();
        if (rounded > limit || !reservation_.reserve(static_cast<std::size_t>(rounded), limit)) {
            return false;
        }
    }
    if (!reservation_.commit(static_cast<std::size_t>(rounded))) {
        if (!buffer_) {
            reservation_.release();
        }
        return false;
    }
    buffer_ = reservation_.base();
    capacity_ = static_cast<std::uint32_t>(rounded);
    return true;
}

void CDataStream::releaseUnusedAddressSpace()
{
    reservation_.releaseUncommitted();
}

void CDataStream::release()
{
    reservation_.release();
    buffer_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}
