#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "archive/sha256_instructions.h"
#include "base/scoped_openssl.h"

// The SHA-256 of an entry's bytes, taken as they are read for compression, so that whoever reads
// the report can tell every entry is the one that was written.
using Sha256Digest = std::array<std::uint8_t, 32>;

// On the processor's SHA instructions where it has them (the entry's hash then costs an eighth of
// its compression instead of two thirds), otherwise with libcrypto.
class CEntryDigest {
public:
    CEntryDigest();
    void update(const unsigned char* data, std::size_t size);
    // The digest of everything given so far; all zeros when hashing was not possible.
    Sha256Digest finish();

private:
    std::optional<CSha256Instructions> instructions_;
    OpenSslPtr<EVP_MD_CTX> context_;
};

// 64 lower-case hexadecimal digits.
std::string digestHex(const Sha256Digest& digest);
