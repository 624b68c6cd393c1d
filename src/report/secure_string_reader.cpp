#include "report/secure_string_reader.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "base/scoped_openssl.h"
#include "platform/qskstorage/secure_string_key.h"

namespace {

// Overwrites its bytes before they are freed.
struct WipedBuffer {
    explicit WipedBuffer(size_t size) : bytes(size) {}
    ~WipedBuffer()
    {
        if (!bytes.empty()) {
            OPENSSL_cleanse(bytes.data(), bytes.size());
        }
    }
    std::vector<unsigned char> bytes;
};

} // namespace

std::vector<char> readSecureStringContent(const qsk::SecureStringData& data)
{
    std::vector<char> plain(1, '\0');
    const size_t count = data.encryptedSize;
    if (count == 0 || count > data.encrypted.size()) {
        return plain;
    }
    WipedBuffer key(qsk::SecureStringKey::kKeyBytes);
    qsk::SecureStringKey::buildKey(key.bytes.data());
    WipedBuffer intermediate(count);
    OpenSslPtr<EVP_CIPHER_CTX> context(EVP_CIPHER_CTX_new());
    int length = 0;
    int finalLength = 0;
    if (!context || EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.bytes.data(), data.iv) != 1
        || EVP_DecryptUpdate(context.get(), intermediate.bytes.data(), &length, data.encrypted.data(),
               static_cast<int>(count)) != 1
        || EVP_DecryptFinal_ex(context.get(), intermediate.bytes.data() + length, &finalLength) != 1) {
        return plain;
    }
    const size_t plainLength = static_cast<size_t>(length + finalLength);
    plain.assign(intermediate.bytes.begin(), intermediate.bytes.begin() + static_cast<long>(plainLength));
    plain.push_back('\0');
    return plain;
}
