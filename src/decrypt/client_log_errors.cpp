#include "decrypt/client_log_errors.h"

#include <algorithm>
#include <cctype>

#include "decrypt/text_encoding.h"

namespace {

constexpr std::size_t kLongestShownLine = 400;

bool hasTimeShape(std::string_view line)
{
    static const char shape[] = "dddd-dd-dd dd:dd:dd";
    if (line.size() < sizeof(shape) - 1) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < sizeof(shape); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(line[i])) != 0;
        if (shape[i] == 'd' ? !digit : line[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

bool isErrorLine(std::string_view line)
{
    // The level is the word after the thread's bracket near the start, never a word of the message.
    const std::size_t bracket = line.find("] ");
    if (bracket == std::string_view::npos || bracket > 48) {
        return false;
    }
    std::string_view rest = line.substr(bracket + 2);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    return rest.substr(0, 6) == "ERROR " || rest.substr(0, 6) == "FATAL ";
}

} // namespace

void CClientLogErrors::addLine(const std::string& log, std::string_view line)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (!isErrorLine(line)) {
        return;
    }
    ++total_;
    const std::string time = hasTimeShape(line) ? std::string(line.substr(0, 19)) : std::string();
    if (!time.empty()) {
        ++perMinute_[time.substr(0, 16)];
    }
    newest_[{time, order_++}] = LogErrorLine{time, log, printable(line.substr(0, kLongestShownLine))};
    if (newest_.size() > kKeptLines) {
        newest_.erase(newest_.begin());
    }
}

std::vector<LogErrorLine> CClientLogErrors::newest() const
{
    std::vector<LogErrorLine> lines;
    for (const auto& [key, line] : newest_) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::pair<std::string, std::size_t>> CClientLogErrors::overTime() const
{
    std::map<std::string, std::size_t> perHour;
    for (const auto& [minute, count] : perMinute_) {
        perHour[minute.substr(0, 13)] += count;
    }
    const auto& chosen = perHour.size() > 1 ? perHour : perMinute_;
    return {chosen.begin(), chosen.end()};
}

bool isClientLogName(const std::string& entryName)
{
    const std::size_t slash = entryName.find_last_of("\\/");
    std::string name = slash == std::string::npos ? entryName : entryName.substr(slash + 1);
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const char* part : {"vossel.log", "vossel_ui.log", "krb5.log"}) {
        if (name.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}
