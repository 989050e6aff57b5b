#include "common/Error.h"
#include "common/Text.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace {

// An in-memory stream holding what was written, for the counted form.
class MemoryStream
{
public:
    MemoryStream() { CreateStreamOnHGlobal(nullptr, TRUE, &m_stream); }
    explicit MemoryStream(const std::vector<unsigned char>& bytes) : MemoryStream()
    {
        ULONG written = 0;
        m_stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        Rewind();
    }
    ~MemoryStream() { m_stream->Release(); }
    IStream* Get() const { return m_stream; }
    void Rewind()
    {
        LARGE_INTEGER zero{};
        m_stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    }
    std::vector<unsigned char> Bytes()
    {
        STATSTG stat{};
        m_stream->Stat(&stat, STATFLAG_NONAME);
        std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
        Rewind();
        ULONG got = 0;
        if (!bytes.empty())
            m_stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
        return bytes;
    }

private:
    IStream* m_stream = nullptr;
};

} // namespace

TEST(Text, CountedFormHoldsLengthPlusTerminator)
{
    struct Case {
        const char* text;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"abc", {0x04, 0x00, 'a', 'b', 'c', 0x00}},
        {"", {0x00, 0x00}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        MemoryStream stream;
        ASSERT_TRUE(CText(cases[i].text).Write(stream.Get()));
        EXPECT_EQ(stream.Bytes(), cases[i].bytes);

        stream.Rewind();
        CText read("previous");
        ASSERT_TRUE(read.Read(stream.Get()));
        EXPECT_STREQ(read.c_str(), cases[i].text);
    }
}

TEST(Text, ShortStreamFailsAndLeavesTextAlone)
{
    const std::vector<std::vector<unsigned char>> streams = {
        {},                               // no count at all
        {0x05},                           // half a count
        {0x10, 0x00, 'a', 'b'},           // count promises 16 bytes, stream has 2
        {0xFF, 0xFF, 'x'},                // the largest count, almost nothing behind it
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        SCOPED_TRACE(i);
        MemoryStream stream(streams[i]);
        CText text("kept");
        EXPECT_FALSE(text.Read(stream.Get()));
        EXPECT_STREQ(text.c_str(), "kept");
    }
}

TEST(Text, CountedTextEndsAtItsFirstZero)
{
    MemoryStream stream({0x06, 0x00, 'a', 'b', 0x00, 'c', 'd', 0x00});
    CText text;
    ASSERT_TRUE(text.Read(stream.Get()));
    EXPECT_STREQ(text.c_str(), "ab");
    EXPECT_EQ(text.Length(), 2);
}

TEST(Text, PiecesOfText)
{
    struct Case {
        const char* text;
        char operation;   // L left, R right, M mid
        int first;
        int second;
        const char* want;
    };
    const Case cases[] = {
        {"abc", 'L', 5, 0, "abc"},         // longer than the text: no change
        {"abcdef", 'L', 2, 0, "ab"},
        {"abcdef", 'R', 2, 0, "ef"},
        {"abc", 'R', 3, 0, "abc"},
        {"abcdef", 'M', 2, 10, "cdef"},    // cut at the end of the text
        {"abcdef", 'M', 1, 2, "bc"},
        {"abcdef", 'M', 9, 2, ""},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CText text(cases[i].text);
        if (cases[i].operation == 'L')
            text.Left(cases[i].first);
        else if (cases[i].operation == 'R')
            text.Right(cases[i].first);
        else
            text.Mid(cases[i].first, cases[i].second);
        EXPECT_STREQ(text.c_str(), cases[i].want);
        EXPECT_EQ(text.Length(), static_cast<int>(strlen(cases[i].want)));
    }
}

TEST(Text, FindsCharacters)
{
    CText path("C:\\Program Files\\Lintel\\Lintel.exe");
    EXPECT_EQ(path.ReverseFind('\\'), 23);
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.Find('\\', 3), 16);
    EXPECT_EQ(path.Find('?'), -1);
    EXPECT_EQ(CText("Lintel.exe").ReverseFind('\\'), -1);
}

TEST(Text, ComparisonsIgnoreLetterCase)
{
    CText name("My Toolbar");
    EXPECT_TRUE(name == "MY TOOLBAR");
    EXPECT_FALSE(name != "my toolbar");
    EXPECT_TRUE(CText("apple") < "BANANA");
    EXPECT_TRUE(CText("Zebra") > "apple");
    EXPECT_TRUE(CText("abc") <= "ABC");
    EXPECT_TRUE(CText("abc") >= "ABC");
    // The separate case-sensitive comparison tells them apart.
    EXPECT_NE(name.CompareCase("MY TOOLBAR"), 0);
}

TEST(Text, AddressPastTheEndRaises)
{
    CText text("abc");
    EXPECT_EQ(*text.At(1), 'b');
    EXPECT_EQ(*text.At(3), '\0');   // the terminator is addressable
    try {
        text.At(4);
        FAIL() << "no error raised";
    } catch (const CError& error) {
        EXPECT_STREQ(error.Text(), "Invalid address");
    }
}

TEST(Text, FilterSeparatorsBecomeZeros)
{
    CText filter("Lintel toolbar (*.ltl)|*.ltl|Quillet toolbar (*.qld)|*.qld|");
    const int length = filter.Length();
    filter.Replace('|', '\0');
    const char* raw = filter.c_str();
    EXPECT_STREQ(raw, "Lintel toolbar (*.ltl)");
    EXPECT_STREQ(raw + 23, "*.ltl");
    EXPECT_EQ(raw[length - 1], '\0');
    EXPECT_EQ(raw[length], '\0');   // double zero at the end, as the dialog needs
}

TEST(Text, AppendsAndCopies)
{
    CText text("Lintel");
    text += " (Minimized)";
    text += CText("");
    EXPECT_STREQ(text.c_str(), "Lintel (Minimized)");
    CText copy(text);
    copy += "!";
    EXPECT_STREQ(text.c_str(), "Lintel (Minimized)");
    EXPECT_EQ(CText(4).Length(), 0);   // a sized text is all zeros
}

TEST(Text, UnicodeRoundTripKeepsAccentedNames)
{
    // A name as the 8-bit file APIs deliver it, in the ANSI code page.
    const wchar_t* wide = L"Caf\u00e9 r\u00e9sum\u00e9.txt";
    char ansi[64]{};
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, &lossy);
    if (lossy)
        GTEST_SKIP() << "the ANSI code page has no accented letters";

    wchar_t* converted = nullptr;
    ASSERT_TRUE(CText(ansi).ToUnicode(&converted));
    EXPECT_STREQ(converted, wide);
    CText::FreeUnicode(converted);

    CText back;
    back = wide;
    EXPECT_STREQ(back.c_str(), ansi);
}

TEST(Text, EmptyUnicodeTextIsEmptyText)
{
    CText text("old");
    text = static_cast<const wchar_t*>(L"");
    EXPECT_TRUE(text.IsEmpty());
    text = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(Text, LoadStringMissingEntryLeavesText)
{
    CText text("unchanged");
    EXPECT_FALSE(text.LoadString(GetModuleHandleA(nullptr), 65000));
    EXPECT_STREQ(text.c_str(), "unchanged");
    ASSERT_TRUE(text.LoadString(GetModuleHandleA(nullptr), 2003));
    EXPECT_STREQ(text.c_str(), "Lintel");
}

TEST(Text, ExpandsEnvironmentBeyondAPath)
{
    std::string longValue(400, 'x');
    SetEnvironmentVariableA("LINTEL_TEST_LONG", longValue.c_str());
    CText text("[%LINTEL_TEST_LONG%]");
    ASSERT_TRUE(text.ExpandEnvironment());
    EXPECT_EQ(std::string(text.c_str()), "[" + longValue + "]");
    SetEnvironmentVariableA("LINTEL_TEST_LONG", nullptr);
}

TEST(Text, SubstituteIsReversibleAndNeverEndsText)
{
    std::string all;
    for (int value = 1; value < 256; ++value)
        all += static_cast<char>(value);
    CText text(all.c_str());
    text.Substitute();
    EXPECT_EQ(text.Length(), 255);
    EXPECT_NE(std::string(text.c_str()), all);
    text.Substitute();
    EXPECT_EQ(std::string(text.c_str()), all);
}
