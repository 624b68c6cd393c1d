#include "tool_run_fixture.h"

#include <algorithm>

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
