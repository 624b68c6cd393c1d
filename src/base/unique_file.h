#pragma once

#include <windows.h>

#include <string>

#include "base/scoped_handle.h"

// A file made beside a final path, under a name no other file in that folder had, for what is
// written whole before it takes the final name (a dump, a report copied across volumes). Only the
// run that made it ever deletes it, so no file of the user's is written over or removed.
struct UniqueFile {
    ScopedFileHandle file;
    std::wstring path;      // empty when no such file could be made
    DWORD error = ERROR_SUCCESS;
};

// Makes finalPath + "." + a number + ".partial" with CREATE_NEW, trying the next number while a
// file of that name exists, and opens it with access and share.
UniqueFile createFileBeside(const std::wstring& finalPath, DWORD access, DWORD share);
