#include "sysinfo/system_info_worker.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

#include "base/diagnostic_log.h"
#include "base/temp_folder.h"
#include "platform/vosselutils/thread_helper.h"
#include "sysinfo/system_info_writer.h"

namespace {

// Touched by the main thread only: the settings reader starts the worker, the run joins it.
struct WorkerSlots {
    qsk::Thread* thread = nullptr;
    qsk::Runnable* runnable = nullptr;
};
WorkerSlots workerSlots;

// The path is shared with the worker. Neither is ever destroyed, so a worker that outlives the
// run's statics still finds them.
std::mutex& pathMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::wstring& pathValue()
{
    static auto* path = new std::wstring;
    return *path;
}

void setSystemInfoFilePath(const std::wstring& path)
{
    std::lock_guard<std::mutex> lock(pathMutex());
    pathValue() = path;
}

} // namespace

std::wstring planSystemInfoFile()
{
    const std::wstring path = getTempFolder(MAX_PATH) + L"SystemInfo.txt";
    setSystemInfoFilePath(path);
    return path;
}

void startSystemInfoThread()
{
    if (workerSlots.thread) {
        waitForSystemInfoThread();
    }
    const auto started = vosselutils::ThreadHelper::executeOnNewThread([] { systemInfoThreadProc(); }, false);
    workerSlots.thread = started.first;
    workerSlots.runnable = started.second;
}

void systemInfoThreadProc()
{
    try {
        const std::wstring path = plannedSystemInfoFilePath();
        setSystemInfoFilePath(path);
        writeLogLine(L"System info file: " + path);
        CSystemInfoWriter writer(path);
        writer.writeSystemInfo();
    } catch (...) {
        // Out of memory on the worker: the description stays short, the run goes on.
    }
}

void waitForSystemInfoThread()
{
    if (!workerSlots.thread) {
        return;
    }
    writeLogLine(L"Waiting for system info thread to finish.");
    if (WaitForSingleObject(workerSlots.thread->getHandle(), INFINITE) == WAIT_FAILED) {
        std::printf("Error waiting for thread: %d\n", static_cast<int>(GetLastError()));
    }
    // The thread object owns its handle and closes it as it goes.
    delete workerSlots.thread;
    delete workerSlots.runnable;
    workerSlots = WorkerSlots{};
}

std::wstring plannedSystemInfoFilePath()
{
    return getTempFolder(MAX_PATH) + L"SystemInfo.txt";
}

std::wstring getSystemInfoFilePath()
{
    std::lock_guard<std::mutex> lock(pathMutex());
    return pathValue();
}
