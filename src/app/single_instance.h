#pragma once

#include "base/scoped_handle.h"

// The guard that lets one report tool run per logon session: the named mutex
// "Local\OrmelVossel-PRTMutex", held from construction until the process ends. Only its
// existence matters; it is never owned or waited on.
class CSingleInstanceGuard {
public:
    CSingleInstanceGuard();

    // True when the mutex already existed, so another instance is running in this session, or
    // when it exists but may not be opened from this security context. When the mutex cannot be
    // made for another reason the run goes on without the guard.
    bool anotherInstanceRuns() const { return alreadyExisted_; }

private:
    ScopedKernelHandle mutex_;
    bool alreadyExisted_ = false;
};
