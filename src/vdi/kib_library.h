#pragma once

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "base/scoped_library.h"

// The virtual-desktop client's installation folder (narrow, from the registry), freed with free.
struct FreeWithFree {
    void operator()(char* text) const noexcept { std::free(text); }
};
using KibPath = std::unique_ptr<char, FreeWithFree>;

// Reads "KibPath" of the virtual-desktop client's registry key into path. False, with path null,
// when the key or the value is missing or cannot be read. The text always ends with a zero, also
// when the value was stored without one.
bool findKibPath(KibPath& path);

// One of the virtual-desktop client's libraries ("Quillet" or "Skerrit"), loaded from its
// installation folder for the length of one call and freed with this object.
class CKibLibrary {
public:
    explicit CKibLibrary(const char* name);

    explicit operator bool() const { return module_.isValid(); }
    // The exported function, or null when the library or the function is missing.
    FARPROC function(const char* name) const;

private:
    ScopedLibrary module_;
};
