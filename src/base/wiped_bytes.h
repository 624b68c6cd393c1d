#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <string.h>
#endif

#include <cstddef>
#include <utility>
#include <vector>

// Bytes that hold a secret (a key, deciphered text): overwritten with zeros before they are freed.
// Also used by the support companion's native build, hence the second way to wipe.
struct WipedBytes {
    explicit WipedBytes(std::size_t size) : bytes(size) {}
    ~WipedBytes()
    {
        if (!bytes.empty()) {
#ifdef _WIN32
            SecureZeroMemory(bytes.data(), bytes.size());
#else
            explicit_bzero(bytes.data(), bytes.size());
#endif
        }
    }
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;
    // Moving hands the same buffer over; the one moved from is left empty.
    WipedBytes(WipedBytes&& other) noexcept : bytes(std::move(other.bytes)) { other.bytes.clear(); }
    WipedBytes& operator=(WipedBytes&&) = delete;

    std::vector<unsigned char> bytes;
};
