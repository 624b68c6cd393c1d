#include "sysinfo/dump_output_lines.h"

std::vector<std::string> CDumpOutputLines::add(const char* bytes, std::size_t count)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (byte == '\n' || byte == '\r') {
            if (!pending_.empty()) {
                lines.push_back(std::move(pending_));
            }
            pending_.clear();
            continue;
        }
        pending_.push_back(byte);
        if (pending_.size() == kLongestLine) {
            lines.push_back(std::move(pending_));
            pending_.clear();
        }
    }
    return lines;
}

std::vector<std::string> CDumpOutputLines::finish()
{
    std::vector<std::string> lines;
    if (!pending_.empty()) {
        lines.push_back(std::move(pending_));
    }
    pending_.clear();
    return lines;
}
