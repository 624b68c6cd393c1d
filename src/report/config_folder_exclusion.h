#pragma once

#include <string>

// The client's configuration files hold passwords, so they come into the report only through the
// password scrubber. A further folder may hold the configuration folder, be it, or lie inside it,
// under any spelling (case, trailing separators, "." and "..", a link to it): the further-folder
// walk asks this object which of its files lie below the configuration folder and leaves those out.
class CConfigFolderExclusion {
public:
    // configFolder empty: nothing is excluded.
    explicit CConfigFolderExclusion(const std::wstring& configFolder);

    // Called before the files of each further folder, with the folder as the settings give it.
    void beginFolder(const std::wstring& folder);
    // Whether file, found below the current further folder, lies at or below the configuration folder.
    bool excludes(const std::wstring& file) const;

private:
    std::wstring config_;      // the configuration folder's own path, without a trailing separator
    std::wstring folderGiven_; // the further folder's full path as given
    std::wstring folderReal_;  // the folder's own path, links and short names resolved
};

// Whether path equals folder or lies below it; case does not count, both are full paths without
// a trailing separator.
bool isPathAtOrBelow(const std::wstring& path, const std::wstring& folder);
