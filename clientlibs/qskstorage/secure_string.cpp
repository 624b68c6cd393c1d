#include "platform/qskstorage/secure_string.h"

#include <openssl/crypto.h>

namespace qsk {

SecureStringData::~SecureStringData()
{
    if (!encrypted.empty()) {
        OPENSSL_cleanse(encrypted.data(), encrypted.size());
    }
    OPENSSL_cleanse(iv, sizeof(iv));
}

} // namespace qsk
