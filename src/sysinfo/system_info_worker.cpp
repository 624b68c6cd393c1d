#include "sysinfo/system_info_worker.h"

void startSystemInfoThread()
{
}

void waitForSystemInfoThread()
{
}

std::wstring getSystemInfoFilePath()
{
    return {};
}
