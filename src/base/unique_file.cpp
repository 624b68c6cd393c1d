#include "base/unique_file.h"

#include <atomic>

UniqueFile createFileBeside(const std::wstring& finalPath, DWORD access, DWORD share)
{
    static std::atomic<unsigned> counter{0};
    UniqueFile made;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring path = finalPath + L"." + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(++counter) + L".partial";
        made.file.reset(CreateFileW(path.c_str(), access, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (made.file) {
            made.path = path;
            made.error = ERROR_SUCCESS;
            return made;
        }
        made.error = GetLastError();
        if (made.error != ERROR_FILE_EXISTS && made.error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return made;
}
