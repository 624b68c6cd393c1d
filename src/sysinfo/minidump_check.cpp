#include "sysinfo/minidump_check.h"

#include <vector>

#include "base/little_endian.h"
#include "base/scoped_handle.h"

namespace {

constexpr std::uint32_t kSignature = 0x504D444D; // "MDMP"
constexpr std::uint32_t kVersion = 0xA793;
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDirectoryEntrySize = 12;
constexpr std::size_t kMemoryDescriptorSize = 16;
constexpr std::size_t kThreadSize = 48;
// Far more streams than any writer makes; a directory claiming more is no dump.
constexpr std::uint32_t kMostStreams = 4096;
// Descriptors are read in pieces of this many, however many ranges a full dump has.
constexpr std::uint64_t kDescriptorsPerRead = 4096;

constexpr std::uint32_t kThreadListStream = 3;
constexpr std::uint32_t kMemoryListStream = 5;
constexpr std::uint32_t kMemory64ListStream = 9;

class DumpView {
public:
    DumpView(std::uint64_t size, const DumpBytesReader& read) : size_(size), read_(read) {}

    bool inside(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }

    bool bytes(std::uint64_t offset, std::size_t count, std::vector<unsigned char>& into) const
    {
        into.assign(count, 0);
        return inside(offset, count) && (count == 0 || read_(offset, into.data(), count));
    }

    // Every descriptor (StartOfMemoryRange, then a location of 32-bit size and place) inside.
    bool memoryList(std::uint64_t rva, std::uint64_t size, std::uint64_t& ranges) const
    {
        std::vector<unsigned char> head;
        if (size < 4 || !bytes(rva, 4, head)) {
            return false;
        }
        ranges = readLittleEndian(head.data(), 4);
        return ranges <= (size - 4) / kMemoryDescriptorSize
            && eachRecord(rva + 4, ranges, kMemoryDescriptorSize, [this](const unsigned char* d) {
                   return inside(readLittleEndian(d + 12, 4), readLittleEndian(d + 8, 4));
               });
    }

    // The ranges' data lies back to back from the list's base.
    bool memory64List(std::uint64_t rva, std::uint64_t size, std::uint64_t& ranges) const
    {
        std::vector<unsigned char> head;
        if (size < 16 || !bytes(rva, 16, head)) {
            return false;
        }
        ranges = readLittleEndian(head.data(), 8);
        std::uint64_t end = readLittleEndian(head.data() + 8, 8);
        return ranges <= (size - 16) / kMemoryDescriptorSize
            && eachRecord(rva + 16, ranges, kMemoryDescriptorSize, [&](const unsigned char* d) {
                   const std::uint64_t length = readLittleEndian(d + 8, 8);
                   if (!inside(end, length)) {
                       return false;
                   }
                   end += length;
                   return true;
               });
    }

    // Each thread's stack and context.
    bool threadList(std::uint64_t rva, std::uint64_t size) const
    {
        std::vector<unsigned char> head;
        if (size < 4 || !bytes(rva, 4, head)) {
            return false;
        }
        const std::uint64_t threads = readLittleEndian(head.data(), 4);
        return threads <= (size - 4) / kThreadSize
            && eachRecord(rva + 4, threads, kThreadSize, [this](const unsigned char* t) {
                   return inside(readLittleEndian(t + 36, 4), readLittleEndian(t + 32, 4))
                       && inside(readLittleEndian(t + 44, 4), readLittleEndian(t + 40, 4));
               });
    }

private:
    template <typename Check>
    bool eachRecord(std::uint64_t at, std::uint64_t count, std::size_t recordSize, Check check) const
    {
        std::vector<unsigned char> piece;
        for (std::uint64_t done = 0; done < count;) {
            const std::uint64_t some = count - done < kDescriptorsPerRead ? count - done : kDescriptorsPerRead;
            if (!bytes(at + done * recordSize, static_cast<std::size_t>(some * recordSize), piece)) {
                return false;
            }
            for (std::uint64_t i = 0; i < some; ++i) {
                if (!check(piece.data() + i * recordSize)) {
                    return false;
                }
            }
            done += some;
        }
        return true;
    }

    std::uint64_t size_;
    const DumpBytesReader& read_;
};

} // namespace

bool isCompleteMinidump(std::uint64_t fileSize, const DumpBytesReader& read, bool withMemory)
{
    const DumpView dump(fileSize, read);
    std::vector<unsigned char> header;
    if (!dump.bytes(0, kHeaderSize, header) || readLittleEndian(header.data(), 4) != kSignature
        || (readLittleEndian(header.data() + 4, 4) & 0xFFFF) != kVersion) {
        return false;
    }
    const std::uint64_t streams = readLittleEndian(header.data() + 8, 4);
    const std::uint64_t directoryRva = readLittleEndian(header.data() + 12, 4);
    std::vector<unsigned char> directory;
    if (streams == 0 || streams > kMostStreams
        || !dump.bytes(directoryRva, static_cast<std::size_t>(streams * kDirectoryEntrySize), directory)) {
        return false;
    }
    bool memory = false;
    for (std::uint64_t i = 0; i < streams; ++i) {
        const unsigned char* entry = directory.data() + i * kDirectoryEntrySize;
        const std::uint32_t type = readLittleEndian<std::uint32_t>(entry);
        const std::uint64_t size = readLittleEndian(entry + 4, 4);
        const std::uint64_t rva = readLittleEndian(entry + 8, 4);
        if (!dump.inside(rva, size)) {
            return false;
        }
        std::uint64_t ranges = 0;
        if ((type == kMemoryListStream && !dump.memoryList(rva, size, ranges))
            || (type == kMemory64ListStream && !dump.memory64List(rva, size, ranges))
            || (type == kThreadListStream && !dump.threadList(rva, size))) {
            return false;
        }
        memory = memory || ranges > 0;
    }
    return memory || !withMemory;
}

bool isCompleteMinidumpFile(HANDLE file, bool withMemory)
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        return false;
    }
    return isCompleteMinidump(static_cast<std::uint64_t>(size.QuadPart),
        [file](std::uint64_t offset, void* buffer, std::size_t count) {
            auto* bytes = static_cast<unsigned char*>(buffer);
            while (count > 0) {
                OVERLAPPED at = {};
                at.Offset = static_cast<DWORD>(offset);
                at.OffsetHigh = static_cast<DWORD>(offset >> 32);
                const DWORD wanted = count < 0x100000 ? static_cast<DWORD>(count) : 0x100000;
                DWORD read = 0;
                if (!ReadFile(file, bytes, wanted, &read, &at) || read == 0) {
                    return false;
                }
                bytes += read;
                offset += read;
                count -= read;
            }
            return true;
        },
        withMemory);
}

bool isCompleteMinidumpFile(const std::wstring& path, bool withMemory)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && isCompleteMinidumpFile(file.get(), withMemory);
}

bool isWholeDumpOfRunningProcess(HANDLE process, HANDLE file)
{
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT && isCompleteMinidumpFile(file, true);
}
