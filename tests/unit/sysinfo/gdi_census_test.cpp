#include "sysinfo/gdi_census.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "sysinfo/gdi_handle_table.h"

namespace {

struct Entry {
    std::uint32_t index;
    std::uint16_t owner;
    std::uint16_t upperHandle;
    std::uint16_t type;
    std::uint64_t kernelAddress;
};

void putLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string makeTable(const std::vector<Entry>& entries)
{
    std::string table(kGdiTableSize, '\0');
    for (const Entry& entry : entries) {
        const std::size_t at = entry.index * kGdiEntrySize;
        putLittleEndian(table, at, entry.kernelAddress, 8);
        putLittleEndian(table, at + 8, entry.owner, 2);
        putLittleEndian(table, at + 10, 0x1111, 2);
        putLittleEndian(table, at + 12, entry.upperHandle, 2);
        putLittleEndian(table, at + 14, entry.type, 2);
        putLittleEndian(table, at + 16, 0xDEADBEEF, 8);
    }
    return table;
}

// A WOW64 process whose environment block and handle table the test lays out in its memory.
class FakeProcess : public CGdiProcessSource {
public:
    static constexpr std::uint64_t kPeb = 0x7FFDF000;

    FakeProcess(std::uint32_t tablePointer, const std::vector<Entry>& entries, bool amd64 = true)
        : amd64_(amd64)
    {
        std::string peb(0x200, '\0');
        putLittleEndian(peb, amd64 ? kGdiTablePointerOffsetAmd64 : kGdiTablePointerOffsetOther, tablePointer, 4);
        memory[kPeb] = peb;
        memory[static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(tablePointer)))] = makeTable(entries);
    }

    bool wow64 = true;
    bool basicInformationFails = false;
    std::map<std::uint64_t, std::string> memory;

    bool isWow64Process() override { return wow64; }
    bool isNativeAmd64() override { return amd64_; }
    bool queryBasicInformation64(unsigned char* record, std::uint32_t size) override
    {
        if (basicInformationFails || size != kGdiBasicInformationSize) {
            return false;
        }
        std::string bytes(size, '\0');
        putLittleEndian(bytes, 8, kPeb, 8);
        putLittleEndian(bytes, 32, 0x4242, 8);
        std::memcpy(record, bytes.data(), size);
        return true;
    }
    bool readMemory64(std::uint64_t address, void* buffer, std::uint64_t size) override
    {
        for (const auto& [start, bytes] : memory) {
            if (address >= start && address + size <= start + bytes.size()) {
                std::memcpy(buffer, bytes.data() + (address - start), size);
                return true;
            }
        }
        return false;
    }

private:
    bool amd64_;
};

const std::wstring kHeader = L"Handle,Type,Kernel address\n";

TEST(GdiCensus, ListsTheClientsObjectsInIndexOrder)
{
    struct Case {
        const char* name;
        unsigned long processId;
        std::vector<Entry> entries;
        std::wstring census;
    };
    const std::vector<Case> cases = {
        {"the client's entries, never another process's", 0x1234,
            {{0, 0x1234, 0x0405, 5, 0xFFFFF90001234560}, {1, 0x9999, 0x1111, 1, 0x1},
                {2, 0x1235, 0x2222, 5, 0x2}, {16383, 0x1234, 0xABCD, 48, 0x10}},
            kHeader + L"04050000,Bitmap,fffff90001234560\nABCD3FFF,Pen,10\n"},
        {"every type name, by the low seven bits", 7,
            {{1, 7, 0, 1, 0xA}, {2, 7, 0, 4, 0xB}, {3, 7, 0, 5, 0xC}, {4, 7, 0, 8, 0xD}, {5, 7, 0, 10, 0xE},
                {6, 7, 0, 16, 0xF}, {7, 7, 0, 48, 0x10}, {8, 7, 0, 2, 0x11}},
            kHeader + L"00000001,DC,a\n00000002,Region,b\n00000003,Bitmap,c\n00000004,Palette,d\n"
                L"00000005,Font,e\n00000006,Brush,f\n00000007,Pen,10\n00000008,Unknown,11\n"},
        {"type codes with high bits set", 7,
            {{1, 7, 0x0001, 0x4085, 0x0}, {2, 7, 0x0001, 0xFF81, 0x0}, {3, 7, 0x0001, 0x0080, 0x0}},
            kHeader + L"00010001,Bitmap,0\n00010002,DC,0\n00010003,Unknown,0\n"},
        {"an identifier above 65535 matches no 16-bit owner", 0x10005,
            {{1, 0x0005, 0x0001, 5, 0x1}, {2, 0xFFFF, 0x0001, 5, 0x1}}, kHeader},
        {"no object of the client", 42, {}, kHeader},
    };
    for (const Case& c : cases) {
        FakeProcess process(0x00500000, c.entries);
        EXPECT_EQ(readGdiHandleTable(process, c.processId), c.census) << c.name;
    }
}

TEST(GdiCensus, FindsTheTableThroughTheEnvironmentBlockOfTheMachinesArchitecture)
{
    const std::vector<Entry> entries = {{3, 9, 0x0102, 10, 0xABC}};
    FakeProcess amd64(0x00600000, entries, true);
    EXPECT_EQ(readGdiHandleTable(amd64, 9), kHeader + L"01020003,Font,abc\n");
    FakeProcess other(0x00600000, entries, false);
    EXPECT_EQ(readGdiHandleTable(other, 9), kHeader + L"01020003,Font,abc\n");
    // A pointer with its top bit set is widened with its sign.
    FakeProcess high(0x80001000, entries, true);
    ASSERT_EQ(high.memory.count(0xFFFFFFFF80001000ull), 1u);
    EXPECT_EQ(readGdiHandleTable(high, 9), kHeader + L"01020003,Font,abc\n");
}

TEST(GdiCensus, EveryFailureGivesAnEmptyCensus)
{
    const std::vector<Entry> entries = {{3, 9, 0x0102, 10, 0xABC}};
    struct Case {
        const char* name;
        void (*spoil)(FakeProcess&);
    };
    const std::vector<Case> cases = {
        {"not a WOW64 process", [](FakeProcess& p) { p.wow64 = false; }},
        {"the basic information cannot be queried", [](FakeProcess& p) { p.basicInformationFails = true; }},
        {"the environment block cannot be read", [](FakeProcess& p) { p.memory.erase(FakeProcess::kPeb); }},
        {"the table cannot be read", [](FakeProcess& p) { p.memory.erase(0x00600000); }},
        {"the table pointer is 0", [](FakeProcess& p) { p.memory[FakeProcess::kPeb] = std::string(0x200, '\0'); }},
    };
    for (const Case& c : cases) {
        FakeProcess process(0x00600000, entries);
        c.spoil(process);
        EXPECT_EQ(readGdiHandleTable(process, 9), L"") << c.name;
    }
}

TEST(GdiCensus, WritesTheFileOnlyForACensus)
{
    ScopedTempFolder temp;
    const std::wstring path = temp.path() + L"gdi.txt";
    ASSERT_TRUE(writeFileBytes(path, "older census"));

    FakeProcess notWow64(0x00600000, {{3, 9, 0x0102, 10, 0xABC}});
    notWow64.wow64 = false;
    collectGdiHandles(notWow64, 9, path);
    EXPECT_EQ(readFileBytes(path), "older census");

    FakeProcess client(0x00600000, {{3, 9, 0x0102, 10, 0xABC}});
    collectGdiHandles(client, 9, path);
    const std::wstring text = kHeader + L"01020003,Font,abc\n";
    std::string expected = "\xFF\xFE";
    for (const wchar_t c : text) {
        expected += static_cast<char>(c & 0xFF);
        expected += static_cast<char>(c >> 8);
    }
    EXPECT_EQ(readFileBytes(path), expected);
}

TEST(GdiCensus, RealProcessThatIsNotWow64GivesNothing)
{
    // This test build is 64-bit, and so is this process: the census has nothing to read.
    EXPECT_EQ(readGdiHandleTable(GetCurrentProcessId()), L"");
    EXPECT_EQ(readGdiHandleTable(0), L"");
}

} // namespace
