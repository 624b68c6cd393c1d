#include "sysinfo/minidump_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/minidump_bytes.h"
#include "support/minidump_facts.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

bool complete(const std::string& bytes, bool withMemory)
{
    return isCompleteMinidumpBytes(bytes, withMemory);
}

// A dump of two streams: a thread list of one thread whose stack and context follow it, and a
// 32-bit memory list of one range.
std::string dumpWithThreadAndMemoryList()
{
    std::string bytes;
    putLittleEndian(bytes, 0, 0x504D444D, 4);
    putLittleEndian(bytes, 4, 0x0001A793, 4);
    putLittleEndian(bytes, 8, 2, 4);
    putLittleEndian(bytes, 12, 32, 4);
    putLittleEndian(bytes, 16, 0, 16);
    // Directory at 32: the thread list (3) at 56, 52 bytes; the memory list (5) at 108, 20 bytes.
    putLittleEndian(bytes, 32, 3, 4);
    putLittleEndian(bytes, 36, 52, 4);
    putLittleEndian(bytes, 40, 56, 4);
    putLittleEndian(bytes, 44, 5, 4);
    putLittleEndian(bytes, 48, 20, 4);
    putLittleEndian(bytes, 52, 108, 4);
    // One thread: stack of 16 bytes at 128, context of 8 bytes at 144.
    putLittleEndian(bytes, 56, 1, 4);
    putLittleEndian(bytes, 60 + 24, 0x7000, 8);
    putLittleEndian(bytes, 60 + 32, 16, 4);
    putLittleEndian(bytes, 60 + 36, 128, 4);
    putLittleEndian(bytes, 60 + 40, 8, 4);
    putLittleEndian(bytes, 60 + 44, 144, 4);
    // One range of 16 bytes at 128, the stack's.
    putLittleEndian(bytes, 108, 1, 4);
    putLittleEndian(bytes, 112, 0x7000, 8);
    putLittleEndian(bytes, 120, 16, 4);
    putLittleEndian(bytes, 124, 128, 4);
    bytes.resize(152, 's');
    return bytes;
}

TEST(MinidumpCheck, WholeDumpsPassAndEveryCutOrFalseSizeFails)
{
    const std::string small = smallMinidump(std::string(300, 'm'));
    const std::string listed = dumpWithThreadAndMemoryList();
    EXPECT_TRUE(complete(small, true));
    EXPECT_TRUE(complete(listed, true));
    // A dump cut anywhere, as a run that is killed or a full disk leaves it, is not whole.
    for (const std::string* dump : {&small, &listed}) {
        for (std::size_t length = 0; length < dump->size(); ++length) {
            EXPECT_FALSE(complete(dump->substr(0, length), false)) << "cut at " << length;
        }
    }

    struct Case {
        const char* name;
        std::string bytes;
        bool withMemory;
        bool whole;
    };
    const auto changed = [](std::string bytes, std::size_t at, std::uint64_t value, int count) {
        putLittleEndian(bytes, at, value, count);
        return bytes;
    };
    const std::vector<Case> cases = {
        {"no dump at all", std::string(400, 'x'), false, false},
        {"another format version", changed(small, 4, 0xA794, 4), false, false},
        {"no streams", changed(small, 8, 0, 4), false, false},
        {"more streams than any writer makes", changed(small, 8, 100000, 4), false, false},
        {"directory past the end", changed(small, 12, small.size(), 4), false, false},
        {"stream past the end", changed(small, kSmallDumpDirectory + 8, small.size() - 8, 4), false, false},
        {"memory list claims a second range", changed(small, kSmallDumpMemoryList, 2, 8), false, false},
        {"range one byte longer than the file", changed(small, kSmallDumpMemoryList + 24, 301, 8), false, false},
        {"range base past the end", changed(small, kSmallDumpMemoryList + 8, small.size(), 8), false, false},
        {"range of 2^64 - 1 bytes", changed(small, kSmallDumpMemoryList + 24, ~0ull, 8), false, false},
        {"no ranges: whole, but no full dump", changed(small, kSmallDumpMemoryList, 0, 8), false, true},
        {"no ranges where memory is wanted", changed(small, kSmallDumpMemoryList, 0, 8), true, false},
        {"thread stack past the end", changed(listed, 60 + 36, 150, 4), false, false},
        {"thread context past the end", changed(listed, 60 + 40, 9, 4), false, false},
        {"32-bit range past the end", changed(listed, 124, 140, 4), false, false},
        {"thread list claims two threads", changed(listed, 56, 2, 4), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(complete(c.bytes, c.withMemory), c.whole) << c.name;
    }
}

TEST(MinidumpCheck, FilesAreReadWhereTheyLie)
{
    ScopedTempFolder folder;
    const std::wstring path = folder.path() + L"some.dmp";
    const std::string dump = smallMinidump(std::string(5 * 1024 * 1024, 'm'));
    ASSERT_TRUE(writeFileBytes(path, dump));
    EXPECT_TRUE(isCompleteMinidumpFile(path, true));
    ASSERT_TRUE(writeFileBytes(path, dump.substr(0, 4 * 1024 * 1024)));
    EXPECT_FALSE(isCompleteMinidumpFile(path, false));
    EXPECT_FALSE(isCompleteMinidumpFile(folder.path() + L"missing.dmp", false));
}

} // namespace
