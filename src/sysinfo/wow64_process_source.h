#pragma once

#include <windows.h>

#include "sysinfo/gdi_handle_table.h"

// The census's view of a real process: the 64-bit side of a WOW64 process, read through the
// WOW64 entry points of "ntdll.dll". Those exist only in a 32-bit ntdll on 64-bit Windows; where
// they are missing every query fails and the census is empty.
class CWow64ProcessSource : public CGdiProcessSource {
public:
    // process must be open for PROCESS_QUERY_INFORMATION and PROCESS_VM_READ; it stays the
    // caller's.
    explicit CWow64ProcessSource(HANDLE process);

    bool isWow64Process() override;
    bool isNativeAmd64() override;
    bool queryBasicInformation64(unsigned char* record, std::uint32_t size) override;
    bool readMemory64(std::uint64_t address, void* buffer, std::uint64_t size) override;

private:
    using QueryInformation64 = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    using ReadVirtualMemory64 = LONG(NTAPI*)(HANDLE, ULONGLONG, PVOID, ULONGLONG, PULONGLONG);

    HANDLE process_;
    QueryInformation64 queryInformation64_ = nullptr;
    ReadVirtualMemory64 readVirtualMemory64_ = nullptr;
};
