#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <minizip/zip.h>

#include "archive/entry_digest.h"
#include "archive/parallel_deflate.h"

// What became of one entry that was asked for.
enum class ZipEntryOutcome {
    Added,        // the entry is in the archive, whole
    Missing,      // no file at the path (or no path): nothing is written or logged
    Unreadable,   // the file is there but cannot be opened for reading: nothing is written or logged
    NotADiskFile, // a device or a pipe, refused with one log line
    NoRoom,       // the entry does not fit in the memory left: left out with one log line
    Failed,       // the zip writer refused the entry: one log line
};

struct ZipEntryResult {
    ZipEntryOutcome outcome = ZipEntryOutcome::Missing;
    std::string name;           // the entry's name in the archive, UTF-8
    std::uint64_t size = 0;     // bytes before compression
    std::uint32_t crc = 0;
    Sha256Digest sha256 = {};   // of the same bytes
    bool readFailed = false;    // a read error ended the entry: it holds the bytes read before
    bool added() const { return outcome == ZipEntryOutcome::Added; }
};

// A zip archive built in memory, in the process's data stream, so that no partial archive ever
// lies on disk. One archive is open at a time, from beginArchive to finishArchive; every entry is
// complete when its add operation returns, and every entry is dated with the local time at which
// the archive began. Entries are deflated, or stored as they are when deflate does not make them
// smaller, as zip does; names are the prefix (a folder ending in a backslash, or empty) followed
// by the file-name part of the path or name, in UTF-8.
// Each operation writes its own diagnostic log lines.
class CZipArchive {
public:
    CZipArchive() = default;
    ~CZipArchive();

    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // False when no archive can be begun (no memory for the data stream, or the zip writer fails).
    bool beginArchive();
    // Adds the file's bytes. An entry that does not fit in the memory left is left out with one log
    // line; the archive and its other entries stay whole.
    ZipEntryResult addFileToArchive(const wchar_t* path, const std::wstring& prefix = L"");
    ZipEntryResult addFileToArchive(const std::wstring& path, const std::wstring& prefix = L"");
    ZipEntryResult addMemoryToArchive(const void* data, std::uint32_t length, const std::wstring& name,
        const std::wstring& prefix);
    // Writes the central directory; afterwards the data stream holds the whole archive.
    void finishArchive();
    // Whether the last archive begun was also finished undamaged, so the data stream holds it all.
    bool isArchiveFinished() const { return finished_; }

    // Writes the archive bytes to path.
    void saveArchive(const std::wstring& path) const;
    // The same, telling whether every byte reached the file (with no archive in the stream it is
    // empty). A file that cannot be made or written is reported with one log line, and a file
    // written in part is removed again.
    bool writeArchiveFile(const std::wstring& path) const;

    // prefix + the file-name part of path, as the entry's name.
    static std::string entryName(const wchar_t* path, const std::wstring& prefix);

    // The zip writer's handle of the open archive, for tests that drive the zip writer directly.
    zipFile zipHandleForTesting() const { return archive_; }

private:
    // Opens a raw entry for data that was deflated (method 8) or is stored as it is (method 0)
    // already; text: the data looked like text to the compression. zip64: the entry's sizes reach
    // 4 GiB, so its headers take the zip64 form.
    int openArchiveEntry(const std::string& name, int method, bool text, bool zip64);
    // Deflates what read gives into a new entry; what names the source in log lines. rewind starts
    // the source again from its first byte, for an entry that deflate does not shrink and that
    // goes in stored.
    ZipEntryResult writeArchiveEntry(const std::string& name, const wchar_t* what, const DeflateRead& read,
        const std::function<bool()>& rewind);
    // One line naming what failed and the zip writer's code; the archive counts as damaged.
    void noteZipFailure(const std::wstring& what, int result);

    // Its workers stay from the first large entry to the end of the archive.
    CParallelDeflate deflater_;
    zipFile archive_ = nullptr;
    zip_fileinfo entryInfo_ = {};
    // What the central directory of the open archive will need, so that every entry leaves room for it.
    std::uint64_t centralDirectoryRoom_ = 0;
    bool finished_ = false;
    // A write into the archive failed: it is no valid archive, and is never saved.
    bool damaged_ = false;
};
