#include "sysinfo/wow64_process_source.h"

namespace {

template <typename Function>
Function findNtdllFunction(const char* name)
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) {
        return nullptr;
    }
    // Through void*: GetProcAddress's own function type matches none of these.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

} // namespace

CWow64ProcessSource::CWow64ProcessSource(HANDLE process)
    : process_(process),
      queryInformation64_(findNtdllFunction<QueryInformation64>("NtWow64QueryInformationProcess64")),
      readVirtualMemory64_(findNtdllFunction<ReadVirtualMemory64>("NtWow64ReadVirtualMemory64"))
{
}

bool CWow64ProcessSource::isWow64Process()
{
    BOOL wow64 = FALSE;
    return IsWow64Process(process_, &wow64) && wow64;
}

bool CWow64ProcessSource::isNativeAmd64()
{
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    return system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

bool CWow64ProcessSource::queryBasicInformation64(unsigned char* record, std::uint32_t size)
{
    constexpr ULONG kProcessBasicInformation = 0;
    return queryInformation64_ && queryInformation64_(process_, kProcessBasicInformation, record, size, nullptr) == 0;
}

bool CWow64ProcessSource::readMemory64(std::uint64_t address, void* buffer, std::uint64_t size)
{
    return readVirtualMemory64_ && readVirtualMemory64_(process_, address, buffer, size, nullptr) == 0;
}
