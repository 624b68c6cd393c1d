#include "decrypt/minidump_reader.h"

#include <string>

#include "base/little_endian.h"
#include "decrypt/text_encoding.h"

namespace {

// Stream types and record sizes from the minidump format's documentation.
constexpr std::uint32_t kThreadListStream = 3;
constexpr std::uint32_t kModuleListStream = 4;
constexpr std::uint32_t kExceptionStream = 6;
constexpr std::uint32_t kSystemInfoStream = 7;
constexpr std::uint32_t kMemory64ListStream = 9;
constexpr std::uint32_t kMiscInfoStream = 15;

constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kDirectoryEntryBytes = 12;
constexpr std::size_t kExceptionStreamBytes = 168;
constexpr std::size_t kModuleBytes = 108;
constexpr std::size_t kThreadBytes = 48;
constexpr std::size_t kSystemInfoBytes = 32;
constexpr std::size_t kMiscInfoBytes = 12;
constexpr std::uint64_t kMiniDumpWithFullMemory = 0x2;
// Far more than any process loads; a stream or name past these is not read.
constexpr std::uint64_t kLargestListBytes = 16u << 20;
constexpr std::uint32_t kLongestNameBytes = 64 * 1024;

struct Location {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::uint32_t rva = 0;
};

class CDumpParser {
public:
    explicit CDumpParser(CByteSource& dump) : dump_(dump) {}

    MinidumpFacts parse()
    {
        MinidumpFacts facts;
        std::vector<Location> streams;
        if (!readHeader(facts, streams)) {
            return failed();
        }
        for (const Location& stream : streams) {
            if (!readStream(stream, facts)) {
                return failed();
            }
        }
        facts.readable = true;
        return facts;
    }

private:
    MinidumpFacts failed() const
    {
        MinidumpFacts facts;
        facts.problem = problem_;
        return facts;
    }

    bool fail(const std::string& why)
    {
        problem_ = why;
        return false;
    }

    // The bytes at [offset, offset + count), which must lie inside the file.
    bool bytesAt(std::uint64_t offset, std::uint64_t count, std::string& bytes, const char* what)
    {
        if (offset > dump_.size() || count > dump_.size() - offset) {
            return fail(std::string(what) + " lies past the end of the file");
        }
        bytes.assign(static_cast<std::size_t>(count), '\0');
        return dump_.readAt(offset, bytes.data(), bytes.size()) || fail(std::string(what) + " cannot be read");
    }

    static const unsigned char* at(const std::string& bytes, std::size_t offset)
    {
        return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    }

    bool readHeader(MinidumpFacts& facts, std::vector<Location>& streams)
    {
        std::string header;
        if (!bytesAt(0, kHeaderBytes, header, "the header") || header.compare(0, 4, "MDMP") != 0) {
            return fail("it does not begin with a minidump header");
        }
        if ((readLittleEndian<std::uint32_t>(at(header, 4)) & 0xFFFF) != 0xA793) {
            return fail("its format version is not one the minidump format documents");
        }
        const std::uint32_t count = readLittleEndian<std::uint32_t>(at(header, 8));
        const std::uint32_t directoryRva = readLittleEndian<std::uint32_t>(at(header, 12));
        facts.flags = readLittleEndian<std::uint64_t>(at(header, 24));
        std::string directory;
        if (!bytesAt(directoryRva, std::uint64_t{count} * kDirectoryEntryBytes, directory, "its stream directory")) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* entry = at(directory, i * kDirectoryEntryBytes);
            Location stream{readLittleEndian<std::uint32_t>(entry), readLittleEndian<std::uint32_t>(entry + 4),
                readLittleEndian<std::uint32_t>(entry + 8)};
            if (stream.type != 0 && (stream.rva > dump_.size() || stream.size > dump_.size() - stream.rva)) {
                return fail("stream " + std::to_string(i) + " (type " + std::to_string(stream.type)
                    + ") lies past the end of the file");
            }
            streams.push_back(stream);
        }
        return true;
    }

    // A stream of a type the summary reads must hold at least its fixed part.
    bool streamBytes(const Location& stream, std::size_t least, std::string& bytes, const char* what)
    {
        if (stream.size < least) {
            return fail(std::string("its ") + what + " is " + std::to_string(stream.size) + " bytes long, shorter than "
                + std::to_string(least));
        }
        if (stream.size > kLargestListBytes) {
            return fail(std::string("its ") + what + " is larger than any process needs");
        }
        return bytesAt(stream.rva, stream.size, bytes, what);
    }

    bool readStream(const Location& stream, MinidumpFacts& facts)
    {
        std::string bytes;
        switch (stream.type) {
        case kExceptionStream:
            if (!streamBytes(stream, kExceptionStreamBytes, bytes, "exception stream")) {
                return false;
            }
            facts.exception = MinidumpException{readLittleEndian<std::uint32_t>(at(bytes, 0)),
                readLittleEndian<std::uint32_t>(at(bytes, 8)), readLittleEndian<std::uint32_t>(at(bytes, 12)),
                readLittleEndian<std::uint64_t>(at(bytes, 24))};
            return true;
        case kModuleListStream:
            return streamBytes(stream, 4, bytes, "module list") && readModules(bytes, facts);
        case kThreadListStream: {
            if (!streamBytes(stream, 4, bytes, "thread list")) {
                return false;
            }
            facts.threads = readLittleEndian<std::uint32_t>(at(bytes, 0));
            return std::uint64_t{facts.threads} * kThreadBytes <= bytes.size() - 4
                || fail("its thread list counts " + std::to_string(facts.threads) + " threads but holds fewer");
        }
        case kSystemInfoStream:
            if (!streamBytes(stream, kSystemInfoBytes, bytes, "system information stream")) {
                return false;
            }
            facts.system = MinidumpSystem{readLittleEndian<std::uint16_t>(at(bytes, 0)), *at(bytes, 6),
                readLittleEndian<std::uint32_t>(at(bytes, 8)), readLittleEndian<std::uint32_t>(at(bytes, 12)),
                readLittleEndian<std::uint32_t>(at(bytes, 16))};
            return true;
        case kMiscInfoStream:
            if (!streamBytes(stream, kMiscInfoBytes, bytes, "process information stream")) {
                return false;
            }
            if (readLittleEndian<std::uint32_t>(at(bytes, 4)) & 1) {
                facts.processId = readLittleEndian<std::uint32_t>(at(bytes, 8));
            }
            return true;
        case kMemory64ListStream:
            if (stream.size < 16) {
                return fail("its memory list is " + std::to_string(stream.size) + " bytes long, shorter than 16");
            }
            facts.memory64 = true;
            return true;
        default:
            return true; // not needed for the summary; its place was checked with the directory
        }
    }

    bool readModules(const std::string& list, MinidumpFacts& facts)
    {
        const std::uint32_t count = readLittleEndian<std::uint32_t>(at(list, 0));
        if (std::uint64_t{count} * kModuleBytes > list.size() - 4) {
            return fail("its module list counts " + std::to_string(count) + " modules but holds fewer");
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* module = at(list, 4 + i * kModuleBytes);
            MinidumpModule found;
            found.base = readLittleEndian<std::uint64_t>(module);
            found.size = readLittleEndian<std::uint32_t>(module + 8);
            if (!readName(readLittleEndian<std::uint32_t>(module + 20), found.name)) {
                return false;
            }
            facts.modules.push_back(std::move(found));
        }
        return true;
    }

    // A name stored as its length in bytes and UTF-16 text.
    bool readName(std::uint32_t rva, std::string& name)
    {
        std::string length;
        if (!bytesAt(rva, 4, length, "a module's name")) {
            return false;
        }
        const std::uint32_t bytes = readLittleEndian<std::uint32_t>(at(length, 0));
        if (bytes > kLongestNameBytes || bytes % 2 != 0) {
            return fail("a module's name has a length of " + std::to_string(bytes) + " bytes");
        }
        std::string text;
        if (!bytesAt(std::uint64_t{rva} + 4, bytes, text, "a module's name")) {
            return false;
        }
        name = entryText("\xFF\xFE" + text);
        return true;
    }

    CByteSource& dump_;
    std::string problem_;
};

} // namespace

MinidumpFacts readMinidump(CByteSource& dump)
{
    return CDumpParser(dump).parse();
}

const MinidumpModule* moduleAt(const MinidumpFacts& facts, std::uint64_t address)
{
    for (const MinidumpModule& module : facts.modules) {
        if (address >= module.base && address - module.base < module.size) {
            return &module;
        }
    }
    return nullptr;
}

std::string minidumpKind(const MinidumpFacts& facts)
{
    return (facts.flags & kMiniDumpWithFullMemory) || facts.memory64 ? "full memory" : "minidump";
}

std::string moduleFileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
