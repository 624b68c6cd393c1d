#include "support/failure_summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

std::string runningTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("(outside a test)");
}

class FailureSummary : public ::testing::EmptyTestEventListener {
public:
    void add(const std::string& text) { told_.push_back(runningTestName() + ": " + text); }

    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (result.failed()) {
            add(std::string(result.file_name() ? result.file_name() : "?") + ":" + std::to_string(result.line_number())
                + "\n" + result.message());
        }
    }

    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        if (told_.empty()) {
            return;
        }
        std::printf("\n[ FAILURES AGAIN ]\n");
        for (const auto& text : told_) {
            std::printf("%s\n\n", text.c_str());
        }
        std::fflush(stdout);
    }

private:
    std::vector<std::string> told_;
};

// Appended once, before the program runs its tests; gtest owns it from here.
FailureSummary& summary()
{
    static FailureSummary* listener = [] {
        auto* created = new FailureSummary;
        ::testing::UnitTest::GetInstance()->listeners().Append(created);
        return created;
    }();
    return *listener;
}

const bool registered = (summary(), true);

} // namespace

void addFailureNote(const std::string& note)
{
    summary().add(note);
}
