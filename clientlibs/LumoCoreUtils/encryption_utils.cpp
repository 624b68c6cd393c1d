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

// A file written in pieces, every write checked; unless it is finished, it is deleted again.
class CCheckedFile {
public:
    explicit CCheckedFile(const std::wstring& path)
        : path_(path)
        , file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
        , ok_(static_cast<bool>(file_))
    {
    }
    ~CCheckedFile()
    {
        if (file_) {
            file_.reset();
            DeleteFileW(path_.c_str());
        }
    }
    CCheckedFile(const CCheckedFile&) = delete;
    CCheckedFile& operator=(const CCheckedFile&) = delete;

    bool write(const unsigned char* bytes, size_t size)
    {
        for (size_t done = 0; ok_ && done < size;) {
            const DWORD chunk = static_cast<DWORD>(size - done < (1u << 30) ? size - done : (1u << 30));
            DWORD written = 0;
            ok_ = WriteFile(file_.get(), bytes + done, chunk, &written, nullptr) && written == chunk;
            done += written;
        }
        return ok_;
    }

    // Closing can still fail to write what the system held back; that counts as a failed write.
    bool finish()
    {
        const bool closed = CloseHandle(file_.release());
        if (!(closed && ok_)) {
            DeleteFileW(path_.c_str());
            return false;
        }
        return true;
    }

private:
    std::wstring path_;
    ScopedFileHandle file_;
    bool ok_;
};

// Writes nonce, ciphertext and tag to the file, encrypting the data a slice at a time: besides
// the caller's data, only one slice of ciphertext is ever held.
bool sealToFile(const WipedBytes& key, const std::string& data, CCheckedFile& file)
{
    unsigned char nonce[kNonceBytes] = {};
    if (RAND_bytes(nonce, static_cast<int>(kNonceBytes)) != 1) {
        return false;
    }
    OpenSslPtr<EVP_CIPHER_CTX> context(EVP_CIPHER_CTX_new());
    if (!context
        || EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kNonceBytes), nullptr) != 1
        || EVP_EncryptInit_ex(context.get(), nullptr, nullptr, key.bytes.data(), nonce) != 1
        || !file.write(nonce, sizeof(nonce))) {
        return false;
    }
    constexpr size_t kSlice = 1024 * 1024;
    // GCM is a stream mode: a slice of input gives a slice of ciphertext of the same length.
    std::vector<unsigned char> out(kSlice + 32);
    const auto* in = reinterpret_cast<const unsigned char*>(data.data());
    for (size_t done = 0; done < data.size();) {
        const int slice = static_cast<int>(data.size() - done < kSlice ? data.size() - done : kSlice);
        int length = 0;
        if (EVP_EncryptUpdate(context.get(), out.data(), &length, in + done, slice) != 1
            || !file.write(out.data(), static_cast<size_t>(length))) {
            return false;
        }
        done += static_cast<size_t>(slice);
    }
    int finalLength = 0;
    unsigned char tag[kTagBytes] = {};
    return EVP_EncryptFinal_ex(context.get(), out.data(), &finalLength) == 1
        && file.write(out.data(), static_cast<size_t>(finalLength))
        && EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagBytes), tag) == 1
        && file.write(tag, sizeof(tag));
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
    if (RAND_bytes(key.bytes.data(), static_cast<int>(kKeyBytes)) != 1 || !wrapKey(publicKey.get(), key, wrappedKey)) {
        return false;
    }
    const std::wstring base = clientlibs::utf8ToWide(path);
    if (base.empty()) {
        return false;
    }
    CCheckedFile sealed(base + L".enc");
    if (!sealToFile(key, data, sealed) || !sealed.finish()) {
        return false;
    }
    CCheckedFile keyFile(base + L".esk");
    if (!keyFile.write(wrappedKey.data(), wrappedKey.size()) || !keyFile.finish()) {
        DeleteFileW((base + L".enc").c_str());
        return false;
    }
    return true;
}

} // namespace LumoCoreUtils
