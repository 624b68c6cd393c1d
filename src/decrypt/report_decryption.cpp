#include "decrypt/report_decryption.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <algorithm>

#include "base/scoped_openssl.h"
#include "base/wiped_bytes.h"
#include "decrypt/byte_source.h"

namespace {

constexpr std::size_t kKeyBytes = 32;
constexpr std::size_t kNonceBytes = 12;
constexpr std::size_t kTagBytes = 16;
// The wrapped key is as long as the RSA modulus: 2 KiB covers 16384-bit keys.
constexpr std::uint64_t kLongestWrappedKey = 2048;

DecryptedReport failure(const std::string& error)
{
    DecryptedReport result;
    result.error = error;
    return result;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool unwrapKey(std::string_view privateKeyPem, const std::string& wrapped, WipedBytes& key)
{
    OpenSslPtr<BIO> pem(BIO_new_mem_buf(privateKeyPem.data(), static_cast<int>(privateKeyPem.size())));
    OpenSslPtr<EVP_PKEY> privateKey(pem ? PEM_read_bio_PrivateKey(pem.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!privateKey) {
        return false;
    }
    OpenSslPtr<EVP_PKEY_CTX> context(EVP_PKEY_CTX_new(privateKey.get(), nullptr));
    size_t length = 0;
    const auto* in = reinterpret_cast<const unsigned char*>(wrapped.data());
    if (!context || EVP_PKEY_decrypt_init(context.get()) <= 0
        || EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_OAEP_PADDING) <= 0
        || EVP_PKEY_CTX_set_rsa_oaep_md(context.get(), EVP_sha256()) <= 0
        || EVP_PKEY_CTX_set_rsa_mgf1_md(context.get(), EVP_sha256()) <= 0
        || EVP_PKEY_decrypt(context.get(), nullptr, &length, in, wrapped.size()) <= 0) {
        return false;
    }
    // One allocation of the largest size; the key is wiped with it whatever happens.
    key.bytes.assign(length, 0);
    if (EVP_PKEY_decrypt(context.get(), key.bytes.data(), &length, in, wrapped.size()) <= 0 || length != kKeyBytes) {
        return false;
    }
    key.bytes.resize(length);
    return true;
}

// Deciphers the pieces of NAME.enc as they come: the nonce first, the tag held back at the end.
class CSealedReader {
public:
    CSealedReader(const WipedBytes& key, std::string& plain) : key_(key), plain_(plain) {}

    bool add(const char* data, std::size_t count)
    {
        while (nonce_.size() < kNonceBytes && count > 0) {
            nonce_ += *data++;
            --count;
            if (nonce_.size() == kNonceBytes && !begin()) {
                return false;
            }
        }
        // The last 16 bytes seen may be the tag: they are deciphered only once more follows.
        held_.append(data, count);
        if (held_.size() > kTagBytes) {
            const std::size_t ready = held_.size() - kTagBytes;
            if (!decipher(held_.data(), ready)) {
                return false;
            }
            held_.erase(0, ready);
        }
        return true;
    }

    bool finish()
    {
        if (!context_ || held_.size() != kTagBytes) {
            return false;
        }
        int length = 0;
        unsigned char rest[16];
        return EVP_CIPHER_CTX_ctrl(context_.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagBytes), held_.data()) == 1
            && EVP_DecryptFinal_ex(context_.get(), rest, &length) == 1 && length == 0;
    }

private:
    bool begin()
    {
        context_.reset(EVP_CIPHER_CTX_new());
        return context_ && EVP_DecryptInit_ex(context_.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) == 1
            && EVP_CIPHER_CTX_ctrl(context_.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kNonceBytes), nullptr) == 1
            && EVP_DecryptInit_ex(context_.get(), nullptr, nullptr, key_.bytes.data(),
                   reinterpret_cast<const unsigned char*>(nonce_.data())) == 1;
    }

    bool decipher(const char* data, std::size_t count)
    {
        const std::size_t start = plain_.size();
        plain_.resize(start + count);
        int length = 0;
        if (EVP_DecryptUpdate(context_.get(), reinterpret_cast<unsigned char*>(plain_.data() + start), &length,
                reinterpret_cast<const unsigned char*>(data), static_cast<int>(count)) != 1) {
            return false;
        }
        plain_.resize(start + static_cast<std::size_t>(length));
        return true;
    }

    const WipedBytes& key_;
    std::string& plain_;
    std::string nonce_;
    std::string held_;
    OpenSslPtr<EVP_CIPHER_CTX> context_;
};

} // namespace

bool isEncryptedReport(const CZipReader& archive)
{
    const auto& entries = archive.entries();
    return entries.size() == 2 && endsWith(entries[0].name, ".enc") && endsWith(entries[1].name, ".esk")
        && entries[0].name.compare(0, entries[0].name.size() - 4, entries[1].name, 0, entries[1].name.size() - 4) == 0
        && entries[0].name.size() == entries[1].name.size();
}

DecryptedReport decryptReport(CZipReader& encrypted, std::string_view privateKeyPem)
{
    if (!isEncryptedReport(encrypted)) {
        return failure("the report does not hold the two entries NAME.enc and NAME.esk of an encrypted report");
    }
    const ZipDirectoryEntry sealedEntry = encrypted.entries()[0];
    if (sealedEntry.size < kNonceBytes + kTagBytes) {
        return failure("the encrypted data (" + sealedEntry.name + ") is too short: the report is damaged");
    }
    std::string wrapped;
    const EntryRead wrappedRead = encrypted.readWhole(1, wrapped, kLongestWrappedKey);
    if (!wrappedRead.ok) {
        return failure("the encrypted key (" + encrypted.entries()[1].name + ") cannot be read: " + wrappedRead.problem);
    }
    WipedBytes key(0);
    if (!unwrapKey(privateKeyPem, wrapped, key)) {
        return failure("the private key does not open this report (wrong key, or not an RSA private key in PEM form)");
    }
    DecryptedReport result;
    result.name = sealedEntry.name.substr(0, sealedEntry.name.size() - 4);
    // Ciphertext is as long as the plain text; memory grows only as data really comes.
    result.plainZip.reserve(static_cast<std::size_t>(std::min(sealedEntry.size, sealedEntry.compressedSize + 65536)));
    CSealedReader sealed(key, result.plainZip);
    const EntryRead sealedRead = encrypted.read(0, [&](const char* data, std::size_t count) { return sealed.add(data, count); });
    if (!sealedRead.ok && !sealedRead.stopped) {
        return failure("the encrypted data (" + sealedEntry.name + ") cannot be read: " + sealedRead.problem);
    }
    if (!sealedRead.ok || !sealed.finish()) {
        return failure("the encrypted data does not verify: the report is damaged or was changed");
    }
    CMemorySource plainSource(result.plainZip);
    CZipReader plain;
    std::string why;
    if (!plain.open(plainSource, why)) {
        return failure("the decrypted report is not a zip archive (" + why + ")");
    }
    result.ok = true;
    return result;
}

DecryptedReport decryptReport(const std::string& encryptedReport, std::string_view privateKeyPem)
{
    CMemorySource source(encryptedReport);
    CZipReader archive;
    std::string why;
    if (!archive.open(source, why)) {
        return failure("the report is not a readable zip archive: " + why);
    }
    return decryptReport(archive, privateKeyPem);
}
