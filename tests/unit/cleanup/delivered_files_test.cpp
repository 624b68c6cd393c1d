#include "cleanup/delivered_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

DeliveredEntry entryFor(const std::wstring& path, const std::string& bytes, EntrySource source = EntrySource::File)
{
    DeliveredEntry entry;
    entry.size = bytes.size();
    entry.crc = static_cast<std::uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()),
        static_cast<uInt>(bytes.size())));
    entry.origin.source = source;
    entry.origin.path = path;
    return entry;
}

TEST(DeliveredFiles, OnlyWhatTheDeliveredReportHoldsMayGo)
{
    ScopedTempFolder folder;
    const std::wstring same = folder.path() + L"vossel.log";
    const std::wstring grown = folder.path() + L"vossel.log.1";
    const std::wstring rewritten = folder.path() + L"vossel.log.2";
    const std::wstring unreadable = folder.path() + L"vossel.log.3";
    const std::wstring absent = folder.path() + L"vossel.log.4";
    const std::wstring exported = folder.path() + L"export.xml";
    for (const auto& path : {same, grown, rewritten, unreadable, absent, exported}) {
        ASSERT_TRUE(writeFileBytes(path, "collected"));
    }
    ASSERT_TRUE(writeFileBytes(grown, "collected and more"));
    ASSERT_TRUE(writeFileBytes(rewritten, "COLLECTED"));

    ReportContents contents;
    // Spelt otherwise than the clean-up spells it: the same file all the same.
    std::wstring upper = same;
    for (auto& c : upper) {
        c = static_cast<wchar_t>(towupper(c));
    }
    contents.entries = {entryFor(upper, "collected"), entryFor(grown, "collected"), entryFor(rewritten, "collected"),
        entryFor(exported, "collected", EntrySource::Exported)};
    contents.leftOut = {{unreadable, LeftOutReason::CouldNotBeRead}};

    const CDeliveredFiles delivered(contents, true);
    const struct {
        const std::wstring& path;
        DeliveredMatch match;
        std::wstring why;
    } cases[] = {
        {same, DeliveredMatch::SameBytes, L""},
        {grown, DeliveredMatch::SameBytes, L"changed since it was collected"},
        {grown, DeliveredMatch::SameSize, L"changed since it was collected"},
        {grown, DeliveredMatch::Held, L""},
        {rewritten, DeliveredMatch::SameSize, L""},
        {rewritten, DeliveredMatch::SameBytes, L"changed since it was collected"},
        {unreadable, DeliveredMatch::Held, L"could not be read"},
        {absent, DeliveredMatch::Held, L"not in the report"},
        // An export names no file of the user's.
        {exported, DeliveredMatch::Held, L"not in the report"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(delivered.whyKept(c.path, c.match), c.why) << asciiText(c.path) << " " << static_cast<int>(c.match);
    }
    EXPECT_EQ(CDeliveredFiles(contents, false).whyKept(same, DeliveredMatch::Held), L"no report reached the output path");
}

} // namespace
