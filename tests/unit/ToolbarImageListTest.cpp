// The toolbar's three image lists hold the overlays and one entry per button
// with an icon: a button that goes gives its entry back.
#include "ButtonTestSupport.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const int kSizes[3] = {16, 32, 48};

class ToolbarImageListTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        char self[MAX_PATH]{};
        GetModuleFileNameA(nullptr, self, sizeof self);
        m_iconFile = self;
        m_program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    }

    // A program button drawn with the index'th icon of this test program,
    // which carries the program's icons: each index another picture.
    CExecButton* AddIconButton(int iconIndex)
    {
        CExecButton* button = AddProgramButton(m_program);
        if (!button)
            return nullptr;
        button->SetDefaultIcon(FALSE);
        button->SetIconFile(m_iconFile.c_str());
        button->SetIconIndex(iconIndex);
        EXPECT_TRUE(button->UpdateIcon(m_toolbar->ButtonSize(), TRUE));
        Remember(button);
        return button;
    }

    // What the button's entries show now, in each size.
    std::vector<std::vector<DWORD>> Pictures(const CToolButton* button) const
    {
        std::vector<std::vector<DWORD>> pictures;
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex)
            pictures.push_back(
                button_test::IconPixels(m_toolbar->ImageList(sizeIndex), button->ImageIndex(), kSizes[sizeIndex]));
        return pictures;
    }
    void Remember(const CToolButton* button) { m_pictures[button] = Pictures(button); }

    // The lists hold the overlays and one entry for each button with an icon,
    // no two buttons share an entry, and every button still shows its own.
    void ExpectListsFitTheButtons(const std::string& when)
    {
        SCOPED_TRACE(when);
        int withIcon = 0;
        std::set<int> entries;
        for (int i = 0; i < m_toolbar->Count(); ++i) {
            const CToolButton* button = m_toolbar->Button(i);
            if (button->ImageIndex() < 0)
                continue;
            ++withIcon;
            EXPECT_TRUE(entries.insert(button->ImageIndex()).second) << "entry " << button->ImageIndex() << " shared";
            EXPECT_GE(button->ImageIndex(), CToolButton::kOverlayImages);
            ASSERT_TRUE(m_pictures.count(button)) << "button " << i;
            EXPECT_TRUE(Pictures(button) == m_pictures[button]) << "button " << i << " shows another icon";
        }
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex)
            EXPECT_EQ(ImageList_GetImageCount(m_toolbar->ImageList(sizeIndex)), CToolButton::kOverlayImages + withIcon)
                << "list of " << kSizes[sizeIndex] << " pixels";
        if (!entries.empty()) {
            EXPECT_LT(*entries.rbegin(), CToolButton::kOverlayImages + withIcon);
        }
    }

    std::string m_iconFile;
    std::string m_program;
    std::map<const CToolButton*, std::vector<std::vector<DWORD>>> m_pictures;
};

} // namespace

TEST_F(ToolbarImageListTest, RemovedAndMovedButtonsGiveTheirEntriesBack)
{
    const int icons = 6;
    for (int i = 0; i < icons; ++i)
        ASSERT_NE(AddIconButton(i), nullptr);
    AddSpace(m_toolbar);
    // The pictures must differ, or a button showing another's entry would pass.
    std::set<std::vector<DWORD>> distinct;
    for (int i = 0; i < icons; ++i)
        distinct.insert(m_pictures[m_toolbar->Button(i)][1]);
    ASSERT_EQ(distinct.size(), static_cast<size_t>(icons));
    ExpectListsFitTheButtons("made");

    // Removing from the front, the middle and the end, and adding again.
    for (int round = 0; round < 24; ++round) {
        const int index = (round * 5) % m_toolbar->Count();
        ASSERT_TRUE(m_toolbar->Remove(index));
        ExpectListsFitTheButtons("round " + std::to_string(round) + ", removed " + std::to_string(index));
        ASSERT_NE(AddIconButton(round % icons), nullptr);
        ExpectListsFitTheButtons("round " + std::to_string(round) + ", added");
    }

    // Moving by cut and paste, from the front to the end, again and again.
    for (int move = 0; move < 8; ++move) {
        const int count = m_toolbar->Count();
        CToolButton* moved = m_toolbar->Button(0);
        if (moved->Kind() == kKindSpace)
            moved = m_toolbar->Button(1);
        ASSERT_TRUE(m_toolbar->Cut(moved));
        ASSERT_TRUE(m_toolbar->Paste(nullptr, TRUE));
        ASSERT_EQ(m_toolbar->Count(), count);
        Remember(m_toolbar->Button(count - 1));
        ExpectListsFitTheButtons("move " + std::to_string(move));
    }

    // Emptied, only the overlays stay.
    while (m_toolbar->Count() > 0)
        ASSERT_TRUE(m_toolbar->Remove(m_toolbar->Count() - 1));
    ExpectListsFitTheButtons("emptied");
}

TEST_F(ToolbarImageListTest, ReadingAFileAgainStartsFromTheOverlays)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(AddIconButton(i), nullptr);
    const std::string path = m_folder + "\\Icons.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));
    for (int again = 0; again < 3; ++again) {
        ASSERT_TRUE(m_toolbar->Open(path.c_str(), kReadButtonsOnly));
        ASSERT_EQ(m_toolbar->Count(), 4);
        for (int i = 0; i < m_toolbar->Count(); ++i)
            Remember(m_toolbar->Button(i));
        ExpectListsFitTheButtons("read " + std::to_string(again));
    }
}

TEST_F(ToolbarImageListTest, RefusedButtonTakesItsEntryAlong)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(AddIconButton(i), nullptr);
    while (m_toolbar->Count() < CToolbar::kMaxButtons)
        ASSERT_NE(AddSpace(m_toolbar), nullptr);
    auto extra = std::make_unique<CExecButton>(m_toolbar, m_app.get(), nullptr);
    ASSERT_TRUE(extra->Create(m_program.c_str(), Data(), 3));
    ASSERT_GE(extra->ImageIndex(), CToolButton::kOverlayImages);
    CToolButton* inserted = nullptr;
    const std::string text = AnswerBoxDuring(
        [&] { inserted = m_toolbar->InsertNewButton(std::move(extra), nullptr); }, "Button test", IDOK);
    EXPECT_NE(text, "<no box>");
    EXPECT_EQ(inserted, nullptr);
    ExpectListsFitTheButtons("refused");
}

// A toolbar opened from its file fills the list of the size it shows; the
// lists of the other sizes wait, and whatever needs one of them first fills
// them with each button's own stored icons, in step with the shown list.
TEST_F(ToolbarImageListTest, OpenedToolbarFillsTheSizesItDoesNotShowOnceOneIsNeeded)
{
    const int icons = 6;
    for (int i = 0; i < icons; ++i)
        ASSERT_NE(AddIconButton(i), nullptr);
    AddSpace(m_toolbar);
    std::vector<std::vector<std::vector<DWORD>>> saved;
    for (int i = 0; i < icons; ++i)
        saved.push_back(m_pictures[m_toolbar->Button(i)]);
    const std::string path = m_folder + "\\Waiting.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));
    // The same buttons with their icons the other way round, for a file
    // written over the first one after it was read.
    for (int i = 0; i < icons; ++i) {
        auto* button = static_cast<CExecButton*>(m_toolbar->Button(i));
        button->SetIconIndex(icons - 1 - i);
        ASSERT_TRUE(button->UpdateIcon(m_toolbar->ButtonSize(), TRUE));
    }
    const std::string reversed = m_folder + "\\Reversed.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(reversed.c_str(), kVersionCurrent));

    const std::string copy = m_folder + "\\Copy.ltl";
    struct Case {
        const char* what;
        std::function<void()> need;
        bool fileReplaced;
    };
    const Case cases[] = {
        {"a size change", [&] { m_toolbar->SetButtonSize(0); }, false},
        {"a save", [&] { ASSERT_TRUE(m_toolbar->WriteToFile(copy.c_str(), 0)); }, false},
        {"a menu asking a button for its small icon", [&] { EXPECT_TRUE(m_toolbar->Button(2)->GetIcon(0)); }, false},
        {"a button added", [&] { ASSERT_NE(AddIconButton(3), nullptr); }, false},
        {"a button removed, then a size change",
         [&] {
             ASSERT_TRUE(m_toolbar->Remove(1));
             m_toolbar->SetButtonSize(2);
         },
         false},
        {"the file written over since", [&] {
             ASSERT_TRUE(CopyFileA(reversed.c_str(), path.c_str(), FALSE));
             m_toolbar->SetButtonSize(0);
         },
         true},
    };
    const std::string kept = path + ".kept";
    ASSERT_TRUE(CopyFileA(path.c_str(), kept.c_str(), FALSE));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_toolbar->Open(path.c_str(), kReadButtonsOnly));
        ASSERT_EQ(m_toolbar->Count(), icons + 1);
        m_pictures.clear();
        for (int i = 0; i < icons; ++i)
            m_pictures[m_toolbar->Button(i)] = saved[static_cast<size_t>(i)];

        CreationData waiting;
        m_toolbar->StoreCreationData(waiting);
        EXPECT_EQ(waiting.smallList, nullptr);
        EXPECT_NE(waiting.normalList, nullptr);
        EXPECT_EQ(waiting.largeList, nullptr);

        c.need();
        CreationData filled;
        m_toolbar->StoreCreationData(filled);
        EXPECT_TRUE(filled.smallList && filled.normalList && filled.largeList);
        if (!c.fileReplaced) {
            ExpectListsFitTheButtons(c.what);
        } else {
            // The other file's icons are not these buttons' own: each keeps
            // its shown icon at the new size, never another button's.
            for (int i = 0; i < icons; ++i) {
                const std::vector<DWORD> small = Pictures(m_toolbar->Button(i))[0];
                for (int other = 0; other < icons; ++other) {
                    if (other != i) {
                        EXPECT_NE(small, saved[static_cast<size_t>(other)][0]) << "button " << i;
                    }
                }
            }
        }
        ASSERT_TRUE(CopyFileA(kept.c_str(), path.c_str(), FALSE));
    }
}
