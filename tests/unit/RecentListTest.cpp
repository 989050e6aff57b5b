// The list of recent documents and recent toolbar files: its order, its
// stored forms and what it makes of stored data that cannot be trusted.
#include "MemoryStream.h"
#include "buttons/RecentList.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using testing_support::MemoryStream;
using Bytes = std::vector<unsigned char>;

namespace {

std::vector<std::string> Entries(const CRecentList& list)
{
    std::vector<std::string> entries;
    for (int i = 0; i < list.Count(); ++i) {
        CText path;
        EXPECT_TRUE(list.GetEntry(i, path));
        entries.push_back(path.c_str());
    }
    return entries;
}

Bytes Counted(const std::string& text)
{
    const size_t count = text.size() + 1;
    Bytes bytes = {static_cast<unsigned char>(count & 0xff), static_cast<unsigned char>(count >> 8)};
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes Stream(DWORD count, const std::vector<std::string>& paths)
{
    Bytes bytes(4);
    std::memcpy(bytes.data(), &count, 4);
    for (const std::string& path : paths) {
        const Bytes entry = Counted(path);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

const char* const kTestKey = "Software\\Corvane\\LintelTests\\RecentList";

} // namespace

TEST(RecentList, NewestFirstWithoutDuplicatesAndAtMostTen)
{
    CRecentList list;
    EXPECT_FALSE(list.Add("", FALSE)) << "an empty path is never listed";
    for (int i = 1; i <= 11; ++i)
        ASSERT_TRUE(list.Add(("C:\\docs\\" + std::to_string(i) + ".txt").c_str(), FALSE));
    ASSERT_EQ(list.Count(), 10);
    EXPECT_EQ(Entries(list).front(), "C:\\docs\\11.txt");
    EXPECT_EQ(Entries(list).back(), "C:\\docs\\2.txt") << "the eleventh pushes out the oldest";

    // The same document again, in other letters: it moves up, nothing is lost.
    ASSERT_TRUE(list.Add("c:\\DOCS\\5.TXT", FALSE));
    std::vector<std::string> entries = Entries(list);
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0], "C:\\docs\\5.txt");
    EXPECT_EQ(entries[1], "C:\\docs\\11.txt");
    EXPECT_EQ(entries[9], "C:\\docs\\2.txt");

    list.Remove(0);
    list.Remove(8);
    entries = Entries(list);
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries.front(), "C:\\docs\\11.txt");
    EXPECT_EQ(entries.back(), "C:\\docs\\3.txt");
    CText gone("left");
    EXPECT_FALSE(list.GetEntry(8, gone));
    EXPECT_TRUE(gone.IsEmpty());

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    ASSERT_TRUE(list.Add("C:\\again.txt", FALSE));
    EXPECT_EQ(Entries(list), std::vector<std::string>{"C:\\again.txt"});
}

TEST(RecentList, StoredOldestFirstAndReadBackInOrder)
{
    CRecentList list;
    list.Add("C:\\a.txt", FALSE);
    list.Add("C:\\b.txt", FALSE);
    list.Add("C:\\c.txt", FALSE);
    MemoryStream stream;
    ASSERT_TRUE(list.Write(stream.Get()));
    EXPECT_EQ(stream.Bytes(), Stream(3, {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));

    CRecentList read;
    read.Add("C:\\replaced.txt", FALSE);
    ASSERT_TRUE(read.Read(stream.Get()));
    EXPECT_EQ(Entries(read), Entries(list));
}

TEST(RecentList, StreamsThatCannotBeTrustedGiveTheWholeEntries)
{
    Bytes cut = Stream(3, {"C:\\one.txt", "C:\\two.txt", "C:\\three.txt"});
    cut.resize(cut.size() - 5);
    Bytes shortCount = Stream(2, {});
    shortCount.resize(2);
    struct Case {
        const char* name;
        Bytes bytes;
        BOOL result;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"count of 0xFFFFFFFF", Stream(0xFFFFFFFFu, {"C:\\one.txt", "C:\\two.txt"}), TRUE,
         {"C:\\two.txt", "C:\\one.txt"}},
        {"cut inside an entry", cut, TRUE, {"C:\\two.txt", "C:\\one.txt"}},
        {"count larger than the entries", Stream(5, {"C:\\one.txt"}), TRUE, {"C:\\one.txt"}},
        {"empty entries", Stream(2, {"", "C:\\one.txt"}), TRUE, {"C:\\one.txt"}},
        {"no count", shortCount, FALSE, {}},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        MemoryStream stream(entry.bytes);
        CRecentList list;
        EXPECT_EQ(list.Read(stream.Get()), entry.result);
        EXPECT_EQ(Entries(list), entry.want);
    }
}

TEST(RecentList, MenuTextsKeepTheStartAndTheFileName)
{
    struct Case {
        const char* path;
        int maximum;
        const char* want;
    };
    const Case cases[] = {
        {"C:\\Documents\\Letters\\2024\\Summer\\holiday plans.txt", 50,
         "C:\\Documents\\Letters\\2024\\Summer\\holiday plans.txt"},
        {"C:\\Documents\\Letters\\2024\\Summer\\holiday plans for the family.txt", 50,
         "C:\\Documents\\...\\holiday plans for the family.txt"},
        {"C:\\Documents\\a very long file name that goes on and on and on.txt", 50,
         "C:\\Documents\\a very long file name that goes on and on and on.txt"},
        {"no backslash at all but far longer than the limit allows", 20,
         "no backslash at all but far longer than the limit allows"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        CRecentList list;
        ASSERT_TRUE(list.Add(entry.path, FALSE));
        CText text;
        ASSERT_TRUE(list.GetMenuText(0, text, entry.maximum));
        EXPECT_STREQ(text.c_str(), entry.want);
        // The cached text serves a larger limit, and a smaller one rebuilds it.
        ASSERT_TRUE(list.GetMenuText(0, text, 260));
        EXPECT_STREQ(text.c_str(), entry.want);
    }
    CRecentList list;
    list.Add("C:\\Documents\\Letters\\2024\\Summer\\holiday plans.txt", FALSE);
    CText text;
    list.GetMenuText(0, text, 260);
    list.GetMenuText(0, text, 30);
    EXPECT_STREQ(text.c_str(), "C:\\Documents\\...\\holiday plans.txt");
}

TEST(RecentList, RegistryFormDropsFilesThatHaveGone)
{
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
    const std::string folder = driver::MakeTempFolder("recent-list");
    // Long enough that OpenFile could not test it.
    const std::string longName = folder + "\\" + std::string(140, 'x') + ".ltl";
    const std::string shortName = folder + "\\kept.ltl";
    const std::string goneName = folder + "\\gone.ltl";
    driver::WriteTextFile(longName, "file");
    driver::WriteTextFile(shortName, "file");
    driver::WriteTextFile(goneName, "file");

    CRecentList list;
    EXPECT_FALSE(list.Add((folder + "\\missing.ltl").c_str(), TRUE));
    EXPECT_FALSE(list.Add(folder.c_str(), TRUE)) << "a folder is not a file";
    ASSERT_TRUE(list.Add(goneName.c_str(), TRUE));
    ASSERT_TRUE(list.Add(shortName.c_str(), TRUE));
    ASSERT_TRUE(list.Add(longName.c_str(), TRUE));
    ASSERT_TRUE(list.WriteToRegistry(HKEY_CURRENT_USER, kTestKey));

    const std::string recentKey = std::string(kTestKey) + "\\Recent";
    DWORD number = 0;
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, recentKey.c_str(), "NumRecent", number));
    EXPECT_EQ(number, 3u);
    std::string value;
    ASSERT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, recentKey.c_str(), "Recent01", value));
    EXPECT_EQ(value, longName);
    ASSERT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, recentKey.c_str(), "Recent10", value));
    EXPECT_EQ(value, "");

    DeleteFileA(goneName.c_str());
    CRecentList read;
    ASSERT_TRUE(read.ReadFromRegistry(HKEY_CURRENT_USER, kTestKey));
    EXPECT_EQ(Entries(read), (std::vector<std::string>{longName, shortName}));

    CRecentList none;
    EXPECT_FALSE(none.ReadFromRegistry(HKEY_CURRENT_USER, "Software\\Corvane\\LintelTests\\NoSuchKey"));
    EXPECT_EQ(none.Count(), 0);
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
}
