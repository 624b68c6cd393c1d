#include "archive/source_file.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "base/diagnostic_log.h"
#include "base/full_path.h"
#include "base/scoped_handle.h"

std::wstring longPathForm(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const std::wstring full = fullPathOf(path);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

namespace {

ScopedStdioFile openRegularFile(const wchar_t* path, SourceFileProblem& problem)
{
    if (!path || !*path) {
        problem = SourceFileProblem::Missing;
        return ScopedStdioFile();
    }
    // The client may be writing or rotating its logs while they are read.
    ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        problem = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? SourceFileProblem::Missing
                                                                                 : SourceFileProblem::Unreadable;
        return ScopedStdioFile();
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        writeLogLine(std::wstring(L"Skipping ") + path + L", it is no regular disk file.");
        problem = SourceFileProblem::NotADiskFile;
        return ScopedStdioFile();
    }
    problem = SourceFileProblem::Unreadable;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        return ScopedStdioFile();
    }
    // The descriptor owns the handle from here on, and the stream the descriptor.
    static_cast<void>(file.release());
    ScopedStdioFile stream(_wfdopen(descriptor, L"rb"));
    if (!stream) {
        _close(descriptor);
        return stream;
    }
    problem = SourceFileProblem::None;
    return stream;
}

} // namespace

ScopedStdioFile openReportSourceFile(const wchar_t* path, SourceFileProblem* problem)
{
    SourceFileProblem found = SourceFileProblem::None;
    ScopedStdioFile file = openRegularFile(path, found);
    if (problem) {
        *problem = found;
    }
    return file;
}
