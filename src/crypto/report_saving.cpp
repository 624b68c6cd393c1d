#include <windows.h>

#include <cwchar>
#include <iterator>

#include "app/diagnostic_log.h"
#include "app/report_options.h"
#include "base/temp_folder.h"
#include "crypto/encryption_certificate.h"
#include "platform/vosselutils/file_utils.h"
#include "report/ap_report.h"
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
}

void CApReport::moveReportToOutput(const std::wstring& outputPath)
{
    if (vosselutils::FileUtils::wrenameFile(tempReportPath_, outputPath) != 0) {
        writeLogLine(std::wstring(L"Failed to rename file from ") + tempReportPath_ + L" to " + outputPath);
    }
}
