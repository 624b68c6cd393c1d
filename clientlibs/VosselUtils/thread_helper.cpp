#include "platform/vosselutils/thread_helper.h"

#include <process.h>

namespace qsk {

Runnable::Runnable(std::function<void()> work) : work_(std::move(work)) {}

Runnable::~Runnable() = default;

void Runnable::run()
{
    if (work_) {
        work_();
    }
}

Thread::Thread(HANDLE handle) : handle_(handle) {}

Thread::~Thread()
{
    if (handle_) {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
    }
}

HANDLE Thread::getHandle() const
{
    return handle_;
}

bool Thread::join(unsigned long timeoutMs)
{
    return handle_ && WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

} // namespace qsk

namespace vosselutils {

namespace {

struct ThreadStart {
    qsk::Runnable* runnable;
    bool selfRelease;
};

unsigned __stdcall threadMain(void* parameter)
{
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    start.runnable->run();
    if (start.selfRelease) {
        delete start.runnable;
    }
    return 0;
}

} // namespace

std::pair<qsk::Thread*, qsk::Runnable*> ThreadHelper::executeOnNewThread(std::function<void()> work,
    bool selfRelease)
{
    auto* runnable = new qsk::Runnable(std::move(work));
    auto* start = new ThreadStart{runnable, selfRelease};
    // _beginthreadex, not CreateThread, so the C runtime is set up for the work.
    const uintptr_t handle = _beginthreadex(nullptr, 0, threadMain, start, 0, nullptr);
    if (handle == 0) {
        delete start;
        delete runnable;
        return {nullptr, nullptr};
    }
    if (selfRelease) {
        CloseHandle(reinterpret_cast<HANDLE>(handle));
        return {nullptr, nullptr};
    }
    return {new qsk::Thread(reinterpret_cast<HANDLE>(handle)), runnable};
}

} // namespace vosselutils
