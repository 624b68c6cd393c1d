#include "cleanup/delivered_files.h"

#include <windows.h>

#include <vector>

#include <zlib.h>

#include "base/full_path.h"
#include "base/scoped_handle.h"

CDeliveredFiles::CDeliveredFiles(const ReportContents& contents, bool reportDelivered)
    : reportDelivered_(reportDelivered)
{
    if (!reportDelivered_) {
        return;
    }
    for (const DeliveredEntry& entry : contents.entries) {
        if (entry.origin.source != EntrySource::Exported && !entry.origin.path.empty()) {
            entries_[pathKey(entry.origin.path)] = &entry;
        }
    }
    for (const LeftOutMaterial& material : contents.leftOut) {
        leftOut_[pathKey(material.path)] = material.reason;
    }
}

std::wstring CDeliveredFiles::whyKept(const std::wstring& path, DeliveredMatch match) const
{
    if (!reportDelivered_) {
        return L"no report reached the output path";
    }
    const std::wstring key = pathKey(path);
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
        const auto left = leftOut_.find(key);
        return left != leftOut_.end() ? leftOutReasonText(left->second) : L"not in the report";
    }
    const DeliveredEntry& entry = *found->second;
    if (match == DeliveredMatch::Held) {
        return {};
    }
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    if (match == DeliveredMatch::SameSize) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            if (size == entry.size) {
                return {};
            }
        }
    } else if (fileSizeAndCrc(path, size, crc) && size == entry.size && crc == entry.crc) {
        return {};
    }
    return L"changed since it was collected";
}

bool fileSizeAndCrc(const std::wstring& path, std::uint64_t& size, std::uint32_t& crc)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return false;
    }
    std::vector<unsigned char> piece(1024 * 1024);
    uLong sum = crc32(0L, Z_NULL, 0);
    size = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            break;
        }
        sum = crc32(sum, piece.data(), read);
        size += read;
    }
    crc = static_cast<std::uint32_t>(sum);
    return true;
}
