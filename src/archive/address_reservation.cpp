#include "archive/address_reservation.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr std::size_t kPage = 4096;

std::size_t roundUp(std::size_t value, std::size_t unit)
{
    return (value + unit - 1) / unit * unit;
}

struct FreeRange {
    unsigned char* start = nullptr;
    std::size_t size = 0;
};

FreeRange largestFreeRange()
{
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const std::size_t granularity = system.dwAllocationGranularity;
    FreeRange best;
    auto* cursor = static_cast<unsigned char*>(system.lpMinimumApplicationAddress);
    const auto* end = static_cast<unsigned char*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION info = {};
    while (cursor < end && VirtualQuery(cursor, &info, sizeof(info)) == sizeof(info)) {
        auto* regionStart = static_cast<unsigned char*>(info.BaseAddress);
        const std::size_t regionSize = info.RegionSize;
        if (info.State == MEM_FREE) {
            // Reservations start on the allocation granularity.
            const auto aligned = roundUp(reinterpret_cast<std::uintptr_t>(regionStart), granularity);
            const auto regionEnd = reinterpret_cast<std::uintptr_t>(regionStart) + regionSize;
            if (aligned < regionEnd && regionEnd - aligned > best.size) {
                best.start = reinterpret_cast<unsigned char*>(aligned);
                best.size = regionEnd - aligned;
            }
        }
        if (regionSize == 0 || regionStart + regionSize <= cursor) {
            break;
        }
        cursor = regionStart + regionSize;
    }
    return best;
}

} // namespace

std::size_t largestFreeAddressRange()
{
    return largestFreeRange().size;
}

CAddressReservation::~CAddressReservation()
{
    release();
}

bool CAddressReservation::reserve(std::size_t minBytes, std::size_t maxBytes)
{
    release();
    minBytes = roundUp(std::max<std::size_t>(minBytes, 1), kPage);
    const FreeRange range = largestFreeRange();
    // Whole slices only, so that the tail can be given back slice by slice; a last part slice
    // is allowed when the request itself is not a multiple.
    std::size_t want = std::min(roundUp(maxBytes, kPage), range.size / kPage * kPage);
    if (want < minBytes) {
        return false;
    }
    // Another thread may take part of the range meanwhile: keep what could be had.
    unsigned char* start = range.start;
    std::size_t taken = 0;
    if (!VirtualAlloc(start, std::min(kSliceBytes, want), MEM_RESERVE, PAGE_NOACCESS)) {
        // Taken meanwhile or held back by the system: let it choose where the first slice goes.
        start = static_cast<unsigned char*>(VirtualAlloc(nullptr, std::min(kSliceBytes, want), MEM_RESERVE, PAGE_NOACCESS));
        if (!start) {
            return false;
        }
    }
    taken = std::min(kSliceBytes, want);
    while (taken < want) {
        const std::size_t slice = std::min(kSliceBytes, want - taken);
        if (!VirtualAlloc(start + taken, slice, MEM_RESERVE, PAGE_NOACCESS)) {
            break;
        }
        taken += slice;
    }
    base_ = taken ? start : nullptr;
    reserved_ = taken;
    if (taken < minBytes) {
        release();
        return false;
    }
    return true;
}

bool CAddressReservation::commit(std::size_t bytes)
{
    bytes = roundUp(bytes, kPage);
    if (bytes <= committed_) {
        return true;
    }
    if (bytes > reserved_) {
        return false;
    }
    // A commit cannot span two reservations: commit slice by slice.
    std::size_t done = committed_;
    while (done < bytes) {
        const std::size_t sliceEnd = std::min((done / kSliceBytes + 1) * kSliceBytes, bytes);
        if (!VirtualAlloc(base_ + done, sliceEnd - done, MEM_COMMIT, PAGE_READWRITE)) {
            // Hand back what this call committed, so that a failure changes nothing.
            for (std::size_t at = committed_; at < done;) {
                const std::size_t end = std::min((at / kSliceBytes + 1) * kSliceBytes, done);
                VirtualFree(base_ + at, end - at, MEM_DECOMMIT);
                at = end;
            }
            return false;
        }
        done = sliceEnd;
    }
    committed_ = bytes;
    return true;
}

void CAddressReservation::releaseUncommitted()
{
    const std::size_t keep = roundUp(committed_, kSliceBytes);
    for (std::size_t at = keep; at < reserved_; at += kSliceBytes) {
        VirtualFree(base_ + at, 0, MEM_RELEASE);
    }
    reserved_ = std::min(reserved_, keep);
    if (reserved_ == 0) {
        base_ = nullptr;
    }
}

void CAddressReservation::release()
{
    for (std::size_t at = 0; at < reserved_; at += kSliceBytes) {
        VirtualFree(base_ + at, 0, MEM_RELEASE);
    }
    base_ = nullptr;
    reserved_ = 0;
    committed_ = 0;
}
