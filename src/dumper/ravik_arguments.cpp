#include "ravik_arguments.h"

#include <cstdint>

std::optional<RavikArguments> parseRavikArguments(int argc, const wchar_t* const* argv)
{
    if (argc != 3) {
        return std::nullopt;
    }
    const std::wstring identifier = argv[1];
    if (identifier.empty() || identifier.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t digit : identifier) {
        if (digit < L'0' || digit > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(digit - L'0');
    }
    if (value == 0 || value > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    RavikArguments arguments;
    arguments.processId = static_cast<unsigned long>(value);
    arguments.dumpFilePath = argv[2];
    if (arguments.dumpFilePath.empty()) {
        return std::nullopt;
    }
    return arguments;
}
