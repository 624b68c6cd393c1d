#pragma once

#include <string>

// True when the tool runs on a hosted virtual desktop. Asked afresh each time, never cached.
bool IsVirtualisedEnv();

// True when the virtual-desktop agent accepts this client version (narrow text).
bool VerifyVersion(const std::string& version);

// Has the virtual desktop's media engine collect its logs.
void collectVirtualDesktopLogs();
