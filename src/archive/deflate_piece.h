#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/scoped_deflate_compressor.h"

// One piece of an entry's input and what became of it: compressed with libdeflate into a piece
// of a raw deflate stream, with the piece's own CRC-32.
struct DeflatePiece {
    explicit DeflatePiece(std::size_t capacity) : input(capacity) {}

    std::vector<unsigned char> input;
    std::size_t inputSize = 0;
    // The piece ends the stream (its last block is final). Every other piece ends with an empty
    // stored block on a byte boundary, the ending of a sync flush, so the next piece can follow.
    bool last = false;
    std::vector<unsigned char> output;
    std::size_t outputSize = 0;
    std::uint32_t crc = 0;
    bool failed = false; // no compressor could be had
    bool done = false;   // compressed; set by the worker under the workers' lock
};

// A libdeflate compressor at the level deflateLevel() names when a piece is compressed, kept from
// piece to piece; one per thread, since a compressor is not shared.
class CPieceCompressor {
public:
    void compress(DeflatePiece& piece);

private:
    ScopedDeflateCompressor compressor_;
    int level_ = 0;
};

// Whether data looks like text by zlib's rule, which the zip writer records in the entry's internal
// attributes: no byte of the control codes zlib counts as binary, and at least one printable byte,
// tab, line feed or carriage return.
bool looksLikeText(const unsigned char* data, std::size_t size);
