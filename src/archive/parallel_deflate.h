#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Raw deflate (window bits -15, memory level 8, default strategy) at the default level, spread
// over worker threads for large inputs.
//
// The input is cut into blocks that the workers compress independently, each primed with the
// 32 KiB before it as its dictionary and ended with a sync flush, so that the pieces joined in
// order form one deflate stream that any inflater reads, at practically the ratio of a single
// stream. The reader runs ahead of the workers by a few blocks; the CRC-32 of the whole input is
// combined from the blocks' own.

// Fills buffer with up to size bytes of input; fewer than size only at the end of the input.
using DeflateRead = std::function<std::size_t(unsigned char* buffer, std::size_t size)>;
// Takes the next piece of the compressed stream; false stops the compression.
using DeflateWrite = std::function<bool(const unsigned char* data, std::size_t size)>;

struct DeflateResult {
    bool complete = false; // false when a write was refused; the stream is then unfinished
    std::uint32_t crc = 0;
    std::uint64_t uncompressedSize = 0;
    int dataType = 0; // what zlib found the start of the input to be: Z_TEXT or Z_BINARY
};

// Inputs up to one block are compressed in one piece on the calling thread.
constexpr std::size_t kDeflateBlockBytes = 512 * 1024;

// How many worker threads large inputs use; 0 (the default) means one per processor.
void setDeflateThreads(unsigned count);
unsigned deflateThreads();

DeflateResult deflateRaw(const DeflateRead& read, const DeflateWrite& write);
