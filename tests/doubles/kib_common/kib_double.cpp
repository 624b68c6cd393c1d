#include "kib_double.h"

#include <windows.h>

#include <cstdio>

namespace {

// The folder of the library this code is linked into, ending in a backslash.
std::wstring ownFolder()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ownFolder), &module);
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    const std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

} // namespace

int kibAnswer(const wchar_t* library, const wchar_t* key, int fallback)
{
    const std::wstring control = ownFolder() + L"kib-double.ini";
    return static_cast<int>(GetPrivateProfileIntW(library, key, fallback, control.c_str()));
}

void recordKibCall(const std::string& line)
{
    const std::wstring record = ownFolder() + L"kib-calls.txt";
    FILE* file = _wfopen(record.c_str(), L"ab");
    if (!file) {
        return;
    }
    std::fputs((line + "\n").c_str(), file);
    std::fclose(file);
}
