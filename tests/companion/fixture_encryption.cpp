#include "fixture_encryption.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include "base/scoped_openssl.h"

namespace {

std::string pemOf(EVP_PKEY* key, bool privateKey)
{
    OpenSslPtr<BIO> out(BIO_new(BIO_s_mem()));
    const int written = privateKey ? PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr)
                                   : PEM_write_bio_PUBKEY(out.get(), key);
    char* data = nullptr;
    const long length = written == 1 ? BIO_get_mem_data(out.get(), &data) : 0;
    return std::string(data ? data : "", static_cast<std::size_t>(length));
}

TestKeyPair makeKeyPair()
{
    OpenSslPtr<EVP_PKEY> key(EVP_RSA_gen(2048));
    return {pemOf(key.get(), true), pemOf(key.get(), false)};
}

} // namespace

const TestKeyPair& testKey()
{
    static const TestKeyPair key = makeKeyPair();
    return key;
}

const TestKeyPair& otherTestKey()
{
    static const TestKeyPair key = makeKeyPair();
    return key;
}

std::vector<FixtureEntry> encryptedEntries(const std::string& stem, const std::string& plain, const TestKeyPair& key)
{
    unsigned char sessionKey[32];
    unsigned char nonce[12];
    RAND_bytes(sessionKey, sizeof(sessionKey));
    RAND_bytes(nonce, sizeof(nonce));

    std::string sealed(reinterpret_cast<const char*>(nonce), sizeof(nonce));
    sealed.resize(sizeof(nonce) + plain.size() + 16);
    OpenSslPtr<EVP_CIPHER_CTX> cipher(EVP_CIPHER_CTX_new());
    int length = 0;
    auto* out = reinterpret_cast<unsigned char*>(sealed.data()) + sizeof(nonce);
    EVP_EncryptInit_ex(cipher.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr);
    EVP_CIPHER_CTX_ctrl(cipher.get(), EVP_CTRL_GCM_SET_IVLEN, sizeof(nonce), nullptr);
    EVP_EncryptInit_ex(cipher.get(), nullptr, nullptr, sessionKey, nonce);
    EVP_EncryptUpdate(cipher.get(), out, &length, reinterpret_cast<const unsigned char*>(plain.data()),
        static_cast<int>(plain.size()));
    EVP_EncryptFinal_ex(cipher.get(), out + length, &length);
    EVP_CIPHER_CTX_ctrl(cipher.get(), EVP_CTRL_GCM_GET_TAG, 16, out + plain.size());

    OpenSslPtr<BIO> pem(BIO_new_mem_buf(key.publicKeyPem.data(), static_cast<int>(key.publicKeyPem.size())));
    OpenSslPtr<EVP_PKEY> publicKey(PEM_read_bio_PUBKEY(pem.get(), nullptr, nullptr, nullptr));
    OpenSslPtr<EVP_PKEY_CTX> wrap(EVP_PKEY_CTX_new(publicKey.get(), nullptr));
    size_t wrappedLength = 0;
    EVP_PKEY_encrypt_init(wrap.get());
    EVP_PKEY_CTX_set_rsa_padding(wrap.get(), RSA_PKCS1_OAEP_PADDING);
    EVP_PKEY_CTX_set_rsa_oaep_md(wrap.get(), EVP_sha256());
    EVP_PKEY_CTX_set_rsa_mgf1_md(wrap.get(), EVP_sha256());
    EVP_PKEY_encrypt(wrap.get(), nullptr, &wrappedLength, sessionKey, sizeof(sessionKey));
    std::string wrapped(wrappedLength, '\0');
    EVP_PKEY_encrypt(wrap.get(), reinterpret_cast<unsigned char*>(wrapped.data()), &wrappedLength, sessionKey,
        sizeof(sessionKey));
    wrapped.resize(wrappedLength);
    return {{stem + ".enc", sealed, true}, {stem + ".esk", wrapped}};
}
