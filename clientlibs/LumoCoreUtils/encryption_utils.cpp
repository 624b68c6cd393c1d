#include "platform/lumocoreutils/encryption_utils.h"

#include <windows.h>

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>
#include <vector>

#include "base/scoped_handle.h"
#include "base/scoped_openssl.h"
#include "base/wiped_bytes.h"
#include "common/utf8.h"
#include "platform/lumocoreutils/encryption_format.h"

namespace LumoCoreUtils {

namespace {

using namespace LumoCoreUtils::EncryptionFormat;

std::vector<unsigned char> decodeBase64(const std::string& text)
{
    std::vector<unsigned char> out(3 * (text.size() / 4) + 3);
    const int length = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
        static_cast<int>(text.size()));
    if (length < 0 || text.empty() || text.size() % 4 != 0) {
        return {};
    }
    // EVP_DecodeBlock counts the padding as zero bytes; take them off again.
    size_t padding = 0;
    for (size_t i = text.size(); i > 0 && text[i - 1] == '=' && padding < 2; --i) {
        ++padding;
    }
    out.resize(static_cast<size_t>(length) - padding);
    return out;
}

OpenSslPtr<EVP_PKEY> rsaKeyOfCertificate(const std::string& base64)
{
    const std::vector<unsigned char> der = decodeBase64(base64);
    const unsigned char* cursor = der.data();
    OpenSslPtr<X509> certificate(der.empty() ? nullptr : d2i_X509(nullptr, &cursor, static_cast<long>(der.size())));
    if (!certificate) {
        return nullptr;
    }
    OpenSslPtr<EVP_PKEY> key(X509_get_pubkey(certificate.get()));
    if (!key || EVP_PKEY_base_id(key.get()) != EVP_PKEY_RSA) {
        return nullptr;
    }
    return key;
}

bool wrapKey(EVP_PKEY* publicKey, const WipedBytes& key, std::vector<unsigned char>& wrapped)
{
    OpenSslPtr<EVP_PKEY_CTX> context(EVP_PKEY_CTX_new(publicKey, nullptr));
    size_t length = 0;
    if (!context || EVP_PKEY_encrypt_init(context.get()) <= 0
        || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_OAEP_PADDING) <= 0
        || EVP_PKEY_CTX_set_rsa_oaep_md(context.get(), EVP_sha256()) <= 0
        || EVP_PKEY_CTX_set_rsa_mgf1_md(context.get(), EVP_sha256()) <= 0
        || EVP_PKEY_encrypt(context.get(), nullptr, &length, key.bytes.data(), key.bytes.size()) <= 0) {
        return false;
    }
    wrapped.resize(length);
    if (EVP_PKEY_encrypt(context.get(), wrapped.data(), &length, key.bytes.data(), key.bytes.size()) <= 0) {
        return false;
    }
    wrapped.resize(length);
    return true;
}

bool sealData(const WipedBytes& key, const std::string& data, std::vector<unsigned char>& sealed)
{
    sealed.assign(kNonceBytes + data.size() + kTagBytes, 0);
    if (RAND_bytes(sealed.data(), static_cast<int>(kNonceBytes)) != 1) {
        return false;
    }
    OpenSslPtr<EVP_CIPHER_CTX> context(EVP_CIPHER_CTX_new());
    int length = 0;
    int finalLength = 0;
    if (!context
        || EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kNonceBytes), nullptr) != 1
        || EVP_EncryptInit_ex(context.get(), nullptr, nullptr, key.bytes.data(), sealed.data()) != 1) {
        return false;
    }
    // The data can pass what one call takes (an int); feed it in slices.
    unsigned char* out = sealed.data() + kNonceBytes;
    const auto* in = reinterpret_cast<const unsigned char*>(data.data());
    size_t left = data.size();
    while (left > 0) {
        const int slice = static_cast<int>(left < (1u << 30) ? left : (1u << 30));
        if (EVP_EncryptUpdate(context.get(), out, &length, in, slice) != 1) {
            return false;
        }
        out += length;
        in += slice;
        left -= static_cast<size_t>(slice);
    }
    return EVP_EncryptFinal_ex(context.get(), out, &finalLength) == 1
        && EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagBytes),
               sealed.data() + kNonceBytes + data.size()) == 1;
}

bool writeWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30));
        DWORD written = 0;
        ok = WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    // Closing can still fail to write what the system held back; that counts as a failed write.
    ok = CloseHandle(file.release()) && ok;
    if (!ok) {
        DeleteFileW(path.c_str());
    }
    return ok;
}

} // namespace

bool EncryptionUtils::publicKeyEncryptToFile(const std::string& certificate, const std::string& path,
    const std::string& data)
{
    OpenSslPtr<EVP_PKEY> publicKey = rsaKeyOfCertificate(certificate);
    if (!publicKey) {
        return false;
    }
    WipedBytes key(kKeyBytes);
    std::vector<unsigned char> wrappedKey;
    std::vector<unsigned char> sealed;
    if (RAND_bytes(key.bytes.data(), static_cast<int>(kKeyBytes)) != 1 || !wrapKey(publicKey.get(), key, wrappedKey)
        || !sealData(key, data, sealed)) {
        return false;
    }
    const std::wstring base = clientlibs::utf8ToWide(path);
    if (base.empty()) {
        return false;
    }
    if (!writeWholeFile(base + L".enc", sealed)) {
        return false;
    }
    if (!writeWholeFile(base + L".esk", wrappedKey)) {
        DeleteFileW((base + L".enc").c_str());
        return false;
    }
    return true;
}

} // namespace LumoCoreUtils
