#include "sysinfo/inherited_handle_list.h"

CInheritedHandleList::CInheritedHandleList(HANDLE& handle) : handle_(handle)
{
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (size > 0 && InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        initialized_ = true;
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle, sizeof(handle), nullptr,
                nullptr)) {
            list_ = list;
        }
    }
}

CInheritedHandleList::~CInheritedHandleList()
{
    if (initialized_) {
        DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data()));
    }
}

STARTUPINFOEXW CInheritedHandleList::startupInfo(bool alsoStandardError) const
{
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = list_ ? sizeof(startup) : sizeof(startup.StartupInfo);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = handle_;
    startup.StartupInfo.hStdError = alsoStandardError ? handle_ : nullptr;
    startup.lpAttributeList = list_;
    return startup;
}
