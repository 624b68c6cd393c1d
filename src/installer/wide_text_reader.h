#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// A file's bytes taken as UTF-16 little-endian text up to its first zero unit, read in pieces, so
// that what is held at once stays bounded however large the file: another product's verbose
// installer log may run to gigabytes.

inline constexpr std::size_t kWideTextPieceBytes = 1024 * 1024;

// Turns bytes that arrive in pieces ending anywhere, even inside a code unit, into code units.
class CWideTextDecoder {
public:
    // The units completed by these bytes, up to a zero unit; once a zero unit is met, none more.
    std::wstring add(const unsigned char* bytes, std::size_t count);
    bool ended() const { return ended_; }

private:
    int pendingByte_ = -1;
    bool ended_ = false;
};

// Hands the file's text to take piece by piece, reading pieceBytes at a time, until the text ends
// or take returns false. False when the file cannot be opened or read; a last byte that makes no
// whole unit is dropped.
bool readWideTextInPieces(const std::wstring& path, std::size_t pieceBytes,
    const std::function<bool(std::wstring_view)>& take);

// Whether the file's text holds needle, also across the ends of pieces; stops at the first match.
// A file that cannot be read, or memory that runs out, counts as not holding it.
bool fileTextContains(const std::wstring& path, const std::wstring& needle,
    std::size_t pieceBytes = kWideTextPieceBytes);
