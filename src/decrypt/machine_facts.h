#pragma once

#include <string>
#include <string_view>
#include <vector>

// The machine as the report's system-information file describes it. Empty text where the file
// says nothing (the summary prints "not recorded" there).
struct MachineFacts {
    std::string windows;
    std::string memory;
    std::string processor;
    std::string monitor;
    std::vector<std::string> audio;
    std::vector<std::string> video;
    std::vector<std::string> monitors;
};

// From the UTF-8 text of "SystemInfo\SystemInfo.txt": systeminfo's lines first, the environment
// where systeminfo printed nothing, the monitor line and the device sections.
MachineFacts readMachineFacts(std::string_view text);
