#pragma once

#include <windows.h>

#include <cstddef>
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

    std::vector<unsigned char> bytes;
};
