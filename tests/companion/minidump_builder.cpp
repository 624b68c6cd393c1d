#include "minidump_builder.h"

#include <vector>

#include "fixture_report.h"

namespace {

std::string moduleName(const std::string& ascii)
{
    std::string bytes;
    appendLittleEndian(bytes, ascii.size() * 2, 4);
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes + std::string(2, '\0');
}

} // namespace

std::string buildMinidump(const MinidumpSpec& spec, MinidumpLayout* layout)
{
    struct Stream {
        std::uint32_t type;
        std::string bytes;
    };
    std::vector<Stream> streams;
    std::string threads;
    appendLittleEndian(threads, 1, 4);
    threads.append(48, '\0');
    putLittleEndian(threads, 4, spec.thread, 4);
    streams.push_back({3, threads});
    streams.push_back({4, ""}); // the module list, filled once the names have their places
    std::string system(56, '\0');
    putLittleEndian(system, 0, 9, 2);     // x64
    putLittleEndian(system, 6, 4, 1);     // processors
    putLittleEndian(system, 8, 10, 4);    // 10.0
    putLittleEndian(system, 16, 19045, 4);
    streams.push_back({7, system});
    if (spec.exception) {
        std::string exception(168, '\0');
        putLittleEndian(exception, 0, spec.thread, 4);
        putLittleEndian(exception, 8, spec.code, 4);
        putLittleEndian(exception, 24, spec.address, 8);
        streams.push_back({6, exception});
    }
    const std::size_t header = 32;
    const std::size_t directory = header;
    std::size_t at = directory + streams.size() * 12;
    const std::size_t modules = 2;
    const std::size_t moduleListSize = 4 + modules * 108;
    std::vector<std::size_t> offsets;
    for (const Stream& stream : streams) {
        offsets.push_back(at);
        at += stream.type == 4 ? moduleListSize : stream.bytes.size();
    }
    const std::string names[] = {moduleName("C:\\Program Files\\Ormel\\OrmelVossel.exe"),
        moduleName("C:\\windows\\system32\\ntdll.dll")};
    std::string moduleList;
    appendLittleEndian(moduleList, modules, 4);
    const std::uint64_t bases[] = {0x140000000, 0x7FFD00000000};
    std::size_t nameAt = at;
    for (std::size_t i = 0; i < modules; ++i) {
        std::string module(108, '\0');
        putLittleEndian(module, 0, bases[i], 8);
        putLittleEndian(module, 8, 0x20000, 4);
        putLittleEndian(module, 20, nameAt, 4);
        nameAt += names[i].size();
        moduleList += module;
    }
    streams[1].bytes = moduleList;

    std::string dump = "MDMP";
    appendLittleEndian(dump, 0xA793, 4);
    appendLittleEndian(dump, streams.size(), 4);
    appendLittleEndian(dump, directory, 4);
    appendLittleEndian(dump, 0, 4);
    appendLittleEndian(dump, 0, 4);
    appendLittleEndian(dump, 0x2, 8); // full memory
    for (std::size_t i = 0; i < streams.size(); ++i) {
        appendLittleEndian(dump, streams[i].type, 4);
        appendLittleEndian(dump, streams[i].bytes.size(), 4);
        appendLittleEndian(dump, offsets[i], 4);
    }
    for (const Stream& stream : streams) {
        dump += stream.bytes;
    }
    for (const std::string& name : names) {
        dump += name;
    }
    if (layout) {
        layout->directory = directory;
        layout->streams = streams.size();
        layout->moduleList = offsets[1];
        layout->exceptionEntry = spec.exception ? directory + 3 * 12 : 0;
    }
    return dump;
}
