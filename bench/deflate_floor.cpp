// Times the tool's deflate alone: every file below FOLDER is read into memory first, then
// compressed as the archive writer would, with nothing written anywhere. What it prints is the
// least time any report of that material can take on this machine with this deflate, before
// Wine starts, the settings are read, the machine is described or the report is saved. THREADS
// sets the number of compression threads (default: one per processor).
//   deflate_floor.exe FOLDER [THREADS]

#include <windows.h>

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

// Reads the file as the archive writer opens it, in the same slices the compression reads.
bool readWholeFile(const std::wstring& path, std::vector<unsigned char>& bytes)
{
    ScopedStdioFile file = openReportSourceFile(path.c_str());
    if (!file) {
        return false;
    }
    bytes.clear();
    std::vector<unsigned char> slice(kDeflateBlockBytes);
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

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 && argc != 3) {
        std::fputs("usage: deflate_floor FOLDER [THREADS]\n", stderr);
        return 2;
    }
    if (argc == 3) {
        setDeflateThreads(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
    }
    std::vector<std::wstring> files;
    vosselutils::FileUtils::getFilesFromDirectory(argv[1], L"", files);
    std::vector<std::vector<unsigned char>> contents(files.size());
    double inputBytes = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!readWholeFile(files[i], contents[i])) {
            std::fwprintf(stderr, L"could not read %ls\n", files[i].c_str());
            return 1;
        }
        inputBytes += static_cast<double>(contents[i].size());
    }

    const double cpuBefore = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    double outputBytes = 0;
    for (const auto& content : contents) {
        std::size_t offset = 0;
        const DeflateResult result = deflateRaw(
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
            std::fputs("the deflate stream did not complete\n", stderr);
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double mb = 1024.0 * 1024.0;
    std::printf("files %zu\ninput_mb %.1f\ndeflated_mb %.1f\nseconds %.2f\ncpu_seconds %.2f\nthreads %u\n",
        files.size(), inputBytes / mb, outputBytes / mb, seconds, processCpuSeconds() - cpuBefore, deflateThreads());
    return 0;
}
