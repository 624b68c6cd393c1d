#include "settings/ap_report_ini_default.h"

#include <windows.h>

#include <utility>

#include "base/diagnostic_log.h"
#include "base/temp_folder.h"
#include "platform/lumocoreutils/text.h"
#include "platform/vosselutils/file_utils.h"
#include "platform/vosselutils/system_utils.h"

namespace {
constexpr wchar_t kClientFolder[] = L"Ormel\\Merovan\\Vossel\\QSK\\";
}

CApReportIniDefault::CApReportIniDefault()
    : localFolder_(LumoCoreUtils::toWideString(vosselutils::FileUtils::getUserLocalAppDir()))
    , roamingFolder_(LumoCoreUtils::toWideString(vosselutils::FileUtils::getUserRoamingDir()))
    , tempFolder_(getTempFolder(MAX_PATH))
{
}

bool CApReportIniDefault::generateDefaultSettings()
{
    const auto clients = vosselutils::SystemUtils::getProcessIDByName(L"OrmelVossel.exe", false);
    if (clients.empty()) {
        writeLogLine(L"Fails to get vossel process ID.");
        return false;
    }

    const std::wstring& local = localFolder_;
    const std::wstring& roaming = roamingFolder_;
    const std::wstring& temp = tempFolder_;
    Values& v = values();
    v.processId = clients.front();
    v.logDirectory = local + kClientFolder + L"Logs\\";
    v.dumpFileDisabled = false;
    v.forensicsContactDataEnabled = true;
    v.commentFilePath = temp + L"user-comment.txt";
    v.metadataFilePath = temp + L"metadata.txt";
    v.gdiFilePath = temp + L"gdi.txt";
    v.screenshotPrefix.clear();
    v.dntDumpFilePath = temp + L"dntcolex.dmp";
    v.dnt64DumpFilePath = temp + L"dntcolex64.dmp";
    v.exceptionAddress = 0;
    v.exceptionThreadId = 0;
    v.productMode = L"default";
    v.productName = L"Ormel Vossel";
    v.prtEncryptionEnabled = false;

    const std::pair<const wchar_t*, std::wstring> furtherPaths[] = {
        {L"StrandelCpp", local + kClientFolder + L"Logs\\StrandelCpp"},
        {L"StrandelCpp/Performance", local + L"StrandelCpp"},
        {L"StrandelCppRoaming", roaming + L"StrandelCPP"},
        {L"Bootstrap", L"C:\\ProgramData\\Ormel Systems\\Ormel Vossel"},
        {L"Diagnostics", local + kClientFolder + L"Diagnostics\\"},
        {L"Contacts", local + kClientFolder + L"Contacts"},
        {L"dntcolex", roaming + L"Duntry Connect\\"},
    };
    for (const auto& [name, path] : furtherPaths) {
        v.additionalPrtPaths.emplace(name, path); // a name already there keeps its path
    }
    return true;
}
