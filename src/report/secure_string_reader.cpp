#include "report/secure_string_reader.h"

#include <openssl/evp.h>

#include "base/scoped_openssl.h"
#include "base/wiped_bytes.h"
#include "platform/qskstorage/secure_string_key.h"

std::vector<char> readSecureStringContent(const qsk::SecureStringData& data)
{
    std::vector<char> plain(1, '\0');
    const size_t count = data.encryptedSize;
    if (count == 0 || count > data.encrypted.size()) {
        return plain;
    }
    WipedBytes key(qsk::SecureStringKey::kKeyBytes);
    qsk::SecureStringKey::buildKey(key.bytes.data());
    WipedBytes intermediate(count);
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
