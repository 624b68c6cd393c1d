#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

// Bytes that hold a secret (a key, deciphered text): overwritten with zeros before they are freed.
struct WipedBytes {
    explicit WipedBytes(std::size_t size) : bytes(size) {}
    ~WipedBytes()
    {
        if (!bytes.empty()) {
            SecureZeroMemory(bytes.data(), bytes.size());
        }
    }
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;
    // Moving hands the same buffer over; the one moved from is left empty.
    WipedBytes(WipedBytes&& other) noexcept : bytes(std::move(other.bytes)) { other.bytes.clear(); }
    WipedBytes& operator=(WipedBytes&&) = delete;

    std::vector<unsigned char> bytes;
};
