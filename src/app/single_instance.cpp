#include "app/single_instance.h"

#include <windows.h>

namespace {
constexpr wchar_t kMutexName[] = L"Local\\OrmelVossel-PRTMutex";
}

CSingleInstanceGuard::CSingleInstanceGuard()
    : mutex_(CreateMutexW(nullptr, FALSE, kMutexName))
{
    const DWORD error = GetLastError();
    // An instance started in another security context of the session (elevated, or as another
    // user) holds a mutex that this one may not open: that instance runs just the same.
    alreadyExisted_ = mutex_.isValid() ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}
