#include "report/secure_string_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/lumocoreutils/text.h"
#include "platform/qskstorage/encrypt_file_utils.h"
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
        const std::vector<char> plain = readSecureStringContent(*secure);
        ASSERT_EQ(plain.size(), trace.size() + 1);
        EXPECT_EQ(std::string(plain.data(), trace.size()), trace);
        EXPECT_EQ(plain.back(), '\0');
    }
}

TEST(SecureString, EmptyMissingAndForeignFiles)
{
    ScopedTempFolder temp;
    const std::string path = LumoCoreUtils::toString(temp.path() + L"RawStackTrace.dat");
    ASSERT_TRUE(EncryptFileUtils::writeDataToFile(path, "", FileCategoryType::Diagnostics));
    qsk::SecureString secure;
    ASSERT_TRUE(EncryptFileUtils::readDataFromFile(path, secure, FileCategoryType::Diagnostics));
    EXPECT_EQ(readSecureStringContent(*secure), std::vector<char>(1, '\0'));

    qsk::SecureString missing;
    EXPECT_FALSE(EncryptFileUtils::readDataFromFile(path + ".missing", missing, FileCategoryType::Diagnostics));
    ASSERT_TRUE(writeFileBytes(temp.path() + L"plain.dat", "not protected"));
    EXPECT_FALSE(EncryptFileUtils::readDataFromFile(LumoCoreUtils::toString(temp.path() + L"plain.dat"), missing,
        FileCategoryType::Diagnostics));
}

} // namespace
