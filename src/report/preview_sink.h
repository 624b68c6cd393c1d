#pragma once

#include <set>
#include <string>

#include "report/report_contents.h"
#include "report/report_sink.h"

// A sink that writes nothing: it lists what a report made now would hold, with each entry's source,
// size and treatment, and what it would leave out and why. The client's files are looked at as
// they are now (opened to see that they can be read, never read); the tool's own working files,
// which only the run makes, are listed when the run would make them.
class CPreviewSink : public IReportSink {
public:
    // plannedWorkingFiles: the paths of the working files the run would make (comment, metadata,
    // machine description, dumps, the diagnostic log), compared case-insensitively.
    explicit CPreviewSink(std::set<std::wstring> plannedWorkingFiles);

    void addFile(const std::wstring& path, const std::wstring& prefix, EntryTreatment treatment) override;
    void addMemory(const void* data, std::uint32_t length, const std::wstring& name, const std::wstring& prefix,
        const EntryOrigin& origin) override;
    void leftOut(const std::wstring& path, LeftOutReason reason) override;
    bool makesReport() const override { return false; }

    // Lists an entry that the run makes after the collection (the manifest).
    void addGenerated(const std::wstring& name);

    const ReportContents& contents() const { return contents_; }

private:
    std::set<std::wstring> planned_;
    ReportContents contents_;
};
