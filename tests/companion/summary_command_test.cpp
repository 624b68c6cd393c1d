#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "fixture_encryption.h"
#include "fixture_report.h"
#include "program_run.h"
#include "scratch_folder.h"

namespace {

const char* const kReportName = "Vossel-Win-12.6.0.1234-20261209_115959-Windows_10_Enterprise.zip";

class SummaryCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeZip(scratch_ / "report.zip", demoLikeReport(kReportName))); }
    ProgramRun run(const std::vector<std::string>& arguments) const
    {
        return runProgram(companionProgram(), arguments, scratch_.path());
    }
    std::string report() const { return (scratch_ / "report.zip").string(); }

    CScratchFolder scratch_;
};

TEST_F(SummaryCommand, TheTerminalPageHasEverySectionAndWhatTheReportSays)
{
    const ProgramRun result = run({"summary", report()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected = {
        "Report\n",
        "  Name:           " + std::string(kReportName) + "\n",
        "  Tool:           VosselPRT 1.0.0.1\n",
        "  Client version: 12.6.0.1234\n",
        "  Left out:       C:\\Users\\jo\\Logs\\locked.log (could not be read)\n",
        "\nUser\n",
        "  Summary:        Calls drop after a minute\n",
        "  Problem area:   audio\n",
        "\nMachine\n",
        "  Windows:        Microsoft Windows 10 Enterprise, 10.0.19045 N/A Build 19045\n",
        "  Memory:         16,234 MB\n",
        "  Processor:      Intel64 Family 6 Model 85 Stepping 7, GenuineIntel (4 logical processors)\n",
        "  Monitor:        {Width=1920, Height=1080} DPI: 96 (Generic PnP Monitor)\n",
        "  Audio devices:  Speakers (High Definition Audio)\n",
        "  Video devices:  Wine Adapter\n",
        "\nDumps\n",
        "  fulldump.dmp:   full memory, ",
        "  fulldump.dmp exception: 0xC0000005 EXCEPTION_ACCESS_VIOLATION at 0x0000000140001234, thread 36, in OrmelVossel.exe+0x1234\n",
        "\nCrash trace\n  Exception 0xc0000005 at 0x00007ffd12345678\n  OrmelVossel.exe!CallManager::onHold+0x42\n",
        "\nGDI objects\n",
        "  The client's:   3 (Bitmap 2, DC 1)\n",
        "  Process 0x1f4:  GDI 311, USER 97, handles 812 (fulldump.dmp)\n",
        "\nClient log errors\n",
        "  Error lines:    6\n",
        "  vossel.log: 2026-12-09 11:02:44,001 [  12] FATAL SipStack - transport lost\n",
    };
    for (const std::string& part : expected) {
        EXPECT_NE(result.out.find(part), std::string::npos) << part << "\n---\n" << result.out;
    }
    // The oldest error line, in the older log, is still among the newest ten.
    EXPECT_NE(result.out.find("vossel.log.1: 2026-12-09 09:59:59,000 [   4] ERROR UI - window lost"), std::string::npos);
}

TEST_F(SummaryCommand, JsonCarriesTheSamePageAndAnEncryptedReportOpensWithItsKey)
{
    ASSERT_TRUE(writeBytes(scratch_ / "key.pem", testKey().privateKeyPem));
    ASSERT_TRUE(writeZip(scratch_ / "sealed.zip", encryptedEntries(kReportName, readBytes(scratch_ / "report.zip"), testKey())));
    const ProgramRun plain = run({"summary", report(), "--json"});
    const ProgramRun sealed = run({"summary", (scratch_ / "sealed.zip").string(), (scratch_ / "key.pem").string(), "--json"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    ASSERT_EQ(sealed.exitCode, 0) << sealed.err;
    for (const ProgramRun* result : {&plain, &sealed}) {
        const auto page = nlohmann::json::parse(result->out, nullptr, false);
        ASSERT_TRUE(page.is_object()) << result->out;
        EXPECT_EQ(page["report"]["name"], kReportName);
        EXPECT_EQ(page["report"]["entries"], 10);
        EXPECT_EQ(page["report"]["leftOut"][0]["reason"], "could not be read");
        EXPECT_EQ(page["user"]["comments"], "Started after the last update");
        EXPECT_EQ(page["machine"]["memory"], "16,234 MB");
        EXPECT_EQ(page["dumps"][0]["exception"]["code"], "0xC0000005");
        EXPECT_EQ(page["dumps"][0]["exception"]["name"], "EXCEPTION_ACCESS_VIOLATION");
        EXPECT_EQ(page["dumps"][0]["exception"]["module"], "OrmelVossel.exe");
        EXPECT_EQ(page["gdi"]["processes"][0]["gdi"], 311);
        EXPECT_EQ(page["clientLogs"]["errorLines"], 6);
        EXPECT_EQ(page["clientLogs"]["errorsOverTime"].size(), 3u); // hours 09, 10 and 11
    }
    EXPECT_EQ(nlohmann::json::parse(sealed.out)["report"]["encrypted"], true);
    EXPECT_EQ(run({"summary", (scratch_ / "sealed.zip").string()}).exitCode, 1);
}

TEST_F(SummaryCommand, AnOlderReportSaysWhatItCannotTellAndEmptySectionsAreNotRecorded)
{
    ASSERT_TRUE(writeZip(scratch_ / "older.zip", {{"PRT.txt", "[2026-12-09 10:59:50,001] Saving\r\n"}}));
    const ProgramRun result = run({"summary", (scratch_ / "older.zip").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* part : {"  Manifest:       none: an older report", "  Windows:        not recorded\n",
             "  Summary:        not recorded\n", "  no dump in the report\n", "  no crash trace in the report\n",
             "  The client's:   not recorded\n", "  Logs:           not recorded\n"}) {
        EXPECT_NE(result.out.find(part), std::string::npos) << part << "\n---\n" << result.out;
    }
}

TEST_F(SummaryCommand, TheHtmlPageIsOneFileWithEverySectionAndItsChartAndNothingFromElsewhere)
{
    const std::filesystem::path page = scratch_ / "page.html";
    const ProgramRun result = run({"summary", report(), "--html", page.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string html = readBytes(page);
    for (const char* heading : {"<h2>Report</h2>", "<h2>User</h2>", "<h2>Machine</h2>", "<h2>Dumps</h2>",
             "<h2>Crash trace</h2>", "<h2>GDI objects</h2>", "<h2>Client log errors</h2>", "<svg", "<rect class=\"bar\""}) {
        EXPECT_NE(html.find(heading), std::string::npos) << heading;
    }
    for (const char* outside : {"<script", "src=", "href=", "@import", "url("}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
    // A page is never written over the report it describes.
    const std::string reportBytes = readBytes(report());
    EXPECT_EQ(run({"summary", report(), "--html", report()}).exitCode, 1);
    EXPECT_EQ(readBytes(report()), reportBytes);
}

} // namespace
