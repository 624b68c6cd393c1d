#include "tool_run_fixture.h"

#include <algorithm>
#include <iterator>

#include "support/failure_summary.h"

void ToolRunTest::TearDown()
{
    if (!HasFailure()) {
        return;
    }
    const std::vector<std::string> lines = logMessages();
    const size_t shown = std::min<size_t>(lines.size(), 80);
    std::string note = "the last " + std::to_string(shown) + " of " + std::to_string(lines.size())
        + " diagnostic log lines:\n";
    for (size_t i = lines.size() - shown; i < lines.size(); ++i) {
        note += "  " + lines[i] + "\n";
    }
    note += "the tool's output:\n" + output_;
    addFailureNote(note);
}

std::vector<std::string> messagesBetween(const std::vector<std::string>& messages,
    const std::string& first, const std::string& end)
{
    const auto begin = std::find(messages.begin(), messages.end(), first);
    if (begin == messages.end()) {
        return {};
    }
    const auto stop = std::find(begin, messages.end(), end);
    return std::vector<std::string>(begin, stop);
}

bool hasMessageStartingWith(const std::vector<std::string>& messages, const std::string& prefix)
{
    return std::any_of(messages.begin(), messages.end(),
        [&](const std::string& message) { return message.rfind(prefix, 0) == 0; });
}

std::vector<std::string> withoutWorkerMessages(const std::vector<std::string>& messages)
{
    static const char* const workerPrefixes[] = {"System info file: ", "writeEnvironmentalVars Entered",
        "writeIpConfig Entered", "writeTaskList Entered", "writeWindowSystemInfo Entered",
        "writeMonitorResolution Entered", "writeSystemDevices Entered", "Unable to open ",
        "Unable to create process: ipconfig.exe", "Unable to create process: tasklist.exe",
        "Unable to create process: systeminfo.exe", "Failed to locate WMI.", "Connecting WMI",
        "Failed to initialize COM library.", "Connected to WMI namespace", "Gathering "};
    std::vector<std::string> kept;
    for (const auto& message : messages) {
        const bool fromWorker = std::any_of(std::begin(workerPrefixes), std::end(workerPrefixes),
            [&](const char* prefix) { return message.rfind(prefix, 0) == 0; });
        if (!fromWorker) {
            kept.push_back(message);
        }
    }
    return kept;
}
