#include "platform/PrivateProfile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

using platform::GetPrivateProfileString;

namespace {

struct LookupCase
{
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    const char* defaultValue;
    std::size_t bufferSize;
    std::string expected;
    friend void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }
};

class PrivateProfileLookup : public ::testing::TestWithParam<LookupCase>
{
};

TEST_P(PrivateProfileLookup, givesWhatTheBufferWouldHold)
{
    const LookupCase& c = GetParam();
    fakes::TempDir dir;
    const auto file = dir.write("test.ini", c.content);
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.defaultValue, c.bufferSize, file),
              c.expected);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, PrivateProfileLookup,
    ::testing::Values(
        LookupCase{"lf", "[A]\nk=v\n", "A", "k", "d", 256, "v"},
        LookupCase{"crlf", "[A]\r\nk=v\r\nz=w\r\n", "A", "k", "d", 256, "v"},
        LookupCase{"crOnly", "[A]\rk=v\rz=w", "A", "z", "d", 256, "w"},
        LookupCase{"noFinalNewline", "[A]\nk=last", "A", "k", "d", 256, "last"},
        LookupCase{"blankAndCommentLines", "\n; note\n[A]\n\n;k=no\n  \nk=yes\n", "A", "k", "d", 256, "yes"},
        LookupCase{"commentKeyNotFound", "[A]\n;k=no\n", "A", ";k", "d", 256, "d"},
        LookupCase{"blanksAroundNamesAndEquals", "  [ Sec ]  \n\t key \t=\t value  \n", "Sec", "key", "d", 256, "value"},
        LookupCase{"caseBlindNames", "[NICInfo]\nName1=card\n", "nicinfo", "NAME1", "d", 256, "card"},
        LookupCase{"caseBlindLatin1", "[\xC9t\xE9]\nCl\xC9=v\n", "\xE9t\xC9", "cl\xE9", "d", 256, "v"},
        LookupCase{"argumentsTrimmed", "[A]\nk=v\n", " A ", " k ", "d", 256, "v"},
        LookupCase{"doubleQuotesStripped", "[A]\nk=\"  spaced  \"\n", "A", "k", "d", 256, "  spaced  "},
        LookupCase{"singleQuotesStripped", "[A]\nk='x'\n", "A", "k", "d", 256, "x"},
        LookupCase{"onePairOnly", "[A]\nk=\"\"x\"\"\n", "A", "k", "d", 256, "\"x\""},
        LookupCase{"unmatchedQuoteKept", "[A]\nk=\"x\n", "A", "k", "d", 256, "\"x"},
        LookupCase{"mixedQuotesKept", "[A]\nk=\"x'\n", "A", "k", "d", 256, "\"x'"},
        LookupCase{"loneQuoteKept", "[A]\nk=\"\n", "A", "k", "d", 256, "\""},
        LookupCase{"emptyValue", "[A]\nk=\n", "A", "k", "d", 256, ""},
        LookupCase{"emptyQuotedValue", "[A]\nk=\"\"\n", "A", "k", "d", 256, ""},
        LookupCase{"keyWithoutEquals", "[A]\nflag\n", "A", "flag", "d", 256, ""},
        LookupCase{"valueKeepsLaterEquals", "[A]\nk=a=b\n", "A", "k", "d", 256, "a=b"},
        LookupCase{"innerBlanksKept", "[A]\nk=a  b\n", "A", "k", "d", 256, "a  b"},
        LookupCase{"duplicateKeyFirstWins", "[A]\nk=1\nk=2\n", "A", "k", "d", 256, "1"},
        LookupCase{"duplicateSectionFirstWins", "[A]\nk=1\n[B]\nk=b\n[a]\nk=2\nz=3\n", "A", "z", "d", 256, "d"},
        LookupCase{"keyInOtherSection", "[A]\nk=1\n[B]\nz=2\n", "A", "z", "d", 256, "d"},
        LookupCase{"keyBeforeAnySection", "k=1\n[A]\n", "A", "k", "d", 256, "d"},
        LookupCase{"missingSection", "[A]\nk=1\n", "B", "k", "def", 256, "def"},
        LookupCase{"defaultTrailingBlanksRemoved", "", "A", "k", "def   ", 256, "def"},
        LookupCase{"defaultLeadingBlanksKept", "", "A", "k", "  def", 256, "  def"},
        LookupCase{"valueCutToBuffer", "[A]\nk=abcdef\n", "A", "k", "d", 4, "abc"},
        LookupCase{"defaultCutToBuffer", "", "A", "k", "abcdef", 3, "ab"},
        LookupCase{"bufferOfOne", "[A]\nk=v\n", "A", "k", "d", 1, ""},
        LookupCase{"bufferOfZero", "[A]\nk=v\n", "A", "k", "d", 0, ""},
        LookupCase{"lineLongerThanBuffer", "[A]\nk=" + kLong + "\nz=1\n", "A", "z", "d", 16, "1"},
        LookupCase{"longValueCut", "[A]\nk=" + kLong + "\n", "A", "k", "d", 512, std::string(511, 'x')},
        LookupCase{"bytesAbove7F", "[A]\nk=caf\xE9 \xFF\x80\n", "A", "k", "d", 256, "caf\xE9 \xFF\x80"},
        LookupCase{"utf8BomSkipped", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "d", 256, "v"},
        LookupCase{"sectionWithoutBracket", "[A\nk=v\n", "A", "k", "d", 256, "v"},
        LookupCase{"nulEndsValue", std::string("[A]\nk=ab\0cd\n", 12), "A", "k", "d", 256, "ab"}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(PrivateProfile, missingOrUnreadableFileGivesTheDefault)
{
    fakes::TempDir dir;
    EXPECT_EQ(GetPrivateProfileString("A", "k", "none ", 256, dir / "absent.ini"), "none");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "dir", 256, dir.path()), "dir");
    const auto locked = dir.write("locked.ini", "[A]\nk=v\n");
    chmod(locked.c_str(), 0);
    if (geteuid() != 0) { // root reads any file
        EXPECT_EQ(GetPrivateProfileString("A", "k", "locked", 256, locked), "locked");
    }
    EXPECT_TRUE(platform::GetPrivateProfileSectionNames(dir / "absent.ini").empty());
}

TEST(PrivateProfile, survivesBinaryJunkAndHugeLines)
{
    fakes::TempDir dir;
    std::string junk;
    unsigned state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        junk.push_back(static_cast<char>(state >> 16));
    }
    const auto junkFile = dir.write("junk.ini", junk + "\n[Z]\nk=found\n");
    EXPECT_EQ(GetPrivateProfileString("Z", "k", "d", 256, junkFile), "found");
    platform::GetPrivateProfileSectionNames(junkFile);

    const std::string huge(8 * 1024 * 1024, 'q');
    const auto hugeFile = dir.write("huge.ini", "[A]\nk=" + huge + "\nz=after\n[" + huge);
    EXPECT_EQ(GetPrivateProfileString("A", "z", "d", 256, hugeFile), "after");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", 10, hugeFile), "qqqqqqqqq");
    // A caller's oversized buffer costs only the value's length.
    EXPECT_EQ(GetPrivateProfileString("A", "z", "d", SIZE_MAX, hugeFile), "after");
}

TEST(PrivateProfile, listsSectionsAndEntriesInFileOrderOnce)
{
    fakes::TempDir dir;
    const auto file = dir.write("list.ini",
                                "[One]\nb = 2\na=\"1\"\nB=dup\n; c=3\nflag\n[Two]\n[one]\nz=9\n");
    EXPECT_EQ(platform::GetPrivateProfileSectionNames(file),
              (std::vector<std::string>{"One", "Two"}));
    const auto entries = platform::GetPrivateProfileEntries("ONE", file);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].key, "b");
    EXPECT_EQ(entries[0].value, "2");
    EXPECT_EQ(entries[0].line, 2u);
    EXPECT_EQ(entries[1].key, "a");
    EXPECT_EQ(entries[1].value, "1");
    EXPECT_EQ(entries[2].key, "flag");
    EXPECT_EQ(entries[2].line, 6u);
    EXPECT_TRUE(platform::GetPrivateProfileEntries("Two", file).empty());
}

TEST(PrivateProfile, seesAFileReplacedBetweenTwoLookups)
{
    fakes::TempDir dir;
    const auto file = dir.write("lang.ini", "[A]\nk=one\n");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", 256, file), "one");
    dir.write("lang.ini", "[A]\nk=two\n"); // same size, same second
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", 256, file), "two");
    std::filesystem::remove(file);
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", 256, file), "d");
}

TEST(PrivateProfile, readsIntegers)
{
    fakes::TempDir dir;
    const auto file = dir.write("int.ini", "[A]\ndec=42\nneg=-7\nhex=0x1F\ntail=12abc\nword=abc\nempty=\n");
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "dec", 5, file), 42);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "neg", 5, file), -7);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "hex", 5, file), 31);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "tail", 5, file), 12);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "word", 5, file), 0);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "empty", 5, file), 5);
    EXPECT_EQ(platform::GetPrivateProfileInt("A", "missing", 5, file), 5);
}

} // namespace
