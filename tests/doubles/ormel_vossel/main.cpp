// Test double of the running Vossel client: see double_options.h for what a test can ask of it.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "base/scoped_handle.h"
#include "client_material.h"
#include "client_window.h"
#include "double_options.h"
#include "exception_record.h"

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    DoubleOptions options;
    if (!argv || !parseDoubleOptions(argc, argv, options)) {
        std::fputs("OrmelVossel (test double): unknown arguments\n", stderr);
        return 1;
    }
    LocalFree(argv);
    if (options.layOutMaterial && !layOutClientMaterial()) {
        std::fputs("OrmelVossel (test double): cannot lay out the client's material\n", stderr);
        return 4;
    }
    // Held before the window says it is ready, so a test that waits for the window finds it held.
    ScopedFileHandle held;
    if (!options.holdFile.empty()) {
        held.reset(CreateFileW(options.holdFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!held) {
            std::fputs("OrmelVossel (test double): cannot hold the file\n", stderr);
            return 5;
        }
    }
    if (!options.exceptionRecordPath.empty() && !publishExceptionRecord(options.exceptionRecordPath)) {
        std::fputs("OrmelVossel (test double): cannot hold an exception record\n", stderr);
        return 6;
    }
    return runClientWindow(options);
}
