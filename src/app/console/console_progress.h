#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_progress.h"

// The run's progress on the standard error stream, for a person waiting at a console: one line
// per stage as it starts and, for a large entry of the archive, its name and a percentage.

// "Reading the settings" and so on: what the stage line says.
std::wstring stageText(RunStage stage);

// Shows what the run reports from here on (setRunProgressListener) on the standard error stream:
// a line per stage, and the progress of an entry while it is written. Only entries larger than
// 16 MiB are shown; on a console one line is redrawn at most a few times a second, on a
// redirected stream a plain line is written at every tenth.
void showRunProgressOnConsole();

// Ends a progress line that a console update left open, before something else is written.
void finishProgressLine();

// The decisions behind reportEntryProgress, without the clock or the stream.
class CEntryProgressMeter {
public:
    static constexpr std::uint64_t kShownAbove = 16ull * 1024 * 1024;
    static constexpr std::uint64_t kConsoleIntervalMs = 250;

    // The text to write for this update (empty when nothing is due): on a console it starts with a
    // carriage return and ends with a line end only at 100 %; redirected, every text is a line.
    std::wstring update(std::wstring_view name, std::uint64_t done, std::uint64_t total,
        std::uint64_t nowMs, bool console);
    // The line end that closes a console line left open; empty when none is open.
    std::wstring finishLine();

private:
    std::wstring name_;
    std::uint64_t lastDone_ = 0;
    int lastPercent_ = -1;
    std::uint64_t lastMs_ = 0;
    bool lineOpen_ = false;
};
