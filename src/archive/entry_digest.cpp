#include "archive/entry_digest.h"

namespace {
const bool g_shaInstructions = processorHasShaInstructions();
}

CEntryDigest::CEntryDigest()
{
    if (g_shaInstructions) {
        instructions_.emplace();
        return;
    }
    context_.reset(EVP_MD_CTX_new());
    if (context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1) {
        context_.reset();
    }
}

void CEntryDigest::update(const unsigned char* data, std::size_t size)
{
    if (instructions_) {
        instructions_->update(data, size);
    } else if (context_ && size > 0 && EVP_DigestUpdate(context_.get(), data, size) != 1) {
        context_.reset();
    }
}

Sha256Digest CEntryDigest::finish()
{
    if (instructions_) {
        const Sha256Digest digest = instructions_->finish();
        instructions_.reset();
        return digest;
    }
    Sha256Digest digest = {};
    unsigned int length = 0;
    if (!context_ || EVP_DigestFinal_ex(context_.get(), digest.data(), &length) != 1 || length != digest.size()) {
        digest = {};
    }
    context_.reset();
    return digest;
}

std::string digestHex(const Sha256Digest& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (const std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}
