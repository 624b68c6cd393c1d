#include "installer/wide_text_reader.h"

#include <windows.h>

#include <new>
#include <vector>

#include "base/scoped_handle.h"

std::wstring CWideTextDecoder::add(const unsigned char* bytes, std::size_t count)
{
    std::wstring units;
    units.reserve(count / 2 + 1);
    for (std::size_t i = 0; i < count && !ended_; ++i) {
        if (pendingByte_ < 0) {
            pendingByte_ = bytes[i];
            continue;
        }
        const auto unit = static_cast<wchar_t>(pendingByte_ | (bytes[i] << 8));
        pendingByte_ = -1;
        if (unit == L'\0') {
            ended_ = true;
            break;
        }
        units += unit;
    }
    return units;
}

bool readWideTextInPieces(const std::wstring& path, std::size_t pieceBytes,
    const std::function<bool(std::wstring_view)>& take)
{
    // Shared with every other access: an installer may still be writing its log.
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::vector<unsigned char> piece(pieceBytes > 0 ? pieceBytes : 1);
    CWideTextDecoder decoder;
    while (!decoder.ended()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            break;
        }
        if (!take(decoder.add(piece.data(), read))) {
            break;
        }
    }
    return true;
}

bool fileTextContains(const std::wstring& path, const std::wstring& needle, std::size_t pieceBytes)
{
    if (needle.empty()) {
        return false;
    }
    try {
        // The end of the text seen so far, short of one unit of the needle: a match that spans the
        // end of a piece is found with the next.
        std::wstring window;
        bool found = false;
        const bool read = readWideTextInPieces(path, pieceBytes, [&](std::wstring_view units) {
            window.append(units);
            found = window.find(needle) != std::wstring::npos;
            if (window.size() >= needle.size()) {
                window.erase(0, window.size() - (needle.size() - 1));
            }
            return !found;
        });
        return read && found;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
