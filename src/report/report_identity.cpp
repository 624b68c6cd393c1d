#include "report/report_identity.h"

#include <cwchar>
#include <sstream>

#include "base/unicode_text_file.h"
#include "platform/vosselutils/registry_utils.h"
#include "platform/vosselutils/text.h"
#include "report/ap_report.h"
#include "report/client_version.h"
#include "settings/ap_report_ini.h"
#include "vdi/virtual_desktop.h"

std::wstring composeArchiveFileName(const std::wstring& clientVersion, const SYSTEMTIME& localTime,
    const std::wstring& windowsProductName)
{
    wchar_t date[32] = {};
    std::swprintf(date, 32, L"%04hu%02hu%02hu_%02hu%02hu%02hu", localTime.wYear, localTime.wMonth,
        localTime.wDay, localTime.wHour, localTime.wMinute, localTime.wSecond);
    std::wstring name = L"Vossel-Win-" + clientVersion + L"-" + date + L"-" + windowsProductName + L".zip";
    vosselutils::replaceAll(name, L" ", L"_");
    return name;
}

std::wstring findElementValue(const std::wstring& text, const std::wstring& tag)
{
    const std::wstring open = L"<" + tag + L">";
    const std::wstring close = L"</" + tag + L">";
    const size_t start = text.find(open);
    if (start == std::wstring::npos) {
        return {};
    }
    const size_t valueStart = start + open.size();
    const size_t end = text.find(close, valueStart);
    if (end == std::wstring::npos) {
        return {};
    }
    return text.substr(valueStart, end - valueStart);
}

void CApReport::writeUserComment(const std::wstring& text)
{
    writeUnicodeTextFile(CApReportIni::getCommentFilePath(), text);
}

void CApReport::setProblemArea(const std::wstring& text)
{
    problemArea_ = text;
    crashIndicator_ = false;
}

std::wstring CApReport::getConfigElementValue(const std::wstring& tag)
{
    return findElementValue(configText_, tag);
}

std::wstring CApReport::getLastLoggedInUser()
{
    return getConfigElementValue(L"device_service-lastloggedinusername");
}

std::wstring CApReport::getLastLoadedUserProfile()
{
    return getConfigElementValue(L"lastloadeduserprofile");
}

void CApReport::writeMetadata()
{
    const bool virtualDesktop = IsVirtualisedEnv();
    std::wostringstream text;
    text << getLastLoggedInUser() << L"," << (virtualDesktop ? std::wstring(L"KPXN") : problemArea_) << L","
         << crashIndicator_ << L"," << getClientVersion() << L"," << CApReportIni::getProductMode() << L","
         << getLastLoadedUserProfile() << L"\n" << getClientVersionBanner();
    writeUnicodeTextFile(CApReportIni::getMetadataFilePath(), text.str());
}

std::wstring CApReport::getArchiveFileName()
{
    if (archiveFileName_.empty()) {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        const std::wstring productName = vosselutils::RegistryUtils::readRegistryKeyStringValue(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName", KEY_READ);
        archiveFileName_ = composeArchiveFileName(getClientVersion(), now, productName);
    }
    return archiveFileName_;
}
