#include "report/folder_gathering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ContactsFolder, EndsInContactsWithItsCaseAndNoBackslashAfter)
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
        {L"C:\\QSK\\Contacts\\\\*", false},
        {L"C:\\QSK\\contacts\\*", false},
        {L"C:\\QSK\\ContactsOld\\*", false},
        {L"no separator", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isContactsFolder(c.pattern), c.contacts) << c.pattern.c_str();
    }
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(additionalFolderEntryPrefix(c.name, c.folder, c.file), c.prefix) << c.file.c_str();
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
