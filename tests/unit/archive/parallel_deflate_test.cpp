#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive/parallel_deflate.h"

namespace {

// Inputs around the piece size and of every kind of content, shared with the archive writer's test.
struct EngineInput {
    const char* what;
    std::string bytes;
    bool shrinks; // whether deflate makes it smaller
};

std::string noise(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::mt19937 random(seed);
    for (auto& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

// Partly text, partly repeated structure and partly noise, as logs and dumps are.
std::string mixed(std::size_t size)
{
    std::string bytes = noise(size, static_cast<unsigned>(size));
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t stretch = (i / 40000) % 3;
        if (stretch == 0) {
            bytes[i] = static_cast<char>('a' + (i * 7 + i / 97) % 26);
        } else if (stretch == 1) {
            bytes[i] = static_cast<char>(i % 251);
        }
    }
    return bytes;
}

std::vector<EngineInput> engineInputs()
{
    const std::size_t piece = kDeflatePieceBytes;
    return {
        {"empty", "", false},
        {"one byte", "x", false},
        {"exactly one piece", mixed(piece), true},
        {"one piece and a byte", mixed(piece + 1), true},
        {"many pieces", mixed(7 * piece + 4321), true},
        {"incompressible", noise(3 * piece + 17, 5), false},
        {"highly repetitive", std::string(5 * piece + 3, 'z'), true},
    };
}

// zlib's inflate over the whole raw stream: the bytes, and whether it ended exactly at the end.
bool inflateRaw(const std::vector<unsigned char>& stream, std::string& out)
{
    z_stream inflater = {};
    if (inflateInit2(&inflater, -MAX_WBITS) != Z_OK) {
        return false;
    }
    std::vector<unsigned char> buffer(1 << 16);
    inflater.next_in = const_cast<unsigned char*>(stream.data());
    inflater.avail_in = static_cast<uInt>(stream.size());
    int status = Z_OK;
    while (status == Z_OK) {
        inflater.next_out = buffer.data();
        inflater.avail_out = static_cast<uInt>(buffer.size());
        status = inflate(&inflater, Z_NO_FLUSH);
        out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - inflater.avail_out);
    }
    const bool whole = status == Z_STREAM_END && inflater.avail_in == 0;
    inflateEnd(&inflater);
    return whole;
}

class DeflateEngine : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override { setDeflateThreads(GetParam()); }
    void TearDown() override { setDeflateThreads(0); }
};

TEST_P(DeflateEngine, PiecesJoinIntoOneStreamThatZlibInflatesByteForByte)
{
    // One engine for all inputs, as one archive keeps it for all its entries.
    CParallelDeflate engine;
    for (const auto& input : engineInputs()) {
        std::vector<unsigned char> stream;
        std::size_t offset = 0;
        std::size_t largestRead = 0;
        const DeflateResult result = engine.deflate(
            [&](unsigned char* buffer, std::size_t size) {
                largestRead = std::max(largestRead, size);
                const std::size_t count = std::min(size, input.bytes.size() - offset);
                std::memcpy(buffer, input.bytes.data() + offset, count);
                offset += count;
                return count;
            },
            [&](const unsigned char* data, std::size_t size) {
                stream.insert(stream.end(), data, data + size);
                return true;
            });
        ASSERT_TRUE(result.complete) << input.what;
        EXPECT_EQ(largestRead, kDeflatePieceBytes) << input.what;
        EXPECT_EQ(result.uncompressedSize, input.bytes.size()) << input.what;
        EXPECT_EQ(result.compressedSize, stream.size()) << input.what;
        const auto* bytes = reinterpret_cast<const unsigned char*>(input.bytes.data());
        EXPECT_EQ(result.crc, crc32(crc32(0, nullptr, 0), bytes, static_cast<uInt>(input.bytes.size()))) << input.what;
        EXPECT_EQ(stream.size() < input.bytes.size(), input.shrinks) << input.what << ": " << stream.size();
        // A short input stays at hand for an entry that is stored as it is.
        if (input.bytes.size() < kDeflatePieceBytes) {
            ASSERT_NE(result.wholeInput, nullptr) << input.what;
            EXPECT_EQ(std::memcmp(result.wholeInput, input.bytes.data(), input.bytes.size()), 0) << input.what;
        } else {
            EXPECT_EQ(result.wholeInput, nullptr) << input.what;
        }
        std::string inflated;
        EXPECT_TRUE(inflateRaw(stream, inflated)) << input.what;
        EXPECT_TRUE(inflated == input.bytes) << input.what;
    }
}

TEST_P(DeflateEngine, ARefusedWriteLeavesTheStreamIncomplete)
{
    CParallelDeflate engine;
    const std::string input = mixed(20 * kDeflatePieceBytes);
    std::size_t offset = 0;
    int writes = 0;
    const DeflateResult result = engine.deflate(
        [&](unsigned char* buffer, std::size_t size) {
            const std::size_t count = std::min(size, input.size() - offset);
            std::memcpy(buffer, input.data() + offset, count);
            offset += count;
            return count;
        },
        [&](const unsigned char*, std::size_t) { return ++writes < 2; });
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(writes, 2);
    // Reading stopped soon after: no more than the pieces already in flight were read.
    EXPECT_LT(offset, input.size());
}

INSTANTIATE_TEST_SUITE_P(Threads, DeflateEngine, ::testing::Values(1u, 4u),
    [](const ::testing::TestParamInfo<unsigned>& info) { return std::to_string(info.param) + "threads"; });

TEST(TextDetection, FollowsZlibsRuleForTheStartOfTheInput)
{
    const struct {
        const char* what;
        std::string bytes;
        bool text;
    } cases[] = {
        {"empty", "", false},
        {"a log line", "2026-12-09 INFO call\r\n", true},
        {"tabs and line ends only", "\t\r\n", true},
        {"a byte below seven", std::string("text\x01", 5), false},
        {"a NUL", std::string("abc\0def", 7), false},
        {"escape and bell decide nothing", "\x1b\x07", false},
        {"escape beside text", "\x1b[0mred", true},
        {"high bytes are text", "caf\xc3\xa9", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(looksLikeText(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()), c.text)
            << c.what;
    }
}

} // namespace
