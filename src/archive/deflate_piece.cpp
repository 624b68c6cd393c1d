#include "archive/deflate_piece.h"

#include "archive/parallel_deflate.h"

void CPieceCompressor::compress(DeflatePiece& piece)
{
    piece.crc = libdeflate_crc32(0, piece.input.data(), piece.inputSize);
    const int level = deflateLevel();
    if (!compressor_ || level_ != level) {
        compressor_.reset(libdeflate_alloc_compressor(level));
        level_ = level;
    }
    piece.failed = !compressor_;
    if (piece.failed) {
        return;
    }
    // The bound holds for either ending.
    const std::size_t bound = libdeflate_deflate_compress_bound(compressor_.get(), piece.inputSize);
    if (piece.output.size() < bound) {
        piece.output.resize(bound);
    }
    piece.outputSize = piece.last
        ? libdeflate_deflate_compress(compressor_.get(), piece.input.data(), piece.inputSize, piece.output.data(),
              piece.output.size())
        : libdeflate_deflate_compress_sync_flush(compressor_.get(), piece.input.data(), piece.inputSize,
              piece.output.data(), piece.output.size());
    piece.failed = piece.outputSize == 0;
}

bool looksLikeText(const unsigned char* data, std::size_t size)
{
    // Bytes 0-6, 14-25 and 28-31 mark binary data; 7-13, 26 and 27 decide nothing on their own.
    constexpr std::uint32_t kBinaryControls = 0xF3FFC07Fu;
    bool text = false;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = data[i];
        if (byte < 32) {
            if ((kBinaryControls >> byte) & 1u) {
                return false;
            }
            text = text || byte == 9 || byte == 10 || byte == 13;
        } else {
            text = true;
        }
    }
    return text;
}
