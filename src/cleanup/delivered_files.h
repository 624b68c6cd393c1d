#pragma once

#include <map>
#include <string>

#include "report/report_contents.h"

// What the delivered report holds, looked up by the files it was made from: the clean-up deletes
// the user's material only when the report at the output path holds it.

// How closely a file must match its entry before it may go.
enum class DeliveredMatch {
    Held,      // the report holds an entry made from it (a file that changes as the run goes on)
    SameSize,  // and the file is as large as that entry (a file nothing writes to any more)
    SameBytes, // and its bytes are the entry's, by size and CRC-32 (a log the client may still write)
};

class CDeliveredFiles {
public:
    // reportDelivered: this run's report reached the output path.
    CDeliveredFiles(const ReportContents& contents, bool reportDelivered);

    // Empty when the file at path may go; otherwise why it stays, for its log line: the reason it
    // was left out, "not in the report", or "changed since it was collected".
    std::wstring whyKept(const std::wstring& path, DeliveredMatch match) const;

private:
    bool reportDelivered_;
    std::map<std::wstring, const DeliveredEntry*> entries_;
    std::map<std::wstring, LeftOutReason> leftOut_;
};

// The file's size and CRC-32, read in pieces; false when it cannot be read whole.
bool fileSizeAndCrc(const std::wstring& path, std::uint64_t& size, std::uint32_t& crc);
