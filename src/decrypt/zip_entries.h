#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decrypt/byte_source.h"

// One entry as the archive's central directory declares it.
struct ZipDirectoryEntry {
    std::string name; // exactly as stored (the tool stores UTF-8 with backslashes)
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    std::uint32_t crc32 = 0;
    int method = 0;
};

// How reading one entry ended.
struct EntryRead {
    bool ok = false;         // every declared byte came, and the CRC-32 matches
    bool stopped = false;    // the reader of the pieces asked to stop
    std::string problem;     // what went wrong, for the user, when not ok
    std::uint64_t bytes = 0; // how many bytes came out
    std::uint32_t crc32 = 0; // of those bytes
};

// A zip archive read through a byte source. Nothing an entry declares is trusted: a size that the
// archive cannot hold refuses the archive before any entry is read, and entries are read in pieces
// of at most kPieceBytes, so memory never follows what an entry claims.
class CZipReader {
public:
    static constexpr std::size_t kPieceBytes = 1 << 20;

    CZipReader() = default;
    ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    // Reads the central directory; false, with the reason in error, when the archive cannot be read
    // or declares more than it can hold. The source must outlive the archive.
    bool open(CByteSource& source, std::string& error);
    const std::vector<ZipDirectoryEntry>& entries() const { return entries_; }
    // The index of the entry of that name, or entries().size().
    std::size_t find(std::string_view name) const;

    // Hands the entry's bytes to onPiece in order; onPiece returns false to stop (then not ok).
    EntryRead read(std::size_t index, const std::function<bool(const char*, std::size_t)>& onPiece);
    // The entry whole, when it declares at most limit bytes.
    EntryRead readWhole(std::size_t index, std::string& bytes, std::uint64_t limit);

    // One entry read from its start in steps, for readers that go through it more than once: the
    // next up to count bytes, 0 at its end, -1 on damaged data. One entry is open at a time.
    bool startReading(std::size_t index);
    long long readNext(char* buffer, std::size_t count);
    void stopReading();

private:
    void close();

    void* archive_ = nullptr;
    std::vector<ZipDirectoryEntry> entries_;
    // Where each entry's record is in the central directory, to go back to it.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> positions_;
};

// What the reader says of a size an entry declares: empty when the archive can hold it.
std::string implausibleSize(const ZipDirectoryEntry& entry, std::uint64_t archiveBytes);
