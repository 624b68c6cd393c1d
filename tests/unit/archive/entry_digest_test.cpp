#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <random>
#include <string>
#include <vector>

#include "archive/entry_digest.h"
#include "archive/sha256_instructions.h"

namespace {

Sha256Digest libcryptoDigest(const std::string& bytes)
{
    Sha256Digest digest = {};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    return digest;
}

// Lengths around the 64-byte block and its padding, given in slices of every kind of size.
TEST(EntryDigest, ProcessorInstructionsAgreeWithLibcryptoWhateverTheSlices)
{
    if (!processorHasShaInstructions()) {
        GTEST_SKIP() << "this processor has no SHA instructions; entries are hashed with libcrypto";
    }
    std::mt19937 random(17);
    std::string bytes(300000, '\0');
    for (auto& c : bytes) {
        c = static_cast<char>(random());
    }
    for (const std::size_t length : {0u, 1u, 3u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u, 300000u}) {
        const std::string input = bytes.substr(0, length);
        for (const std::size_t slice : {1u, 7u, 64u, 100u, 65536u}) {
            CSha256Instructions hash;
            for (std::size_t at = 0; at < input.size(); at += slice) {
                const std::string part = input.substr(at, slice);
                hash.update(reinterpret_cast<const unsigned char*>(part.data()), part.size());
            }
            EXPECT_EQ(hash.finish(), libcryptoDigest(input)) << length << " bytes in slices of " << slice;
        }
    }
}

TEST(EntryDigest, KnownDigests)
{
    const struct {
        std::string bytes;
        const char* hex;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        CEntryDigest digest;
        digest.update(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(digestHex(digest.finish()), c.hex) << c.bytes.size() << " bytes";
    }
}

} // namespace
