#pragma once

#include <optional>
#include <string>

// The hosted virtual desktop, as the virtual-desktop client's libraries "Quillet" and "Skerrit"
// see it. Each call finds the client's folder, loads the library, calls it, frees it and logs
// every step; nothing is remembered between calls.

// True when the tool runs on a hosted virtual desktop ("GetEnvironment" gives 2).
bool IsVirtualisedEnv();

// True when the virtual-desktop agent accepts this client version ("VerifyVersion" gives 0).
bool VerifyVersion(const std::string& version);

// Has the media engine write its logs into the user's local application data folder +
// "\Ormel\Merovan\Virtualisation\". A status that the user must hear about is shown in a message
// box, and the run waits until it is closed.
void collectVirtualDesktopLogs();

// Whether this run had the media engine collect its logs and it reported success ("CollectLogs"
// gave 0); the status it gave, or nothing when it was not asked.
bool engineLogsCollected();
std::optional<int> engineCollectStatus();

// Has the media engine delete its logs.
void deleteVirtualDesktopLogs();
