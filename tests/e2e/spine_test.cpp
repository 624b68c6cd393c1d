#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/tool_runner.h"

namespace {

TEST(Spine, SecondInstanceWritesItsOneLineAndExitsZero)
{
    ScopedTempFolder temp;
    // This test process stands in for the instance that is already running.
    ScopedKernelHandle held(CreateMutexW(nullptr, FALSE, L"Local\\OrmelVossel-PRTMutex"));
    ASSERT_TRUE(held.isValid());

    EXPECT_EQ(runTool(L"/file out.zip", temp.path()), 0u);

    const auto log = readFileBytes(temp.path() + L"PRT.txt");
    ASSERT_TRUE(log);
    ASSERT_GT(log->size(), 2u);
    EXPECT_TRUE(hasLogLineShape(log->substr(0, log->size() - 2)));
    EXPECT_EQ(log->substr(26), "only single instance is allowned.\r\n");
}

TEST(Spine, OrdinaryStartExitsZeroAndLeavesItsLog)
{
    ScopedTempFolder temp;
    EXPECT_EQ(runTool(L"/summary hello", temp.path()), 0u);

    const auto messages = readLogMessages(temp.path() + L"PRT.txt");
    ASSERT_FALSE(messages.empty());
    for (const auto& message : messages) {
        EXPECT_NE(message, "only single instance is allowned.");
    }
}

TEST(Spine, TemporaryFolderThatCannotBeWrittenStillExitsZero)
{
    ScopedTempFolder temp;
    const std::wstring missing = temp.path() + L"gone\\";
    EXPECT_EQ(runTool(L"", missing), 0u);
    EXPECT_FALSE(fileExists(missing));
}

} // namespace
