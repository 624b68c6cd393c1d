#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/zip_archive.h"
#include "platform/corvane/services.h"
#include "report/report_contents.h"
#include "report/report_sink.h"

// The working state that the report stages share, and the stages that fill and save the report:
// the collection writes what a report holds to a sink (the report's zip archive, or another), the
// gatherers, exports and identity live in report/, and saving hands the finished archive to
// crypto/.
class CApReport {
public:
    CApReport();
    virtual ~CApReport();

    CApReport(const CApReport&) = delete;
    CApReport& operator=(const CApReport&) = delete;

    // Fills the report archive in its fixed order: 0, or 61001 when the archive cannot begin.
    int collectReport();
    // The collection's fixed order of entries, written to sink.
    void collectInto(IReportSink& sink);
    // The report archive; finished once collectReport has run.
    const CZipArchive& archive() const { return archive_; }
    // What went into the report archive and what was left out of it.
    const ReportContents& contents() const { return contents_; }

    // Gatherers of the collection.
    void addAdditionalFolders(IReportSink& sink, bool contactsEnabled);
    void addLogFiles(IReportSink& sink);
    void addRawStackTrace(IReportSink& sink);
    // Copies the configuration files with the extension (no dot) into "Config", passwords hidden.
    void copyConfigDirectory(IReportSink& sink, const std::wstring& extension);

    // Exports of the client's services, fetched once when the report is made.
    std::shared_ptr<QSKUnified::ServiceFactory> getServiceFactory();
    std::shared_ptr<QSKUnified::ConfigService> getConfigService();
    std::shared_ptr<QSKUnified::ContactService> getContactService();
    // 0: the configuration export, 1: the contact cache export, anything else: empty.
    std::wstring getServiceText(int kind);
    void addConfigExport(IReportSink& sink);
    void addContactsExport(IReportSink& sink);

    // Report identity.
    void writeUserComment(const std::wstring& text);
    void setProblemArea(const std::wstring& text);
    void writeMetadata();
    // Computed once, then the same for the rest of the run.
    std::wstring getArchiveFileName();
    std::wstring getLastLoggedInUser();
    std::wstring getLastLoadedUserProfile();
    // The text between the first "<tag>" of the configuration export and the "</tag>" after it.
    std::wstring getConfigElementValue(const std::wstring& tag);

    // Writes the finished archive to the temporary folder, encrypted when the settings ask for it.
    void saveReport();
    // Moves the saved report to the output path and remembers whether it arrived there.
    void moveReportToOutput(const std::wstring& outputPath);
    // What saving and the move leave for the clean-up: the temporary report path that saveReport
    // recorded (empty until then) and whether this run's report reached the output path.
    std::wstring temporaryReportPath() const { return tempReportPath_; }
    bool reportReachedOutput() const { return reportReachedOutput_; }

private:
    CZipArchive archive_;
    ReportContents contents_;

    std::shared_ptr<QSKUnified::ServiceFactory> serviceFactory_;
    std::shared_ptr<QSKUnified::ConfigService> configService_;
    std::shared_ptr<QSKUnified::ContactService> contactService_;
    std::wstring configText_;
    std::wstring contactsText_;

    std::wstring problemArea_;
    bool crashIndicator_ = false;
    std::wstring archiveFileName_;

    std::wstring tempReportPath_;
    bool reportReachedOutput_ = false;
};
