#include "vdi/kib_library.h"

#include <string>

#include "base/diagnostic_log.h"
#include "base/scoped_registry_key.h"

namespace {

// A 32-bit tool on 64-bit Windows sees the client's key under Wow6432Node.
bool isWow64Process()
{
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    const auto query = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                    reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                              : nullptr;
    BOOL wow64 = FALSE;
    return query && query(GetCurrentProcess(), &wow64) && wow64;
}

} // namespace

bool findKibPath(KibPath& path)
{
    path.reset();
    const char* subkey = isWow64Process() ? "SOFTWARE\\Wow6432Node\\Ormel Systems, Inc.\\Kib\\"
                                          : "SOFTWARE\\Ormel Systems, Inc.\\Kib\\";
    HKEY opened = nullptr;
    const LSTATUS openStatus = RegOpenKeyA(HKEY_LOCAL_MACHINE, subkey, &opened);
    ScopedRegistryKey key(openStatus == ERROR_SUCCESS ? opened : nullptr);
    writeLogLine(L"Find kib path so libraries can be loaded");
    if (!key) {
        return false;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "KibPath", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    // One byte more than the value holds, zeroed: a value stored without its terminator must not
    // send the folder's text past the buffer.
    KibPath buffer(static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1)));
    DWORD read = size;
    if (buffer && RegQueryValueExA(key.get(), "KibPath", nullptr, nullptr,
                      reinterpret_cast<BYTE*>(buffer.get()), &read) == ERROR_SUCCESS && read <= size) {
        writeLogLine(L"Kib path found");
        path = std::move(buffer);
        return true;
    }
    writeLogLine(L"Kib path not found");
    return false;
}

CKibLibrary::CKibLibrary(const char* name)
{
    KibPath folder;
    if (!findKibPath(folder)) {
        return;
    }
    // Left in place on purpose: the libraries find their own dependencies in that folder too.
    SetDllDirectoryA(folder.get());
    module_.reset(LoadLibraryA(name));
    const std::string libraryName(name);
    const std::wstring wideName(libraryName.begin(), libraryName.end());
    writeLogLine(L"Attempt to Load " + wideName + L" DLL");
    if (module_) {
        writeLogLine(wideName + L" DLL loaded succesfully");
    }
}

FARPROC CKibLibrary::function(const char* name) const
{
    return module_ ? GetProcAddress(module_.get(), name) : nullptr;
}
