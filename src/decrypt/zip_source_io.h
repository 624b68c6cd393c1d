#pragma once

#include <minizip/ioapi.h>

#include "decrypt/byte_source.h"

// minizip's file functions over a byte source, read-only: the reader then works the same on a
// report file and on an archive decrypted into memory, on every platform. The source must outlive
// the archive opened with them.
zlib_filefunc64_def byteSourceFileFunctions(CByteSource& source);
