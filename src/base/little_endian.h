#pragma once

#include <cstdint>

// The unsigned value of count bytes (at most 8) stored least significant first, as the zip format
// and the system's own structures keep their numbers.
inline std::uint64_t readLittleEndian(const unsigned char* bytes, int count)
{
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// The same for a number of T's own width.
template <typename T>
T readLittleEndian(const unsigned char* bytes)
{
    return static_cast<T>(readLittleEndian(bytes, static_cast<int>(sizeof(T))));
}
