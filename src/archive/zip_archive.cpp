#include "archive/zip_archive.h"

#include <windows.h>
#include <shlwapi.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <libdeflate.h>
#include <zlib.h>

#include "archive/data_stream.h"
#include "archive/memory_file.h"
#include "archive/source_file.h"
#include "archive/zip64_end_records.h"
#include "base/diagnostic_log.h"
#include "base/file_write.h"
#include "base/run_progress.h"
#include "base/scoped_handle.h"
#include "base/scoped_stdio_file.h"
#include "platform/vosselutils/text.h"

namespace {

// Entry names are UTF-8, as the utility library converts them: general-purpose bit 11 says so,
// so that every reader shows them as they are.
constexpr uLong kUtf8NamesFlag = 0x800;
// Sizes from here on do not fit the classic headers' 32-bit fields.
constexpr std::uint64_t kZip64Size = 0xFFFFFFFFull;

void logAddFailed(const wchar_t* path)
{
    writeLogLine(std::wstring(L"Failed to add ") + path + L" to the zip stream.");
}

// Room behind an entry's start for its local header (with a zip64 field it may carry), its
// record in the central directory, and the end records: an entry is only begun when all of it
// fits, so that no entry is ever left half written.
std::uint64_t localHeaderRoom(const std::string& name)
{
    return 30 + name.size() + 20;
}

std::uint64_t centralRecordRoom(const std::string& name)
{
    return 46 + name.size() + 32;
}

constexpr std::uint64_t kEndRecordsRoom = 22 + 56 + 20;

// zipWriteInFileInZip takes an unsigned count: large entries go in slices.
constexpr std::uint64_t kWriteSlice = 1u << 30;

constexpr std::uint32_t kInitialArchiveCapacity = 16777216;

} // namespace

CZipArchive::~CZipArchive()
{
    // An archive given up half-way: the zip writer's own memory goes, whatever it wrote stays.
    if (archive_) {
        zipClose(archive_, nullptr);
    }
}

void CZipArchive::noteZipFailure(const std::wstring& what, int result)
{
    std::wostringstream message;
    message << L"Failed to write " << what << L" to the zip stream. Error: " << result;
    writeLogLine(message.str());
    damaged_ = true;
}

bool CZipArchive::beginArchive()
{
    if (archive_) {
        zipClose(archive_, nullptr);
        archive_ = nullptr;
    }
    finished_ = false;
    damaged_ = false;
    CDataStream& data = theDataStream();
    if (!data.reserve(kInitialArchiveCapacity)) {
        return false;
    }
    const std::string name = memoryFileName(data.buffer(), data.capacity());
    zlib_filefunc_def table = {};
    fillMemoryFileFuncs(&table);
    archive_ = zipOpen2(name.c_str(), APPEND_STATUS_CREATE, nullptr, &table);
    if (!archive_) {
        return false;
    }

    centralDirectoryRoom_ = 0;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    entryInfo_ = {};
    entryInfo_.tmz_date.tm_sec = now.wSecond;
    entryInfo_.tmz_date.tm_min = now.wMinute;
    entryInfo_.tmz_date.tm_hour = now.wHour;
    entryInfo_.tmz_date.tm_mday = now.wDay;
    entryInfo_.tmz_date.tm_mon = now.wMonth - 1;
    entryInfo_.tmz_date.tm_year = now.wYear;
    return true;
}

std::string CZipArchive::entryName(const wchar_t* path, const std::wstring& prefix)
{
    return vosselutils::toString(prefix) + vosselutils::toString(PathFindFileNameW(path));
}

int CZipArchive::openArchiveEntry(const std::string& name, int method, bool text, bool zip64)
{
    // The data arrives deflated or to be stored already: the entry is opened raw. A deflated entry
    // names the default level, so that its flag bits are those the default level writes whatever
    // level the engine used; the compression's finding about text goes into the internal
    // attributes as the zip writer would have put it there itself.
    zip_fileinfo info = entryInfo_;
    info.internal_fa = text ? Z_TEXT : 0;
    const int level = method == Z_DEFLATED ? Z_DEFAULT_COMPRESSION : 0;
    // "Made by" 0 as the classic call writes it; the zip64 form only where the sizes need it.
    return zipOpenNewFileInZip4_64(archive_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method, level, 1,
        -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8NamesFlag, zip64 ? 1 : 0);
}

ZipEntryResult CZipArchive::writeArchiveEntry(const std::string& name, const wchar_t* what, const DeflateRead& read,
    const std::function<bool()>& rewind)
{
    ZipEntryResult entry;
    entry.name = name;
    // The entry is compressed straight into the data stream, just past the room for its local
    // header, before the zip writer hears of it. Only when all of it and what the archive still
    // needs behind it fit is the entry opened; the zip writer then moves the data the few bytes
    // down to its final place. An entry that does not fit leaves nothing behind.
    MemoryFile& file = theMemoryFile();
    const std::uint64_t dataStart = file.position + localHeaderRoom(name);
    std::uint64_t written = 0;
    const auto put = [&](const unsigned char* data, std::size_t size) {
        if (!growMemoryFile(file, dataStart + written + size)) {
            return false;
        }
        std::memcpy(file.base + dataStart + written, data, size);
        written += size;
        return true;
    };
    // Hashed as it is read, on the reading thread, while the workers compress what came before.
    CEntryDigest digest;
    const DeflateRead hashingRead = [&](unsigned char* buffer, std::size_t size) {
        const std::size_t count = read(buffer, size);
        digest.update(buffer, count);
        return count;
    };
    DeflateResult result = deflater_.deflate(hashingRead, put);
    Sha256Digest sha256 = digest.finish();

    // Deflate did not make it smaller: it goes in as it is, as zip does, over the deflated bytes
    // (which took at least as much room). A short input is still at hand; a longer one is read
    // again from its start, and its checksum and digest are those of the bytes read this time.
    bool stored = false;
    if (result.complete && written >= result.uncompressedSize) {
        if (result.wholeInput) {
            stored = true;
            written = 0;
            result.complete = put(result.wholeInput, static_cast<std::size_t>(result.uncompressedSize));
        } else if (rewind()) {
            stored = true;
            written = 0;
            CEntryDigest again;
            std::uint32_t crc = 0;
            while (written < result.uncompressedSize) {
                const auto slice = static_cast<std::size_t>(std::min<std::uint64_t>(kDeflatePieceBytes,
                    result.uncompressedSize - written));
                if (!growMemoryFile(file, dataStart + written + slice)) {
                    result.complete = false;
                    break;
                }
                unsigned char* at = file.base + dataStart + written;
                const std::size_t count = read(at, slice);
                crc = libdeflate_crc32(crc, at, count);
                again.update(at, count);
                written += count;
                if (count < slice) {
                    break;
                }
            }
            result.uncompressedSize = written;
            result.crc = crc;
            sha256 = again.finish();
        }
    }
    const std::uint64_t needed = dataStart + written + centralDirectoryRoom_ + centralRecordRoom(name) + kEndRecordsRoom;
    if (!result.complete || !growMemoryFile(file, needed)) {
        writeLogLine(std::wstring(L"Not enough memory to add ") + what + L" to the zip stream.");
        entry.outcome = ZipEntryOutcome::NoRoom;
        return entry;
    }
    entry.outcome = ZipEntryOutcome::Failed;
    const bool zip64 = result.uncompressedSize >= kZip64Size || written >= kZip64Size;
    if (openArchiveEntry(name, stored ? 0 : Z_DEFLATED, result.text && !stored, zip64) != ZIP_OK) {
        logAddFailed(what);
        return entry;
    }
    int status = ZIP_OK;
    for (std::uint64_t done = 0; done < written && status == ZIP_OK;) {
        const auto slice = static_cast<unsigned>(std::min(kWriteSlice, written - done));
        status = zipWriteInFileInZip(archive_, file.base + dataStart + done, slice);
        done += slice;
    }
    const int closed = zipCloseFileInZipRaw64(archive_, result.uncompressedSize, result.crc);
    if (status != ZIP_OK || closed != ZIP_OK) {
        noteZipFailure(what, status != ZIP_OK ? status : closed);
        return entry;
    }
    centralDirectoryRoom_ += centralRecordRoom(name);
    entry.outcome = ZipEntryOutcome::Added;
    entry.size = result.uncompressedSize;
    entry.crc = result.crc;
    entry.sha256 = sha256;
    return entry;
}

ZipEntryResult CZipArchive::addFileToArchive(const std::wstring& path, const std::wstring& prefix)
{
    return addFileToArchive(path.c_str(), prefix);
}

ZipEntryResult CZipArchive::addFileToArchive(const wchar_t* path, const std::wstring& prefix)
{
    ZipEntryResult entry;
    if (!path || !*path) {
        return entry;
    }
    SourceFileProblem problem = SourceFileProblem::None;
    ScopedStdioFile file = openReportSourceFile(path, &problem);
    if (!file) {
        entry.name = entryName(path, prefix);
        entry.outcome = problem == SourceFileProblem::NotADiskFile ? ZipEntryOutcome::NotADiskFile
                      : problem == SourceFileProblem::Unreadable   ? ZipEntryOutcome::Unreadable
                                                                   : ZipEntryOutcome::Missing;
        return entry;
    }
    writeLogLine(std::wstring(L"Adding ") + path + L" to zip stream.");
    bool failed = false;
    bool failedBefore = false;
    bool again = false;
    const auto read = [&](unsigned char* buffer, std::size_t size) -> std::size_t {
        if (failed) {
            return 0;
        }
        const size_t count = std::fread(buffer, 1, size, file.get());
        if (std::ferror(file.get())) {
            // The entry ends with what was read before; the bytes of this last read are dropped.
            writeLogLine(std::wstring(L"Failed to read from ") + path);
            failed = true;
            return 0;
        }
        // A file read again to be stored has shown its progress once already.
        if (!again) {
            reportEntryProgress(path, _ftelli64(file.get()), _filelengthi64(_fileno(file.get())));
        }
        return count;
    };
    const auto rewind = [&] {
        again = true;
        failedBefore = failed;
        failed = false;
        std::clearerr(file.get());
        return _fseeki64(file.get(), 0, SEEK_SET) == 0;
    };
    entry = writeArchiveEntry(entryName(path, prefix), path, read, rewind);
    entry.readFailed = failed || failedBefore;
    return entry;
}

ZipEntryResult CZipArchive::addMemoryToArchive(const void* data, std::uint32_t length, const std::wstring& name,
    const std::wstring& prefix)
{
    if (name.empty()) {
        logAddFailed(name.c_str());
        ZipEntryResult entry;
        entry.outcome = ZipEntryOutcome::Failed;
        return entry;
    }
    writeLogLine(L"Adding " + name + L" from memory to zip stream.");
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t offset = 0;
    const auto read = [&](unsigned char* buffer, std::size_t size) {
        const std::size_t count = std::min<std::size_t>(size, length - offset);
        if (count > 0) {
            std::memcpy(buffer, bytes + offset, count);
        }
        offset += static_cast<std::uint32_t>(count);
        return count;
    };
    return writeArchiveEntry(entryName(name.c_str(), prefix), name.c_str(), read, [&] {
        offset = 0;
        return true;
    });
}

void CZipArchive::finishArchive()
{
    // The compression is over: its threads and buffers go before the archive is saved or encrypted.
    deflater_.stopWorkers();
    if (!archive_) {
        return;
    }
    const int closed = zipClose(archive_, nullptr);
    archive_ = nullptr;
    if (closed != ZIP_OK) {
        noteZipFailure(L"the central directory", closed);
    }
    MemoryFile& file = theMemoryFile();
    CDataStream& data = theDataStream();
    const long position = memTell(nullptr, &file);
    if (position > 0 && static_cast<std::uint32_t>(position) < data.capacity()) {
        data.setLength(static_cast<std::uint32_t>(position));
    }
    // 65535 entries or more: the end records that the zip writer leaves out (the room for them
    // was kept free with every entry).
    const std::string zip64End = closed == ZIP_OK ? zip64EndRecordsFor(data.buffer(), data.length()) : std::string();
    if (!zip64End.empty()) {
        const auto size = static_cast<uLong>(zip64End.size());
        if (memSeek(nullptr, &file, data.length() - 22, ZLIB_FILEFUNC_SEEK_SET) != 0
            || memWrite(nullptr, &file, zip64End.data(), size) != size) {
            noteZipFailure(L"the zip64 end records", ZIP_ERRNO);
        }
    }
    finished_ = !damaged_;
}

void CZipArchive::saveArchive(const std::wstring& path) const
{
    writeArchiveFile(path);
}

bool CZipArchive::writeArchiveFile(const std::wstring& path) const
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        std::wostringstream message;
        message << L"Failed to create the report file " << path << L". Error: " << GetLastError();
        writeLogLine(message.str());
        return false;
    }
    const CDataStream& data = theDataStream();
    DWORD error = ERROR_SUCCESS;
    if (data.buffer() && !writeWholeFile(file.get(), data.buffer(), data.length(), error)) {
        // A report cut short must not pass for one: nothing of it stays.
        file.reset();
        DeleteFileW(path.c_str());
        std::wostringstream message;
        message << L"Failed to write the report file " << path << L". Error: " << error;
        writeLogLine(message.str());
        return false;
    }
    return true;
}
