#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture_encryption.h"
#include "fixture_report.h"
#include "program_run.h"
#include "scratch_folder.h"

namespace {

const char* const kReportName = "Vossel-Win-12.6.0.1234-20261209_115959-Windows_10_Enterprise.zip";

// The report's entries with one of them stored, so that a byte of it can be found and flipped.
std::vector<FixtureEntry> storedEntries()
{
    std::vector<FixtureEntry> entries = demoLikeEntries();
    for (FixtureEntry& entry : entries) {
        entry.stored = entry.name == "RawStackTrace.txt";
    }
    return entries;
}

std::vector<FixtureEntry> withManifest(std::vector<FixtureEntry> entries, const std::vector<FixtureEntry>& listed)
{
    entries.push_back({"manifest.json", manifestFor(listed, kReportName)});
    return entries;
}

struct DamageCase {
    const char* name;
    std::string report;      // the archive's bytes
    bool encrypted;
    bool wrongKey;
    std::string line;        // the line that must name the damage
    int exitCode;
};

TEST(VerifyCommand, EachDamageHasItsOwnLineAndOnlyTheWholeReportPasses)
{
    CScratchFolder scratch;
    const std::vector<FixtureEntry> entries = storedEntries();
    const std::string whole = zipBytes(withManifest(entries, entries), scratch.path());

    std::string flipped = whole;
    const std::string traceText = unicodeText("OrmelVossel.exe!CallManager", false);
    const std::size_t trace = flipped.find(traceText.substr(0, traceText.size() - 2));
    ASSERT_NE(trace, std::string::npos);
    flipped[trace + 3] ^= 0x20;

    std::vector<FixtureEntry> fewer = entries;
    fewer.erase(fewer.begin() + 1); // RawStackTrace.txt
    std::vector<FixtureEntry> more = entries;
    more.push_back({"planted.exe", "MZ"});
    std::vector<FixtureEntry> encrypted = encryptedEntries(kReportName, whole, testKey());

    const std::vector<DamageCase> cases = {
        {"whole", whole, false, false, "whole: report.zip, 10 entries, every one as its manifest lists it", 0},
        {"whole, encrypted", zipBytes(encrypted, scratch.path()), true, false, "whole: " + std::string(kReportName), 0},
        {"a flipped byte", flipped, false, false, "problem: \"RawStackTrace.txt\" cannot be read whole: its CRC-32 does not match", 1},
        {"a removed entry", zipBytes(withManifest(fewer, entries), scratch.path()), false, false,
            "problem: missing: \"RawStackTrace.txt\" is in the manifest but not in the report", 1},
        {"an added entry", zipBytes(withManifest(more, entries), scratch.path()), false, false,
            "problem: extra: \"planted.exe\" is in the report but not in the manifest", 1},
        {"a truncated archive", whole.substr(0, whole.size() * 2 / 3), false, false, "not a readable zip archive", 1},
        {"a wrong key", zipBytes(encrypted, scratch.path()), true, true, "the private key does not open this report", 1},
        {"an older report", zipBytes(entries, scratch.path()), false, false,
            "older report: report.zip has no manifest.json; its structure and the CRC-32 of all 10 entries are right", 3},
    };
    ASSERT_TRUE(writeBytes(scratch / "key.pem", testKey().privateKeyPem));
    ASSERT_TRUE(writeBytes(scratch / "other.pem", otherTestKey().privateKeyPem));
    for (const DamageCase& c : cases) {
        ASSERT_TRUE(writeBytes(scratch / "report.zip", c.report));
        std::vector<std::string> arguments = {"verify", (scratch / "report.zip").string()};
        if (c.encrypted) {
            arguments.push_back((scratch / (c.wrongKey ? "other.pem" : "key.pem")).string());
        }
        const ProgramRun result = runProgram(companionProgram(), arguments, scratch.path());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << "\n" << result.out << result.err;
        EXPECT_NE((result.out + result.err).find(c.line), std::string::npos) << c.name << "\n" << result.out << result.err;
        if (c.exitCode == 1 && !c.wrongKey && c.line.find("problem:") == 0) {
            // Exactly its own problem, and a closing line.
            EXPECT_EQ(result.out.find("problem:"), result.out.rfind("problem:")) << c.name << "\n" << result.out;
            EXPECT_NE(result.out.find("not whole: "), std::string::npos) << c.name << "\n" << result.out;
        }
    }
}

} // namespace
