#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <minizip/zip.h>

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
    int openArchiveEntry(zipFile archive, const wchar_t* path, const std::wstring& prefix);
    // Adds the file under prefix + its file name; a file that cannot be opened adds nothing.
    void addFileToArchive(zipFile archive, const std::wstring& path, const std::wstring& prefix = L"");
    void addFileToArchive(zipFile archive, const wchar_t* path, const std::wstring& prefix = L"");
    void addMemoryToArchive(zipFile archive, const void* data, std::uint32_t length,
        const std::wstring& name, const std::wstring& prefix);
    void finishArchive(zipFile archive);
    // Writes the archive bytes to path; nothing is reported when the file cannot be made.
    void saveArchive(const std::wstring& path);

    // Fills the report archive in its fixed order: 0, or 61001 when the archive cannot begin.
    int collectReport();

    // Gatherers of the collection.
    void addAdditionalFolders(zipFile archive, bool contactsEnabled);
    void addConfigExport(zipFile archive);
    void copyConfigDirectory(zipFile archive, const std::wstring& extension);
    void addRawStackTrace(zipFile archive);
    void addLogFiles(zipFile archive);

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
    // Replaces the plain archive by one of the two encrypted files beside path, written to path.
    bool writeEncryptedArchive(const std::wstring& path);
    void moveReportToOutput(const std::wstring& outputPath);

protected:
    // The configuration export of the client's services, cached when the report is made.
    const std::wstring& getConfigServiceText() const { return configServiceText_; }

private:
    static constexpr std::uint32_t kReadBufferSize = 524288;
    static constexpr std::uint32_t kInitialArchiveCapacity = 16777216;

    zip_fileinfo entryInfo_ = {};
    std::unique_ptr<unsigned char[]> readBuffer_;

    std::wstring configServiceText_;

    std::wstring problemArea_;
    bool crashIndicator_ = false;
    std::wstring archiveFileName_;

    wchar_t tempReportPath_[260] = {};
};
