#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <minizip/zip.h>

#include "platform/corvane/services.h"
#include "report/parallel_deflate.h"

// The working state that the report stages share, and the stages that build, fill and save the
// archive. The operations live with their subsystems: the archive writer, collection and identity
// in report/, saving in crypto/.
class CApReport {
public:
    CApReport();
    virtual ~CApReport();

    CApReport(const CApReport&) = delete;
    CApReport& operator=(const CApReport&) = delete;

    // Archive writer. One archive is open at a time, from beginArchive to finishArchive; every
    // entry is complete when its add operation returns.
    zipFile beginArchive();                       // null when no archive can be begun
    // prefix + the file-name part of path, as the entry's narrow name.
    static std::string entryName(const wchar_t* path, const std::wstring& prefix);
    // Opens a raw entry for data that the writer deflated itself; text says what zlib found it to be.
    // zip64: the entry's uncompressed size reaches 4 GiB, so its headers take the zip64 form;
    // every other entry keeps the classic form.
    int openArchiveEntry(zipFile archive, const std::string& name, bool text, bool zip64 = false);
    // Adds the file under prefix + its file name; a file that cannot be opened adds nothing. An
    // entry that does not fit in the memory left is left out with one log line; the archive and
    // its other entries stay whole.
    void addFileToArchive(zipFile archive, const std::wstring& path, const std::wstring& prefix = L"");
    void addFileToArchive(zipFile archive, const wchar_t* path, const std::wstring& prefix = L"");
    void addMemoryToArchive(zipFile archive, const void* data, std::uint32_t length,
        const std::wstring& name, const std::wstring& prefix);
    void finishArchive(zipFile archive);
    // Whether the last archive begun was also finished, so the data stream holds all of it.
    bool isArchiveFinished() const { return archiveFinished_; }
    // Writes the archive bytes to path.
    void saveArchive(const std::wstring& path);
    // The same, telling whether every byte reached the file (with no archive in the stream it is
    // empty). A file that cannot be made or written is reported with one log line, and a file
    // written in part is removed again.
    bool writeArchiveFile(const std::wstring& path);

    // Fills the report archive in its fixed order: 0, or 61001 when the archive cannot begin.
    int collectReport();

    // Gatherers of the collection.
    void addAdditionalFolders(zipFile archive, bool contactsEnabled);
    void addLogFiles(zipFile archive);
    void addRawStackTrace(zipFile archive);
    // Copies the configuration files with the extension (no dot) into "Config", passwords hidden.
    void copyConfigDirectory(zipFile archive, const std::wstring& extension);

    // Exports of the client's services, fetched once when the report is made.
    std::shared_ptr<QSKUnified::ServiceFactory> getServiceFactory();
    std::shared_ptr<QSKUnified::ConfigService> getConfigService();
    std::shared_ptr<QSKUnified::ContactService> getContactService();
    // 0: the configuration export, 1: the contact cache export, anything else: empty.
    std::wstring getServiceText(int kind);
    void addConfigExport(zipFile archive);
    void addContactsExport(zipFile archive);

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
    // Encrypts the archive in the data stream into the ".enc" and ".esk" files beside the
    // temporary report path.
    bool encryptArchiveToFiles(const std::string& certificate);
    // Replaces the plain archive by one of the two encrypted files beside path, written to path.
    bool writeEncryptedArchive(const std::wstring& path);
    // Moves the saved report to the output path and remembers whether it arrived there.
    void moveReportToOutput(const std::wstring& outputPath);
    // What saving and the move leave for the clean-up: the temporary report path that saveReport
    // recorded (empty until then) and whether this run's report reached the output path.
    std::wstring temporaryReportPath() const { return tempReportPath_; }
    bool reportReachedOutput() const { return reportReachedOutput_; }

private:
    static constexpr std::uint32_t kInitialArchiveCapacity = 16777216;

    // One line naming what failed and the zip writer's code; the archive counts as damaged.
    void noteZipFailure(const std::wstring& what, int result);

    // Deflates what read gives into a new entry named name; what names the source in log lines.
    bool writeArchiveEntry(zipFile archive, const std::string& name, const wchar_t* what, const DeflateRead& read);

    zip_fileinfo entryInfo_ = {};
    // What the central directory of the open archive will need, so that every entry leaves room for it.
    std::uint64_t centralDirectoryRoom_ = 0;
    bool archiveFinished_ = false;
    // A write into the archive failed: it is no valid archive, and is never saved.
    bool archiveDamaged_ = false;

    std::shared_ptr<QSKUnified::ServiceFactory> serviceFactory_;
    std::shared_ptr<QSKUnified::ConfigService> configService_;
    std::shared_ptr<QSKUnified::ContactService> contactService_;
    std::wstring configText_;
    std::wstring contactsText_;

    std::wstring problemArea_;
    bool crashIndicator_ = false;
    std::wstring archiveFileName_;

    wchar_t tempReportPath_[260] = {};
    bool reportReachedOutput_ = false;
};
