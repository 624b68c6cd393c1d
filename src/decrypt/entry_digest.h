#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The SHA-256 of bytes that come in pieces, as 64 lower-case hex digits.
class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void add(const char* data, std::size_t count);
    std::string hex();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A CRC-32 as the manifest writes it: 8 lower-case hex digits.
std::string crcHex(unsigned long crc);
