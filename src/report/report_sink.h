#pragma once

#include <cstdint>
#include <string>

// Where the collection puts what a report holds. The collection decides what goes in and in which
// order, and says where each entry came from and how it was treated; the sink decides what that
// means: the archive writer writes the entries into the report's zip archive, others may list or
// describe them instead.

// Where an entry's bytes came from.
enum class EntrySource {
    File,      // a file on disk, named by its path
    Generated, // made by the tool itself: the comment, the metadata, the machine description...
    Exported,  // handed out by the running client's services
};

// How the bytes relate to their source.
enum class EntryTreatment {
    Copied,          // as they are
    Scrubbed,        // passwords hidden
    WholeFileHidden, // the passwords could not be told apart: a message stands for the whole file
    Generated,       // made by the tool
};

struct EntryOrigin {
    EntrySource source = EntrySource::File;
    EntryTreatment treatment = EntryTreatment::Copied;
    std::wstring path; // the file the entry stems from; empty when there is none
};

// Why something the report meant to hold is not in it.
enum class LeftOutReason {
    CouldNotBeRead,         // the file is there but cannot be opened for reading
    NotADiskFile,           // a device or a pipe
    NoRoom,                 // it did not fit in the memory left for the archive
    NotWritten,             // the zip writer refused it
    BelowConfigFolder,      // a further folder reaches into the client's configuration folder
    ContactsNotCollected,   // the contacts folder, when the settings do not ask for the contacts
};

// A short text for the reason, as support staff read it.
const wchar_t* leftOutReasonText(LeftOutReason reason);

// Whether the material was meant to go in and could not, rather than being kept out on purpose.
bool isLostMaterial(LeftOutReason reason);

class IReportSink {
public:
    virtual ~IReportSink() = default;

    // The file at path, as the entry prefix + its file name (prefix: a folder ending in a
    // backslash, or empty). A file that does not exist adds nothing: optional material drops out.
    // treatment is Copied for the client's files and Generated for the tool's own working files.
    virtual void addFile(const std::wstring& path, const std::wstring& prefix,
        EntryTreatment treatment = EntryTreatment::Copied) = 0;

    // length bytes from data, as the entry prefix + the file-name part of name.
    virtual void addMemory(const void* data, std::uint32_t length, const std::wstring& name,
        const std::wstring& prefix, const EntryOrigin& origin) = 0;

    // What the collection itself decided to leave out, and why.
    virtual void leftOut(const std::wstring& path, LeftOutReason reason) = 0;

    // False for a sink that only lists what a report would hold: the collection then writes no
    // file, collects nothing from other programs and starts nothing.
    virtual bool makesReport() const { return true; }
};
