#include "vdi/virtual_desktop.h"

bool IsVirtualisedEnv()
{
    return false;
}

bool VerifyVersion(const std::string&)
{
    return false;
}

void collectVirtualDesktopLogs()
{
}
