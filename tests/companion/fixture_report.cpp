#include "fixture_report.h"

#include <minizip/zip.h>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include "decrypt/entry_digest.h"
#include "decrypt/text_encoding.h"
#include "minidump_builder.h"
#include "scratch_folder.h"

void putLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void appendLittleEndian(std::string& bytes, std::uint64_t value, int count)
{
    bytes.append(static_cast<std::size_t>(count), '\0');
    putLittleEndian(bytes, bytes.size() - static_cast<std::size_t>(count), value, count);
}

bool writeZip(const std::filesystem::path& path, const std::vector<FixtureEntry>& entries)
{
    zipFile zip = zipOpen64(utf8OfPath(path).c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const FixtureEntry& entry : entries) {
        zip_fileinfo info = {};
        // Bit 11: the names are UTF-8, as the tool marks them.
        ok = ok
            && zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                   entry.stored ? 0 : Z_DEFLATED, entry.stored ? 0 : 6, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                   nullptr, 0, 0, 1 << 11, 0) == ZIP_OK
            && (entry.bytes.empty()
                || zipWriteInFileInZip(zip, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size())) == ZIP_OK)
            && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

std::string zipBytes(const std::vector<FixtureEntry>& entries, const std::filesystem::path& scratch)
{
    const std::filesystem::path path = scratch / "fixture-zip.tmp";
    const std::string bytes = writeZip(path, entries) ? readBytes(path) : std::string();
    std::filesystem::remove(path);
    return bytes;
}

std::string manifestFor(const std::vector<FixtureEntry>& entries, const std::string& reportName)
{
    nlohmann::json list = nlohmann::json::array();
    for (const FixtureEntry& entry : entries) {
        CSha256 sha;
        sha.add(entry.bytes.data(), entry.bytes.size());
        const auto crc = ::crc32(0, reinterpret_cast<const Bytef*>(entry.bytes.data()), static_cast<uInt>(entry.bytes.size()));
        list.push_back({{"name", entry.name}, {"size", entry.bytes.size()}, {"crc32", crcHex(crc)}, {"sha256", sha.hex()},
            {"source", "generated"}, {"treatment", "generated"}, {"laterKey", true}});
    }
    const nlohmann::json manifest = {
        {"format", 1},
        {"tool", "VosselPRT"},
        {"toolVersion", "1.0.0.1"},
        {"clientVersion", "12.6.0.1234"},
        {"report", reportName},
        {"started", "2026-12-09T10:59:50Z"},
        {"ended", "2026-12-09T10:59:59Z"},
        {"options", {{"/file", "C:\\reports\\r.zip"}, {"/ProblemArea", "audio"}}},
        {"entries", list},
        {"leftOut", {{{"path", "C:\\Users\\jo\\Logs\\locked.log"}, {"reason", "could not be read"}}}},
        {"stages", {{{"name", "process dumps"}, {"seconds", 1.25}}}},
    };
    return manifest.dump(1);
}

std::string unicodeText(const std::string& ascii, bool marked)
{
    std::string bytes = marked ? "\xFF\xFE" : "";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return marked ? bytes : bytes + std::string(2, '\0');
}

std::vector<FixtureEntry> demoLikeEntries()
{
    std::string log;
    for (int i = 0; i < 30; ++i) {
        const std::string minute = std::to_string(10 + i);
        const char* level = i % 7 == 3 ? "ERROR" : "INFO ";
        log += "2026-12-09 10:" + minute + ":05,123 [  12] " + level + " SipStack - call " + std::to_string(1000 + i)
            + (i % 7 == 3 ? " dropped: no media" : " state 2") + "\r\n";
    }
    log += "2026-12-09 11:02:44,001 [  12] FATAL SipStack - transport lost\r\n";
    MinidumpSpec dump;
    dump.exception = true;
    return {
        {"Config\\vossel.properties", "server=sip.example.invalid\r\npassword=********\r\n"},
        {"RawStackTrace.txt",
            unicodeText("Exception 0xc0000005 at 0x00007ffd12345678\nOrmelVossel.exe!CallManager::onHold+0x42\n", false)},
        {"fulldump.dmp", buildMinidump(dump)},
        {"SystemInfo\\SystemInfo.txt",
            "\r\n\r\nEnvironment Variables\r\n\r\nNUMBER_OF_PROCESSORS=4\r\nOS=Windows_NT\r\n"
            "PROCESSOR_IDENTIFIER=Intel64 Family 6 Model 85 Stepping 7, GenuineIntel\r\n\r\n"
            "Windows IP Configuration\r\n\r\nHost Name:                 DESK-42\r\n"
            "OS Name:                   Microsoft Windows 10 Enterprise\r\n"
            "OS Version:                10.0.19045 N/A Build 19045\r\n"
            "Total Physical Memory:     16,234 MB\r\n\r\nMonitor Resolution: {Width=1920, Height=1080} DPI: 96\r\n"
            "\r\nAudio Devices\r\n\tName:\tSpeakers (High Definition Audio)\r\n\tStatus:\tOK\r\n\r\n"
            "\r\nVideo Devices\r\n\tName:\tWine Adapter\r\n\r\n\r\nDesktop Monitor\r\n\tName:\tGeneric PnP Monitor\r\n\r\n"
            "\r\nUSB Devices\r\n"},
        {"user-comment.txt", unicodeText("Calls drop after a minute\r\nStarted after the last update\r\njo@example.invalid\r\n")},
        {"metadata.txt", unicodeText("jo.doe,audio,0,12.6.0.1234,demo,Work\nVossel Version: 12.6.0.1234 (Build 7)")},
        {"gdi.txt", unicodeText("Handle,Type,Kernel address\n0x1,Bitmap,0xf1\n0x2,Bitmap,0xf2\n0x3,DC,0xf3\n")},
        {"vossel.log", log},
        {"vossel.log.1", "2026-12-09 09:59:59,000 [   4] ERROR UI - window lost\r\n"},
        {"PRT.txt",
            "[2026-12-09 10:59:50,001] Creating dump file for processID: 0x1f4, file:fulldump.dmp\r\n"
            "[2026-12-09 10:59:50,002] Handle count: 812\r\n[2026-12-09 10:59:50,003] GDI handle count: 311\r\n"
            "[2026-12-09 10:59:50,004] USER object count: 97\r\n"},
    };
}

std::vector<FixtureEntry> demoLikeReport(const std::string& reportName)
{
    std::vector<FixtureEntry> entries = demoLikeEntries();
    entries.push_back({"manifest.json", manifestFor(entries, reportName)});
    return entries;
}
