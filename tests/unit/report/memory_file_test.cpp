#include "report/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "report/data_stream.h"

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

TEST(MemoryFileGrowth, StartsWith256MiBThenAddsSteps)
{
    EXPECT_EQ(grownCapacity(16 * MiB, 100), 256 * MiB);
    EXPECT_EQ(grownCapacity(256 * MiB, 100), 384 * MiB);
    EXPECT_EQ(grownCapacity(384 * MiB, 100), 512 * MiB);
    EXPECT_EQ(grownCapacity(400 * MiB, 100), 512 * MiB);
    EXPECT_EQ(grownCapacity(16 * MiB, 200 * MiB), 400 * MiB);
    EXPECT_EQ(grownCapacity(16 * MiB, 128 * MiB), 256 * MiB);
    EXPECT_EQ(grownCapacity(4000 * MiB, 100), 0u);
    EXPECT_EQ(grownCapacity(16 * MiB, 3000 * MiB), 0u);
}

TEST(MemoryFileGrowth, WriteThatCannotFitWritesNothing)
{
    CDataStream& data = theDataStream();
    data.release();
    unsigned char small[16] = {};
    auto* file = static_cast<MemoryFile*>(memOpen(nullptr, memoryFileName(small, 16).c_str(), ZLIB_FILEFUNC_MODE_CREATE));
    ASSERT_NE(file, nullptr);
    // No 32-bit capacity holds three gigabytes, so the stream cannot grow for it.
    EXPECT_EQ(memWrite(nullptr, file, small, 3000u * MiB), 0u);
    EXPECT_EQ(file->position, 0u);
    EXPECT_EQ(file->size, 0u);
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
