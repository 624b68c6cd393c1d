#include "archive/parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kDictionaryBytes = 32 * 1024;
constexpr std::size_t kOutputChunk = 256 * 1024;
// A final, empty fixed-Huffman block: it ends a stream whose last piece ended with a sync flush.
constexpr unsigned char kFinalBlock[] = {0x03, 0x00};

std::atomic<unsigned> g_threads{0};

// A deflate stream with the archive's fixed parameters, ended on every path.
class CDeflateStream {
public:
    CDeflateStream()
    {
        ready_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~CDeflateStream()
    {
        if (ready_) {
            deflateEnd(&stream_);
        }
    }
    CDeflateStream(const CDeflateStream&) = delete;
    CDeflateStream& operator=(const CDeflateStream&) = delete;

    bool ready() const { return ready_; }
    z_stream* get() { return &stream_; }

private:
    z_stream stream_ = {};
    bool ready_ = false;
};

// Runs deflate with the given flush over all of the stream's input, handing each full output
// chunk to write. False when deflate fails or write refuses.
bool deflateAll(z_stream* stream, int flush, std::vector<unsigned char>& out, const DeflateWrite& write)
{
    do {
        stream->next_out = out.data();
        stream->avail_out = static_cast<uInt>(out.size());
        const int status = deflate(stream, flush);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            return false;
        }
        const std::size_t produced = out.size() - stream->avail_out;
        if (produced > 0 && !write(out.data(), produced)) {
            return false;
        }
    } while (stream->avail_out == 0);
    return true;
}

// One stream on the calling thread: small inputs, and large ones when only one thread is used.
DeflateResult deflateSerially(std::vector<unsigned char>& in, std::size_t count, const DeflateRead& read,
    const DeflateWrite& write)
{
    DeflateResult result;
    CDeflateStream deflater;
    if (!deflater.ready()) {
        return result;
    }
    z_stream* stream = deflater.get();
    std::vector<unsigned char> out(kOutputChunk);
    uLong crc = crc32(0, nullptr, 0);
    for (;;) {
        const bool last = count < in.size();
        crc = crc32(crc, in.data(), static_cast<uInt>(count));
        result.uncompressedSize += count;
        stream->next_in = in.data();
        stream->avail_in = static_cast<uInt>(count);
        if (!deflateAll(stream, last ? Z_FINISH : Z_NO_FLUSH, out, write)) {
            return result;
        }
        if (last) {
            break;
        }
        count = read(in.data(), in.size());
    }
    result.complete = true;
    result.crc = static_cast<std::uint32_t>(crc);
    result.dataType = stream->data_type == Z_TEXT ? Z_TEXT : Z_BINARY;
    return result;
}

// One block of the input and what became of it.
struct Job {
    std::vector<unsigned char> input = std::vector<unsigned char>(kDeflateBlockBytes);
    std::size_t inputSize = 0;
    std::vector<unsigned char> dictionary;
    std::vector<unsigned char> output;
    std::size_t outputSize = 0;
    uLong crc = 0;
    int dataType = Z_BINARY;
    bool failed = false;
    bool done = false;
};

// Compresses one block into a piece of the stream that ends on a byte boundary (sync flush).
void compressBlock(CDeflateStream& deflater, Job& job)
{
    z_stream* stream = deflater.get();
    job.crc = crc32(crc32(0, nullptr, 0), job.input.data(), static_cast<uInt>(job.inputSize));
    if (!deflater.ready() || deflateReset(stream) != Z_OK
        || (!job.dictionary.empty()
            && deflateSetDictionary(stream, job.dictionary.data(), static_cast<uInt>(job.dictionary.size())) != Z_OK)) {
        job.failed = true;
        return;
    }
    const std::size_t bound = deflateBound(stream, static_cast<uLong>(job.inputSize)) + 64;
    if (job.output.size() < bound) {
        job.output.resize(bound);
    }
    stream->next_in = job.input.data();
    stream->avail_in = static_cast<uInt>(job.inputSize);
    std::size_t produced = 0;
    for (;;) {
        stream->next_out = job.output.data() + produced;
        stream->avail_out = static_cast<uInt>(job.output.size() - produced);
        const int status = deflate(stream, Z_SYNC_FLUSH);
        produced = job.output.size() - stream->avail_out;
        if (status != Z_OK && status != Z_BUF_ERROR) {
            job.failed = true;
            return;
        }
        if (stream->avail_out != 0) {
            break;
        }
        job.output.resize(job.output.size() + job.output.size() / 2);
    }
    job.outputSize = produced;
    job.dataType = stream->data_type == Z_TEXT ? Z_TEXT : Z_BINARY;
}

// Worker threads that take jobs in the order given; each keeps its own deflate stream.
class CDeflateWorkers {
public:
    explicit CDeflateWorkers(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i) {
            threads_.emplace_back([this] { work(); });
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

    void submit(Job* job)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job->done = false;
            queue_.push_back(job);
        }
        wake_.notify_one();
    }

    void waitFor(const Job* job)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [job] { return job->done; });
    }

private:
    void work()
    {
        CDeflateStream deflater;
        for (;;) {
            Job* job = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) {
                    return;
                }
                job = queue_.front();
                queue_.pop_front();
            }
            compressBlock(deflater, *job);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                job->done = true;
            }
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<Job*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

DeflateResult deflateInParallel(std::unique_ptr<Job> first, unsigned threads, const DeflateRead& read,
    const DeflateWrite& write)
{
    DeflateResult result;
    CDeflateWorkers workers(threads);
    // Enough blocks in flight to keep every worker busy while the oldest one is written out.
    const std::size_t window = 2 * static_cast<std::size_t>(threads) + 1;
    std::deque<std::unique_ptr<Job>> pending;
    std::vector<std::unique_ptr<Job>> spare;
    std::vector<unsigned char> tail; // the last 32 KiB read: the next block's dictionary
    bool end = false;
    bool failed = false;
    bool firstWritten = false;
    uLong crc = 0;

    while (true) {
        while (!end && pending.size() < window) {
            std::unique_ptr<Job> job = std::move(first);
            if (!job) {
                if (!spare.empty()) {
                    job = std::move(spare.back());
                    spare.pop_back();
                } else {
                    job = std::make_unique<Job>();
                }
                job->inputSize = read(job->input.data(), job->input.size());
            }
            end = job->inputSize < job->input.size();
            if (job->inputSize == 0) {
                break;
            }
            job->dictionary = tail;
            const std::size_t keep = std::min(kDictionaryBytes, job->inputSize);
            tail.assign(job->input.begin() + static_cast<std::ptrdiff_t>(job->inputSize - keep),
                job->input.begin() + static_cast<std::ptrdiff_t>(job->inputSize));
            result.uncompressedSize += job->inputSize;
            workers.submit(job.get());
            pending.push_back(std::move(job));
        }
        if (pending.empty()) {
            break;
        }
        std::unique_ptr<Job> job = std::move(pending.front());
        pending.pop_front();
        workers.waitFor(job.get());
        if (!failed) {
            failed = job->failed || !write(job->output.data(), job->outputSize);
            if (failed) {
                end = true; // read no further; the blocks in flight are only waited for
            }
        }
        crc = firstWritten ? crc32_combine(crc, job->crc, static_cast<z_off_t>(job->inputSize)) : job->crc;
        if (!firstWritten) {
            result.dataType = job->dataType;
            firstWritten = true;
        }
        spare.push_back(std::move(job));
    }
    if (failed || !write(kFinalBlock, sizeof(kFinalBlock))) {
        return result;
    }
    result.complete = true;
    result.crc = static_cast<std::uint32_t>(crc);
    return result;
}

} // namespace

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

DeflateResult deflateRaw(const DeflateRead& read, const DeflateWrite& write)
{
    auto first = std::make_unique<Job>();
    first->inputSize = read(first->input.data(), first->input.size());
    const unsigned threads = deflateThreads();
    if (first->inputSize < first->input.size() || threads < 2) {
        return deflateSerially(first->input, first->inputSize, read, write);
    }
    return deflateInParallel(std::move(first), threads, read, write);
}
