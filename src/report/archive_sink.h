#pragma once

#include "archive/zip_archive.h"
#include "report/report_contents.h"
#include "report/report_sink.h"

// The report's own sink: every entry goes into the zip archive, and what went in or stayed out is
// kept in contents.
class CArchiveSink : public IReportSink {
public:
    // archive must have begun; both must outlive the sink.
    CArchiveSink(CZipArchive& archive, ReportContents& contents) : archive_(archive), contents_(contents) {}

    void addFile(const std::wstring& path, const std::wstring& prefix, EntryTreatment treatment) override;
    void addMemory(const void* data, std::uint32_t length, const std::wstring& name, const std::wstring& prefix,
        const EntryOrigin& origin) override;
    void leftOut(const std::wstring& path, LeftOutReason reason) override;

private:
    // what names the material in the left-out list.
    void record(const ZipEntryResult& result, const EntryOrigin& origin, const std::wstring& what);

    CZipArchive& archive_;
    ReportContents& contents_;
};
