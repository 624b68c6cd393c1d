#include "support/scoped_temp_folder.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "base/temp_folder.h"
#include "support/test_files.h"

ScopedTempFolder::ScopedTempFolder()
{
    static std::atomic<unsigned> counter{0};
    const std::wstring base = getTempFolder(MAX_PATH);
    for (;;) {
        path_ = base + L"prt-test-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            std::abort(); // a test without its folder would test nothing
        }
    }
}

ScopedTempFolder::~ScopedTempFolder()
{
    removeFolderTree(path_);
}
