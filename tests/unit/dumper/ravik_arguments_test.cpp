#include "ravik_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RavikArguments, AnIdentifierInDecimalAndAPath)
{
    struct Case {
        std::vector<const wchar_t*> argv;
        bool valid;
        unsigned long processId;
    };
    const std::vector<Case> cases = {
        {{L"Ravik.exe", L"1234", L"C:\\a b\\d.dmp"}, true, 1234},
        {{L"Ravik.exe", L"4294967295", L"d.dmp"}, true, 4294967295ul},
        {{L"Ravik.exe"}, false, 0},
        {{L"Ravik.exe", L"1234"}, false, 0},
        {{L"Ravik.exe", L"1234", L"d.dmp", L"extra"}, false, 0},
        {{L"Ravik.exe", L"", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"0", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"0x10", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"-5", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"12a", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"4294967296", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"99999999999", L"d.dmp"}, false, 0},
        {{L"Ravik.exe", L"1234", L""}, false, 0},
    };
    for (const Case& c : cases) {
        const auto parsed = parseRavikArguments(static_cast<int>(c.argv.size()), c.argv.data());
        ASSERT_EQ(parsed.has_value(), c.valid) << (c.argv.size() > 1 ? c.argv[1] : L"(none)");
        if (parsed) {
            EXPECT_EQ(parsed->processId, c.processId);
            EXPECT_EQ(parsed->dumpFilePath, std::wstring(c.argv[2]));
        }
    }
}

} // namespace
