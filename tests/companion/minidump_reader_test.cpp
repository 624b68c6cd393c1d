#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decrypt/byte_source.h"
#include "decrypt/minidump_reader.h"
#include "decrypt/triage_summary.h"
#include "fixture_report.h"
#include "minidump_builder.h"
#include "program_run.h"
#include "scratch_folder.h"

namespace {

TEST(MinidumpReader, ReadsTheExceptionAndTheModuleThatHoldsItsAddress)
{
    MinidumpSpec spec;
    spec.exception = true;
    const std::string dump = buildMinidump(spec);
    CMemorySource source(dump);
    const MinidumpFacts facts = readMinidump(source);
    ASSERT_TRUE(facts.readable) << facts.problem;
    ASSERT_TRUE(facts.exception.has_value());
    EXPECT_EQ(facts.exception->code, 0xC0000005u);
    EXPECT_EQ(facts.exception->threadId, 0x24u);
    EXPECT_EQ(facts.threads, 1u);
    ASSERT_EQ(facts.modules.size(), 2u);
    EXPECT_EQ(facts.modules[1].name, "C:\\windows\\system32\\ntdll.dll");
    EXPECT_EQ(minidumpKind(facts), "full memory");
    EXPECT_EQ(exceptionLine(facts),
        "0xC0000005 EXCEPTION_ACCESS_VIOLATION at 0x0000000140001234, thread 36, in OrmelVossel.exe+0x1234");

    spec.exception = false;
    const std::string quiet = buildMinidump(spec);
    CMemorySource quietSource(quiet);
    EXPECT_EQ(exceptionLine(readMinidump(quietSource)), "no exception recorded");
}

struct MalformedCase {
    const char* name;
    std::string dump;
    const char* problem;
};

std::vector<MalformedCase> malformedDumps()
{
    MinidumpSpec spec;
    spec.exception = true;
    MinidumpLayout layout;
    const std::string good = buildMinidump(spec, &layout);
    const auto patched = [&](std::size_t at, std::uint64_t value, int count) {
        std::string dump = good;
        putLittleEndian(dump, at, value, count);
        return dump;
    };
    return {
        {"not a dump", "PK\x03\x04 a zip, not a dump", "does not begin with a minidump header"},
        {"shorter than its header", good.substr(0, 20), "does not begin with a minidump header"},
        {"stream directory past the end", patched(12, good.size() - 4, 4), "stream directory lies past the end"},
        {"a huge stream count", patched(8, 0xFFFFFFF0u, 4), "stream directory lies past the end"},
        {"a stream past the end", patched(layout.directory + 8, 0xFFFFFF00u, 4), "lies past the end of the file"},
        {"a huge module count", patched(layout.moduleList, 0x7FFFFFFFu, 4), "module list counts 2147483647 modules"},
        {"a module name past the end", patched(layout.moduleList + 4 + 20, good.size() + 100, 4), "module's name lies past"},
        {"a huge module name", [&] {
             std::string dump = good;
             const std::size_t nameRva = static_cast<std::size_t>(dump[layout.moduleList + 24] & 0xFF)
                 | (static_cast<std::size_t>(dump[layout.moduleList + 25] & 0xFF) << 8);
             putLittleEndian(dump, nameRva, 0xFFFFFFF0u, 4);
             return dump;
         }(), "module's name has a length of"},
        {"a zero-length exception stream", patched(layout.exceptionEntry + 4, 0, 4), "exception stream is 0 bytes long"},
        {"a zero-length module list", patched(layout.directory + 12 + 4, 0, 4), "module list is 0 bytes long"},
        {"truncated in its streams", good.substr(0, layout.moduleList + 10), "past the end"},
    };
}

TEST(MinidumpReader, MalformedDumpsAreUnreadableWithTheReasonAndNeverHalfRead)
{
    for (const MalformedCase& c : malformedDumps()) {
        CMemorySource source(c.dump);
        const MinidumpFacts facts = readMinidump(source);
        EXPECT_FALSE(facts.readable) << c.name;
        EXPECT_NE(facts.problem.find(c.problem), std::string::npos) << c.name << ": " << facts.problem;
        EXPECT_TRUE(facts.modules.empty() && !facts.exception) << c.name;
    }
}

TEST(MinidumpReader, TheSummaryOfAReportWithMalformedDumpsSaysTheyCouldNotBeRead)
{
    CScratchFolder scratch;
    std::vector<FixtureEntry> entries;
    std::vector<std::string> names;
    int index = 0;
    for (const MalformedCase& c : malformedDumps()) {
        names.push_back("broken" + std::to_string(++index) + ".dmp");
        entries.push_back({names.back(), c.dump});
    }
    ASSERT_TRUE(writeZip(scratch / "report.zip", entries));
    const ProgramRun result = runProgram(companionProgram(), {"summary", (scratch / "report.zip").string()}, scratch.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const std::string& name : names) {
        const std::size_t line = result.out.find("  " + name + ":");
        ASSERT_NE(line, std::string::npos) << name << "\n" << result.out;
        EXPECT_NE(result.out.substr(line, result.out.find('\n', line) - line).find("dump could not be read"),
            std::string::npos) << name << "\n" << result.out;
    }
}

} // namespace
