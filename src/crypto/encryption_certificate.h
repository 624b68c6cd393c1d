#pragma once

#include <string>

// The certificate the report is encrypted for, Base64 text of its encoded bytes without line
// breaks; empty when the settings found none.
std::string getEncryptionCertificate();
void setEncryptionCertificate(const std::string& base64);

// Base64 of bytes, without line breaks.
std::string encodeCertificateBase64(const unsigned char* bytes, unsigned long length);
