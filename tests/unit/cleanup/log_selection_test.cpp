#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cleanup/log_selection.h"

namespace {

TEST(LogSelection, NamesAreMatchedAnywhereWithTheirCase)
{
    const struct {
        const wchar_t* name;
        bool client;
        bool engine;
    } cases[] = {
        {L"vossel.log", true, true}, {L"vossel.log.1", true, true}, {L"old-vossel.log.bak", true, true},
        {L"vossel_ui.log", false, true}, {L"Vossel.log", false, true}, {L"clientSideLogs.zip", false, true},
        {L"clientsidelogs.zip", false, false}, {L"a.LOG", false, false}, {L"b.txt", false, false},
    };
    for (const auto& c : cases) {
        const std::string name(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(isClientLogName(c.name), c.client) << name;
        EXPECT_EQ(isEngineLogName(c.name), c.engine) << name;
    }
}

TEST(LogSelection, EngineFoldersComeOnlyFromPathsThatNameTheVirtualisationFolder)
{
    const std::map<std::wstring, std::wstring> paths = {
        {L"B", L"C:\\Users\\jo\\AppData\\Local\\Ormel\\Merovan\\Virtualisation"},
        {L"A", L"C:\\logs\\virtualisation"},
        {L"C", L"C:\\Virtualisation\\"},
        {L"D", L"C:\\x\\Virtualisations"},
    };
    EXPECT_EQ(engineLogFolders(paths),
        (std::vector<std::wstring>{L"C:\\Users\\jo\\AppData\\Local\\Ormel\\Merovan\\Virtualisation\\",
            L"C:\\Users\\jo\\AppData\\Local\\Ormel\\Merovan\\Virtualisation\\Skerrit\\",
            L"C:\\Users\\jo\\AppData\\Local\\Ormel\\Merovan\\Virtualisation\\VirtualChannel\\",
            L"C:\\Virtualisation\\\\", L"C:\\Virtualisation\\\\Skerrit\\", L"C:\\Virtualisation\\\\VirtualChannel\\",
            L"C:\\x\\Virtualisations\\", L"C:\\x\\Virtualisations\\Skerrit\\", L"C:\\x\\Virtualisations\\VirtualChannel\\"}));
    EXPECT_TRUE(engineLogFolders({{L"E", L""}}).empty());
}

} // namespace
