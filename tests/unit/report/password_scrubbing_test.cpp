#include "report/password_scrubbing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/scoped_temp_folder.h"
#include "support/test_files.h"

namespace {

const std::wstring kUneven = L"Invalid XML: C:\\c\\a.xml contained uneven number of password tags. There needs to be "
                             L"an opening and closing element. Hiding whole file to protect password";

TEST(PasswordScrubbing, XmlElementsAndPropertiesLines)
{
    struct Case {
        const char* what;
        std::wstring path, text, scrubbed;
    };
    const std::vector<Case> cases = {
        {"xml without the key", L"C:\\c\\a.xml", L"<a>\n<b>x</b>\n</a>\n", L"<a>\n<b>x</b>\n</a>\n"},
        {"xml with one element", L"C:\\c\\a.xml", L"<u>jo</u><password>s3cret</password>\n",
            L"<u>jo</u><password>********</password>\n"},
        {"xml with two elements", L"C:\\c\\a.xml", L"<password>one</password><x/><password a=\"1\">two</password>",
            L"<password>********</password><x/><password>********</password>"},
        {"xml with three occurrences", L"C:\\c\\a.xml", L"<password>one</password> password", kUneven},
        {"xml key in another case", L"C:\\c\\a.xml", L"<PassWord>s3cret</PASSWORD>", L"<password>********</PASSWORD>"},
        {"xml that begins with the key", L"C:\\c\\a.xml", L"password>x</password>", L"password>********</password>"},
        {"xml without an extension", L"C:\\c\\conf", L"<password>x</password>", L"<password>********</password>"},
        {"properties with a final line feed", L"C:\\c\\a.properties", L"user=jo\npassword=s3cret\nport=5060\n",
            L"user=jo\npassword: ********\nport=5060\n"},
        {"properties without a final line feed", L"C:\\c\\a.properties", L"user=jo\nldap.password = s3cret",
            L"user=jo\nldap.password: ********"},
        {"properties that begin with the key", L"C:\\c\\a.properties", L"Password=s3cret\nx=1",
            L"password: ********\nx=1"},
        {"properties, key twice on one line", L"C:\\c\\a.properties", L"password=mypassword1\nuser=jo\n",
            L"password: ********\nuser=jo\n"},
        {"capital P is XML mode", L"C:\\c\\a.Properties", L"password=s3cret\n",
            L"Invalid XML: C:\\c\\a.Properties contained uneven number of password tags. There needs to be an opening "
            L"and closing element. Hiding whole file to protect password"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hidePasswordsInText(c.text, c.path), c.scrubbed) << c.what;
    }
}

TEST(PasswordScrubbing, FilesAreReadByteForCharacterWithCrLfAsLf)
{
    ScopedTempFolder temp;
    const std::wstring path = temp.path() + L"vossel.properties";
    ASSERT_TRUE(writeFileBytes(path, "user=j\xf6\r\npassword=s3cret\r\nlone\rcr\r\n"));
    EXPECT_EQ(hidePasswordsInFile(path), L"user=j\u00f6\npassword: ********\nlone\rcr\n");
    EXPECT_EQ(hidePasswordsInFile(temp.path() + L"missing.properties"), L"");
}

// Generated configuration files: whatever surrounds them, no password survives.
TEST(PasswordScrubbing, NoGeneratedPasswordSurvives)
{
    std::mt19937 random(42);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::wstring> keyCases = {L"password", L"Password", L"PASSWORD", L"pAsSwOrD"};
    const std::wstring alphabet = L"abcXYZ0123456789!#$%&()*+,-./:;?@[]^_{|}~ ";
    const auto secret = [&] {
        std::wstring s = L"S3";
        const int length = 4 + pick(20);
        for (int i = 0; i < length; ++i) {
            s += alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))];
        }
        return s + L"Q9";
    };

    for (int round = 0; round < 400; ++round) {
        std::vector<std::wstring> secrets;
        std::wstring xml = L"<?xml version=\"1.0\"?>\n<config>\n";
        std::wstring properties;
        const int items = 1 + pick(8);
        for (int i = 0; i < items; ++i) {
            const std::wstring s = secret();
            secrets.push_back(s);
            const std::wstring& key = keyCases[static_cast<size_t>(pick(4))];
            xml += L"  <server" + std::to_wstring(i) + L">host" + std::to_wstring(i) + L"</server" + std::to_wstring(i) + L">\n";
            xml += L"  <" + key + (pick(2) ? L" type=\"ad\"" : L"") + L">" + s + L"</" + key + L">\n";
            const std::wstring prefix = pick(2) ? L"ldap." : L"";
            properties += L"user" + std::to_wstring(i) + L"=someone\n";
            properties += prefix + key + (pick(2) ? L"=" : L" : ") + s + (i + 1 < items || pick(2) ? L"\n" : L"");
        }
        xml += L"</config>\n";

        const std::wstring scrubbedXml = hidePasswordsInText(xml, L"C:\\c\\generated.xml");
        const std::wstring scrubbedProperties = hidePasswordsInText(properties, L"C:\\c\\generated.properties");
        for (const auto& s : secrets) {
            ASSERT_EQ(scrubbedXml.find(s), std::wstring::npos) << "round " << round;
            ASSERT_EQ(scrubbedProperties.find(s), std::wstring::npos) << "round " << round;
        }
        // Only the passwords go: the rest of the file stays.
        ASSERT_NE(scrubbedXml.find(L"<server0>host0</server0>"), std::wstring::npos) << "round " << round;
        ASSERT_NE(scrubbedProperties.find(L"user0=someone"), std::wstring::npos) << "round " << round;
    }
}

} // namespace
