// Adds a certificate to, or removes it from, the current user's certificate store, so that the
// demo can encrypt a report the way an administrator's machine would.
//   StoreCertificate.exe add|remove STORE CERTIFICATE.der

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 || (std::wcscmp(argv[1], L"add") != 0 && std::wcscmp(argv[1], L"remove") != 0)) {
        std::fputs("usage: StoreCertificate.exe add|remove STORE CERTIFICATE.der\n", stderr);
        return 2;
    }
    std::ifstream in(argv[3], std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, argv[2]);
    if (der.empty() || !store) {
        std::fputs("StoreCertificate: cannot read the certificate or open the store\n", stderr);
        return 1;
    }
    bool ok = false;
    if (std::wcscmp(argv[1], L"add") == 0) {
        ok = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    } else {
        PCCERT_CONTEXT context = nullptr;
        while (!ok && (context = CertEnumCertificatesInStore(store, context)) != nullptr) {
            if (context->cbCertEncoded == der.size() && std::memcmp(context->pbCertEncoded, der.data(), der.size()) == 0) {
                ok = CertDeleteCertificateFromStore(CertDuplicateCertificateContext(context));
                CertFreeCertificateContext(context);
                context = nullptr;
                break;
            }
        }
    }
    CertCloseStore(store, 0);
    return ok ? 0 : 1;
}
