#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/zip_reader.h"
#include "tool_run_fixture.h"

namespace {

using Names = std::vector<std::string>;
using Messages = std::vector<std::string>;

std::string utf16(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class Gatherers : public ToolRunTest {
protected:
    // Runs the tool with the settings text and returns the report's entries.
    std::vector<ZipEntry> report(const std::string& ini)
    {
        writeIni(ini);
        DeleteFileW((temp() + L"PRT.txt").c_str());
        const std::wstring output = temp() + L"report.zip";
        DeleteFileW(output.c_str());
        runTool(L"/flushed /file \"" + output + L"\"");
        auto entries = readZipArchive(output);
        EXPECT_TRUE(entries.has_value());
        return entries.value_or(std::vector<ZipEntry>{});
    }

    // The entries whose names start with one of the prefixes, in archive order.
    static Names namesStartingWith(const std::vector<ZipEntry>& entries, const std::vector<std::string>& prefixes)
    {
        Names names;
        for (const auto& entry : entries) {
            for (const auto& prefix : prefixes) {
                if (entry.name.rfind(prefix, 0) == 0) {
                    names.push_back(entry.name);
                    break;
                }
            }
        }
        return names;
    }

    static const ZipEntry* find(const std::vector<ZipEntry>& entries, const std::string& name)
    {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; });
        return it == entries.end() ? nullptr : &*it;
    }

    std::string folderLine(const std::string& name, const std::wstring& folder)
    {
        return name + "=" + narrow(folder) + "\r\n";
    }
};

// Contacts folders are known whatever the case of their name and however many separators follow it.
TEST_F(Gatherers, FurtherFoldersInNameOrderWithTheContactsFolderReplacedByTheExport)
{
    for (const std::wstring file : {L"logs\\a.txt", L"logs\\sub\\b.txt", L"zeta\\z.txt", L"data\\Contacts\\c.txt",
             L"more\\Contacts\\d.txt", L"tr\\Contacts\\t.txt", L"low\\contacts\\l.txt"}) {
        ScopedClientProfile::put(temp() + file, "contact " + narrow(file));
    }
    ScopedClientProfile::put(profile_.servicesFolder() + L"ContactService.xml", "<contacts><c>Ann</c></contacts>");
    const std::string paths = "[AdditionalPrtPaths]\r\n" + folderLine("Zeta", temp() + L"zeta")
        + folderLine("Logs", temp() + L"logs") + folderLine("Contacts", temp() + L"data\\Contacts")
        + folderLine("TrailingContacts", temp() + L"tr\\Contacts\\") + folderLine("Lower", temp() + L"low\\contacts")
        + folderLine("Contacts2", temp() + L"more\\Contacts");

    const auto on = report("[Config]\r\nEnableForensicsContactData=1\r\n" + paths);
    const Names walked = namesStartingWith(on, {"Contacts", "Logs", "Lower", "TrailingContacts", "Zeta"});
    const std::string exportName = "Contacts\\vosselAllContacts.xml";
    ASSERT_EQ(walked.size(), 7u);
    EXPECT_EQ(Names(walked.begin(), walked.begin() + 2), (Names{exportName, exportName}));
    EXPECT_EQ(std::set<std::string>(walked.begin() + 2, walked.begin() + 4),
        (std::set<std::string>{"Logs\\a.txt", "Logs\\sub\\b.txt"}));
    EXPECT_EQ(Names(walked.begin() + 4, walked.end()), (Names{exportName, exportName, "Zeta\\z.txt"}));
    EXPECT_EQ(find(on, exportName)->bytes, utf16("<contacts><c>Ann</c></contacts>"));
    EXPECT_EQ(find(on, "Logs\\sub\\b.txt")->bytes, "contact logs\\sub\\b.txt");

    const auto off = report("[Config]\r\nEnableForensicsContactData=0\r\n" + paths);
    EXPECT_TRUE(namesStartingWith(off, {"Contacts", "Lower", "TrailingContacts"}).empty());
    const Messages lines = logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Skipping Contacts folder."), 4);
    EXPECT_EQ(namesStartingWith(off, {"Logs", "Zeta"}).size(), 3u);
    for (const auto& entry : off) {
        EXPECT_EQ(entry.bytes.find("contact data"), std::string::npos) << entry.name;
        EXPECT_EQ(entry.bytes.find("contact tr"), std::string::npos) << entry.name;
        EXPECT_EQ(entry.bytes.find("contact low"), std::string::npos) << entry.name;
        EXPECT_EQ(entry.bytes.find("contact more"), std::string::npos) << entry.name;
    }
}

TEST_F(Gatherers, ClientLogsComeFromTheLogFolderByName)
{
    const std::wstring logs = temp() + L"clientlogs\\";
    for (const wchar_t* name : {L"vossel.log", L"vossel.log.1", L"vossel_ui.log", L"krb5.log", L"other.log"}) {
        ScopedClientProfile::put(logs + name, narrow(name));
    }
    ScopedClientProfile::put(logs + L"sub\\vossel.log", "below");

    const auto entries = report("[Config]\r\nVosselLogDirectory=" + narrow(logs) + "\r\n");
    const Names found = namesStartingWith(entries, {"vossel", "krb5", "other"});
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
        (std::set<std::string>{"vossel.log", "vossel.log.1", "vossel_ui.log", "krb5.log"}));
    EXPECT_EQ(found.size(), 4u);
    EXPECT_EQ(find(entries, "vossel.log")->bytes, "vossel.log");

    // Without its trailing backslash the setting names what lies beside the folder, not in it:
    // the search then meets the folder itself, which is no log file.
    const std::wstring withoutBackslash = logs.substr(0, logs.size() - 1);
    const auto none = report("[Config]\r\nVosselLogDirectory=" + narrow(withoutBackslash) + "\r\n");
    EXPECT_TRUE(namesStartingWith(none, {"vossel", "krb5", "other"}).empty());

    // A folder that does not exist: the search fails and says so.
    const auto missing = report("[Config]\r\nVosselLogDirectory=" + narrow(temp() + L"missing\\") + "\r\n");
    EXPECT_TRUE(namesStartingWith(missing, {"vossel", "krb5", "other"}).empty());
    EXPECT_TRUE(hasMessageStartingWith(logMessages(), "No files found in log folder. Error: 3"));
}

TEST_F(Gatherers, StoredCrashTraceComesBackAsText)
{
    const auto missing = report("[Config]\r\n");
    EXPECT_EQ(find(missing, "RawStackTrace.txt"), nullptr);
    const Messages lines = logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Could not read from RawStackTrace.dat"), 1);

    const std::string trace = "Exception 0xc0000005 at 0x7ffd1234\nOrmelVossel.exe!CallManager::onHold+0x42\n";
    profile_.putStackTrace(trace);
    const auto stored = report("[Config]\r\n");
    ASSERT_NE(find(stored, "RawStackTrace.txt"), nullptr);
    EXPECT_EQ(find(stored, "RawStackTrace.txt")->bytes, utf16(trace));

    profile_.putStackTrace("");
    const auto empty = report("[Config]\r\n");
    ASSERT_NE(find(empty, "RawStackTrace.txt"), nullptr);
    EXPECT_EQ(find(empty, "RawStackTrace.txt")->bytes, "");
    const Messages emptyLines = logMessages();
    EXPECT_NE(std::find(emptyLines.begin(), emptyLines.end(), "Adding RawStackTrace.txt from memory to zip stream."),
        emptyLines.end());
}

TEST_F(Gatherers, ServiceExportsAndTheMetadataTheyFeed)
{
    const std::string contactsPath = folderLine("Contacts", temp() + L"Contacts");
    const std::string ini = "[Config]\r\nProductMode=desk\r\nEnableForensicsContactData=1\r\n[AdditionalPrtPaths]\r\n" + contactsPath;

    // No services folder: no framework at all.
    auto entries = report(ini);
    EXPECT_EQ(find(entries, "Config\\vosselAllConfig.xml"), nullptr);
    EXPECT_TRUE(namesStartingWith(entries, {"Contacts"}).empty());
    Messages lines = logMessages();
    EXPECT_EQ(messagesBetween(withoutWorkerMessages(lines), "Copying configs from ConfigService.",
                  "Copying Config directory from " + narrow(profile_.configFolder()) + "\\* ."),
        (Messages{"Copying configs from ConfigService.", "Failed to get all configs from ConfigService."}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Failed to get contact cache from ContactService."), lines.end());
    EXPECT_EQ(find(entries, "metadata.txt")->bytes, "\xFF\xFE" + utf16(",other,0,1.0.0.1,desk,\nVossel Version: 1.0.0.0 (Build 1)"));

    // The configuration service only.
    ScopedClientProfile::put(profile_.servicesFolder() + L"ConfigService.xml",
        "<config><device_service-lastloggedinusername>jo</device_service-lastloggedinusername>"
        "<password>kept as the service gives it</password><lastloadeduserprofile>work</lastloadeduserprofile></config>");
    entries = report(ini);
    ASSERT_NE(find(entries, "Config\\vosselAllConfig.xml"), nullptr);
    EXPECT_NE(find(entries, "Config\\vosselAllConfig.xml")->bytes.find(utf16("kept as the service gives it")), std::string::npos);
    EXPECT_TRUE(namesStartingWith(entries, {"Contacts"}).empty());
    EXPECT_EQ(find(entries, "metadata.txt")->bytes, "\xFF\xFE" + utf16("jo,other,0,1.0.0.1,desk,work\nVossel Version: 1.0.0.0 (Build 1)"));

    // Both services; the configuration export is added after the further folders.
    ScopedClientProfile::put(profile_.servicesFolder() + L"ContactService.xml", "<contacts/>");
    entries = report(ini);
    EXPECT_EQ(namesStartingWith(entries, {"Contacts", "Config\\vosselAll"}),
        (Names{"Contacts\\vosselAllContacts.xml", "Config\\vosselAllConfig.xml"}));
}

TEST_F(Gatherers, ConfigurationFilesGoInWithPasswordsHidden)
{
    const std::wstring config = profile_.configFolder() + L"\\";
    ScopedClientProfile::put(config + L"vossel.properties", "user=jo\r\npassword=s3cret-one\r\nport=5060\r\n");
    ScopedClientProfile::put(config + L"accounts\\ldap.properties", "ldap.password : s3cret-two");
    ScopedClientProfile::put(config + L"Legacy.Properties", "<password>s3cret-three</password><password>x");
    ScopedClientProfile::put(config + L"ui.xml", "<password>not collected</password>");

    const auto entries = report("[Config]\r\n");
    const Names configs = namesStartingWith(entries, {"Config\\"});
    EXPECT_EQ(std::set<std::string>(configs.begin(), configs.end()),
        (std::set<std::string>{"Config\\vossel.properties", "Config\\ldap.properties", "Config\\Legacy.Properties"}));
    EXPECT_EQ(find(entries, "Config\\vossel.properties")->bytes, utf16("user=jo\npassword: ********\nport=5060\n"));
    EXPECT_EQ(find(entries, "Config\\ldap.properties")->bytes, utf16("ldap.password: ********"));
    EXPECT_EQ(find(entries, "Config\\Legacy.Properties")->bytes.rfind(utf16("Invalid XML: "), 0), 0u);
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.bytes.find(utf16("s3cret")), std::string::npos) << entry.name;
        EXPECT_EQ(entry.bytes.find("s3cret"), std::string::npos) << entry.name;
    }
    const Messages lines = logMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Copying Config directory from " + narrow(profile_.configFolder()) + "\\* ."),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Adding " + narrow(config) + "vossel.properties to zip."), lines.end());
}

std::string utf16Be(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += '\0';
        bytes += c;
    }
    return bytes;
}

// Each byte followed by a zero byte, as a reader that took each byte for a character would store it.
std::string widened(const std::string& bytes)
{
    return utf16(bytes);
}

// Configuration files in every encoding and shape that once let a password through, and further
// folders that hold the configuration folder: no password reaches the archive in any form.
TEST_F(Gatherers, NoPasswordLeavesInAnyForm)
{
    const std::wstring config = profile_.configFolder() + L"\\";
    struct File {
        std::wstring name;
        std::string bytes;
        std::string scrubbed; // the entry's text, or empty when it is the message of the uneven case
    };
    const std::vector<File> files = {
        {L"le-bom.properties", "\xFF\xFE" + utf16("user=jo\r\npassword=PWLEBOM01\r\n"), "user=jo\npassword: ********\n"},
        {L"be-bom.properties", "\xFE\xFF" + utf16Be("user=jo\r\npassword=PWBEBOM02\r\n"), "user=jo\npassword: ********\n"},
        {L"le.properties", utf16("user=jo\r\npassword=PWLE03\r\n"), "user=jo\npassword: ********\n"},
        {L"be.properties", utf16Be("user=jo\r\npassword=PWBE04\r\n"), "user=jo\npassword: ********\n"},
        {L"utf8-bom.properties", "\xEF\xBB\xBFuser=jo\r\npassword=PWU8BOM05\r\n", "user=jo\npassword: ********\n"},
        {L"continued.properties", "password=PWCONT06\\\r\n    PWCONT07\r\nport=5060\r\n", "password: ********\nport=5060\n"},
        {L"cr.properties", "user=jo\rpassword=PWCR08\rport=5060\r", "user=jo\rpassword: ********\rport=5060\r"},
        {L"UPPER.PROPERTIES", "user=jo\npassword=PWUP11\npassword=PWUP22\n", ""},
        {L"Attributes.PROPERTIES", "<a password=\"PWATTR09\"/><b password=\"PWATTR10\"/>", ""},
        {L"Mirror.PROPERTIES", "<e value=\"PWMIR12\" name=\"password\"/><e value=\"PWMIR13\" name=\"password\"/>", ""},
        {L"Element.PROPERTIES", "<c><password>PWELEM14</password></c>", "<c><password>********</password></c>"},
    };
    for (const auto& file : files) {
        ScopedClientProfile::put(config + file.name, file.bytes);
    }
    ScopedClientProfile::put(config + L"sub\\ui.xml", "<password>PWXML15</password>");
    const std::wstring roaming = profile_.configFolder().substr(0, profile_.configFolder().rfind(L'\\'));
    ScopedClientProfile::put(roaming + L"\\note.txt", "beside the configuration");
    std::wstring configUpper = profile_.configFolder();
    CharUpperBuffW(configUpper.data(), static_cast<DWORD>(configUpper.size()));

    const auto entries = report("[Config]\r\n[AdditionalPrtPaths]\r\n" + folderLine("Roaming", roaming)
        + folderLine("ConfigItself", configUpper + L"\\"));

    for (const auto& file : files) {
        const std::string name = "Config\\" + narrow(file.name);
        const ZipEntry* entry = find(entries, name);
        ASSERT_NE(entry, nullptr) << name;
        if (file.scrubbed.empty()) {
            EXPECT_EQ(entry->bytes.rfind(utf16("Invalid XML: "), 0), 0u) << name;
        } else {
            EXPECT_EQ(entry->bytes, utf16(file.scrubbed)) << name;
        }
    }
    EXPECT_NE(find(entries, "Roaming\\note.txt"), nullptr);
    EXPECT_TRUE(namesStartingWith(entries, {"Roaming\\Config", "ConfigItself"}).empty());
    const Messages lines = logMessages();
    EXPECT_TRUE(hasMessageStartingWith(lines, "Skipping 12 files below the client's configuration folder in "));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                  [](const std::string& line) { return line.rfind("Skipping 12 files below", 0) == 0; }),
        2);

    for (const char* secret : {"PWLEBOM01", "PWBEBOM02", "PWLE03", "PWBE04", "PWU8BOM05", "PWCONT06", "PWCONT07",
             "PWCR08", "PWATTR09", "PWATTR10", "PWUP11", "PWUP22", "PWMIR12", "PWMIR13", "PWELEM14", "PWXML15"}) {
        for (const std::string& form : {std::string(secret), utf16(secret), widened(utf16(secret)), widened(utf16Be(secret))}) {
            for (const auto& entry : entries) {
                EXPECT_EQ(entry.bytes.find(form), std::string::npos) << secret << " in " << entry.name;
            }
        }
    }
}

} // namespace
