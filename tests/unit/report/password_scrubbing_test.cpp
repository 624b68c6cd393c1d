#include "report/password_scrubbing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "report/config_text.h"
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
        {"xml that begins with the key, outside any tag", L"C:\\c\\a.xml", L"password>x</password>", kUneven},
        {"xml key inside a longer tag name", L"C:\\c\\a.xml", L"<ldap.password type=\"ad\">x</ldap.password>",
            L"<ldap.password>********</password>"},
        {"xml tags with spaces", L"C:\\c\\a.xml", L"<password >x</password >", L"<password>********</password >"},
        {"xml without an extension", L"C:\\c\\conf", L"<password>x</password>", L"<password>********</password>"},
        {"properties with a final line feed", L"C:\\c\\a.properties", L"user=jo\npassword=s3cret\nport=5060\n",
            L"user=jo\npassword: ********\nport=5060\n"},
        {"properties without a final line feed", L"C:\\c\\a.properties", L"user=jo\nldap.password = s3cret",
            L"user=jo\nldap.password: ********"},
        {"properties that begin with the key", L"C:\\c\\a.properties", L"Password=s3cret\nx=1",
            L"password: ********\nx=1"},
        {"properties, key twice on one line", L"C:\\c\\a.properties", L"password=mypassword1\nuser=jo\n",
            L"password: ********\nuser=jo\n"},
        {"properties value continued on the next line", L"C:\\c\\a.properties",
            L"password=abc\\\n    def\\\n  ghi\nport=5060\n", L"password: ********\nport=5060\n"},
        {"properties continued up to the end", L"C:\\c\\a.properties", L"x=1\npassword=abc\\\n def",
            L"x=1\npassword: ********"},
        {"properties, an even run of backslashes ends the line", L"C:\\c\\a.properties",
            L"password=abc\\\\\ndef=1\n", L"password: ********\ndef=1\n"},
        {"properties with bare CR line ends", L"C:\\c\\a.properties", L"user=jo\rpassword=s3cret\rport=5060\r",
            L"user=jo\rpassword: ********\rport=5060\r"},
        {"properties continued over a bare CR", L"C:\\c\\a.properties", L"password=abc\\\r def\rport=1",
            L"password: ********\rport=1"},
        {"capital P is XML mode", L"C:\\c\\a.Properties", L"password=s3cret\n",
            L"Invalid XML: C:\\c\\a.Properties contained uneven number of password tags. There needs to be an opening "
            L"and closing element. Hiding whole file to protect password"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hidePasswordsInText(c.text, c.path), c.scrubbed) << c.what;
    }
}

// Pairs of key occurrences that are not one element's opening and closing tag: replacing what lies
// between them would leave a password behind, so the whole file is hidden.
TEST(PasswordScrubbing, OccurrencesThatAreNotOneElementHideTheWholeFile)
{
    const std::vector<std::pair<const char*, std::wstring>> cases = {
        {"self-closing elements with the key as attribute", L"<a password=\"one\"/><b password=\"two\"/>"},
        {"the same, mirrored", L"<b password=\"two\"/><a password=\"one\"/>"},
        {"attributes of two opening tags", L"<a password=\"one\">x</a><b password=\"two\">y</b>"},
        {"a closing tag before an opening tag", L"<x></password>two<password></x>"},
        {"markup inside the element", L"<password>one<b>two</b></password>"},
        {"tags of different elements", L"<password>one</x><y>two</password>"},
        {"opening tag self-closing", L"<password/>two</password>"},
        {"key in text", L"password one password two"},
        {"key in comments", L"<!-- password -->two<!-- password -->"},
        {"a processing instruction", L"<?password?>two</password>"},
        {"properties lines in XML mode", L"password=one\npassword=two\n"},
    };
    for (const auto& [what, text] : cases) {
        EXPECT_EQ(hidePasswordsInText(text, L"C:\\c\\a.xml"), kUneven) << what;
    }
    // UPPER.PROPERTIES is collected with the properties files but read in XML mode.
    EXPECT_EQ(hidePasswordsInText(L"user=jo\npassword=PWUP11\npassword=PWUP22\n", L"C:\\c\\UPPER.PROPERTIES"),
        L"Invalid XML: C:\\c\\UPPER.PROPERTIES contained uneven number of password tags. There needs to be an "
        L"opening and closing element. Hiding whole file to protect password");
}

TEST(ConfigText, DecodedFromItsEncoding)
{
    const auto utf16 = [](const std::string& ascii, bool littleEndian) {
        std::string bytes;
        for (char c : ascii) {
            bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        }
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {"byte per character", "user=j\xf6\r\npassword=x\rlone", L"user=j\u00f6\npassword=x\rlone"},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBFuser=j\xC3\xB6\r\npassword=x", L"user=j\u00f6\npassword=x"},
        {"UTF-8 without byte-order mark stays byte per character", "j\xC3\xB6", L"j\u00c3\u00b6"},
        {"UTF-16 LE with byte-order mark", "\xFF\xFE" + utf16("a=1\r\npassword=x", true), L"a=1\npassword=x"},
        {"UTF-16 BE with byte-order mark", "\xFE\xFF" + utf16("a=1\r\npassword=x", false), L"a=1\npassword=x"},
        {"UTF-16 LE without byte-order mark", utf16("a=1\npassword=x", true), L"a=1\npassword=x"},
        {"UTF-16 BE without byte-order mark", utf16("a=1\npassword=x", false), L"a=1\npassword=x"},
        {"UTF-16 LE outside Latin", std::string("\x3C\x00\xE4\x00\x2C\x67\x3E\x00", 8), L"<\u00e4\u672c>"},
        {"UTF-16 with an odd last byte", utf16("ab", true) + "c", L"abc"},
        {"empty", "", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeConfigText(c.bytes), c.text) << c.what;
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
