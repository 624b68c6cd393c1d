#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/qskstorage/api.h"

namespace qsk {

// Text the storage library hands back protected in memory: the bytes enciphered with AES-256-CBC
// under the storage key (secure_string_key.h) and a random initialisation vector. The content is
// wiped when the data goes.
class QSKSTORAGE_API SecureStringData {
public:
    SecureStringData() = default;
    virtual ~SecureStringData();
    SecureStringData(const SecureStringData&) = delete;
    SecureStringData& operator=(const SecureStringData&) = delete;

    std::vector<unsigned char> encrypted; // whole AES blocks, padding included
    std::uint32_t encryptedSize = 0;      // the count of enciphered bytes
    unsigned char iv[16] = {};
};

using SecureString = std::shared_ptr<SecureStringData>;

} // namespace qsk
