#include "platform/qskstorage/encrypt_file_utils.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "base/scoped_openssl.h"
#include "common/utf8.h"
#include "platform/qskstorage/secure_string_key.h"

namespace qsk::storage {

namespace {

// The category is mixed into the protection, so a file of one kind cannot pass for another.
DATA_BLOB categoryEntropy(FileCategoryType::FileCategory& category)
{
    return DATA_BLOB{sizeof(category), reinterpret_cast<BYTE*>(&category)};
}

bool encipher(const unsigned char* plain, size_t size, SecureStringData& out)
{
    unsigned char key[SecureStringKey::kKeyBytes];
    SecureStringKey::buildKey(key);
    bool ok = RAND_bytes(out.iv, sizeof(out.iv)) == 1;
    out.encrypted.assign(size + 16, 0);
    OpenSslPtr<EVP_CIPHER_CTX> context(EVP_CIPHER_CTX_new());
    int length = 0;
    int finalLength = 0;
    ok = ok && context && EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key, out.iv) == 1
        && EVP_EncryptUpdate(context.get(), out.encrypted.data(), &length, plain, static_cast<int>(size)) == 1
        && EVP_EncryptFinal_ex(context.get(), out.encrypted.data() + length, &finalLength) == 1;
    OPENSSL_cleanse(key, sizeof(key));
    if (!ok) {
        return false;
    }
    out.encrypted.resize(static_cast<size_t>(length + finalLength));
    out.encryptedSize = static_cast<std::uint32_t>(out.encrypted.size());
    return true;
}

} // namespace

bool EncryptFileUtils::readDataFromFile(const std::string& path, qsk::SecureString& out,
    FileCategoryType::FileCategory category)
{
    std::ifstream in(clientlibs::utf8ToWide(path).c_str(), std::ios::binary);
    if (!in) {
        return false;
    }
    std::vector<unsigned char> stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DATA_BLOB protectedBlob{static_cast<DWORD>(stored.size()), stored.data()};
    DATA_BLOB entropy = categoryEntropy(category);
    DATA_BLOB plain{};
    if (!CryptUnprotectData(&protectedBlob, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &plain)) {
        return false;
    }
    auto data = std::make_shared<SecureStringData>();
    const bool ok = plain.cbData == 0 || encipher(plain.pbData, plain.cbData, *data);
    SecureZeroMemory(plain.pbData, plain.cbData);
    LocalFree(plain.pbData);
    if (!ok) {
        return false;
    }
    out = data;
    return true;
}

bool EncryptFileUtils::writeDataToFile(const std::string& path, const std::string& bytes,
    FileCategoryType::FileCategory category)
{
    DATA_BLOB plain{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
    DATA_BLOB entropy = categoryEntropy(category);
    DATA_BLOB protectedBlob{};
    if (!CryptProtectData(&plain, L"RawStackTrace", &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &protectedBlob)) {
        return false;
    }
    std::ofstream outFile(clientlibs::utf8ToWide(path).c_str(), std::ios::binary | std::ios::trunc);
    outFile.write(reinterpret_cast<const char*>(protectedBlob.pbData), protectedBlob.cbData);
    LocalFree(protectedBlob.pbData);
    return static_cast<bool>(outFile);
}

} // namespace qsk::storage
