#include "report/secure_string_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "freed_memory_watch.h"
#include "platform/lumocoreutils/text.h"
#include "platform/qskstorage/encrypt_file_utils.h"
#include "platform/vosselutils/text.h"
#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

using qsk::storage::EncryptFileUtils;
using qsk::storage::FileCategoryType;

TEST(SecureString, StoredTraceComesBackByteForByte)
{
    ScopedTempFolder temp;
    const std::string path = LumoCoreUtils::toString(temp.path() + L"RawStackTrace.dat");
    for (const std::string& trace : {std::string("0x7ffd1234 OrmelVossel.exe!CallManager::onHold+0x42\n"), std::string(100000, 'x'),
             std::string("\xc3\xa4 UTF-8 frame")}) {
        ASSERT_TRUE(EncryptFileUtils::writeDataToFile(path, trace, FileCategoryType::Diagnostics));
        // Protected on disk: the trace is not there in the clear.
        EXPECT_EQ(readFileBytes(LumoCoreUtils::toWideString(path)).value_or("").find(trace.substr(0, 10)), std::string::npos);

        qsk::SecureString secure;
        ASSERT_TRUE(EncryptFileUtils::readDataFromFile(path, secure, FileCategoryType::Diagnostics));
        ASSERT_TRUE(secure);
        const WipedBytes plain = readSecureStringContent(*secure);
        ASSERT_EQ(plain.bytes.size(), trace.size() + 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain.bytes.data()), trace.size()), trace);
        EXPECT_EQ(plain.bytes.back(), '\0');
    }
}

TEST(SecureString, EmptyMissingAndForeignFiles)
{
    ScopedTempFolder temp;
    const std::string path = LumoCoreUtils::toString(temp.path() + L"RawStackTrace.dat");
    ASSERT_TRUE(EncryptFileUtils::writeDataToFile(path, "", FileCategoryType::Diagnostics));
    qsk::SecureString secure;
    ASSERT_TRUE(EncryptFileUtils::readDataFromFile(path, secure, FileCategoryType::Diagnostics));
    EXPECT_EQ(readSecureStringContent(*secure).bytes, std::vector<unsigned char>(1, '\0'));

    qsk::SecureString missing;
    EXPECT_FALSE(EncryptFileUtils::readDataFromFile(path + ".missing", missing, FileCategoryType::Diagnostics));
    ASSERT_TRUE(writeFileBytes(temp.path() + L"plain.dat", "not protected"));
    EXPECT_FALSE(EncryptFileUtils::readDataFromFile(LumoCoreUtils::toString(temp.path() + L"plain.dat"), missing,
        FileCategoryType::Diagnostics));
}

// The trace is read, turned into wide text and let go as the crash-trace step does it: no buffer
// that held it, narrow or wide, goes back to the heap unwiped.
TEST(SecureString, NoCopyOfThePlainTraceIsFreedUnwiped)
{
    ScopedTempFolder temp;
    const std::string path = LumoCoreUtils::toString(temp.path() + L"RawStackTrace.dat");
    const std::string marker = "TRACE-MARKER-7f3a";
    const std::string trace = marker + std::string(5000, 'x') + marker;
    ASSERT_TRUE(EncryptFileUtils::writeDataToFile(path, trace, FileCategoryType::Diagnostics));
    qsk::SecureString secure;
    ASSERT_TRUE(EncryptFileUtils::readDataFromFile(path, secure, FileCategoryType::Diagnostics));
    std::string wideMarker;
    for (char c : marker) {
        wideMarker += c;
        wideMarker += '\0';
    }

    bool readBack = false;
    bool wideReadBack = false;
    {
        FreedMemoryWatch watch(marker, wideMarker);
        {
            const WipedBytes plain = readSecureStringContent(*secure);
            readBack = plain.bytes.size() == trace.size() + 1 && std::memcmp(plain.bytes.data(), trace.data(), trace.size()) == 0;
            std::wstring text = vosselutils::toWideString(reinterpret_cast<const char*>(plain.bytes.data()));
            wideReadBack = text.size() == trace.size() && text[0] == L'T';
            vosselutils::secureEraseString(text);
        }
        EXPECT_FALSE(watch.sawPattern());
    }
    EXPECT_TRUE(readBack);
    EXPECT_TRUE(wideReadBack);
}

} // namespace
