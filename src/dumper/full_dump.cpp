#include "full_dump.h"

#include <windows.h>
#include <dbghelp.h>

#include "base/scoped_handle.h"
#include "sysinfo/full_dump_type.h"
#include "sysinfo/minidump_check.h"

namespace {

std::string toUtf8(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// The reader is another program's pipe: every line goes out at once.
void say(std::FILE* out, const std::string& line)
{
    std::fputs(("Ravik: " + line + "\n").c_str(), out);
    std::fflush(out);
}

bool fail(std::FILE* out, const char* call, DWORD error)
{
    say(out, std::string(call) + " failed, error " + std::to_string(error));
    return false;
}

} // namespace

bool writeFullDump(unsigned long processId, const std::wstring& path, std::FILE* out)
{
    say(out, "writing a full dump of process " + std::to_string(processId) + " to " + toUtf8(path));

    ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE,
        FALSE, processId));
    if (!process) {
        return fail(out, "OpenProcess", GetLastError());
    }
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return fail(out, "CreateFileW", GetLastError());
    }
    if (!MiniDumpWriteDump(process.get(), processId, file.get(), kFullDumpType, nullptr, nullptr, nullptr)) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(path.c_str());
        return fail(out, "MiniDumpWriteDump", error);
    }
    // The writer can report success for a dump it could not finish, as when the process ends
    // half-way: such a dump is no dump.
    if (!isWholeDumpOfRunningProcess(process.get(), file.get())) {
        file.reset();
        DeleteFileW(path.c_str());
        say(out, "the dump did not complete, no dump is written");
        return false;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.get(), &size);
    say(out, "wrote " + std::to_string(size.QuadPart) + " bytes");
    return true;
}
