#include "report/secure_string_reader.h"

#include <openssl/evp.h>

#include <algorithm>

#include "base/scoped_openssl.h"
#include "platform/qskstorage/secure_string_key.h"

WipedBytes readSecureStringContent(const qsk::SecureStringData& data)
{
    const size_t count = data.encryptedSize;
    if (count == 0 || count > data.encrypted.size()) {
        return WipedBytes(1);
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
        return WipedBytes(1);
    }
    // Sized once, terminator included: a buffer that grew would free the earlier one unwiped.
    const size_t plainLength = static_cast<size_t>(length + finalLength);
    WipedBytes plain(plainLength + 1);
    std::copy(intermediate.bytes.begin(), intermediate.bytes.begin() + static_cast<long>(plainLength), plain.bytes.begin());
    return plain;
}
