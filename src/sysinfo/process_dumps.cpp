#include "sysinfo/process_dumps.h"

void createDumpFiles(bool)
{
}

std::wstring crashDumpFilePath()
{
    return {};
}
