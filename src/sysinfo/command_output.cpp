#include "sysinfo/command_output.h"

#include <windows.h>

#include <vector>

#include "base/diagnostic_log.h"

namespace {

// The attribute list that lets the new process inherit the one handle and no other that this
// process may have made inheritable meanwhile (the dump program's pipe, another command's file).
class CInheritedHandleList {
public:
    explicit CInheritedHandleList(HANDLE& handle)
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        buffer_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
        if (size > 0 && InitializeProcThreadAttributeList(list, 1, 0, &size)) {
            initialized_ = true;
            if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle, sizeof(handle), nullptr,
                    nullptr)) {
                list_ = list;
            }
        }
    }
    ~CInheritedHandleList()
    {
        if (initialized_) {
            DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data()));
        }
    }
    CInheritedHandleList(const CInheritedHandleList&) = delete;
    CInheritedHandleList& operator=(const CInheritedHandleList&) = delete;

    // Null when the system could not make the list: every inheritable handle is inherited then.
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    std::vector<unsigned char> buffer_;
    bool initialized_ = false;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

} // namespace

ScopedKernelHandle startCommandWithOutput(const std::wstring& application, const std::wstring& commandLine,
    const std::wstring& outputPath)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    ScopedFileHandle output(CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
        &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) {
        writeLogLine(L"Unable to open " + outputPath + L" to write the output of " + commandLine);
        return {};
    }
    HANDLE outputHandle = output.get();
    CInheritedHandleList inherited(outputHandle);

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = inherited.get() ? sizeof(startup) : sizeof(startup.StartupInfo);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = outputHandle;
    startup.lpAttributeList = inherited.get();
    const DWORD flags = CREATE_NO_WINDOW | (inherited.get() ? EXTENDED_STARTUPINFO_PRESENT : 0);

    // CreateProcessW may write into its command line.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(application.c_str(), buffer.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
            &startup.StartupInfo, &started)) {
        writeLogLine(L"Unable to create process: " + commandLine);
        return {};
    }
    CloseHandle(started.hThread);
    return ScopedKernelHandle(started.hProcess);
}
