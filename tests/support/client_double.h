#pragma once

#include <string>

#include "support/tool_runner.h"

// A running OrmelVossel.exe double whose window exists once the constructor returns (a test
// aborts when it does not come up). args are the double's own, see its double_options.h.
class RunningClientDouble {
public:
    explicit RunningClientDouble(const std::wstring& args = L"",
        const EnvironmentOverrides& overrides = {});

    unsigned long processId() const { return program_.processId(); }
    bool isRunning() const { return program_.isRunning(); }
    StartedProgram& program() { return program_; }

private:
    StartedProgram program_;
};
