#include "app/single_instance.h"

#include <windows.h>

namespace {
constexpr wchar_t kMutexName[] = L"Local\\OrmelVossel-PRTMutex";
}

CSingleInstanceGuard::CSingleInstanceGuard()
    : mutex_(CreateMutexW(nullptr, FALSE, kMutexName))
{
    alreadyExisted_ = mutex_.isValid() && GetLastError() == ERROR_ALREADY_EXISTS;
}
