#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "base/scoped_handle.h"
#include "base/scoped_registry_key.h"
#include "platform/vosselutils/registry_utils.h"
#include "platform/vosselutils/system_utils.h"
#include "platform/vosselutils/thread_helper.h"
#include "support/client_double.h"

namespace {

using vosselutils::SystemUtils;

bool contains(const std::vector<unsigned long>& ids, unsigned long id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(VosselUtilsSystem, ProcessesAreFoundByNameWithoutRegardToCase)
{
    EXPECT_TRUE(SystemUtils::getProcessIDByName(L"OrmelVossel.exe", false).empty());

    RunningClientDouble first;
    RunningClientDouble second;
    for (bool sessionOnly : {false, true}) {
        for (const wchar_t* name : {L"OrmelVossel.exe", L"ormelvossel.EXE"}) {
            const auto ids = SystemUtils::getProcessIDByName(name, sessionOnly);
            EXPECT_EQ(ids.size(), 2u) << name;
            EXPECT_TRUE(contains(ids, first.processId()));
            EXPECT_TRUE(contains(ids, second.processId()));
        }
    }
    EXPECT_TRUE(SystemUtils::getProcessIDByName(L"OrmelVossel", false).empty());
    EXPECT_TRUE(SystemUtils::getProcessIDByName(L"dntcolex.exe", true).empty());
}

TEST(VosselUtilsThreads, WorkRunsOnANewThreadThatTheCallerWaitsOn)
{
    std::atomic<DWORD> workerThread{0};
    ScopedKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto [thread, runnable] = vosselutils::ThreadHelper::executeOnNewThread(
        [&] {
            WaitForSingleObject(release.get(), INFINITE);
            workerThread = GetCurrentThreadId();
        },
        false);
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(runnable, nullptr);

    // The work has begun and waits: the handle is not signalled yet.
    EXPECT_EQ(WaitForSingleObject(thread->getHandle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(release.get());
    EXPECT_EQ(WaitForSingleObject(thread->getHandle(), 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(thread->join(0));
    EXPECT_NE(workerThread.load(), 0u);
    EXPECT_NE(workerThread.load(), GetCurrentThreadId());
    delete thread;
    delete runnable;
}

TEST(VosselUtilsThreads, SelfReleasingWorkReturnsNoObjects)
{
    ScopedKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto [thread, runnable] = vosselutils::ThreadHelper::executeOnNewThread(
        [&] { SetEvent(done.get()); }, true);
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(runnable, nullptr);
    EXPECT_EQ(WaitForSingleObject(done.get(), 30000), static_cast<DWORD>(WAIT_OBJECT_0));
}

class VosselUtilsRegistry : public ::testing::Test {
protected:
    static constexpr wchar_t kKey[] = L"Software\\VosselPrtTests\\Registry";

    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &created, nullptr),
            ERROR_SUCCESS);
        key_.reset(created);
    }
    void TearDown() override
    {
        key_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }

    void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    }

    std::wstring read(const wchar_t* name, REGSAM access = KEY_READ)
    {
        return vosselutils::RegistryUtils::readRegistryKeyStringValue(HKEY_CURRENT_USER, kKey, name, access);
    }

    ScopedRegistryKey key_;
};

TEST_F(VosselUtilsRegistry, StringValuesAreReadAndEverythingElseIsEmpty)
{
    const wchar_t text[] = L"120";
    setRaw(L"AppliedDPI", REG_SZ, text, sizeof(text));
    const wchar_t expandable[] = L"%SystemRoot%\\x";
    setRaw(L"Expandable", REG_EXPAND_SZ, expandable, sizeof(expandable));
    // Stored without its terminator, and with an odd byte more.
    const wchar_t unterminated[] = L"Windows 10 Pro";
    setRaw(L"Unterminated", REG_SZ, unterminated, sizeof(unterminated) - sizeof(wchar_t));
    setRaw(L"Odd", REG_SZ, unterminated, sizeof(unterminated) - sizeof(wchar_t) + 1);
    const DWORD number = 96;
    setRaw(L"Number", REG_DWORD, &number, sizeof(number));

    EXPECT_EQ(read(L"AppliedDPI"), L"120");
    EXPECT_EQ(read(L"AppliedDPI", KEY_ALL_ACCESS), L"120");
    EXPECT_EQ(read(L"Expandable"), L"%SystemRoot%\\x");
    EXPECT_EQ(read(L"Unterminated"), L"Windows 10 Pro");
    EXPECT_EQ(read(L"Odd"), L"Windows 10 Pro");
    EXPECT_EQ(read(L"Number"), L"");
    EXPECT_EQ(read(L"Missing"), L"");
    EXPECT_EQ(vosselutils::RegistryUtils::readRegistryKeyStringValue(
                  HKEY_CURRENT_USER, L"Software\\VosselPrtTests\\Missing", L"AppliedDPI", KEY_READ),
        L"");
}

} // namespace
