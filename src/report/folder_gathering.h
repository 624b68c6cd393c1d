#pragma once

#include <string>

// True when the folder of a search pattern (the text before its last "\" or "/", trailing
// separators dropped) is the client's contacts folder: longer than 8 characters and ending in
// "Contacts", without regard to case.
bool isContactsFolder(const std::wstring& pattern);

// The entry prefix for a file below a further folder: name, the file's sub-folders relative to
// folder, and a closing backslash ("Meetings\2024\" for folder\2024\notes.txt). Always relative:
// see relativeEntryPath. Empty for a file at the root of the archive.
std::wstring additionalFolderEntryPrefix(const std::wstring& name, const std::wstring& folder,
    const std::wstring& file);

// The path with its drive letter, leading separators and "." and ".." components taken out, so
// that it names a place inside the archive ("..\..\evil" gives "evil", "C:\abs" gives "abs").
// The separators between the components that stay are kept as written.
std::wstring relativeEntryPath(const std::wstring& path);

// Whether a file of the client's log folder is one of its logs.
bool isClientLogFileName(const std::wstring& name);
