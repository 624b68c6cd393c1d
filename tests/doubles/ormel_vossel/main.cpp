// Test double of the running Vossel client: see double_options.h for what a test can ask of it.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

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
    if (!options.exceptionRecordPath.empty() && !publishExceptionRecord(options.exceptionRecordPath)) {
        std::fputs("OrmelVossel (test double): cannot hold an exception record\n", stderr);
        return 5;
    }
    return runClientWindow(options);
}
