#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "platform/vosselutils/api.h"

namespace qsk {

// A piece of work for a thread.
class VOSSELUTILS_API Runnable {
public:
    explicit Runnable(std::function<void()> work);
    virtual ~Runnable();
    Runnable(const Runnable&) = delete;
    Runnable& operator=(const Runnable&) = delete;

    void run();

private:
    std::function<void()> work_;
};

// A thread running one Runnable. Deleting it waits for the work to end, then closes the handle.
class VOSSELUTILS_API Thread {
public:
    // Takes ownership of the thread handle.
    explicit Thread(HANDLE handle);
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The Windows thread handle: signalled when the work has ended.
    HANDLE getHandle() const;
    // True when the work ended within timeoutMs.
    bool join(unsigned long timeoutMs = INFINITE);

private:
    HANDLE handle_;
};

} // namespace qsk

namespace vosselutils {

class VOSSELUTILS_API ThreadHelper {
public:
    // Starts work at once on a new thread. With selfRelease false the caller owns both objects:
    // it waits on the thread and deletes the thread, then the runnable. With selfRelease true
    // the thread releases both itself when the work ends and both pointers returned are null.
    // Both pointers are null when no thread could be started.
    static std::pair<qsk::Thread*, qsk::Runnable*> executeOnNewThread(std::function<void()> work,
        bool selfRelease);
};

} // namespace vosselutils
