#include "decrypt/entry_digest.h"

#include <openssl/evp.h>

#include <cstdio>

#include "base/scoped_openssl.h"

struct CSha256::State {
    OpenSslPtr<EVP_MD_CTX> context{EVP_MD_CTX_new()};
    bool ok = false;
};

CSha256::CSha256() : state_(std::make_unique<State>())
{
    state_->ok = state_->context && EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) == 1;
}

CSha256::~CSha256() = default;

void CSha256::add(const char* data, std::size_t count)
{
    state_->ok = state_->ok && EVP_DigestUpdate(state_->context.get(), data, count) == 1;
}

std::string CSha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!state_->ok || EVP_DigestFinal_ex(state_->context.get(), digest, &length) != 1) {
        return {};
    }
    state_->ok = false;
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02x", digest[i]);
        text += pair;
    }
    return text;
}

std::string crcHex(unsigned long crc)
{
    char text[9];
    std::snprintf(text, sizeof(text), "%08lx", crc & 0xFFFFFFFFul);
    return text;
}
