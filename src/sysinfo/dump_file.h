#pragma once

#include <windows.h>

#include <string>

// A dump file's way to its final name. A new dump is written beside it under a name of its own
// and takes the final name only once it is whole, so that no run, however it ends, leaves part of
// a dump under a dump's name; a file already there is used only when it is a complete dump.

// What the dump stage found at a dump's path before it wrote one.
struct ExistingDump {
    bool present = false;
    bool complete = false;
    // Of a file that is no complete dump: its size and last writing, to tell later whether the
    // user has put another file in its place.
    WIN32_FILE_ATTRIBUTE_DATA stamp = {};
};

// Looks at the file at path. One that is no complete dump is logged as one that a new dump will
// replace.
ExistingDump examineExistingDump(const std::wstring& path);

// Gives the whole dump at partialPath the name path, replacing whatever is there. False, with a
// log line, when it cannot; the partial file is then deleted.
bool publishDump(const std::wstring& partialPath, const std::wstring& path);

// After a dump that could not be written: when the incomplete file found before is still at path
// as it was, it stays out of the report, with one log line.
void leaveOutIfUnchanged(const std::wstring& path, const ExistingDump& before);

// path when the dump there may go into the report; empty when the dump stage left it out.
std::wstring dumpFileToCollect(const std::wstring& path);
