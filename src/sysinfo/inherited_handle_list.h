#pragma once

#include <windows.h>

#include <vector>

// The attribute list that lets a new process inherit the one handle named and no other that this
// process may have made inheritable meanwhile: the other thread may be starting a program of its
// own with an output file or a pipe at that moment, and the diagnostic log and the runtime's files
// are inheritable too. A program that inherited one of them would hold it for as long as it runs.
class CInheritedHandleList {
public:
    // handle must outlive the list: the system keeps its address until the process is made.
    explicit CInheritedHandleList(HANDLE& handle);
    ~CInheritedHandleList();
    CInheritedHandleList(const CInheritedHandleList&) = delete;
    CInheritedHandleList& operator=(const CInheritedHandleList&) = delete;

    // The start-up information for CreateProcessW with hStdOutput (and, when wanted, hStdError)
    // set to the handle, and the creation flag that goes with it. Without the list, which the
    // system may fail to make, every inheritable handle is inherited, as before handle lists.
    STARTUPINFOEXW startupInfo(bool alsoStandardError) const;
    DWORD creationFlag() const { return list_ ? EXTENDED_STARTUPINFO_PRESENT : 0; }

private:
    HANDLE handle_;
    std::vector<unsigned char> buffer_;
    bool initialized_ = false;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};
