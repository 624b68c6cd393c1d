#pragma once

#include <string>
#include <vector>

#include "fixture_report.h"

// An RSA key pair of the test's own, made once per test program: the private key in PEM form, as
// support staff keep it, and the public key that encrypts.
struct TestKeyPair {
    std::string privateKeyPem;
    std::string publicKeyPem;
};
const TestKeyPair& testKey();
const TestKeyPair& otherTestKey();

// The two entries of an encrypted report, stem + ".enc" and stem + ".esk", in the tool's format:
// nonce, AES-256-GCM ciphertext and tag; the key under RSA-OAEP with SHA-256.
std::vector<FixtureEntry> encryptedEntries(const std::string& stem, const std::string& plain, const TestKeyPair& key);
