#pragma once

#include <cstddef>

// The layout of the two files that EncryptionUtils::publicKeyEncryptToFile writes:
// ".enc" = nonce, AES-256-GCM ciphertext, tag; ".esk" = the key under RSA-OAEP with SHA-256.
namespace LumoCoreUtils::EncryptionFormat {

constexpr std::size_t kKeyBytes = 32;
constexpr std::size_t kNonceBytes = 12;
constexpr std::size_t kTagBytes = 16;

} // namespace LumoCoreUtils::EncryptionFormat
