// Builds a report archive from every file below a folder with the tool's own archive writer and
// prints how long it took and how much memory it needed. THREADS sets the number of compression
// threads (default: one per processor).
//   archive_bench.exe FOLDER OUTPUT.zip [THREADS]

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "archive/data_stream.h"
#include "archive/parallel_deflate.h"
#include "archive/zip_archive.h"
#include "platform/vosselutils/file_utils.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 && argc != 4) {
        std::fputs("usage: archive_bench FOLDER OUTPUT.zip [THREADS]\n", stderr);
        return 2;
    }
    if (argc == 4) {
        setDeflateThreads(static_cast<unsigned>(std::wcstoul(argv[3], nullptr, 10)));
    }
    std::vector<std::wstring> files;
    vosselutils::FileUtils::getFilesFromDirectory(argv[1], L"", files);
    unsigned long long inputBytes = 0;
    for (const auto& file : files) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) {
            inputBytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    CZipArchive archive;
    if (!archive.beginArchive()) {
        std::fputs("the archive could not begin\n", stderr);
        return 1;
    }
    for (const auto& file : files) {
        archive.addFileToArchive(file);
    }
    archive.finishArchive();
    archive.saveArchive(argv[2]);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    const double mb = 1024.0 * 1024.0;
    std::printf("files %zu\ninput_mb %.1f\narchive_mb %.1f\nseconds %.2f\nmb_per_s %.1f\npeak_working_set_mb %.1f\n"
                "peak_commit_mb %.1f\nthreads %u\n",
        files.size(), inputBytes / mb, theDataStream().length() / mb, seconds, inputBytes / mb / seconds,
        memory.PeakWorkingSetSize / mb, memory.PeakPagefileUsage / mb, deflateThreads());
    return 0;
}
