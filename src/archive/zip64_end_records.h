#pragma once

#include <cstdint>
#include <string>

// The zip writer adds the zip64 end records only when the central directory starts beyond 4 GiB.
// An archive of 65535 entries or more needs them as well: its end record can only say 0xFFFF,
// which readers take as "see the zip64 record" and then find none.
//
// Given a finished archive of length bytes that ends in its end record (no comment), returns the
// bytes that take the end record's place: the zip64 end record, its locator, and the end record
// itself. Empty when the archive needs no zip64 end records or has them already.
std::string zip64EndRecordsFor(const unsigned char* archive, std::uint64_t length);
