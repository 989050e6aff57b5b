// Paths in the 8-bit form toolbar files keep: as they are when the code page
// holds every letter, by their short names when it does not, and no form at
// all when there is no short name to fall back on.
#include "common/AnsiPath.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <cstring>
#include <string>

namespace {

const wchar_t kGreek[] = L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac";   // "Ελληνικά"
const wchar_t kCjk[] = L"\x6587\x4ef6\x5939";                                      // "文件夹"

// The code page of this prefix cannot write the names the tests are about.
bool CodePageLacksTheNames()
{
    CText ignored;
    return !ConvertsExactly(kGreek, ignored) && !ConvertsExactly(kCjk, ignored);
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A volume with short names turned off: the long name comes back.
DWORD WINAPI NoShortNames(LPCWSTR longPath, LPWSTR shortPath, DWORD size)
{
    const DWORD length = static_cast<DWORD>(lstrlenW(longPath));
    if (!shortPath || size <= length)
        return length + 1;
    lstrcpyW(shortPath, longPath);
    return length;
}

} // namespace

class AnsiPathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!CodePageLacksTheNames())
            GTEST_SKIP() << "code page " << GetACP() << " holds Greek or CJK letters";
        m_folder = Wide(driver::MakeTempFolder("ansipath"));
        m_file = m_folder + L"\\" + kGreek + L".txt";
        HANDLE file = CreateFileW(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        m_subfolder = m_folder + L"\\" + kCjk;
        ASSERT_TRUE(CreateDirectoryW(m_subfolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }

    std::wstring m_folder, m_file, m_subfolder;
};

TEST_F(AnsiPathTest, EachPathGetsTheFormAToolbarFileCanKeep)
{
    const std::wstring missing = m_folder + L"\\" + kGreek + L"-gone.txt";
    struct Case {
        std::wstring path;
        ShortPathSource source;
        AnsiPathForm want;
    };
    const Case cases[] = {
        {m_folder + L"\\plain name.txt", nullptr, AnsiPathForm::kAsItIs},   // converts: no lookup, even when missing
        {m_file, nullptr, AnsiPathForm::kShortName},
        {m_subfolder, nullptr, AnsiPathForm::kShortName},
        {m_subfolder + L"\\" + kGreek + L".txt", nullptr, AnsiPathForm::kNoForm},   // not there: no short name
        {missing, nullptr, AnsiPathForm::kNoForm},
        {m_file, NoShortNames, AnsiPathForm::kNoForm},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CText path("poison");
        EXPECT_EQ(AnsiPathOf(cases[i].path.c_str(), path, cases[i].source), cases[i].want);
        if (cases[i].want == AnsiPathForm::kNoForm) {
            EXPECT_TRUE(path.IsEmpty()) << path.c_str();
            continue;
        }
        EXPECT_EQ(std::strchr(path.c_str(), '?'), nullptr) << path.c_str();
        if (cases[i].want == AnsiPathForm::kAsItIs)
            continue;
        // The 8-bit short path names the very same file.
        wchar_t back[MAX_PATH]{};
        const std::wstring shortWide(path.c_str(), path.c_str() + path.Length());
        ASSERT_GT(GetLongPathNameW(shortWide.c_str(), back, MAX_PATH), 0u) << path.c_str();
        EXPECT_EQ(lstrcmpiW(back, cases[i].path.c_str()), 0) << path.c_str();
        EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path.c_str();
    }
}

TEST_F(AnsiPathTest, TitleIsTheShellsNameWhereTheCodePageShowsIt)
{
    // A plain name inside a folder the code page cannot write keeps its
    // own letters; a Greek name falls back to its short title.
    const std::wstring readme = m_subfolder + L"\\readme.txt";
    HANDLE file = CreateFileW(readme.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    CText readmePath, greekPath;
    ASSERT_EQ(AnsiPathOf(readme.c_str(), readmePath), AnsiPathForm::kShortName);
    ASSERT_EQ(AnsiPathOf(m_file.c_str(), greekPath), AnsiPathForm::kShortName);
    char readmeTitle[MAX_PATH]{};
    ASSERT_EQ(GetFileTitleA("readme.txt", readmeTitle, sizeof readmeTitle), 0);
    char shortTitle[MAX_PATH]{};
    ASSERT_EQ(GetFileTitleA(greekPath.c_str(), shortTitle, sizeof shortTitle), 0);

    CText title;
    ASSERT_TRUE(AnsiTitleOf(readmePath.c_str(), title));
    EXPECT_STREQ(title.c_str(), readmeTitle);
    ASSERT_TRUE(AnsiTitleOf(greekPath.c_str(), title));
    EXPECT_STREQ(title.c_str(), shortTitle);
    EXPECT_EQ(std::strchr(title.c_str(), '?'), nullptr) << title.c_str();
}

TEST_F(AnsiPathTest, ShortPathsGoByTheLongNamesExtension)
{
    // A short name keeps three letters of a longer extension; the file's type
    // is its long name's, or the short ".LIN" would find no program (or
    // another type's).
    const std::wstring document = m_folder + L"\\" + kGreek + L".lintname";
    const std::wstring plain = m_folder + L"\\notes.lintname";
    for (const std::wstring& path : {document, plain}) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    CText documentPath, plainShort, greekPath, folderPath;
    ASSERT_EQ(AnsiPathOf(document.c_str(), documentPath), AnsiPathForm::kShortName);
    ASSERT_EQ(AnsiPathOf(m_file.c_str(), greekPath), AnsiPathForm::kShortName);
    ASSERT_EQ(AnsiPathOf(m_subfolder.c_str(), folderPath), AnsiPathForm::kShortName);
    char shortName[MAX_PATH]{};
    CText plainPath;
    ASSERT_TRUE(ConvertsExactly(plain.c_str(), plainPath));
    ASSERT_GT(GetShortPathNameA(plainPath.c_str(), shortName, sizeof shortName), 0u);
    plainShort = shortName;
    ASSERT_STRNE(plainShort.c_str(), plainPath.c_str());

    const struct {
        CText path;
        const char* extension;
    } cases[] = {
        {documentPath, ".lintname"},
        {plainShort, ".lintname"},               // a plain name's short form too
        {greekPath, ".txt"},
        {folderPath, ""},                        // the folder's long name has no dot
        {CText("C:\\nowhere\\ABCDEF~1.LIN"), ".LIN"},   // no long name to ask: its own
        {CText("C:\\dotted.dir\\name"), ""},
        {CText("C:\\dir\\name."), ""},
        {CText("readme.TXT"), ".TXT"},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.path.c_str());
        EXPECT_STREQ(TypeExtensionOf(entry.path.c_str()).c_str(), entry.extension);
    }
}
