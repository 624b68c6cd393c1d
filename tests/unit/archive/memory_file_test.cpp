#include "archive/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "archive/data_stream.h"

namespace {

constexpr std::uint32_t MiB = 1024 * 1024;

// A memory file over a buffer of the test's, opened as the zip writer opens it.
class MemoryFileOver : public ::testing::Test {
protected:
    MemoryFile* open(std::uint32_t capacity, int mode = ZLIB_FILEFUNC_MODE_CREATE | ZLIB_FILEFUNC_MODE_WRITE)
    {
        buffer_.assign(capacity, 0xAA);
        return static_cast<MemoryFile*>(memOpen(nullptr, memoryFileName(buffer_.data(), capacity).c_str(), mode));
    }
    std::vector<unsigned char> buffer_;
};

TEST_F(MemoryFileOver, OpenReadsTheNameBackAndStartsEmptyWhenCreating)
{
    MemoryFile* file = open(64);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->base, buffer_.data());
    EXPECT_EQ(file->capacity, 64u);
    EXPECT_EQ(file->size, 0u);
    EXPECT_EQ(file->position, 0u);

    file = open(64, ZLIB_FILEFUNC_MODE_READ | ZLIB_FILEFUNC_MODE_EXISTING);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size, 64u);

    EXPECT_EQ(memOpen(nullptr, "not a name", ZLIB_FILEFUNC_MODE_CREATE), nullptr);
    EXPECT_EQ(memOpen(nullptr, "1234", ZLIB_FILEFUNC_MODE_CREATE), nullptr);
    EXPECT_EQ(memOpen(nullptr, nullptr, ZLIB_FILEFUNC_MODE_CREATE), nullptr);
}

TEST(MemoryFileName, CarriesTheWholeAddress)
{
    const auto* high = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(sizeof(void*) == 8 ? 0x7ff612345670ull : 0x81234560u));
    const std::string name = memoryFileName(high, 0x1000000);
    EXPECT_EQ(name, sizeof(void*) == 8 ? "7ff612345670+1000000" : "81234560+1000000");
    auto* file = static_cast<MemoryFile*>(memOpen(nullptr, name.c_str(), ZLIB_FILEFUNC_MODE_CREATE));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->base, high);
    EXPECT_EQ(file->capacity, 0x1000000u);
}

struct SeekCase {
    const char* what;
    std::uint32_t position, size;
    long offset;
    int origin;
    long result;
    std::uint32_t newPosition, newSize;
};

TEST_F(MemoryFileOver, SeekMovesWithinCapacityAndFillsGapsWithZeros)
{
    const std::vector<SeekCase> cases = {
        {"set", 10, 20, 5, ZLIB_FILEFUNC_SEEK_SET, 0, 5, 20},
        {"current backwards", 10, 20, -4, ZLIB_FILEFUNC_SEEK_CUR, 0, 6, 20},
        {"current forwards", 10, 20, 4, ZLIB_FILEFUNC_SEEK_CUR, 0, 14, 20},
        {"end", 10, 20, 0, ZLIB_FILEFUNC_SEEK_END, 0, 20, 20},
        {"end backwards", 10, 20, -20, ZLIB_FILEFUNC_SEEK_END, 0, 0, 20},
        {"beyond the data", 10, 20, 40, ZLIB_FILEFUNC_SEEK_SET, 0, 40, 20},
        {"to the capacity", 10, 20, 64, ZLIB_FILEFUNC_SEEK_SET, 0, 64, 20},
        {"beyond the capacity", 10, 20, 65, ZLIB_FILEFUNC_SEEK_SET, 1, 10, 20},
        {"bad origin", 10, 20, 0, 7, -1, 10, 20},
    };
    for (const auto& c : cases) {
        MemoryFile* file = open(64);
        file->position = c.position;
        file->size = c.size;
        EXPECT_EQ(memSeek(nullptr, file, static_cast<uLong>(c.offset), c.origin), c.result) << c.what;
        EXPECT_EQ(file->position, c.newPosition) << c.what;
        EXPECT_EQ(file->size, c.newSize) << c.what;
        EXPECT_EQ(memTell(nullptr, file), static_cast<long>(c.newPosition)) << c.what;
        // The gap between the data and a position beyond it reads as zeros; nothing else changed.
        for (std::uint32_t i = c.size; i < 64; ++i) {
            const unsigned char expected = (c.result == 0 && i < c.newPosition) ? 0 : 0xAA;
            ASSERT_EQ(buffer_[i], expected) << c.what << " at " << i;
        }
    }
}

TEST_F(MemoryFileOver, ReadsAreBoundedByTheCapacityNotTheData)
{
    MemoryFile* file = open(64);
    std::memset(buffer_.data(), 'x', 64);
    file->size = 10;
    file->position = 60;
    char out[32] = {};
    EXPECT_EQ(memRead(nullptr, file, out, sizeof(out)), 4u);
    EXPECT_EQ(std::string(out, 4), "xxxx");
    EXPECT_EQ(file->position, 64u);
    EXPECT_EQ(memRead(nullptr, file, out, sizeof(out)), 0u);
    EXPECT_EQ(memClose(nullptr, file), 0);
    EXPECT_EQ(memTestError(nullptr, file), 0);
}

TEST(MemoryFileGrowth, CommitsInStepsOf16MiB)
{
    struct {
        std::uint64_t end;
        std::uint32_t capacity;
    } cases[] = {
        {1, 16 * MiB},
        {16 * MiB, 16 * MiB},
        {16 * MiB + 1, 32 * MiB},
        {1000 * MiB + 5, 1008 * MiB},
        {0xFFFF0000ull, 0xFFFF0000u}, // the last step is cut at what 32 bits hold
        {0xFFFF0001ull, 0},
        {5000 * static_cast<std::uint64_t>(MiB), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grownCapacity(c.end), c.capacity) << c.end;
    }
}

// Every test that caps the data stream takes the cap off again, with a fresh stream.
class CappedDataStream : public ::testing::Test {
protected:
    void cap(std::uint32_t bytes)
    {
        theDataStream().release();
        CDataStream::limitReservation(bytes);
    }
    void TearDown() override
    {
        CDataStream::limitReservation(0);
        theDataStream().release();
    }
};

TEST_F(CappedDataStream, WriteThatCannotFitWritesNothing)
{
    cap(64 * MiB);
    CDataStream& data = theDataStream();
    ASSERT_TRUE(data.reserve(16 * MiB));
    auto* file = static_cast<MemoryFile*>(
        memOpen(nullptr, memoryFileName(data.buffer(), data.capacity()).c_str(), ZLIB_FILEFUNC_MODE_CREATE));
    ASSERT_NE(file, nullptr);
    std::vector<unsigned char> big(80 * MiB, 'b');
    EXPECT_EQ(memWrite(nullptr, file, big.data(), static_cast<uLong>(big.size())), 0u);
    EXPECT_EQ(file->position, 0u);
    EXPECT_EQ(file->size, 0u);
    EXPECT_EQ(data.capacity(), 16 * MiB);
    // What fits still goes in, growing the stream in place.
    EXPECT_EQ(memWrite(nullptr, file, big.data(), 40 * MiB), 40 * MiB);
    EXPECT_EQ(file->base, data.buffer());
    EXPECT_EQ(file->capacity, 48 * MiB);
    EXPECT_EQ(data.length(), 40 * MiB);
}

TEST_F(CappedDataStream, GrowsInPlaceThroughSeveralStepsUpToItsReservation)
{
    cap(200 * MiB);
    CDataStream& data = theDataStream();
    ASSERT_TRUE(data.reserve(16 * MiB));
    unsigned char* const buffer = data.buffer();
    EXPECT_EQ(data.reservedCapacity(), 200 * MiB);
    std::uint32_t filled = 0;
    for (std::uint32_t size : {16 * MiB, 40 * MiB, 64 * MiB + 4, 130 * MiB, 200 * MiB}) {
        ASSERT_TRUE(data.reserve(size)) << size;
        EXPECT_EQ(data.buffer(), buffer) << size;
        EXPECT_EQ(data.capacity(), size) << size;
        // Everything written before each step is still there; the new room can be written.
        for (std::uint32_t at = 0; at < filled; at += 4096) {
            ASSERT_EQ(buffer[at], static_cast<unsigned char>(at / 4096)) << at;
        }
        for (; filled < size; filled += 4096) {
            buffer[filled] = static_cast<unsigned char>(filled / 4096);
        }
    }
    EXPECT_FALSE(data.reserve(200 * MiB + 4));
    EXPECT_EQ(data.capacity(), 200 * MiB);

}

TEST_F(CappedDataStream, GivingBackTheUnusedAddressSpaceKeepsTheData)
{
    cap(512 * MiB);
    CDataStream& data = theDataStream();
    ASSERT_TRUE(data.reserve(70 * MiB));
    std::memset(data.buffer(), 'k', 70 * MiB);
    data.releaseUnusedAddressSpace();
    // Kept: whole slices of the reservation up to the committed end.
    EXPECT_EQ(data.reservedCapacity(), 128 * MiB);
    EXPECT_EQ(data.capacity(), 70 * MiB);
    EXPECT_EQ(data.buffer()[0], 'k');
    EXPECT_EQ(data.buffer()[70 * MiB - 1], 'k');
    EXPECT_TRUE(data.reserve(128 * MiB));
    EXPECT_FALSE(data.reserve(128 * MiB + 4));
}

TEST(DataStream, ReserveRoundsUpKeepsTheDataAndNeverShrinks)
{
    CDataStream stream;
    EXPECT_EQ(stream.buffer(), nullptr);
    ASSERT_TRUE(stream.reserve(10));
    EXPECT_EQ(stream.capacity(), 12u);
    std::memcpy(stream.buffer(), "abcdefghij", 10);
    stream.setLength(10);

    ASSERT_TRUE(stream.reserve(1001));
    EXPECT_EQ(stream.capacity(), 1004u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.buffer()), 10), "abcdefghij");
    EXPECT_EQ(stream.length(), 10u);

    unsigned char* before = stream.buffer();
    ASSERT_TRUE(stream.reserve(16));
    EXPECT_EQ(stream.buffer(), before);
    EXPECT_EQ(stream.capacity(), 1004u);

    stream.release();
    EXPECT_EQ(stream.buffer(), nullptr);
    EXPECT_EQ(stream.length(), 0u);
    EXPECT_EQ(stream.capacity(), 0u);
}

} // namespace
