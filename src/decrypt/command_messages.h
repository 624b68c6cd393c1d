#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Exit statuses every verb shares.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOlderReport = 3;

// "VosselPRTDecrypt: " + message on err; returns kExitFailed.
int failWith(std::ostream& err, const std::string& message);

void printUsage(std::ostream& err);

// The arguments of a verb: the words in order, and the options named in flags (alone) and valued
// (followed by a value). False when an option is unknown or lacks its value.
struct VerbArguments {
    std::vector<std::string> words;
    std::vector<std::string> flags;
    std::vector<std::pair<std::string, std::string>> values;

    bool has(const std::string& flag) const;
    std::optional<std::string> value(const std::string& name) const;
};
bool splitArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& flags,
    const std::vector<std::string>& valued, VerbArguments& split);
