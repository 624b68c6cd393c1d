#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fixture_encryption.h"
#include "fixture_report.h"
#include "program_run.h"
#include "scratch_folder.h"

namespace {

TEST(ExtractCommand, WritesEveryPlainEntryInsideTheFolderAndNothingOutsideIt)
{
    CScratchFolder scratch;
    const std::vector<FixtureEntry> entries = {
        {"PRT.txt", "log"},
        {"Logs\\sub\\b.txt", "nested"},
        {"..\\escaped.txt", "out"},
        {"Logs\\..\\..\\escaped2.txt", "out"},
        {"C:\\abs.txt", "out"},
        {"/rooted.txt", "out"},
        {"Logs\\nul.txt", "device"},
        {"Logs\\COM\u00b9", "device"},
        {"trailing. ", "odd"},
    };
    ASSERT_TRUE(writeZip(scratch / "report.zip", entries));
    const std::filesystem::path folder = scratch / "out";
    const ProgramRun result =
        runProgram(companionProgram(), {"extract", (scratch / "report.zip").string(), folder.string()}, scratch.path());
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_EQ(filesBelow(scratch.path()), (std::set<std::string>{"report.zip", "out/PRT.txt", "out/Logs/sub/b.txt"}));
    EXPECT_EQ(readBytes(folder / "Logs" / "sub" / "b.txt"), "nested");
    EXPECT_NE(result.out.find("wrote 2 of 9 files"), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("refused \"..\\escaped.txt\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("refused \"Logs\\nul.txt\""), std::string::npos) << result.err;
}

TEST(ExtractCommand, AnExistingFileIsReplacedOnlyWhenAskedAndEncryptedReportsNeedTheirKey)
{
    CScratchFolder scratch;
    const std::string plain = zipBytes({{"PRT.txt", "new log"}, {"gdi.txt", "census"}}, scratch.path());
    ASSERT_TRUE(writeZip(scratch / "sealed.zip", encryptedEntries("r.zip", plain, testKey())));
    ASSERT_TRUE(writeBytes(scratch / "key.pem", testKey().privateKeyPem));
    const std::filesystem::path folder = scratch / "out";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(writeBytes(folder / "PRT.txt", "the user's own"));
    const std::string report = (scratch / "sealed.zip").string();
    const std::string key = (scratch / "key.pem").string();

    EXPECT_EQ(runProgram(companionProgram(), {"extract", report, folder.string()}, scratch.path()).exitCode, 1);
    EXPECT_EQ(filesBelow(folder), (std::set<std::string>{"PRT.txt"}));

    const ProgramRun kept = runProgram(companionProgram(), {"extract", report, key, folder.string()}, scratch.path());
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_NE(kept.err.find("exists (--overwrite replaces it)"), std::string::npos) << kept.err;
    EXPECT_EQ(readBytes(folder / "PRT.txt"), "the user's own");
    EXPECT_EQ(readBytes(folder / "gdi.txt"), "census");

    const ProgramRun replaced =
        runProgram(companionProgram(), {"extract", report, key, folder.string(), "--overwrite"}, scratch.path());
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(readBytes(folder / "PRT.txt"), "new log");
    EXPECT_EQ(filesBelow(folder), (std::set<std::string>{"PRT.txt", "gdi.txt"}));
}

} // namespace
