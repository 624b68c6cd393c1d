// The collection sequence against sinks: which entries a report holds, in which order, where each
// came from and how it was treated, and what it leaves out.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/diagnostic_log.h"
#include "base/scoped_handle.h"
#include "report/ap_report.h"
#include "settings/ap_report_ini.h"
#include "support/client_profile.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/zip_reader.h"

namespace {

// Records what the collection hands over, and adds nothing anywhere. Files count as entries only
// when they exist, as the archive writer counts them.
class RecordingSink : public IReportSink {
public:
    struct Entry {
        std::wstring name;
        EntrySource source;
        EntryTreatment treatment;
        std::wstring path;

        bool operator==(const Entry& other) const
        {
            return name == other.name && source == other.source && treatment == other.treatment && path == other.path;
        }
    };
    struct Left {
        std::wstring path;
        LeftOutReason reason;
        bool operator==(const Left& other) const { return path == other.path && reason == other.reason; }
    };

    void addFile(const std::wstring& path, const std::wstring& prefix, EntryTreatment treatment) override
    {
        if (!path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            const EntrySource source = treatment == EntryTreatment::Generated ? EntrySource::Generated : EntrySource::File;
            entries.push_back({prefix + fileName(path), source, treatment, path});
        }
    }
    void addMemory(const void*, std::uint32_t, const std::wstring& name, const std::wstring& prefix,
        const EntryOrigin& origin) override
    {
        entries.push_back({prefix + fileName(name), origin.source, origin.treatment, origin.path});
    }
    void leftOut(const std::wstring& path, LeftOutReason reason) override { left.push_back({path, reason}); }

    std::vector<Entry> entries;
    std::vector<Left> left;

private:
    static std::wstring fileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }
};

// Settings as the client would write them for the fixture, restored to nothing afterwards.
class FixtureSettings : public CApReportIni {
public:
    FixtureSettings(const std::wstring& temp, const std::wstring& logs, std::map<std::wstring, std::wstring> folders)
    {
        Values& v = values();
        v.logDirectory = logs;
        v.iniFilePath = temp + L"VosselPRT.ini";
        v.commentFilePath = temp + L"user-comment.txt";
        v.metadataFilePath = temp + L"metadata.txt";
        v.gdiFilePath = temp + L"gdi.txt";
        v.additionalPrtPaths = std::move(folders);
    }
    ~FixtureSettings() override { values() = Values{}; }
};

class CollectionSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Client folders: the log folder, a further folder with a sub-folder, the configuration.
        ScopedClientProfile::put(profile_.logsFolder() + L"vossel.log", "main log");
        ScopedClientProfile::put(profile_.logsFolder() + L"vossel_ui.log", "ui log");
        ScopedClientProfile::put(profile_.logsFolder() + L"other.log", "not a client log");
        ScopedClientProfile::put(meetings() + L"\\a.txt", "a");
        ScopedClientProfile::put(meetings() + L"\\sub\\b.txt", "b");
        ScopedClientProfile::put(profile_.configFolder() + L"\\vossel.properties", "user=jo\n");
        ScopedClientProfile::put(temp_.path() + L"VosselPRT.ini", "[Config]\r\n");
        ScopedClientProfile::put(temp_.path() + L"user-comment.txt", "comment");
    }

    std::wstring meetings() const { return temp_.path() + L"Meetings"; }

    ScopedTempFolder temp_;
    ScopedClientProfile profile_;
};

TEST_F(CollectionSequence, HandsTheSinkEveryEntryInOrderWithItsSourceAndTreatment)
{
    // The configuration folder as a further folder is refused file by file; the contacts folder
    // is not collected without the setting.
    FixtureSettings settings(temp_.path(), profile_.logsFolder(),
        {{L"Meetings", meetings()}, {L"Roaming", profile_.configFolder()}, {L"Saved", profile_.contactsFolder()}});
    RecordingSink sink;
    CApReport report;
    report.collectInto(sink);

    using E = RecordingSink::Entry;
    const std::vector<E> expected = {
        {L"Meetings\\a.txt", EntrySource::File, EntryTreatment::Copied, meetings() + L"\\a.txt"},
        {L"Meetings\\sub\\b.txt", EntrySource::File, EntryTreatment::Copied, meetings() + L"\\sub\\b.txt"},
        {L"Config\\vossel.properties", EntrySource::File, EntryTreatment::Scrubbed,
            profile_.configFolder() + L"\\vossel.properties"},
        {L"VosselPRT.ini", EntrySource::File, EntryTreatment::Copied, temp_.path() + L"VosselPRT.ini"},
        {L"user-comment.txt", EntrySource::Generated, EntryTreatment::Generated, temp_.path() + L"user-comment.txt"},
        {L"metadata.txt", EntrySource::Generated, EntryTreatment::Generated, temp_.path() + L"metadata.txt"},
        {L"vossel.log", EntrySource::File, EntryTreatment::Copied, profile_.logsFolder() + L"vossel.log"},
        {L"vossel_ui.log", EntrySource::File, EntryTreatment::Copied, profile_.logsFolder() + L"vossel_ui.log"},
        {L"PRT.txt", EntrySource::Generated, EntryTreatment::Generated, getLogFilePath()},
    };
    // The log folder lists its files in the order the system finds them.
    std::vector<E> entries = sink.entries;
    const auto logs = std::find_if(entries.begin(), entries.end(), [](const E& e) { return e.name == L"vossel.log"
                                                                                        || e.name == L"vossel_ui.log"; });
    ASSERT_NE(logs, entries.end());
    std::sort(logs, logs + 2, [](const E& a, const E& b) { return a.name < b.name; });
    EXPECT_EQ(entries, expected);

    EXPECT_EQ(sink.left, (std::vector<RecordingSink::Left>{
                             {profile_.configFolder() + L"\\vossel.properties", LeftOutReason::BelowConfigFolder},
                             {profile_.contactsFolder(), LeftOutReason::ContactsNotCollected}}));
}

TEST_F(CollectionSequence, TheReportArchiveHoldsWhatItSaysAndListsTheFileItCouldNotRead)
{
    FixtureSettings settings(temp_.path(), profile_.logsFolder(), {{L"Meetings", meetings()}});
    // Another program holds the file open and lets no one read it.
    ScopedFileHandle locked(CreateFileW((meetings() + L"\\a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(locked);

    CApReport report;
    ASSERT_EQ(report.collectReport(), 0);
    const std::wstring path = temp_.path() + L"report.zip";
    report.archive().saveArchive(path);
    const auto archive = readZipArchive(path);
    ASSERT_TRUE(archive.has_value());

    std::vector<std::string> delivered;
    for (const auto& entry : report.contents().entries) {
        delivered.push_back(entry.name);
    }
    EXPECT_EQ(delivered, entryNames(*archive));
    EXPECT_EQ(std::count(delivered.begin(), delivered.end(), "Meetings\\a.txt"), 0);
    EXPECT_EQ(std::count(delivered.begin(), delivered.end(), "Meetings\\sub\\b.txt"), 1);
    ASSERT_EQ(report.contents().leftOut.size(), 1u);
    EXPECT_EQ(report.contents().leftOut[0].path, meetings() + L"\\a.txt");
    EXPECT_EQ(report.contents().leftOut[0].reason, LeftOutReason::CouldNotBeRead);
    EXPECT_STREQ(leftOutReasonText(report.contents().leftOut[0].reason), L"could not be read");
}

} // namespace
