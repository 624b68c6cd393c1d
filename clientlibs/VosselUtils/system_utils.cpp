#include "platform/vosselutils/system_utils.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/scoped_handle.h"

namespace vosselutils {

std::vector<unsigned long> SystemUtils::getProcessIDByName(const std::wstring& name,
    bool currentSessionOnly)
{
    std::vector<unsigned long> ids;
    ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return ids;
    }
    DWORD ownSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);

    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), static_cast<int>(name.size()), TRUE)
            != CSTR_EQUAL) {
            continue;
        }
        if (currentSessionOnly) {
            DWORD session = 0;
            if (!ProcessIdToSessionId(entry.th32ProcessID, &session) || session != ownSession) {
                continue;
            }
        }
        ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

} // namespace vosselutils
