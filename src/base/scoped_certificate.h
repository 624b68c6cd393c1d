#pragma once

#include <windows.h>
#include <wincrypt.h>

#include "base/scoped_generic.h"

// A certificate store; closed with CERT_CLOSE_STORE_CHECK_FLAG, as the tool always closes stores.
struct CertStoreTraits {
    using Type = HCERTSTORE;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type store) noexcept { CertCloseStore(store, CERT_CLOSE_STORE_CHECK_FLAG); }
};
using ScopedCertStore = ScopedGeneric<CertStoreTraits>;

struct CertContextTraits {
    using Type = PCCERT_CONTEXT;
    static Type invalid() noexcept { return nullptr; }
    static void release(Type context) noexcept { CertFreeCertificateContext(context); }
};
using ScopedCertContext = ScopedGeneric<CertContextTraits>;
