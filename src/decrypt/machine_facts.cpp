#include "decrypt/machine_facts.h"

#include <map>

namespace {

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// The value after "Label:" on a line of systeminfo's output, or nothing.
bool labelled(std::string_view line, std::string_view label, std::string& value)
{
    if (line.substr(0, label.size()) != label || line.size() <= label.size() || line[label.size()] != ':') {
        return false;
    }
    value = trimmed(line.substr(label.size() + 1));
    return true;
}

// The device sections of the device inventory: a title line, then blocks of "\tName:\tvalue".
const std::map<std::string, std::vector<std::string> MachineFacts::*> kSections = {
    {"Audio Devices", &MachineFacts::audio},
    {"Video Devices", &MachineFacts::video},
    {"Desktop Monitor", &MachineFacts::monitors},
};

} // namespace

MachineFacts readMachineFacts(std::string_view text)
{
    MachineFacts facts;
    std::map<std::string, std::string> environment;
    std::string osName;
    std::string osVersion;
    std::vector<std::string>* section = nullptr;
    bool inEnvironment = false;
    bool processorsNext = false;
    for (const std::string_view line : linesOf(text)) {
        std::string value;
        if (processorsNext && !trimmed(line).empty() && trimmed(line)[0] == '[') {
            const std::string entry = trimmed(line);
            const std::size_t colon = entry.find(':');
            facts.processor = trimmed(std::string_view(entry).substr(colon == std::string::npos ? 0 : colon + 1));
        }
        processorsNext = false;
        if (line == "Environment Variables") {
            inEnvironment = true;
            continue;
        }
        const auto found = kSections.find(std::string(line));
        if (found != kSections.end()) {
            section = &(facts.*(found->second));
            inEnvironment = false;
            continue;
        }
        if (line == "USB Devices") {
            section = nullptr;
            continue;
        }
        if (section && labelled(trimmed(line), "Name", value) && !value.empty()) {
            section->push_back(value);
        } else if (labelled(line, "OS Name", value)) {
            osName = value, inEnvironment = false;
        } else if (labelled(line, "OS Version", value)) {
            osVersion = value;
        } else if (labelled(line, "Total Physical Memory", value)) {
            facts.memory = value;
        } else if (labelled(line, "Processor(s)", value)) {
            processorsNext = true;
        } else if (line.rfind("Monitor Resolution:", 0) == 0) {
            facts.monitor = trimmed(line.substr(19));
        } else if (inEnvironment && line.find('=') != std::string_view::npos && line.find('=') > 0) {
            environment[std::string(line.substr(0, line.find('=')))] = trimmed(line.substr(line.find('=') + 1));
        } else if (inEnvironment && !line.empty()) {
            inEnvironment = false; // ipconfig's output follows the variables
        }
    }
    facts.windows = osName.empty() ? std::string() : osName + (osVersion.empty() ? "" : ", " + osVersion);
    if (facts.processor.empty() && environment.count("PROCESSOR_IDENTIFIER")) {
        facts.processor = environment["PROCESSOR_IDENTIFIER"];
        if (environment.count("NUMBER_OF_PROCESSORS")) {
            facts.processor += " (" + environment["NUMBER_OF_PROCESSORS"] + " logical processors)";
        }
    }
    return facts;
}
