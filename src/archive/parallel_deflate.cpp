#include "archive/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// A final, empty fixed-Huffman block: it ends a stream whose input ended with a whole piece, which
// was compressed with the sync-flush ending before the end was known.
constexpr unsigned char kFinalBlock[] = {0x03, 0x00};

// Two megabytes each, input and output.
constexpr std::size_t kMostPiecesInFlight = 12;

std::atomic<unsigned> g_threads{0};
std::atomic<int> g_level{0};

// Adds a compressed piece to the result; its bytes have been written.
void account(DeflateResult& result, const DeflatePiece& piece)
{
    result.crc = static_cast<std::uint32_t>(crc32_combine(result.crc, piece.crc, static_cast<z_off_t>(piece.inputSize)));
    result.uncompressedSize += piece.inputSize;
    result.compressedSize += piece.outputSize;
}

} // namespace

// Worker threads that take pieces in the order given, each with its own compressor.
class CDeflateWorkers {
public:
    explicit CDeflateWorkers(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i) {
            try {
                threads_.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                break; // fewer workers, or none: the caller then compresses alone
            }
        }
    }
    ~CDeflateWorkers()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    CDeflateWorkers(const CDeflateWorkers&) = delete;
    CDeflateWorkers& operator=(const CDeflateWorkers&) = delete;

    unsigned count() const { return static_cast<unsigned>(threads_.size()); }

    void submit(DeflatePiece* piece)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            piece->done = false;
            queue_.push_back(piece);
        }
        wake_.notify_one();
    }

    void waitFor(const DeflatePiece* piece)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [piece] { return piece->done; });
    }

private:
    void work()
    {
        CPieceCompressor compressor;
        for (;;) {
            DeflatePiece* piece = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                piece = queue_.front();
                queue_.pop_front();
            }
            compressor.compress(*piece);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                piece->done = true;
            }
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<DeflatePiece*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

void setDeflateThreads(unsigned count)
{
    g_threads = count;
}

unsigned deflateThreads()
{
    const unsigned chosen = g_threads;
    if (chosen != 0) {
        return chosen;
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

void setDeflateLevel(int level)
{
    g_level = level;
}

int deflateLevel()
{
    const int chosen = g_level;
    return chosen != 0 ? chosen : kDeflateLevel;
}

CParallelDeflate::CParallelDeflate() = default;

CParallelDeflate::~CParallelDeflate() = default;

void CParallelDeflate::stopWorkers()
{
    workers_.reset();
    // The pieces' memory goes too: what comes after the archive (saving, encrypting) needs it more.
    first_.reset();
    spare_.clear();
}

std::unique_ptr<DeflatePiece> CParallelDeflate::takePiece()
{
    if (first_) {
        spare_.push_back(std::move(first_));
    }
    if (spare_.empty()) {
        return std::make_unique<DeflatePiece>(kDeflatePieceBytes);
    }
    std::unique_ptr<DeflatePiece> piece = std::move(spare_.back());
    spare_.pop_back();
    return piece;
}

void CParallelDeflate::readPiece(DeflatePiece& piece, const DeflateRead& read)
{
    piece.inputSize = read(piece.input.data(), piece.input.size());
    piece.last = piece.inputSize < piece.input.size();
    piece.failed = false;
    piece.outputSize = 0;
}

DeflateResult CParallelDeflate::deflate(const DeflateRead& read, const DeflateWrite& write)
{
    std::unique_ptr<DeflatePiece> piece = takePiece();
    readPiece(*piece, read);
    const bool text = looksLikeText(piece->input.data(), piece->inputSize);
    DeflateResult result;
    if (piece->last) {
        // Shorter than a piece: compressed here, and kept so that the caller may store it as it is.
        compressor_.compress(*piece);
        if (!piece->failed && write(piece->output.data(), piece->outputSize)) {
            account(result, *piece);
            result.complete = true;
            result.wholeInput = piece->input.data();
        }
        first_ = std::move(piece);
    } else {
        const unsigned threads = deflateThreads();
        result = threads < 2 ? deflateSerially(std::move(piece), read, write)
                             : deflateInParallel(std::move(piece), threads, read, write);
    }
    result.text = text;
    return result;
}

DeflateResult CParallelDeflate::deflateSerially(std::unique_ptr<DeflatePiece> piece, const DeflateRead& read,
    const DeflateWrite& write)
{
    DeflateResult result;
    while (piece->inputSize > 0) {
        compressor_.compress(*piece);
        if (piece->failed || !write(piece->output.data(), piece->outputSize)) {
            spare_.push_back(std::move(piece));
            return result;
        }
        account(result, *piece);
        if (piece->last) {
            spare_.push_back(std::move(piece));
            result.complete = true;
            return result;
        }
        readPiece(*piece, read);
    }
    spare_.push_back(std::move(piece));
    if (write(kFinalBlock, sizeof(kFinalBlock))) {
        result.compressedSize += sizeof(kFinalBlock);
        result.complete = true;
    }
    return result;
}

DeflateResult CParallelDeflate::deflateInParallel(std::unique_ptr<DeflatePiece> piece, unsigned threads,
    const DeflateRead& read, const DeflateWrite& write)
{
    if (!workers_ || workers_->count() != threads) {
        workers_.reset();
        workers_ = std::make_unique<CDeflateWorkers>(threads);
        if (workers_->count() == 0) {
            workers_.reset();
            return deflateSerially(std::move(piece), read, write);
        }
    }
    DeflateResult result;
    // Enough pieces in flight to keep every worker busy while the oldest one is written out, but
    // not so many on a machine of many processors that their memory crowds a 32-bit process.
    const std::size_t window = std::min<std::size_t>(2 * static_cast<std::size_t>(workers_->count()) + 1, kMostPiecesInFlight);
    std::deque<std::unique_ptr<DeflatePiece>> pending;
    bool end = false;
    bool endedOnAWholePiece = false;
    bool failed = false;
    while (true) {
        while (!end && pending.size() < window) {
            if (!piece) {
                piece = takePiece();
                readPiece(*piece, read);
            }
            if (piece->inputSize == 0) {
                spare_.push_back(std::move(piece));
                endedOnAWholePiece = true;
                end = true;
                break;
            }
            end = piece->last;
            workers_->submit(piece.get());
            pending.push_back(std::move(piece));
        }
        if (pending.empty()) {
            break;
        }
        std::unique_ptr<DeflatePiece> oldest = std::move(pending.front());
        pending.pop_front();
        workers_->waitFor(oldest.get());
        if (!failed) {
            failed = oldest->failed || !write(oldest->output.data(), oldest->outputSize);
            if (failed) {
                end = true; // read no further; the pieces in flight are only waited for
            } else {
                account(result, *oldest);
            }
        }
        spare_.push_back(std::move(oldest));
    }
    if (failed) {
        return result;
    }
    if (endedOnAWholePiece) {
        if (!write(kFinalBlock, sizeof(kFinalBlock))) {
            return result;
        }
        result.compressedSize += sizeof(kFinalBlock);
    }
    result.complete = true;
    return result;
}
