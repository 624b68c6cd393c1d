#include "report/preview_sink.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "archive/source_file.h"
#include "archive/zip_archive.h"

namespace {

std::wstring folded(std::wstring path)
{
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
    return path;
}

} // namespace

CPreviewSink::CPreviewSink(std::set<std::wstring> plannedWorkingFiles)
{
    for (const auto& path : plannedWorkingFiles) {
        planned_.insert(folded(path));
    }
}

void CPreviewSink::addFile(const std::wstring& path, const std::wstring& prefix, EntryTreatment treatment)
{
    if (path.empty()) {
        return;
    }
    DeliveredEntry entry;
    entry.name = CZipArchive::entryName(path.c_str(), prefix);
    if (treatment == EntryTreatment::Generated) {
        if (planned_.count(folded(path)) == 0) {
            return;
        }
        entry.sizeKnown = false;
        entry.origin = {EntrySource::Generated, treatment, path};
        contents_.entries.push_back(entry);
        return;
    }
    // Opened the way the report opens it, so that what could not be read is told now; not read.
    SourceFileProblem problem = SourceFileProblem::None;
    ScopedStdioFile file = openReportSourceFile(path.c_str(), &problem);
    switch (problem) {
    case SourceFileProblem::Missing:
        return;
    case SourceFileProblem::Unreadable:
        return leftOut(path, LeftOutReason::CouldNotBeRead);
    case SourceFileProblem::NotADiskFile:
        return leftOut(path, LeftOutReason::NotADiskFile);
    case SourceFileProblem::None:
        break;
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExW(longPathForm(path).c_str(), GetFileExInfoStandard, &data)) {
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } else {
        entry.sizeKnown = false;
    }
    entry.origin = {EntrySource::File, treatment, path};
    contents_.entries.push_back(entry);
}

void CPreviewSink::addMemory(const void*, std::uint32_t length, const std::wstring& name, const std::wstring& prefix,
    const EntryOrigin& origin)
{
    if (name.empty()) {
        return;
    }
    DeliveredEntry entry;
    entry.name = CZipArchive::entryName(name.c_str(), prefix);
    entry.size = length;
    entry.origin = origin;
    contents_.entries.push_back(entry);
}

void CPreviewSink::leftOut(const std::wstring& path, LeftOutReason reason)
{
    contents_.leftOut.push_back({path, reason});
}

void CPreviewSink::addGenerated(const std::wstring& name)
{
    DeliveredEntry entry;
    entry.name = CZipArchive::entryName(name.c_str(), L"");
    entry.sizeKnown = false;
    entry.origin = {EntrySource::Generated, EntryTreatment::Generated, L""};
    contents_.entries.push_back(entry);
}
