// Times deflate alone: every file below FOLDER is read into memory first, then compressed with
// nothing written anywhere. Each RUN names an engine, a level and a number of threads:
//   libdeflate:LEVEL:THREADS  the tool's own engine (pieces over worker threads; THREADS 0 means one
//                             per processor), as the archive writer runs it
//   zlib:LEVEL                zlib, one raw stream per file on one thread, the yardstick
// What the tool's engine prints is the least time any report of that material can take on this
// machine, before Wine starts, the settings are read, the machine is described or the report is
// saved. One block of "key value" lines per run, each block starting with "run".
//   deflate_floor.exe FOLDER RUN...

#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "archive/parallel_deflate.h"
#include "archive/source_file.h"
#include "platform/vosselutils/file_utils.h"

namespace {

using Material = std::vector<std::vector<unsigned char>>;

// Reads the file as the archive writer opens it, in the slices the compression reads.
bool readWholeFile(const std::wstring& path, std::vector<unsigned char>& bytes)
{
    ScopedStdioFile file = openReportSourceFile(path.c_str());
    if (!file) {
        return false;
    }
    bytes.clear();
    std::vector<unsigned char> slice(kDeflatePieceBytes);
    std::size_t got = 0;
    while ((got = std::fread(slice.data(), 1, slice.size(), file.get())) > 0) {
        bytes.insert(bytes.end(), slice.begin(), slice.begin() + static_cast<std::ptrdiff_t>(got));
    }
    return !std::ferror(file.get());
}

double processCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The tool's engine over every file; the compressed bytes, or -1 when a stream did not complete.
double deflateWithEngine(const Material& material)
{
    CParallelDeflate engine;
    double outputBytes = 0;
    for (const auto& content : material) {
        std::size_t offset = 0;
        const DeflateResult result = engine.deflate(
            [&](unsigned char* buffer, std::size_t size) {
                const std::size_t count = std::min(size, content.size() - offset);
                std::memcpy(buffer, content.data() + offset, count);
                offset += count;
                return count;
            },
            [&](const unsigned char*, std::size_t size) {
                outputBytes += static_cast<double>(size);
                return true;
            });
        if (!result.complete) {
            return -1;
        }
    }
    return outputBytes;
}

// zlib, one raw stream per file with the archive's window and memory level.
double deflateWithZlib(const Material& material, int level)
{
    std::vector<unsigned char> out(256 * 1024);
    double outputBytes = 0;
    for (const auto& content : material) {
        z_stream stream = {};
        if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            return -1;
        }
        stream.next_in = const_cast<unsigned char*>(content.data());
        stream.avail_in = static_cast<uInt>(content.size());
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = deflate(&stream, Z_FINISH);
            outputBytes += static_cast<double>(out.size() - stream.avail_out);
        }
        deflateEnd(&stream);
        if (status != Z_STREAM_END) {
            return -1;
        }
    }
    return outputBytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fputs("usage: deflate_floor FOLDER libdeflate:LEVEL:THREADS|zlib:LEVEL...\n", stderr);
        return 2;
    }
    std::vector<std::wstring> files;
    vosselutils::FileUtils::getFilesFromDirectory(argv[1], L"", files);
    Material material(files.size());
    double inputBytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!readWholeFile(files[i], material[i])) {
            std::fwprintf(stderr, L"could not read %ls\n", files[i].c_str());
            return 1;
        }
        inputBytes += static_cast<double>(material[i].size());
    }

    const double mb = 1024.0 * 1024.0;
    for (int arg = 2; arg < argc; ++arg) {
        // ENGINE:LEVEL[:THREADS]
        const std::wstring spec = argv[arg];
        const std::size_t first = spec.find(L':');
        const std::wstring engine = spec.substr(0, first);
        wchar_t* end = nullptr;
        const int level = first == std::wstring::npos ? 0 : static_cast<int>(std::wcstol(spec.c_str() + first + 1, &end, 10));
        unsigned threads = end && *end == L':' ? static_cast<unsigned>(std::wcstoul(end + 1, nullptr, 10)) : 1;
        if ((engine != L"zlib" && engine != L"libdeflate") || level < 1 || level > 12) {
            std::fwprintf(stderr, L"cannot read the run %ls\n", argv[arg]);
            return 2;
        }
        const bool zlib = engine == L"zlib";
        if (zlib) {
            threads = 1;
        } else {
            setDeflateLevel(level);
            setDeflateThreads(threads);
        }
        const double cpuBefore = processCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const double outputBytes = zlib ? deflateWithZlib(material, level) : deflateWithEngine(material);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outputBytes < 0) {
            std::fputs("a deflate stream did not complete\n", stderr);
            return 1;
        }
        std::printf("run %ls:%d:%u\nengine %ls\nlevel %d\nthreads %u\nfiles %zu\ninput_mb %.1f\ndeflated_bytes %.0f\n"
                    "seconds %.2f\ncpu_seconds %.2f\n",
            engine.c_str(), level, zlib ? 1u : threads, engine.c_str(), level, zlib ? 1u : deflateThreads(), files.size(),
            inputBytes / mb, outputBytes, seconds, processCpuSeconds() - cpuBefore);
        std::fflush(stdout);
    }
    return 0;
}
