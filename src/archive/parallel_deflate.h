#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "archive/deflate_piece.h"

// Raw deflate for the archive's entries, with libdeflate, spread over worker threads.
//
// The input is cut into pieces that the workers compress independently; every piece but the last
// ends with an empty stored block on a byte boundary (the ending of a sync flush), so that the
// pieces joined in order form one deflate stream that any inflater reads. The reader runs a few
// pieces ahead of the workers, so reading the next piece overlaps compressing the ones before. The
// CRC-32 of the whole input is combined from the pieces' own.

// Fills buffer with up to size bytes of input; fewer than size only at the end of the input.
using DeflateRead = std::function<std::size_t(unsigned char* buffer, std::size_t size)>;
// Takes the next piece of the compressed stream; false stops the compression.
using DeflateWrite = std::function<bool(const unsigned char* data, std::size_t size)>;

struct DeflateResult {
    bool complete = false; // false when a write was refused; the stream is then unfinished
    std::uint32_t crc = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
    bool text = false; // the start of the input looks like text (looksLikeText)
    // The whole input, when it was shorter than one piece; valid until the next deflate. Null
    // otherwise.
    const unsigned char* wholeInput = nullptr;
};

// Each piece is compressed on its own: at 1 MiB the pieces cost a few parts in a thousand of the
// size of one stream.
constexpr std::size_t kDeflatePieceBytes = 1024 * 1024;
// The level that keeps the archive within half a percent of zlib's default level (README).
constexpr int kDeflateLevel = 6;

// How many worker threads large inputs use; 0 (the default) means one per processor.
void setDeflateThreads(unsigned count);
unsigned deflateThreads();
// The libdeflate level, for the benchmark's comparison of levels; 0 (the default) means
// kDeflateLevel.
void setDeflateLevel(int level);
int deflateLevel();

class CDeflateWorkers;

// One engine per archive: its workers start with the first input longer than a piece and stay
// until stopWorkers, so that an entry does not pay a thread start; inputs shorter than a piece are
// compressed on the calling thread.
class CParallelDeflate {
public:
    CParallelDeflate();
    ~CParallelDeflate();
    CParallelDeflate(const CParallelDeflate&) = delete;
    CParallelDeflate& operator=(const CParallelDeflate&) = delete;

    DeflateResult deflate(const DeflateRead& read, const DeflateWrite& write);
    // Ends the worker threads; a later large input starts them again.
    void stopWorkers();

private:
    std::unique_ptr<DeflatePiece> takePiece();
    void readPiece(DeflatePiece& piece, const DeflateRead& read);
    DeflateResult deflateSerially(std::unique_ptr<DeflatePiece> piece, const DeflateRead& read,
        const DeflateWrite& write);
    DeflateResult deflateInParallel(std::unique_ptr<DeflatePiece> piece, unsigned threads, const DeflateRead& read,
        const DeflateWrite& write);

    CPieceCompressor compressor_; // the calling thread's
    std::unique_ptr<CDeflateWorkers> workers_;
    std::unique_ptr<DeflatePiece> first_; // kept for DeflateResult::wholeInput
    std::vector<std::unique_ptr<DeflatePiece>> spare_;
};
