#include "report/folder_gathering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/lumocoreutils/text.h"
#include "report/config_folder_exclusion.h"
#include "support/client_profile.h"
#include "support/scoped_temp_folder.h"

namespace {

TEST(ContactsFolder, EndsInContactsWhateverItsCaseAndTrailingSpelling)
{
    struct Case {
        std::wstring pattern;
        bool contacts;
    };
    const std::vector<Case> cases = {
        {L"C:\\Users\\u\\AppData\\Local\\Ormel\\Merovan\\Vossel\\QSK\\Contacts\\*", true},
        {L"C:/data/Contacts/*", true},
        {L"XContacts\\*", true},
        {L"Contacts\\*", false}, // exactly eight characters is not longer than eight
        {L"C:\\QSK\\Contacts\\\\*", true},
        {L"C:\\QSK\\Contacts/\\/*", true},
        {L"C:\\QSK\\contacts\\*", true},
        {L"C:\\QSK\\CONTACTS\\\\*", true},
        {L"Contacts\\\\*", false},
        {L"C:\\QSK\\ContactsOld\\*", false},
        {L"C:\\QSK\\Contacts\\.\\*", true},
        {L"C:\\QSK\\Contacts\\.\\.\\\\*", true},
        {L"C:\\QSK\\Contacts\\sub\\..\\*", true},
        {L"C:\\QSK\\Contacts/sub/../.\\*", true},
        {L"C:\\QSK\\Contacts\\..\\Other\\*", false},
        {L"C:\\QSK\\Contacts\\..\\*", false},
        {L"no separator", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isContactsFolder(c.pattern), c.contacts) << c.pattern.c_str();
    }
}

TEST(ConfigFolderExclusion, FilesAtOrBelowTheConfigurationFolderWhateverTheSpelling)
{
    ScopedTempFolder temp;
    const std::wstring roaming = temp.path() + L"Roaming\\QSK";
    const std::wstring config = roaming + L"\\Config";
    for (const std::wstring file : {L"\\Config\\vossel.properties", L"\\Config\\sub\\ui.xml", L"\\other.txt",
             L"\\Configuration\\c.txt"}) {
        ScopedClientProfile::put(roaming + file, "x");
    }

    CConfigFolderExclusion exclusion(config);
    struct Case {
        std::wstring folder; // the further folder, as the settings give it
        std::wstring file;   // a file the walk found below it
        bool excluded;
    };
    const std::vector<Case> cases = {
        {roaming, roaming + L"\\Config\\vossel.properties", true},
        {roaming, roaming + L"\\Config\\sub\\ui.xml", true},
        {roaming, roaming + L"\\other.txt", false},
        {roaming, roaming + L"\\Configuration\\c.txt", false},
        {roaming + L"\\", roaming + L"\\\\Config\\vossel.properties", true},
        {config, config + L"\\vossel.properties", true},
        {config + L"\\", config + L"\\\\vossel.properties", true},
        {config + L"\\sub", config + L"\\sub\\ui.xml", true},
        {temp.path() + L"ROAMING\\qsk\\CONFIG", temp.path() + L"ROAMING\\qsk\\CONFIG\\vossel.properties", true},
        {roaming + L"\\.\\Config\\..\\Config", roaming + L"\\.\\Config\\..\\Config\\vossel.properties", true},
        {roaming + L"/Config", roaming + L"/Config\\vossel.properties", true},
    };
    for (const auto& c : cases) {
        exclusion.beginFolder(c.folder);
        EXPECT_EQ(exclusion.excludes(c.file), c.excluded) << LumoCoreUtils::toString(c.folder) << " | "
                                                           << LumoCoreUtils::toString(c.file);
    }

    CConfigFolderExclusion noConfig(L"");
    noConfig.beginFolder(roaming);
    EXPECT_FALSE(noConfig.excludes(roaming + L"\\Config\\vossel.properties"));
}

TEST(AdditionalFolderEntries, NameThenSubFoldersThenABackslash)
{
    struct Case {
        std::wstring name, folder, file, prefix;
    };
    const std::vector<Case> cases = {
        {L"Logs", L"C:\\x\\Logs", L"C:\\x\\Logs\\a.txt", L"Logs\\"},
        {L"Logs", L"C:\\x\\Logs", L"C:\\x\\Logs\\sub\\b.txt", L"Logs\\sub\\"},
        {L"Meetings", L"C:\\x\\Logs", L"C:\\x\\Logs\\2024\\12\\notes.txt", L"Meetings\\2024\\12\\"},
        {L"Diagnostics", L"C:\\x\\Diagnostics\\", L"C:\\x\\Diagnostics\\d.log", L"Diagnostics\\"},
        {L"StrandelCpp/Performance", L"C:\\x\\Perf", L"C:\\x\\Perf\\p.csv", L"StrandelCpp/Performance\\"},
        // Names from the settings never lead out of the archive.
        {L"..\\..\\evil", L"C:\\x\\Logs", L"C:\\x\\Logs\\a.txt", L"evil\\"},
        {L"C:\\abs", L"C:\\x\\Logs", L"C:\\x\\Logs\\sub\\a.txt", L"abs\\sub\\"},
        {L"", L"C:\\x\\Logs", L"C:\\x\\Logs\\a.txt", L""},
        {L"", L"C:\\x\\Logs", L"C:\\x\\Logs\\sub\\a.txt", L"sub\\"},
        // The folder as the settings spell it, the files as the walk does.
        {L"Logs", L"c:/X/logs/", L"C:\\x\\Logs\\sub\\a.txt", L"Logs\\sub\\"},
        {L"Logs", L"C:\\x\\other\\..\\Logs", L"C:\\x\\Logs\\sub\\a.txt", L"Logs\\sub\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(additionalFolderEntryPrefix(c.name, c.folder, c.file), c.prefix) << c.file.c_str();
    }
}

TEST(AdditionalFolderEntries, DeepFilesKeepEveryFolder)
{
    std::wstring folder = L"C:\\x\\Long";
    std::wstring sub;
    while (sub.size() < 300) {
        sub += L"level-" + std::to_wstring(sub.size()) + L"\\";
    }
    for (const wchar_t* branch : {L"one", L"two"}) {
        const std::wstring file = folder + L"\\" + sub + branch + L"\\deepfile.txt";
        ASSERT_GT(file.size(), 300u);
        EXPECT_EQ(additionalFolderEntryPrefix(L"Long", folder, file), L"Long\\" + sub + branch + L"\\");
    }
}

TEST(RelativeEntryPaths, DropDrivesLeadingSeparatorsAndDotComponents)
{
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"Logs", L"Logs"},
        {L"StrandelCpp/Performance", L"StrandelCpp/Performance"},
        {L"..\\..\\evil", L"evil"},
        {L"../../evil", L"evil"},
        {L"C:\\abs", L"abs"},
        {L"c:abs\\x", L"abs\\x"},
        {L"\\\\server\\share\\x", L"server\\share\\x"},
        {L"\\lead", L"lead"},
        {L"a\\.\\b\\..\\c\\", L"a\\b\\c"},
        {L"a\\C:\\b", L"a\\C:\\b"},
        {L"", L""},
        {L"..", L""},
        {L"C:", L""},
        {L"\u00dcber", L"\u00dcber"},
    };
    for (const auto& [path, relative] : cases) {
        EXPECT_EQ(relativeEntryPath(path), relative) << path.c_str();
    }
}

TEST(ClientLogFiles, NamesThatHoldOneOfTheThreeLogs)
{
    for (const wchar_t* yes : {L"vossel.log", L"vossel.log.1", L"old_vossel.log", L"vossel_ui.log", L"vossel_ui.log.3", L"krb5.log"}) {
        EXPECT_TRUE(isClientLogFileName(yes)) << yes;
    }
    for (const wchar_t* no : {L"other.log", L"Vossel.log", L"vossel.txt", L"krb5.txt", L".", L".."}) {
        EXPECT_FALSE(isClientLogFileName(no)) << no;
    }
}

} // namespace
