#include "client_material.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/lumocoreutils/text.h"
#include "platform/qskstorage/encrypt_file_utils.h"
#include "platform/vosselutils/file_utils.h"

namespace {

bool put(const std::wstring& path, const std::string& bytes)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string logLines(const char* component, int count)
{
    std::string text;
    // Now and then a call fails, as in the logs support staff read.
    for (int i = 0; i < count; ++i) {
        const bool failed = i % 23 == 22;
        text += "2026-12-09 10:" + std::to_string(10 + i % 50) + ":0" + std::to_string(i % 10) + ",123 [  12] "
            + (failed ? "ERROR " : "INFO  ") + component + " - call " + std::to_string(1000 + i)
            + (failed ? " dropped: no media for 30 s" : " state " + std::to_string(i % 7)) + "\r\n";
    }
    return text;
}

} // namespace

bool layOutClientMaterial()
{
    const std::wstring base = LumoCoreUtils::toWideString(vosselutils::FileUtils::getLocalAppBaseDirectory());
    const std::wstring config = LumoCoreUtils::toWideString(vosselutils::FileUtils::getConfigDirectory()) + L"\\";
    bool ok = put(base + L"Logs\\vossel.log", logLines("SipStack", 200))
        && put(base + L"Logs\\vossel.log.1", logLines("SipStack", 400))
        && put(base + L"Logs\\vossel_ui.log", logLines("UI", 100))
        && put(base + L"Logs\\krb5.log", logLines("Kerberos", 20))
        && put(base + L"Logs\\updater.txt", "not a client log\r\n")
        && put(base + L"Logs\\StrandelCpp\\media.log", logLines("MediaEngine", 50))
        && put(base + L"Diagnostics\\network.txt", "interfaces: 2\r\n")
        && put(base + L"Contacts\\contacts.db", "binary contact store")
        && put(config + L"vossel.properties",
               "server=sip.example.invalid\r\nuser=jo\r\npassword=Winter2026!\r\nport=5061\r\n")
        && put(config + L"accounts\\ldap.properties", "ldap.url=ldaps://dir.example.invalid\r\nldap.password = S3cret-Ldap")
        && put(config + L"ui.conf", "<ui><password>not collected on a desktop</password></ui>")
        && put(base + L"Services\\ConfigService.xml",
               "<config><device_service-lastloggedinusername>jo.doe</device_service-lastloggedinusername>"
               "<lastloadeduserprofile>Work</lastloadeduserprofile><sip.port>5061</sip.port></config>")
        && put(base + L"Services\\ContactService.xml",
               "<contacts><contact><name>Ann Example</name><uri>sip:ann@example.invalid</uri></contact></contacts>");
    return ok
        && qsk::storage::EncryptFileUtils::writeDataToFile(LumoCoreUtils::toString(base + L"RawStackTrace.dat"),
            "Exception 0xc0000005 at 0x00007ffd12345678\nOrmelVossel.exe!CallManager::onHold+0x42\n"
            "OrmelVossel.exe!MessageLoop::run+0x1f0\n",
            qsk::storage::FileCategoryType::Diagnostics);
}
