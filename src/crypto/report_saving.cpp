#include <windows.h>

#include <cwchar>
#include <iterator>
#include <new>
#include <string>

#include "app/diagnostic_log.h"
#include "app/report_options.h"
#include "base/temp_folder.h"
#include "crypto/encryption_certificate.h"
#include "platform/lumocoreutils/encryption_utils.h"
#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/file_utils.h"
#include "report/ap_report.h"
#include "report/data_stream.h"
#include "settings/ap_report_ini.h"

void CApReport::saveReport()
{
    const std::wstring name = getArchiveFileName();
    tempReportPath_[0] = L'\0';
    const std::wstring temp = getTempFolder(MAX_PATH);
    if (temp.size() + name.size() >= std::size(tempReportPath_)) {
        // The path has no room in the report's array: better no report than a cut-off name.
        writeLogLine(L"Temporary report path too long: " + temp + name);
        return;
    }
    const size_t room = std::size(tempReportPath_);
    wcsncpy_s(tempReportPath_, room, temp.c_str(), _TRUNCATE);
    wcsncat_s(tempReportPath_, room, name.c_str(), _TRUNCATE);
    setReportFilePath(tempReportPath_);

    if (!CApReportIni::isPrtEncryptionEnabled()) {
        saveArchive(tempReportPath_);
        return;
    }
    const std::string certificate = getEncryptionCertificate();
    if (certificate.empty()) {
        writeLogLine(L"Failed to retrieve the certificate for encryption");
        return;
    }
    if (!encryptArchiveToFiles(certificate)) {
        writeLogLine(L"Failed to encrypt data to file");
        return;
    }
    if (!writeEncryptedArchive(tempReportPath_)) {
        writeLogLine(L"Failed to write encrypt files to zip file");
    }
}

bool CApReport::encryptArchiveToFiles(const std::string& certificate)
{
    CDataStream& stream = theDataStream();
    // The library takes the archive as one string: that copy is the only one besides the data
    // stream. The stream's spare address space goes back first, so a 32-bit process has room
    // for the copy, and the copy is gone before the encrypted report is built.
    stream.releaseUnusedAddressSpace();
    std::string data;
    try {
        if (stream.buffer()) {
            data.assign(reinterpret_cast<const char*>(stream.buffer()), stream.length());
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    const bool encrypted = LumoCoreUtils::EncryptionUtils::publicKeyEncryptToFile(
        certificate, LumoCoreUtils::toString(tempReportPath_), data);
    // The plain copy is not needed any more; its pages are wiped rather than handed back as they are.
    SecureZeroMemory(data.data(), data.size());
    return encrypted;
}

bool CApReport::writeEncryptedArchive(const std::wstring& path)
{
    theDataStream().release();
    zipFile archive = beginArchive();
    if (!archive) {
        return false;
    }
    const std::wstring encryptedData = path + L".enc";
    const std::wstring encryptedKey = path + L".esk";
    addFileToArchive(archive, encryptedData);
    addFileToArchive(archive, encryptedKey);
    finishArchive(archive);

    if (!writeArchiveFile(path)) {
        return false;
    }
    if (theDataStream().buffer()) {
        DeleteFileW(encryptedData.c_str());
        DeleteFileW(encryptedKey.c_str());
    }
    return true;
}

void CApReport::moveReportToOutput(const std::wstring& outputPath)
{
    reportReachedOutput_ = vosselutils::FileUtils::wrenameFile(tempReportPath_, outputPath) == 0;
    if (!reportReachedOutput_) {
        writeLogLine(std::wstring(L"Failed to rename file from ") + tempReportPath_ + L" to " + outputPath);
    }
}
