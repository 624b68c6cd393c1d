#include <windows.h>

#include <gtest/gtest.h>

#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "archive/data_stream.h"
#include "archive/memory_file.h"
#include "archive/parallel_deflate.h"
#include "archive/zip_archive.h"
#include "base/diagnostic_log.h"
#include "base/little_endian.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"
#include "support/zip_reader.h"

namespace {

using Messages = std::vector<std::string>;

// Builds one archive with the archive writer, saves it and reads it back independently. The
// diagnostic log lines written meanwhile are kept.
class ArchiveWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        logLinesBefore_ = readLogMessages(getLogFilePath()).size();
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        before_ = now;
        ASSERT_TRUE(archive_.beginArchive());
    }

    std::vector<ZipEntry> finishAndRead()
    {
        archive_.finishArchive();
        const std::wstring path = temp_.path() + L"report.zip";
        archive_.saveArchive(path);
        // minizip's reader cannot open an archive whose end record stands at offset 0, so an
        // archive without entries is checked byte for byte.
        if (theDataStream().length() == 22) {
            EXPECT_EQ(readFileBytes(path), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
            return {};
        }
        auto entries = readZipArchive(path);
        EXPECT_TRUE(entries.has_value()) << "the archive does not read back";
        return entries.value_or(std::vector<ZipEntry>{});
    }

    Messages newLogLines() const
    {
        const Messages all = readLogMessages(getLogFilePath());
        return Messages(all.begin() + static_cast<long>(logLinesBefore_), all.end());
    }

    std::wstring file(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = temp_.path() + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }

    static std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

    // An entry is deflated when that makes it smaller, and stored as it is otherwise, as zip does.
    static void expectDeflatedUnlessItDoesNotShrink(const ZipEntry& entry)
    {
        if (entry.method == 8) {
            EXPECT_LT(entry.compressedSize, entry.bytes.size()) << entry.name;
        } else {
            EXPECT_EQ(entry.method, 0) << entry.name;
            EXPECT_EQ(entry.compressedSize, entry.bytes.size()) << entry.name;
        }
    }

    ScopedTempFolder temp_;
    CZipArchive archive_;
    SYSTEMTIME before_ = {};
    size_t logLinesBefore_ = 0;
};

TEST_F(ArchiveWriter, FilesAndMemoryBlocksComeBackInOrderWithTheirNamesBytesAndDate)
{
    const std::wstring settings = file(L"VosselPRT.ini", "[Config]\r\nProductMode=x\r\n");
    const std::wstring empty = file(L"empty.log", "");
    const std::wstring info = file(L"SystemInfo.txt", std::string(5000, 's'));
    const std::wstring text = L"<config>caf\u00e9</config>";

    archive_.addFileToArchive(settings);
    archive_.addFileToArchive(empty.c_str());
    archive_.addFileToArchive(info, L"SystemInfo\\");
    archive_.addMemoryToArchive(text.data(), static_cast<std::uint32_t>(text.size() * 2),
        L"vosselAllConfig.xml", L"Config\\");
    archive_.addMemoryToArchive("abc", 3, L"some\\folder\\inner.bin", L"");
    const auto entries = finishAndRead();

    EXPECT_EQ(entryNames(entries), (std::vector<std::string>{"VosselPRT.ini", "empty.log",
                                       "SystemInfo\\SystemInfo.txt", "Config\\vosselAllConfig.xml", "inner.bin"}));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].bytes, "[Config]\r\nProductMode=x\r\n");
    EXPECT_EQ(entries[1].bytes, "");
    EXPECT_EQ(entries[2].bytes, std::string(5000, 's'));
    EXPECT_EQ(entries[3].bytes, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    EXPECT_EQ(entries[4].bytes, "abc");
    EXPECT_EQ(entries[1].method, 0); // nothing to shrink
    EXPECT_EQ(entries[2].method, 8);
    EXPECT_EQ(entries[4].method, 0); // three bytes do not shrink

    const unsigned long date = entries[0].dosDate;
    const unsigned long earliest = toDosDate(before_.wYear, before_.wMonth, before_.wDay, before_.wHour,
        before_.wMinute, before_.wSecond);
    EXPECT_GE(date, earliest);
    EXPECT_LE(date, earliest + 2); // taken when the archive began, within the zip format's 2 seconds
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.dosDate, date) << entry.name;
        expectDeflatedUnlessItDoesNotShrink(entry);
        EXPECT_EQ(entry.flag, 0x0800u) << entry.name; // names are UTF-8, and nothing else is set
        EXPECT_EQ(entry.extraLength, 0u) << entry.name;
        EXPECT_EQ(entry.commentLength, 0u) << entry.name;
    }

    EXPECT_EQ(newLogLines(), (Messages{"Adding " + narrow(settings) + " to zip stream.",
                                 "Adding " + narrow(empty) + " to zip stream.",
                                 "Adding " + narrow(info) + " to zip stream.",
                                 "Adding vosselAllConfig.xml from memory to zip stream.",
                                 "Adding some\\folder\\inner.bin from memory to zip stream."}));
}

// A small archive keeps the classic form byte for byte: no zip64 field or record anywhere.
TEST_F(ArchiveWriter, SmallArchivesKeepTheClassicFormWithUtf8Names)
{
    const std::wstring umlaut = file(L"\u00e4.txt", "umlaut");
    archive_.addFileToArchive(umlaut, L"\u00dcber\\");
    archive_.addMemoryToArchive("abc", 3, L"plain.txt", L"");
    const auto entries = finishAndRead();
    ASSERT_EQ(entryNames(entries), (std::vector<std::string>{"\xC3\x9C" "ber\\\xC3\xA4.txt", "plain.txt"}));

    const std::string bytes = readFileBytes(temp_.path() + L"report.zip").value_or("");
    const auto little = [&](size_t at, int count) {
        return static_cast<unsigned long>(readLittleEndian(reinterpret_cast<const unsigned char*>(bytes.data()) + at, count));
    };
    EXPECT_EQ(bytes.find("PK\x06\x06"), std::string::npos);
    EXPECT_EQ(bytes.find("PK\x06\x07"), std::string::npos);
    ASSERT_GE(bytes.size(), 22u);
    const size_t end = bytes.size() - 22;
    EXPECT_EQ(little(end, 4), 0x06054b50ul);
    EXPECT_EQ(little(end + 10, 2), 2ul);
    size_t central = little(end + 16, 4);
    for (int entry = 0; entry < 2; ++entry) {
        ASSERT_EQ(little(central, 4), 0x02014b50ul);
        EXPECT_EQ(little(central + 4, 2), 0ul);      // made by, as the classic call writes it
        EXPECT_EQ(little(central + 6, 2), 20ul);     // needed to extract: no zip64
        EXPECT_EQ(little(central + 8, 2), 0x800ul);  // UTF-8 names
        EXPECT_EQ(little(central + 30, 2), 0ul);     // no extra field
        const size_t local = little(central + 42, 4);
        EXPECT_EQ(little(local, 4), 0x04034b50ul);
        EXPECT_EQ(little(local + 4, 2), 20ul);
        EXPECT_EQ(little(local + 6, 2), 0x800ul);
        EXPECT_EQ(little(local + 28, 2), 0ul);
        central += 46 + little(central + 28, 2);
    }
}

TEST_F(ArchiveWriter, EveryEntryTellsItsSizeChecksumAndDigest)
{
    const ZipEntryResult memory = archive_.addMemoryToArchive("abc", 3, L"abc.txt", L"");
    const ZipEntryResult empty = archive_.addFileToArchive(file(L"empty.bin", ""), L"Sub\\");
    const ZipEntryResult missing = archive_.addFileToArchive(temp_.path() + L"missing.bin");
    finishAndRead();

    EXPECT_EQ(memory.outcome, ZipEntryOutcome::Added);
    EXPECT_EQ(memory.name, "abc.txt");
    EXPECT_EQ(memory.size, 3u);
    EXPECT_EQ(memory.crc, 0x352441C2u);
    EXPECT_EQ(digestHex(memory.sha256), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(empty.name, "Sub\\empty.bin");
    EXPECT_EQ(empty.size, 0u);
    EXPECT_EQ(digestHex(empty.sha256), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(missing.outcome, ZipEntryOutcome::Missing);
}

TEST_F(ArchiveWriter, MissingFilesAndEmptyNamesMakeNoEntry)
{
    archive_.addFileToArchive(temp_.path() + L"missing.dmp");
    archive_.addFileToArchive(std::wstring());
    archive_.addFileToArchive(static_cast<const wchar_t*>(nullptr));
    archive_.addMemoryToArchive("abc", 3, L"", L"Config\\");
    const auto entries = finishAndRead();

    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(newLogLines(), Messages{"Failed to add  to the zip stream."});
}

TEST_F(ArchiveWriter, ArchiveWithoutEntriesIsTheEndRecordAlone)
{
    EXPECT_TRUE(finishAndRead().empty());
    EXPECT_EQ(theDataStream().length(), 22u);
}

TEST_F(ArchiveWriter, ArchivePassing16MiBInsideAnEntryStaysWholeAndValid)
{
    // Random bytes do not compress: the archive passes 16 MiB in the middle of this entry.
    std::string big(20 * 1024 * 1024, '\0');
    std::mt19937 random(7);
    for (auto& c : big) {
        c = static_cast<char>(random());
    }
    const std::wstring before = file(L"before.txt", "first entry");
    const std::wstring dump = file(L"fulldump.dmp", big);
    const std::wstring after = file(L"after.txt", "last entry");
    const unsigned char* buffer = theDataStream().buffer();
    archive_.addFileToArchive(before);
    archive_.addFileToArchive(dump);
    archive_.addFileToArchive(after);
    const auto entries = finishAndRead();

    // The buffer grew in place.
    EXPECT_EQ(theDataStream().buffer(), buffer);
    EXPECT_GT(theDataStream().length(), 20u * 1024 * 1024);
    ASSERT_EQ(entryNames(entries), (std::vector<std::string>{"before.txt", "fulldump.dmp", "after.txt"}));
    EXPECT_EQ(entries[0].bytes, "first entry");
    EXPECT_TRUE(entries[1].bytes == big);
    EXPECT_EQ(entries[2].bytes, "last entry");
}

TEST_F(ArchiveWriter, SavingToAFolderThatDoesNotExistWritesNothing)
{
    archive_.finishArchive();
    const std::wstring path = temp_.path() + L"missing\\report.zip";
    archive_.saveArchive(path);
    EXPECT_FALSE(fileExists(path));
}

// Material that is partly text, partly repeated structure and partly noise, as logs and dumps are.
std::string mixedBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::mt19937 random(seed);
    for (size_t i = 0; i < size; ++i) {
        const size_t stretch = (i / 40000) % 3;
        bytes[i] = stretch == 0 ? static_cast<char>('a' + (i * 7 + i / 97) % 26)
                 : stretch == 1 ? static_cast<char>(i % 251)
                                : static_cast<char>(random());
    }
    return bytes;
}

// Restores the number of compression threads when a test ends.
class ArchiveWriterThreads : public ArchiveWriter {
protected:
    void TearDown() override { setDeflateThreads(0); }
};

TEST_F(ArchiveWriterThreads, EntriesAroundThePieceSizeReadBackWithOneThreadAndWithSeveral)
{
    std::string noise(3 * kDeflatePieceBytes + 17, '\0');
    std::mt19937 random(5);
    for (auto& c : noise) {
        c = static_cast<char>(random());
    }
    // What deflate does not shrink goes in stored (method 0), from a file read again or from memory.
    const struct {
        const char* what;
        std::string bytes;
        int method;
    } inputs[] = {
        {"empty", "", 0},
        {"one byte", "x", 0},
        {"exactly one piece", mixedBytes(kDeflatePieceBytes, 1), 8},
        {"one piece and a byte", mixedBytes(kDeflatePieceBytes + 1, 2), 8},
        {"many pieces", mixedBytes(9 * kDeflatePieceBytes + 4321, 3), 8},
        {"incompressible", noise, 0},
        {"short and incompressible", noise.substr(0, 50000), 0},
        {"highly repetitive", std::string(5 * kDeflatePieceBytes + 3, 'z'), 8},
    };
    std::vector<std::string> expectedNames;
    std::vector<std::string> contents;
    std::vector<int> methods;
    for (unsigned threads : {1u, 4u}) {
        setDeflateThreads(threads);
        int row = 0;
        for (const auto& input : inputs) {
            const std::wstring name = std::to_wstring(threads) + L"-" + std::to_wstring(row++) + L".bin";
            const ZipEntryResult added = archive_.addFileToArchive(file(name, input.bytes));
            EXPECT_EQ(added.size, input.bytes.size()) << input.what;
            // The same bytes from memory take the same way.
            archive_.addMemoryToArchive(input.bytes.data(), static_cast<std::uint32_t>(input.bytes.size()),
                L"mem-" + name, L"Memory\\");
            expectedNames.push_back(narrow(name));
            expectedNames.push_back("Memory\\mem-" + narrow(name));
            for (int copy = 0; copy < 2; ++copy) {
                contents.push_back(input.bytes);
                methods.push_back(input.method);
            }
        }
    }
    const auto entries = finishAndRead();
    ASSERT_EQ(entryNames(entries), expectedNames);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_TRUE(entries[i].bytes == contents[i]) << entries[i].name;
        EXPECT_EQ(entries[i].method, methods[i]) << entries[i].name;
        expectDeflatedUnlessItDoesNotShrink(entries[i]);
        EXPECT_EQ(entries[i].flag, 0x0800u) << entries[i].name; // the default level's flag bits, stored or not
    }
}

// An entry stored as it is still tells the checksum and digest of its bytes, and its header says
// method 0 in the central directory.
TEST_F(ArchiveWriter, AStoredEntryTellsItsChecksumAndDigestAndMethodZero)
{
    const ZipEntryResult stored = archive_.addMemoryToArchive("abc", 3, L"abc.txt", L"");
    finishAndRead();
    EXPECT_EQ(stored.crc, 0x352441C2u);
    EXPECT_EQ(digestHex(stored.sha256), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    const std::string bytes = readFileBytes(temp_.path() + L"report.zip").value_or("");
    ASSERT_GE(bytes.size(), 22u);
    const auto little = [&](size_t at, int count) {
        return static_cast<unsigned long>(readLittleEndian(reinterpret_cast<const unsigned char*>(bytes.data()) + at, count));
    };
    const size_t central = little(bytes.size() - 22 + 16, 4);
    ASSERT_EQ(little(central, 4), 0x02014b50ul);
    EXPECT_EQ(little(central + 10, 2), 0ul); // method
    EXPECT_EQ(little(central + 20, 4), 3ul); // compressed size
    EXPECT_EQ(little(central + 24, 4), 3ul); // size
    EXPECT_EQ(little(central + 16, 4), 0x352441C2ul);
}

TEST_F(ArchiveWriterThreads, CompressesAsWellAsOneStreamAtTheDefaultLevel)
{
    // Text logs are the bulk of a report: the blocks must cost next to nothing in size.
    std::string log;
    std::mt19937 random(11);
    while (log.size() < 6 * kDeflatePieceBytes) {
        log += "2026-12-09 10:11:12,345 [" + std::to_string(random() % 64) + "] INFO  SipStack - call "
            + std::to_string(random() % 1000000) + " state " + std::to_string(random() % 16) + "\r\n";
    }
    std::vector<std::uint32_t> sizes;
    for (unsigned threads : {1u, 2u}) {
        setDeflateThreads(threads);
        // The memory file's end, not the data stream's length, which an earlier archive may have left longer.
        const std::uint32_t before = theMemoryFile().size;
        archive_.addMemoryToArchive(log.data(), static_cast<std::uint32_t>(log.size()),
            L"log" + std::to_wstring(threads) + L".txt", L"");
        sizes.push_back(theMemoryFile().size - before);
    }
    EXPECT_LE(sizes[1], sizes[0] + sizes[0] / 200) << sizes[0] << " " << sizes[1];
    // And within half a percent of zlib's one stream at the default level (the entry's size also
    // holds its headers, which are less than the slack).
    z_stream stream = {};
    ASSERT_EQ(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<unsigned char> out(deflateBound(&stream, static_cast<uLong>(log.size())));
    stream.next_in = reinterpret_cast<unsigned char*>(log.data());
    stream.avail_in = static_cast<uInt>(log.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    const uLong oneStream = stream.total_out;
    deflateEnd(&stream);
    for (const std::uint32_t size : sizes) {
        EXPECT_LE(size, oneStream + oneStream / 200 + 100) << size << " against " << oneStream;
    }
    EXPECT_EQ(finishAndRead().size(), 2u);
}

// A stream capped far below what one entry needs: that entry is left out, the rest stays whole.
class ArchiveWriterOutOfRoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        theDataStream().release();
        CDataStream::limitReservation(24 * 1024 * 1024);
    }
    void TearDown() override
    {
        CDataStream::limitReservation(0);
        theDataStream().release();
    }
    ScopedTempFolder temp_;
};

TEST_F(ArchiveWriterOutOfRoom, AnEntryThatDoesNotFitIsLeftOutWithOneLogLine)
{
    std::string noise(30 * 1024 * 1024, '\0');
    std::mt19937 random(3);
    for (auto& c : noise) {
        c = static_cast<char>(random());
    }
    const std::wstring first = temp_.path() + L"first.txt";
    const std::wstring dump = temp_.path() + L"fulldump.dmp";
    const std::wstring last = temp_.path() + L"last.txt";
    ASSERT_TRUE(writeFileBytes(first, "first entry"));
    ASSERT_TRUE(writeFileBytes(dump, noise));
    ASSERT_TRUE(writeFileBytes(last, std::string(100000, 'l')));
    const size_t linesBefore = readLogMessages(getLogFilePath()).size();

    CZipArchive archive;
    ASSERT_TRUE(archive.beginArchive());
    archive.addFileToArchive(first);
    archive.addFileToArchive(dump);
    archive.addMemoryToArchive(noise.data(), static_cast<std::uint32_t>(noise.size()), L"copy.bin", L"");
    archive.addFileToArchive(last);
    archive.finishArchive();
    const std::wstring path = temp_.path() + L"report.zip";
    archive.saveArchive(path);

    const auto entries = readZipArchive(path);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entryNames(*entries), (std::vector<std::string>{"first.txt", "last.txt"}));
    EXPECT_EQ((*entries)[0].bytes, "first entry");
    EXPECT_EQ((*entries)[1].bytes, std::string(100000, 'l'));
    const auto all = readLogMessages(getLogFilePath());
    const auto narrowPath = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(linesBefore), all.end()),
        (std::vector<std::string>{"Adding " + narrowPath(first) + " to zip stream.",
            "Adding " + narrowPath(dump) + " to zip stream.",
            "Not enough memory to add " + narrowPath(dump) + " to the zip stream.",
            "Adding copy.bin from memory to zip stream.", "Not enough memory to add copy.bin to the zip stream.",
            "Adding " + narrowPath(last) + " to zip stream."}));
}

} // namespace
