// The recent search folders: ten at most, newest first, and what they take
// back from a registry value anyone can edit.
#include "explorer/RecentFolders.h"
#include "common/RegistryKey.h"
#include "driver/Driver.h"
#include "resources/explorer/explorer_res.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kKey = "Software\\Corvane\\Lintel\\Tests\\RecentFolders";

std::vector<std::string> Names(const CRecentFolders& recent)
{
    std::vector<std::string> names;
    for (int slot = 0; slot < recent.Count(); ++slot)
        names.push_back(recent.DisplayName(slot).c_str());
    return names;
}

class RecentFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = driver::MakeTempFolder("RecentFolders");
        for (int i = 0; i < 11; ++i) {
            m_folders.push_back(m_root + "\\F" + std::to_string(i));
            CreateDirectoryA(m_folders.back().c_str(), nullptr);
        }
        driver::DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override { driver::DeleteRegistryTree(HKEY_CURRENT_USER, kKey); }

    CItemId Folder(int i) const
    {
        CItemId id;
        EXPECT_TRUE(id.Set(CText(m_folders[static_cast<size_t>(i)].c_str())));
        return id;
    }

    std::string m_root;
    std::vector<std::string> m_folders;
};

} // namespace

TEST_F(RecentFoldersTest, ElevenFoldersKeepTheTenNewestAndAKnownOneMovesToTheTop)
{
    CRecentFolders recent;
    for (int i = 0; i < 11; ++i)
        recent.Add(Folder(i));
    std::vector<std::string> expected;
    for (int i = 10; i >= 1; --i)
        expected.push_back(m_folders[static_cast<size_t>(i)]);
    EXPECT_EQ(Names(recent), expected);

    // F3 again: to the top, once.
    recent.Add(Folder(3));
    expected.erase(expected.begin() + 7);
    expected.insert(expected.begin(), m_folders[3]);
    EXPECT_EQ(Names(recent), expected);
    EXPECT_EQ(recent.Count(), 10);
}

TEST_F(RecentFoldersTest, WrittenFoldersReadBackAndADamagedValueIsDropped)
{
    CRecentFolders written;
    for (int i = 0; i < 3; ++i)
        written.Add(Folder(i));
    {
        CRegistryKey key;
        ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, kKey, nullptr, CRegistryKey::kWrite));
        written.Write(key, IDS_REG_NUM_RECENT, IDS_REG_RECENT_FORMAT);
        // Values an editor left behind: an item that runs past the value, a
        // count of 1, no terminator, and a value of another type.
        const BYTE pastTheEnd[] = {0x40, 0x00, 0x01, 0x02, 0x00, 0x00};
        const BYTE countOfOne[] = {0x01, 0x00, 0x00, 0x00};
        const BYTE unterminated[] = {0x04, 0x00, 0x41, 0x42};
        ASSERT_TRUE(key.SetBinaryValue("Recent04", pastTheEnd, sizeof pastTheEnd));
        ASSERT_TRUE(key.SetBinaryValue("Recent05", countOfOne, sizeof countOfOne));
        ASSERT_TRUE(key.SetBinaryValue("Recent06", unterminated, sizeof unterminated));
        ASSERT_TRUE(key.SetStringValue("Recent07", "C:\\"));
        ASSERT_TRUE(key.SetLongValue("NumRecent", 7));
    }
    CRecentFolders read;
    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kKey, CRegistryKey::kRead));
    read.Read(key, IDS_REG_NUM_RECENT, IDS_REG_RECENT_FORMAT);
    EXPECT_EQ(Names(read), Names(written));
    EXPECT_EQ(Names(read), (std::vector<std::string>{m_folders[2], m_folders[1], m_folders[0]}));
}
