// The toolbar description the wizard hands over, read back the way the main
// program reads it: the counted name, five 32-bit numbers, then a parent
// list and an item list for every checked item, in the order found.
#include "driver/Driver.h"
#include "wizard/WizardData.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct ReadBack {
    CText name;
    DWORD numbers[5]{};   // corner, vertical, size, descriptions, count
    std::vector<std::pair<CItemId, CItemId>> items;
    bool atEnd = false;
};

bool ReadDescription(IStream* stream, ReadBack& back)
{
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    if (!back.name.Read(stream))
        return false;
    for (DWORD& number : back.numbers) {
        ULONG got = 0;
        if (FAILED(stream->Read(&number, sizeof number, &got)) || got != sizeof number)
            return false;
    }
    for (DWORD i = 0; i < back.numbers[4]; ++i) {
        CItemId parent;
        CItemId item;
        if (!parent.Read(stream) || !item.Read(stream))
            return false;
        back.items.emplace_back(parent, item);
    }
    BYTE extra = 0;
    ULONG got = 0;
    back.atEnd = SUCCEEDED(stream->Read(&extra, 1, &got)) && got == 0;
    return true;
}

// The found objects of a folder: every object directly inside it.
FoundItems FoundIn(const CItemId& folder, const std::vector<std::string>& names)
{
    FoundItems found;
    for (const std::string& name : names) {
        CItemId absolute;
        EXPECT_TRUE(absolute.Set(CText(name.c_str()))) << name;
        CItemId item(absolute);
        CItemId last;
        EXPECT_TRUE(item.Split(&last));
        found.push_back(std::make_unique<CFoundItem>(folder, last, CText(name.c_str()), -1));
    }
    return found;
}

IStream* MemoryStream()
{
    IStream* stream = nullptr;
    EXPECT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)));
    return stream;
}

} // namespace

class WizardDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_folder = driver::MakeTempFolder("WizardData");
        for (const char* name : {"first.txt", "second.txt", "third.txt"}) {
            driver::WriteTextFile(m_folder + "\\" + name, name);
            m_files.push_back(m_folder + "\\" + name);
        }
        ASSERT_TRUE(m_parent.Set(CText(m_folder.c_str())));
        m_answers.name = "Office";
        m_answers.position = 4;
        m_answers.vertical = 0;
        m_answers.buttonSize = 2;
        m_answers.showDescriptions = 1;
    }
    void TearDown() override { CoUninitialize(); }

    std::string m_folder;
    std::vector<std::string> m_files;
    CItemId m_parent;
    WizardAnswers m_answers;
};

TEST_F(WizardDataTest, TheAnswersAndTheCheckedItemsInTheirOrderReadBack)
{
    FoundItems found = FoundIn(m_parent, m_files);
    found[0]->SetChecked(1);
    found[2]->SetChecked(1);
    // The desktop's own objects have the desktop, an empty list, as parent.
    CItemId drives(CSIDL_DRIVES);
    ASSERT_NE(drives.List(), nullptr);
    found.push_back(std::make_unique<CFoundItem>(CItemId(), drives, CText("My Computer"), -1));
    found.back()->SetChecked(1);

    IStream* stream = MemoryStream();
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(WriteWizardData(stream, m_answers, found));
    ReadBack back;
    ASSERT_TRUE(ReadDescription(stream, back));
    stream->Release();
    EXPECT_STREQ(back.name.c_str(), "Office");
    EXPECT_EQ(std::vector<DWORD>(back.numbers, back.numbers + 5), (std::vector<DWORD>{4, 0, 2, 1, 3}));
    ASSERT_EQ(back.items.size(), 3u);
    EXPECT_TRUE(back.atEnd);
    EXPECT_EQ(back.items[0].first.Compare(m_parent), 0);
    EXPECT_EQ(back.items[0].second.Compare(found[0]->Item()), 0);
    EXPECT_EQ(back.items[1].second.Compare(found[2]->Item()), 0);
    EXPECT_TRUE(back.items[2].first.IsDesktop());
    EXPECT_EQ(back.items[2].second.Compare(drives), 0);
}

TEST_F(WizardDataTest, NoCheckedItemsGiveACountOfZeroAndALongNameKeepsItsLength)
{
    FoundItems found = FoundIn(m_parent, m_files);
    m_answers.name = std::string(259, 'n').c_str();
    IStream* stream = MemoryStream();
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(WriteWizardData(stream, m_answers, found));
    // The count field holds the length with its zero.
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    BYTE count[2]{};
    ULONG got = 0;
    stream->Read(count, 2, &got);
    EXPECT_EQ(count[0] | (count[1] << 8), 260);
    ReadBack back;
    ASSERT_TRUE(ReadDescription(stream, back));
    stream->Release();
    EXPECT_EQ(back.name.Length(), 259);
    EXPECT_EQ(back.numbers[4], 0u);
    EXPECT_TRUE(back.atEnd);
}

TEST_F(WizardDataTest, AnItemWithoutAListOfItsOwnFailsTheWrite)
{
    FoundItems found = FoundIn(m_parent, m_files);
    found.push_back(std::make_unique<CFoundItem>(m_parent, CItemId(), CText("nothing"), -1));
    found.back()->SetChecked(1);
    IStream* stream = MemoryStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(WriteWizardData(stream, m_answers, found));
    stream->Release();
}

TEST_F(WizardDataTest, TheFileIsACompoundFileWithALtlTemporaryNameAndIsGoneOnFailure)
{
    FoundItems found = FoundIn(m_parent, m_files);
    found[1]->SetChecked(1);
    CText path;
    ASSERT_TRUE(CreateWizardDataFile(m_folder.c_str(), m_answers, found, path));
    const std::string name(path.c_str());
    ASSERT_EQ(name.rfind(m_folder + "\\LTL", 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");

    IStorage* storage = nullptr;
    const std::wstring wide(name.begin(), name.end());
    ASSERT_TRUE(SUCCEEDED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                         &storage)));
    IStream* stream = nullptr;
    ASSERT_TRUE(SUCCEEDED(storage->OpenStream(L"DATA", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)));
    ReadBack back;
    EXPECT_TRUE(ReadDescription(stream, back));
    EXPECT_EQ(back.numbers[4], 1u);
    EXPECT_TRUE(back.atEnd);
    stream->Release();
    storage->Release();
    EXPECT_TRUE(DeleteFileA(name.c_str()));

    // A failed write leaves no file behind, nor does a folder that is not there.
    found.push_back(std::make_unique<CFoundItem>(m_parent, CItemId(), CText("nothing"), -1));
    found.back()->SetChecked(1);
    CText failed;
    EXPECT_FALSE(CreateWizardDataFile(m_folder.c_str(), m_answers, found, failed));
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA((m_folder + "\\LTL*").c_str(), &data);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << data.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_FALSE(CreateWizardDataFile((m_folder + "\\missing").c_str(), m_answers, found, failed));
}
