#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decrypt/client_log_errors.h"
#include "decrypt/diagnostic_log_facts.h"
#include "decrypt/machine_facts.h"

namespace {

TEST(MachineFacts, SysteminfoFirstThenTheEnvironmentAndNothingWhereTheFileIsSilent)
{
    struct Case {
        const char* name;
        std::string text;
        std::string windows;
        std::string processor;
        std::vector<std::string> video;
    };
    const std::vector<Case> cases = {
        {"empty", "", "", "", {}},
        {"the environment only",
            "Environment Variables\r\n\r\nPROCESSOR_IDENTIFIER=x86 Family 6\r\nNUMBER_OF_PROCESSORS=2\r\n", "",
            "x86 Family 6 (2 logical processors)", {}},
        {"systeminfo's processor wins",
            "Environment Variables\r\nPROCESSOR_IDENTIFIER=env\r\n\r\nOS Name:   Windows 11 Pro\r\n"
            "Processor(s):              1 Processor(s) Installed.\r\n                           [01]: Intel64 Family 6\r\n",
            "Windows 11 Pro", "Intel64 Family 6", {}},
        {"device names, not other lines",
            "\nVideo Devices\n\tName:\tAdapter A\n\tStatus:\tOK\n\n\tName:\tAdapter B\n\nUSB Devices\n\tName:\tnot video\n", "", "",
            {"Adapter A", "Adapter B"}},
    };
    for (const Case& c : cases) {
        const MachineFacts facts = readMachineFacts(c.text);
        EXPECT_EQ(facts.windows, c.windows) << c.name;
        EXPECT_EQ(facts.processor, c.processor) << c.name;
        EXPECT_EQ(facts.video, c.video) << c.name;
    }
}

TEST(ClientLogErrors, OnlyTheLevelCountsAndPeriodsNarrowToMinutesWithinOneHour)
{
    CClientLogErrors errors;
    errors.addLine("vossel.log", "2026-12-09 10:10:00,123 [  12] INFO  UI - ERROR in the text is no error\r");
    errors.addLine("vossel.log", "2026-12-09 10:10:00,123 [  12] ERROR SipStack - one");
    errors.addLine("vossel.log", "2026-12-09 10:12:00,123 [  12] FATAL SipStack - two");
    errors.addLine("vossel.log", "no time [1] ERROR x - three");
    EXPECT_EQ(errors.total(), 3u);
    using Periods = std::vector<std::pair<std::string, std::size_t>>;
    EXPECT_EQ(errors.overTime(), (Periods{{"2026-12-09 10:10", 1}, {"2026-12-09 10:12", 1}}));
    errors.addLine("vossel.log", "2026-12-09 12:00:00,000 [  12] ERROR SipStack - later");
    EXPECT_EQ(errors.overTime(), (Periods{{"2026-12-09 10", 2}, {"2026-12-09 12", 1}}));
    for (int i = 0; i < 20; ++i) {
        errors.addLine("vossel.log.1", "2026-12-09 09:00:00,000 [  12] ERROR SipStack - older");
    }
    const auto newest = errors.newest();
    ASSERT_EQ(newest.size(), CClientLogErrors::kKeptLines);
    EXPECT_EQ(newest.back().text, "2026-12-09 12:00:00,000 [  12] ERROR SipStack - later");
    EXPECT_TRUE(isClientLogName("Logs\\VOSSEL.LOG.3"));
    EXPECT_FALSE(isClientLogName("PRT.txt"));
}

TEST(DiagnosticLogFacts, EachDumpedProcessWithItsCountsTheLargestGdiFirst)
{
    const auto processes = readProcessObjectCounts(
        "[2026-12-09 10:59:50,001] Creating dump file for processID: 0x10, file:dntcolex.dmp\r\n"
        "[2026-12-09 10:59:50,002] GDI handle count: 5\r\n"
        "[2026-12-09 10:59:50,003] Creating dump file for processID: 0x20, file:fulldump.dmp\r\n"
        "[2026-12-09 10:59:50,004] Handle count: 900\r\n[2026-12-09 10:59:50,005] GDI handle count: 300\r\n"
        "[2026-12-09 10:59:50,006] USER object count: 40\r\n[2026-12-09 10:59:50,007] Handle count: 7\r\n");
    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[0].processId, "0x20");
    EXPECT_EQ(processes[0].handles, 7);
    EXPECT_EQ(processes[0].gdi, 300);
    EXPECT_EQ(processes[1].dumpFile, "dntcolex.dmp");
    EXPECT_EQ(processes[1].user, -1);
}

} // namespace
