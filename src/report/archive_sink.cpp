#include "report/archive_sink.h"

#include <windows.h>
#include <shlwapi.h>

#include "base/diagnostic_log.h"

void CArchiveSink::addFile(const std::wstring& path, const std::wstring& prefix, EntryTreatment treatment)
{
    const EntrySource source = treatment == EntryTreatment::Generated ? EntrySource::Generated : EntrySource::File;
    record(archive_.addFileToArchive(path, prefix), EntryOrigin{source, treatment, path}, path);
}

void CArchiveSink::addMemory(const void* data, std::uint32_t length, const std::wstring& name,
    const std::wstring& prefix, const EntryOrigin& origin)
{
    // Material without a file of its own is named by its entry when it stays out.
    const std::wstring what = origin.path.empty() ? prefix + PathFindFileNameW(name.c_str()) : origin.path;
    record(archive_.addMemoryToArchive(data, length, name, prefix), origin, what);
}

void CArchiveSink::leftOut(const std::wstring& path, LeftOutReason reason)
{
    contents_.leftOut.push_back({path, reason});
}

void CArchiveSink::record(const ZipEntryResult& result, const EntryOrigin& origin, const std::wstring& what)
{
    switch (result.outcome) {
    case ZipEntryOutcome::Added:
    {
        DeliveredEntry entry;
        entry.name = result.name;
        entry.size = result.size;
        entry.crc = result.crc;
        entry.sha256 = result.sha256;
        entry.origin = origin;
        contents_.entries.push_back(entry);
    }
        return;
    case ZipEntryOutcome::Missing:
        return;
    case ZipEntryOutcome::Unreadable:
        // The one loss the zip engine does not log: a file that is there and could not be opened.
        writeLogLine(L"Could not read " + what + L", it is left out of the report.");
        return leftOut(what, LeftOutReason::CouldNotBeRead);
    case ZipEntryOutcome::NotADiskFile:
        return leftOut(what, LeftOutReason::NotADiskFile);
    case ZipEntryOutcome::NoRoom:
        return leftOut(what, LeftOutReason::NoRoom);
    case ZipEntryOutcome::Failed:
        return leftOut(what, LeftOutReason::NotWritten);
    }
}
