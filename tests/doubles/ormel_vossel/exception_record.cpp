#include "exception_record.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

// Some code of this program, for the exception's address to fall in this module's image.
__declspec(noinline) void faultingFunction()
{
    std::fputs("", stdout);
}

void* lowPage()
{
    for (std::uintptr_t address = 0x10000000; address < 0x80000000; address += 0x01000000) {
        if (void* page = VirtualAlloc(reinterpret_cast<void*>(address), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {
            return page;
        }
    }
    return nullptr;
}

} // namespace

bool publishExceptionRecord(const std::wstring& path)
{
    auto* page = static_cast<unsigned char*>(lowPage());
    if (!page) {
        return false;
    }
    auto* pointers = reinterpret_cast<EXCEPTION_POINTERS*>(page);
    auto* record = reinterpret_cast<EXCEPTION_RECORD*>(page + 64);
    auto* context = reinterpret_cast<CONTEXT*>(page + 512);
    RtlCaptureContext(context);
    record->ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record->ExceptionAddress = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(&faultingFunction) + 4);
    record->NumberParameters = 2;
    record->ExceptionInformation[0] = 0; // a read
    record->ExceptionInformation[1] = 0x10;
    pointers->ExceptionRecord = record;
    pointers->ContextRecord = context;

    std::ofstream out(path.c_str(), std::ios::trunc);
    out << std::hex << GetCurrentThreadId() << " " << reinterpret_cast<std::uintptr_t>(pointers) << "\n";
    return static_cast<bool>(out);
}
