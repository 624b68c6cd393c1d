#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "app/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "base/scoped_stdio_file.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/data_stream.h"
#include "report/memory_file.h"

namespace {

void logAddFailed(const wchar_t* path)
{
    writeLogLine(std::wstring(L"Failed to add ") + path + L" to the zip stream.");
}

} // namespace

zipFile CApReport::beginArchive()
{
    CDataStream& data = theDataStream();
    if (!data.reserve(kInitialArchiveCapacity)) {
        return nullptr;
    }
    const std::string name = memoryFileName(data.buffer(), data.capacity());
    zlib_filefunc_def table = {};
    fillMemoryFileFuncs(&table);
    zipFile archive = zipOpen2(name.c_str(), APPEND_STATUS_CREATE, nullptr, &table);
    if (!archive) {
        return nullptr;
    }

    SYSTEMTIME now = {};
    GetLocalTime(&now);
    entryInfo_ = {};
    entryInfo_.tmz_date.tm_sec = now.wSecond;
    entryInfo_.tmz_date.tm_min = now.wMinute;
    entryInfo_.tmz_date.tm_hour = now.wHour;
    entryInfo_.tmz_date.tm_mday = now.wDay;
    entryInfo_.tmz_date.tm_mon = now.wMonth - 1;
    entryInfo_.tmz_date.tm_year = now.wYear;
    return archive;
}

int CApReport::openArchiveEntry(zipFile archive, const wchar_t* path, const std::wstring& prefix)
{
    if (!path || !*path) {
        return -1;
    }
    const std::string name = vosselutils::toString(prefix) + vosselutils::toString(PathFindFileNameW(path));
    return zipOpenNewFileInZip3(archive, name.c_str(), &entryInfo_, nullptr, 0, nullptr, 0, nullptr,
        Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0);
}

void CApReport::addFileToArchive(zipFile archive, const std::wstring& path, const std::wstring& prefix)
{
    addFileToArchive(archive, path.c_str(), prefix);
}

void CApReport::addFileToArchive(zipFile archive, const wchar_t* path, const std::wstring& prefix)
{
    if (!path) {
        return;
    }
    ScopedStdioFile file(_wfopen(path, L"rb"));
    if (!file) {
        return;
    }
    if (!readBuffer_ || openArchiveEntry(archive, path, prefix) != ZIP_OK) {
        logAddFailed(path);
        return;
    }
    writeLogLine(std::wstring(L"Adding ") + path + L" to zip stream.");
    for (;;) {
        const size_t count = std::fread(readBuffer_.get(), 1, kReadBufferSize, file.get());
        if (count == 0) {
            break;
        }
        if (std::ferror(file.get())) {
            writeLogLine(std::wstring(L"Failed to read from ") + path);
            break;
        }
        zipWriteInFileInZip(archive, readBuffer_.get(), static_cast<unsigned>(count));
    }
    zipCloseFileInZip(archive);
}

void CApReport::addMemoryToArchive(zipFile archive, const void* data, std::uint32_t length,
    const std::wstring& name, const std::wstring& prefix)
{
    if (openArchiveEntry(archive, name.c_str(), prefix) != ZIP_OK) {
        logAddFailed(name.c_str());
        return;
    }
    writeLogLine(L"Adding " + name + L" from memory to zip stream.");
    zipWriteInFileInZip(archive, data, length);
    zipCloseFileInZip(archive);
}

void CApReport::finishArchive(zipFile archive)
{
    zipClose(archive, nullptr);
    MemoryFile& file = theMemoryFile();
    CDataStream& data = theDataStream();
    const long position = memTell(nullptr, &file);
    if (position > 0 && static_cast<std::uint32_t>(position) < data.capacity()) {
        data.setLength(static_cast<std::uint32_t>(position));
    }
}

void CApReport::saveArchive(const std::wstring& path)
{
    writeArchiveFile(path);
}

bool CApReport::writeArchiveFile(const std::wstring& path)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return false;
    }
    const CDataStream& data = theDataStream();
    if (data.buffer()) {
        DWORD written = 0;
        WriteFile(file.get(), data.buffer(), data.length(), &written, nullptr);
    }
    return true;
}
