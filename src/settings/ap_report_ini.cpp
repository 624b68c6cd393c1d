#include "settings/ap_report_ini.h"

#include <windows.h>

#include <sstream>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "base/temp_folder.h"
#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/text.h"
#include "settings/flush_handshake.h"
#include "settings/ini_file.h"
#include "settings/setting_conversions.h"

namespace {

constexpr wchar_t kConfigSection[] = L"Config";

void logValue(const wchar_t* text, const std::wstring& value)
{
    writeLogLine(std::wstring(text) + value);
}

void logFlag(const wchar_t* text, bool value)
{
    std::wostringstream message;
    message << text << value;
    writeLogLine(message.str());
}

} // namespace

CApReportIni::Values& CApReportIni::values()
{
    static Values settings;
    return settings;
}

bool CApReportIni::readReportSettings(const std::function<void()>& workingPathsKnown)
{
    Values& v = values();
    writeLogLine(L"Reading report ini...");
    v.iniFilePath = getTempFolder(512) + L"VosselPRT.ini";
    logValue(L"Initialization file path: ", v.iniFilePath);

    if (!requestClientFlush()) {
        return false;
    }

    const auto read = [&v](const wchar_t* key) { return readIniValue(v.iniFilePath, kConfigSection, key); };

    v.logServerUrl = read(L"LogServerURL");
    logValue(L"Log Server URL: ", v.logServerUrl);
    v.problemReportToolOnPrem = read(L"ProblemReportToolOnPrem");
    logValue(L"ProblemReportToolOnPrem: ", v.problemReportToolOnPrem);
    logValue(L"AutoUploadPRT: ", read(L"AutoUploadPRT"));
    const std::wstring disableDump = read(L"DisableDUMPFile");
    v.dumpFileDisabled = vosselutils::toBool(disableDump, false);
    logValue(L"DisableCreateDumpFile: ", disableDump);
    const std::wstring forensics = read(L"EnableForensicsContactData");
    v.forensicsContactDataEnabled = vosselutils::toBool(forensics, false);
    logValue(L"EnableForensicsContactData: ", forensics);
    v.logDirectory = read(L"VosselLogDirectory");
    logValue(L"Vossel Log Path: ", v.logDirectory);

    const std::wstring temp = getTempFolder(MAX_PATH);
    v.commentFilePath = temp + L"user-comment.txt";
    logValue(L"Comment file: ", v.commentFilePath);
    v.metadataFilePath = temp + L"metadata.txt";
    logValue(L"Metadata File Path: ", v.metadataFilePath);
    v.gdiFilePath = temp + L"gdi.txt";
    logValue(L"GDI File Path: ", v.gdiFilePath);
    v.screenshotPrefix = temp + L"Vossel_Screenshot";
    v.dntDumpFilePath = temp + L"dntcolex.dmp";
    logValue(L"dntcolex.exe Dump File Path: ", v.dntDumpFilePath);
    v.dnt64DumpFilePath = temp + L"dntcolex64.dmp";
    logValue(L"dntcolex64.exe Dump File Path: ", v.dnt64DumpFilePath);

    const std::wstring processId = read(L"ProcessID");
    v.processId = parseHexSetting(processId);
    logValue(L"ProcessID: 0x", processId);
    const std::wstring exceptionAddress = read(L"ExceptionAddress");
    v.exceptionAddress = parseHexSetting(exceptionAddress);
    logValue(L"Exception pointer: 0x", exceptionAddress);
    const std::wstring threadId = read(L"ThreadId");
    v.exceptionThreadId = parseHexSetting(threadId);
    logValue(L"ExceptionThreadID: 0x", threadId);
    v.productMode = read(L"ProductMode");
    logValue(L"ProductMode: ", v.productMode);
    v.productName = read(L"ProductName");
    logValue(L"ProductName: ", v.productName);

    if (workingPathsKnown) {
        workingPathsKnown();
    }

    const std::wstring langId = read(L"LangID");
    if (!langId.empty()) {
        logValue(L"Language ID from VosselPRT.ini: ", langId);
    } else {
        logValue(L"Language ID from user default: ", std::to_wstring(GetUserDefaultLangID()));
    }

    v.deleteLogsEnabled = vosselutils::toBool(read(L"DeleteLogs"), false);
    logFlag(L"Delete Logs: ", v.deleteLogsEnabled);
    v.prtEncryptionEnabled = vosselutils::toBool(read(L"EnablePRTEncryption"), false);
    logFlag(L"Enable PRT Encryption: ", v.prtEncryptionEnabled);
    v.certificateName = read(L"PrtCertificateName");
    logValue(L"Prt Certificate Name: ", v.certificateName);

    if (v.prtEncryptionEnabled && !checkEncryptionCertificate()) {
        return true;
    }

    readAdditionalPrtPaths();
    writeLogLine(L"Finished reading report ini");
    return true;
}

bool CApReportIni::checkEncryptionCertificate()
{
    const std::string subject = LumoCoreUtils::toString(values().certificateName);
    if (subject.empty()) {
        writeLogLine(L"No certificate name provided by config");
        return false;
    }
    if (!findCertificate(L"Root", subject) && !findCertificate(L"Trust", subject)) {
        writeLogLine(L"Read certificate Trust store failed");
        return false;
    }
    // The encoded certificate is kept for the encryption stage; the handles are not needed.
    certificate_.reset();
    certStore_.reset();
    return true;
}

void CApReportIni::readAdditionalPrtPaths()
{
    IniSection section = readIniSection(values().iniFilePath, L"AdditionalPrtPaths");
    // A line cut short could name a folder above the one meant, up to a whole drive.
    if (!section.complete) {
        writeLogLine(L"AdditionalPrtPaths section too long, line dropped: " + takeCutLastLine(section.text));
    }
    auto& paths = values().additionalPrtPaths;
    parseAdditionalPrtPaths(section.text, paths);
    for (auto it = paths.begin(); it != paths.end();) {
        if (isDriveRootPath(it->second)) {
            writeLogLine(L"Further path refused, it names a whole drive: " + it->first + L"=" + it->second);
            it = paths.erase(it);
        } else {
            ++it;
        }
    }
}

bool CApReportIni::iniFileExists()
{
    ScopedFileHandle file(CreateFileW(values().iniFilePath.c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.isValid();
}

std::wstring CApReportIni::getIniFilePath() { return values().iniFilePath; }
unsigned long CApReportIni::getProcessId() { return values().processId; }
unsigned long CApReportIni::getExceptionAddress() { return values().exceptionAddress; }
unsigned long CApReportIni::getExceptionThreadId() { return values().exceptionThreadId; }
bool CApReportIni::isDumpFileDisabled() { return values().dumpFileDisabled; }
bool CApReportIni::isForensicsContactDataEnabled() { return values().forensicsContactDataEnabled; }
bool CApReportIni::isDeleteLogsEnabled() { return values().deleteLogsEnabled; }
bool CApReportIni::isPrtEncryptionEnabled() { return values().prtEncryptionEnabled; }
std::wstring CApReportIni::getLogDirectory() { return values().logDirectory; }
std::wstring CApReportIni::getProductMode() { return values().productMode; }
std::wstring CApReportIni::getCertificateName() { return values().certificateName; }
std::wstring CApReportIni::getCommentFilePath() { return values().commentFilePath; }
std::wstring CApReportIni::getMetadataFilePath() { return values().metadataFilePath; }
std::wstring CApReportIni::getGdiFilePath() { return values().gdiFilePath; }

std::wstring CApReportIni::getScreenshotPrefix() { return values().screenshotPrefix; }

std::wstring CApReportIni::getScreenshotFilePath(int index)
{
    const std::wstring& prefix = values().screenshotPrefix;
    return prefix.empty() ? std::wstring() : prefix + std::to_wstring(index) + L".png";
}

std::wstring CApReportIni::getDntDumpFilePath(bool is64Bit)
{
    return is64Bit ? values().dnt64DumpFilePath : values().dntDumpFilePath;
}

std::map<std::wstring, std::wstring> CApReportIni::getAdditionalPrtPaths()
{
    return values().additionalPrtPaths;
}
