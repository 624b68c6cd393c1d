// This program's temporary folder, and so its diagnostic log, is a folder of its own: the tests
// read the log lines that the archive writer writes, and other test programs log at the same time.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/temp_folder.h"

namespace {

class PrivateTempFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        const std::wstring folder = getTempFolder(MAX_PATH) + L"prt-unit-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        SetEnvironmentVariableW(L"TMP", folder.c_str());
        SetEnvironmentVariableW(L"TEMP", folder.c_str());
    }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new PrivateTempFolder);

} // namespace
