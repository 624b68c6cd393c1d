#pragma once

#include <string>

#include "archive/zip_archive.h"

// Saving a finished report archive and moving it to the output path. They take the archive and
// paths: what a report holds, and how it was collected, is not their business.

// Writes the finished archive to the temporary folder under archiveFileName, encrypted when the
// settings ask for it, and records that path as the report file path. Returns the path, or empty
// when the temporary folder and the name do not fit in the classic path length. An archive that
// was never finished is no report and is not written.
std::wstring saveReportArchive(const CZipArchive& archive, const std::wstring& archiveFileName);

// Encrypts the archive in the data stream into the ".enc" and ".esk" files beside path.
bool encryptArchiveToFiles(const std::string& certificate, const std::wstring& path);

// Replaces the plain archive by one of the two encrypted files beside path, written to path.
bool writeEncryptedArchive(const std::wstring& path);

// Moves the saved report at from to the output path to; false, with one log line, when it did
// not arrive there.
bool moveReportFile(const std::wstring& from, const std::wstring& to);
