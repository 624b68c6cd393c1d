#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_profile.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/tool_runner.h"

// One run of VosselPRT.exe in a temporary folder of its own, as a user would start it.
class ToolRunTest : public ::testing::Test {
protected:
    // A failed test leaves the tool's last diagnostic log lines and its output for the summary.
    void TearDown() override;

    const std::wstring& temp() const { return temp_.path(); }
    std::wstring iniPath() const { return temp() + L"VosselPRT.ini"; }

    void writeIni(const std::string& text) { ASSERT_TRUE(writeFileBytes(iniPath(), text)); }

    // Runs the tool with args; expects it to end with exit code 0. Its standard output and error
    // are kept in output(). The diagnostic log is kept for the test unless keepLog is false.
    void runTool(const std::wstring& args, bool keepLog = true)
    {
        const auto exitCode = keepLog ? ::runTool(args, temp(), temp() + L"tool-output.txt")
                                      : ::runToolAsIs(args, temp(), temp() + L"tool-output.txt");
        ASSERT_TRUE(exitCode.has_value()) << "the tool did not end";
        EXPECT_EQ(*exitCode, 0u);
        output_ = readFileBytes(temp() + L"tool-output.txt").value_or("");
        DeleteFileW((temp() + L"tool-output.txt").c_str());
    }

    std::vector<std::string> logMessages() const { return readLogMessages(temp() + L"PRT.txt"); }
    const std::string& output() const { return output_; }

    // The temporary folder as the tool writes it into its log lines.
    std::string tempText() const { return std::string(temp().begin(), temp().end()); }

    // The client's folders start empty for every test.
    ScopedClientProfile profile_;

private:
    ScopedTempFolder temp_;
    std::string output_;
};

// The messages from the first one equal to first, up to but not including the first one equal to
// end (to the end of the log when there is none); empty when first is missing.
std::vector<std::string> messagesBetween(const std::vector<std::string>& messages,
    const std::string& first, const std::string& end);

// The messages without the system-information worker's, which may fall anywhere among the main
// thread's.
std::vector<std::string> withoutWorkerMessages(const std::vector<std::string>& messages);

// Whether any message begins with prefix.
bool hasMessageStartingWith(const std::vector<std::string>& messages, const std::string& prefix);
