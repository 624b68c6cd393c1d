#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How long the run's stages took, kept as they end, for the report's manifest.

struct StageTime {
    std::wstring stage;
    double seconds = 0;
};

// Notes the start of the run (UTC); the first call counts.
void markRunStart();
// The run's start as noted, or now when it was never noted.
SYSTEMTIME runStartUtc();

void recordStageTime(const wchar_t* stage, double seconds);
// Every stage that has ended so far, in the order they ended.
std::vector<StageTime> stageTimes();
