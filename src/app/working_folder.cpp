#include "app/working_folder.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

// The names the run reads, writes or deletes in the temporary folder. The report's own archive
// name is longer still; saving checks that one itself, when the name is known.
constexpr const wchar_t* kWorkingFileNames[] = {L"PRT.txt", L"VosselPRT.ini", L"user-comment.txt",
    L"metadata.txt", L"gdi.txt", L"Vossel_Screenshot3.png", L"dntcolex.dmp", L"dntcolex64.dmp",
    L"SystemInfo.txt", L"SystemInfo-ipconfig.txt", L"SystemInfo-tasklist.txt", L"SystemInfo-systeminfo.txt",
    L"cmdlinePrt.zip", L"OrmelVosselInstaller.LOG"};

} // namespace

bool canHoldWorkingFiles(const std::wstring& folder)
{
    if (folder.empty()) {
        return false;
    }
    const std::size_t longest = std::wcslen(*std::max_element(std::begin(kWorkingFileNames),
        std::end(kWorkingFileNames), [](const wchar_t* a, const wchar_t* b) { return std::wcslen(a) < std::wcslen(b); }));
    // MAX_PATH counts the terminating zero.
    return folder.size() + longest < MAX_PATH;
}
