#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/scoped_openssl.h"

// The SHA-256 of an entry's bytes, taken as they are read for compression, so that whoever reads
// the report can tell every entry is the one that was written.
using Sha256Digest = std::array<std::uint8_t, 32>;

class CEntryDigest {
public:
    CEntryDigest();
    void update(const unsigned char* data, std::size_t size);
    // The digest of everything given so far; all zeros when hashing was not possible.
    Sha256Digest finish();

private:
    OpenSslPtr<EVP_MD_CTX> context_;
};

// 64 lower-case hexadecimal digits.
std::string digestHex(const Sha256Digest& digest);
