#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "base/scoped_handle.h"
#include "support/scoped_temp_folder.h"
#include "support/tool_runner.h"
#include "sysinfo/command_output.h"
#include "sysinfo/dump_program.h"

namespace {

constexpr DWORD kLongestWaitMs = 60000;

// The programs the tool starts inherit the one handle each is given, never another one that the
// tool holds inheritable at that moment: the other thread's output file, the diagnostic log. One
// that did would keep that file open, and undeletable, for as long as it runs.
class InheritedHandles : public ::testing::Test {
protected:
    InheritedHandles()
        : program_(testBinaryFolder() + L"StandInCommand.exe"),
          name_(L"prt-test-inherited-" + std::to_wstring(GetCurrentProcessId())),
          go_(CreateEventW(nullptr, TRUE, FALSE, (name_ + L"-held").c_str()))
    {
    }

    // A program that runs until go() is called.
    std::wstring waitingCommandLine() const { return L"\"" + program_ + L"\" ended --after " + name_; }
    void go() { SetEvent(go_.get()); }

    // Opened inheritable, as the runtime library opens the tool's own files.
    ScopedFileHandle openInheritable(const std::wstring& name)
    {
        SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
        return ScopedFileHandle(CreateFileW((folder_.path() + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
            &inheritable, CREATE_ALWAYS, 0, nullptr));
    }

    // Whether no one holds the file: only then does it open with no sharing at all.
    bool heldByNoOne(const std::wstring& name) const
    {
        return static_cast<bool>(ScopedFileHandle(
            CreateFileW((folder_.path() + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    }

    const std::wstring program_;
    const std::wstring name_;
    ScopedKernelHandle go_;
    ScopedTempFolder folder_;
};

// Whether this process has started a program of that file name, waiting for it up to a minute.
bool childStarted(const wchar_t* exeName)
{
    for (ULONGLONG end = GetTickCount64() + kLongestWaitMs; GetTickCount64() < end; Sleep(10)) {
        if (!childProcesses(GetCurrentProcessId(), exeName).empty()) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(InheritedHandles, ACommandGetsItsOutputFileAndNoOtherHandle)
{
    ScopedFileHandle other = openInheritable(L"other.txt");
    ASSERT_TRUE(other);
    ScopedKernelHandle process = startCommandWithOutput(program_, waitingCommandLine(), folder_.path() + L"output.txt");
    ASSERT_TRUE(process);
    other.reset();

    EXPECT_TRUE(heldByNoOne(L"other.txt"));
    go();
    EXPECT_EQ(WaitForSingleObject(process.get(), kLongestWaitMs), WAIT_OBJECT_0);
}

TEST_F(InheritedHandles, TheDumpProgramGetsItsPipeAndNoOtherHandle)
{
    ScopedFileHandle other = openInheritable(L"other.txt");
    ASSERT_TRUE(other);
    std::optional<unsigned long> exitCode;
    std::thread run([&] { exitCode = runDumpProgram(waitingCommandLine(), kLongestWaitMs); });
    const bool started = childStarted(L"StandInCommand.exe");
    other.reset();

    EXPECT_TRUE(started);
    EXPECT_TRUE(heldByNoOne(L"other.txt"));
    go();
    run.join();
    EXPECT_EQ(exitCode, 0ul);
}
