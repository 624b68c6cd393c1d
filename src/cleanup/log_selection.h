#pragma once

#include <map>
#include <string>
#include <vector>

// Which files the clean-up takes: decisions only, no file is touched here.

// A client log: the name holds "vossel.log" anywhere, case included (vossel.log, vossel.log.1).
bool isClientLogName(const std::wstring& name);

// A media engine log: the name holds "clientSideLogs" or ".log" anywhere, case included.
bool isEngineLogName(const std::wstring& name);

// The folders that hold the media engine's logs, each ending in a backslash: for every further
// path (in the map's order) whose text + "\" holds "Virtualisation", that folder and its
// sub-folders "Skerrit\" and "VirtualChannel\".
std::vector<std::wstring> engineLogFolders(const std::map<std::wstring, std::wstring>& furtherPaths);
