#include "crypto/report_saving.h"

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <new>
#include <string>

#include "archive/data_stream.h"
#include "base/diagnostic_log.h"
#include "base/temp_folder.h"
#include "crypto/encryption_certificate.h"
#include "crypto/output_file.h"
#include "platform/lumocoreutils/encryption_utils.h"
#include "platform/lumocoreutils/text.h"
#include "settings/ap_report_ini.h"
#include "settings/report_options.h"

namespace {
// The classic path length, which the temporary report path has always had to fit.
constexpr size_t kReportPathRoom = MAX_PATH;
} // namespace

std::wstring saveReportArchive(const CZipArchive& archive, const std::wstring& archiveFileName)
{
    const std::wstring temp = getTempFolder(MAX_PATH);
    if (temp.size() + archiveFileName.size() >= kReportPathRoom) {
        // Better no report than a cut-off name.
        writeLogLine(L"Temporary report path too long: " + temp + archiveFileName);
        return {};
    }
    const std::wstring path = temp + archiveFileName;
    setReportFilePath(path);

    // An archive that was never begun, or whose collection stopped half-way, is no report; the
    // stage that failed has said why.
    if (!archive.isArchiveFinished()) {
        return path;
    }
    if (!CApReportIni::isPrtEncryptionEnabled()) {
        archive.saveArchive(path);
        return path;
    }
    const std::string certificate = getEncryptionCertificate();
    if (certificate.empty()) {
        writeLogLine(L"Failed to retrieve the certificate for encryption");
        return path;
    }
    if (!encryptArchiveToFiles(certificate, path)) {
        writeLogLine(L"Failed to encrypt data to file");
        return path;
    }
    if (!writeEncryptedArchive(path)) {
        writeLogLine(L"Failed to write encrypt files to zip file");
    }
    return path;
}

bool encryptArchiveToFiles(const std::string& certificate, const std::wstring& path)
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
        certificate, LumoCoreUtils::toString(path), data);
    // The plain copy is not needed any more; its pages are wiped rather than handed back as they are.
    SecureZeroMemory(data.data(), data.size());
    return encrypted;
}

bool writeEncryptedArchive(const std::wstring& path)
{
    theDataStream().release();
    CZipArchive archive;
    if (!archive.beginArchive()) {
        return false;
    }
    const std::wstring encryptedData = path + L".enc";
    const std::wstring encryptedKey = path + L".esk";
    archive.addFileToArchive(encryptedData);
    archive.addFileToArchive(encryptedKey);
    archive.finishArchive();

    // Until the encrypted report is on disk whole, the two files are all there is of it.
    if (!archive.isArchiveFinished() || !archive.writeArchiveFile(path)) {
        return false;
    }
    if (theDataStream().buffer()) {
        DeleteFileW(encryptedData.c_str());
        DeleteFileW(encryptedKey.c_str());
    }
    return true;
}

bool moveReportFile(const std::wstring& from, const std::wstring& to)
{
    // Replaces an earlier file at the output path in one step, and only with a finished report.
    if (replaceOutputFile(from, to) == ERROR_SUCCESS) {
        return true;
    }
    writeLogLine(L"Failed to rename file from " + from + L" to " + to);
    return false;
}
