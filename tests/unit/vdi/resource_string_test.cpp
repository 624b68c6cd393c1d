#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/ptkdll/ptk_app.h"
#include "vdi/resource_string.h"

namespace {

// This test program carries a string table of its own (test_strings.rc).
HMODULE self()
{
    return GetModuleHandleW(nullptr);
}

TEST(ResourceString, TheApplicationObjectGivesTheModulesText)
{
    AT::CPtkApp* session = AT::CPtkApp::GetCurrentSession();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(AT::CPtkApp::GetCurrentSession(), session);
    EXPECT_EQ(session->LoadResString(self(), 101), L"plain text");
    EXPECT_EQ(session->LoadResString(self(), 102), L"");
}

TEST(ResourceString, TextIsFormattedWithTheArguments)
{
    EXPECT_EQ(formatResourceString(self(), 101), L"plain text");
    EXPECT_EQ(formatResourceString(self(), 100, L"Inbox", 3), L"Inbox has 3 items");
    EXPECT_EQ(formatResourceString(self(), 102), L"");
}

TEST(ResourceString, BufferGrowsUntilTheTextFitsAndStopsAtItsLargest)
{
    const std::wstring name(5000, L'n');
    EXPECT_EQ(formatResourceString(self(), 100, name.c_str(), 1), name + L" has 1 items");

    // Beyond the largest buffer: what the last attempt wrote, never more than it holds.
    const std::wstring huge(40000, L'h');
    const std::wstring cut = formatResourceString(self(), 100, huge.c_str(), 1);
    EXPECT_LT(cut.size(), 32767u);
    EXPECT_EQ(cut, huge.substr(0, cut.size()));
}

} // namespace
