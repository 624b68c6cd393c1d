#include "decrypt/report_decryption.h"

#include <minizip/unzip.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>
#include <vector>

#include "archive/memory_file.h"
#include "base/scoped_openssl.h"
#include "base/wiped_bytes.h"
#include "platform/lumocoreutils/encryption_format.h"

namespace {

using namespace LumoCoreUtils::EncryptionFormat;

struct Entry {
    std::string name;
    std::string bytes;
};

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

// The entries of a zip archive held in memory, read through the tool's own memory file layer.
bool readEntries(const std::string& archiveBytes, std::vector<Entry>& entries)
{
    zlib_filefunc_def table = {};
    fillMemoryFileFuncs(&table);
    const std::string name = memoryFileName(archiveBytes.data(), static_cast<std::uint32_t>(archiveBytes.size()));
    unzFile archive = unzOpen2(name.c_str(), &table);
    if (!archive) {
        return false;
    }
    bool ok = true;
    for (int status = unzGoToFirstFile(archive); ok && status == UNZ_OK; status = unzGoToNextFile(archive)) {
        unz_file_info info = {};
        char entryName[1024] = {};
        if (unzGetCurrentFileInfo(archive, &info, entryName, sizeof(entryName), nullptr, 0, nullptr, 0) != UNZ_OK
            || unzOpenCurrentFile(archive) != UNZ_OK) {
            ok = false;
            break;
        }
        Entry entry{entryName, std::string(info.uncompressed_size, '\0')};
        const int read = info.uncompressed_size == 0
            ? 0
            : unzReadCurrentFile(archive, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size()));
        ok = read == static_cast<int>(info.uncompressed_size) && unzCloseCurrentFile(archive) == UNZ_OK;
        entries.push_back(std::move(entry));
    }
    unzClose(archive);
    return ok;
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

bool openSealed(const WipedBytes& key, const std::string& sealed, std::string& plain)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(sealed.data());
    const size_t cipherLength = sealed.size() - kNonceBytes - kTagBytes;
    plain.assign(cipherLength, '\0');
    OpenSslPtr<EVP_CIPHER_CTX> context(EVP_CIPHER_CTX_new());
    int length = 0;
    if (!context || EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1
        || EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kNonceBytes), nullptr) != 1
        || EVP_DecryptInit_ex(context.get(), nullptr, nullptr, key.bytes.data(), bytes) != 1) {
        return false;
    }
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    const unsigned char* in = bytes + kNonceBytes;
    size_t left = cipherLength;
    while (left > 0) {
        const int slice = static_cast<int>(left < (1u << 30) ? left : (1u << 30));
        if (EVP_DecryptUpdate(context.get(), out, &length, in, slice) != 1) {
            return false;
        }
        out += length;
        in += slice;
        left -= static_cast<size_t>(slice);
    }
    std::string tag(sealed.end() - kTagBytes, sealed.end());
    int finalLength = 0;
    return EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagBytes), tag.data()) == 1
        && EVP_DecryptFinal_ex(context.get(), out, &finalLength) == 1;
}

} // namespace

DecryptedReport decryptReport(const std::string& encryptedReport, std::string_view privateKeyPem)
{
    std::vector<Entry> entries;
    if (!readEntries(encryptedReport, entries)) {
        return failure("the report is not a readable zip archive");
    }
    if (entries.size() != 2 || !endsWith(entries[0].name, ".enc") || !endsWith(entries[1].name, ".esk")
        || entries[0].name.substr(0, entries[0].name.size() - 4) != entries[1].name.substr(0, entries[1].name.size() - 4)) {
        return failure("the report does not hold the two entries NAME.enc and NAME.esk of an encrypted report");
    }
    if (entries[0].bytes.size() < kNonceBytes + kTagBytes) {
        return failure("the encrypted data (" + entries[0].name + ") is too short: the report is damaged");
    }
    WipedBytes key(0);
    if (!unwrapKey(privateKeyPem, entries[1].bytes, key)) {
        return failure("the private key does not open this report (wrong key, or not an RSA private key in PEM form)");
    }
    DecryptedReport result;
    result.name = entries[0].name.substr(0, entries[0].name.size() - 4);
    if (!openSealed(key, entries[0].bytes, result.plainZip)) {
        return failure("the encrypted data does not verify: the report is damaged or was changed");
    }
    result.ok = true;
    return result;
}
