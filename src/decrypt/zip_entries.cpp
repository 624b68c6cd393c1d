#include "decrypt/zip_entries.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include "decrypt/zip_source_io.h"

namespace {

// Deflate cannot make more than 1032 bytes out of one; the margin covers the smallest streams.
constexpr std::uint64_t kDeflateMostRatio = 1032;
constexpr std::uint64_t kDeflateMargin = 64;
// A name longer than this is no name the tool writes.
constexpr std::size_t kLongestName = 32768;

std::string sizeText(std::uint64_t bytes)
{
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string implausibleSize(const ZipDirectoryEntry& entry, std::uint64_t archiveBytes)
{
    if (entry.compressedSize > archiveBytes) {
        return "declares " + sizeText(entry.compressedSize) + " of data in an archive of " + sizeText(archiveBytes);
    }
    if (entry.method == 0 && entry.size != entry.compressedSize) {
        return "is stored but declares " + sizeText(entry.size) + " from " + sizeText(entry.compressedSize);
    }
    if (entry.method == Z_DEFLATED && entry.size > entry.compressedSize * kDeflateMostRatio + kDeflateMargin) {
        return "declares " + sizeText(entry.size) + ", more than its " + sizeText(entry.compressedSize)
            + " of compressed data can hold";
    }
    if (entry.method != 0 && entry.method != Z_DEFLATED) {
        return "uses compression method " + std::to_string(entry.method) + ", which a report never uses";
    }
    return {};
}

CZipReader::~CZipReader()
{
    close();
}

void CZipReader::close()
{
    if (archive_) {
        unzClose(static_cast<unzFile>(archive_));
        archive_ = nullptr;
    }
    entries_.clear();
    positions_.clear();
}

bool CZipReader::open(CByteSource& source, std::string& error)
{
    close();
    zlib_filefunc64_def functions = byteSourceFileFunctions(source);
    unzFile archive = unzOpen2_64("report", &functions);
    if (!archive) {
        error = "it is not a readable zip archive (no end record, or a damaged central directory)";
        return false;
    }
    archive_ = archive;
    int status = unzGoToFirstFile(archive);
    for (; status == UNZ_OK; status = unzGoToNextFile(archive)) {
        unz_file_info64 info = {};
        if (unzGetCurrentFileInfo64(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
            || info.size_filename > kLongestName) {
            status = UNZ_BADZIPFILE;
            break;
        }
        ZipDirectoryEntry entry;
        entry.name.resize(info.size_filename);
        if (unzGetCurrentFileInfo64(archive, &info, entry.name.data(), static_cast<uLong>(entry.name.size()), nullptr,
                0, nullptr, 0) != UNZ_OK) {
            status = UNZ_BADZIPFILE;
            break;
        }
        entry.size = info.uncompressed_size;
        entry.compressedSize = info.compressed_size;
        entry.crc32 = static_cast<std::uint32_t>(info.crc);
        entry.method = static_cast<int>(info.compression_method);
        if (info.flag & 1) {
            error = "its entry \"" + entry.name + "\" is encrypted with a zip password, which a report never is";
            close();
            return false;
        }
        const std::string implausible = implausibleSize(entry, source.size());
        if (!implausible.empty()) {
            error = "its entry \"" + entry.name + "\" " + implausible + "; nothing of it was read";
            close();
            return false;
        }
        unz64_file_pos position = {};
        if (unzGetFilePos64(archive, &position) != UNZ_OK) {
            status = UNZ_BADZIPFILE;
            break;
        }
        entries_.push_back(std::move(entry));
        positions_.emplace_back(position.pos_in_zip_directory, position.num_of_file);
    }
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        error = "its central directory is damaged after " + std::to_string(entries_.size()) + " entries";
        close();
        return false;
    }
    return true;
}

std::size_t CZipReader::find(std::string_view name) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) {
            return i;
        }
    }
    return entries_.size();
}

EntryRead CZipReader::read(std::size_t index, const std::function<bool(const char*, std::size_t)>& onPiece)
{
    EntryRead result;
    auto* archive = static_cast<unzFile>(archive_);
    if (!archive || index >= entries_.size()) {
        result.problem = "no such entry";
        return result;
    }
    const ZipDirectoryEntry& entry = entries_[index];
    if (!startReading(index)) {
        result.problem = "its local header cannot be read or does not match the central directory";
        return result;
    }
    std::string piece(kPieceBytes, '\0');
    std::uint32_t crc = static_cast<std::uint32_t>(::crc32(0, nullptr, 0));
    bool stopped = false;
    int read = 0;
    while ((read = unzReadCurrentFile(archive, piece.data(), static_cast<unsigned>(piece.size()))) > 0) {
        crc = static_cast<std::uint32_t>(::crc32(crc, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(read)));
        result.bytes += static_cast<std::uint64_t>(read);
        if (!onPiece(piece.data(), static_cast<std::size_t>(read))) {
            stopped = true;
            break;
        }
    }
    result.crc32 = crc;
    const int closed = unzCloseCurrentFile(archive);
    if (stopped) {
        result.stopped = true;
        result.problem = "reading it was stopped";
    } else if (read < 0) {
        result.problem = "its compressed data is damaged after " + sizeText(result.bytes);
    } else if (result.bytes != entry.size) {
        result.problem = "it holds " + sizeText(result.bytes) + " where it declares " + sizeText(entry.size);
    } else if (crc != entry.crc32 || closed == UNZ_CRCERROR) {
        result.problem = "its CRC-32 does not match its content";
    } else {
        result.ok = true;
    }
    return result;
}

bool CZipReader::startReading(std::size_t index)
{
    auto* archive = static_cast<unzFile>(archive_);
    if (!archive || index >= entries_.size()) {
        return false;
    }
    unz64_file_pos position = {positions_[index].first, positions_[index].second};
    return unzGoToFilePos64(archive, &position) == UNZ_OK && unzOpenCurrentFile(archive) == UNZ_OK;
}

long long CZipReader::readNext(char* buffer, std::size_t count)
{
    const unsigned slice = count < kPieceBytes ? static_cast<unsigned>(count) : static_cast<unsigned>(kPieceBytes);
    const int read = unzReadCurrentFile(static_cast<unzFile>(archive_), buffer, slice);
    return read < 0 ? -1 : read;
}

void CZipReader::stopReading()
{
    unzCloseCurrentFile(static_cast<unzFile>(archive_));
}

EntryRead CZipReader::readWhole(std::size_t index, std::string& bytes, std::uint64_t limit)
{
    bytes.clear();
    if (index < entries_.size() && entries_[index].size > limit) {
        EntryRead refused;
        refused.problem = "it declares " + sizeText(entries_[index].size) + ", more than the " + sizeText(limit)
            + " read of such an entry";
        return refused;
    }
    if (index < entries_.size()) {
        bytes.reserve(static_cast<std::size_t>(entries_[index].size));
    }
    return read(index, [&](const char* data, std::size_t count) {
        bytes.append(data, count);
        return bytes.size() <= limit;
    });
}
