// Buttons handed over to a protected toolbar by name.  Its window title ends
// in " (P)", and older senders send the title as the name: the program takes
// both, and a toolbar whose protection blocks adding refuses under either.
#include "ToolbarFilesFixture.h"
#include "driver/ToolbarDump.h"
#include "driver/StandIns.h"
#include "driver/ToolbarFiles.h"

#include <nlohmann/json.hpp>
#include <ole2.h>

#include <fstream>
#include <iterator>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr uint32_t kBlockAdd = 0x01;
constexpr uint32_t kBlockDrag = 0x04;

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

} // namespace

class ProtectedHandOverTest : public LintelWithToolbarsTest
{
protected:
    // The one toolbar window, whatever its title says.
    HWND Toolbar() const
    {
        return driver::WaitForWindow("CToolbarWindow", nullptr, driver::kDefaultTimeout, m_lintel->Id());
    }

    // A new folder on the clipboard, then the name in an atom, as a companion
    // hands its selection over.
    std::string HandOver(const std::string& sentName, const std::string& folderName)
    {
        const std::string folder = m_folder + "\\" + folderName;
        CreateDirectoryA(folder.c_str(), nullptr);
        EXPECT_TRUE(driver::PutShellItemsOnClipboard({folder}));
        const ATOM atom = GlobalAddAtomA(sentName.c_str());
        EXPECT_NE(atom, 0);
        EXPECT_TRUE(PostMessageA(m_main, kAddButton, atom, 0));
        return folder;
    }

    // What the program's own reader finds in a toolbar file.
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }
    static std::vector<std::string> ButtonFiles(const nlohmann::json& toolbar)
    {
        std::vector<std::string> files;
        if (toolbar.is_object() && toolbar.contains("buttons")) {
            for (const auto& button : toolbar["buttons"])
                files.push_back(button.value("fileName", std::string()));
        }
        return files;
    }
};

TEST_F(ProtectedHandOverTest, AToolbarThatAllowsAddingTakesFilesUnderItsNameAndItsTitle)
{
    RecordValues tools;
    tools.name = "Tools";
    tools.isProtected = 1;
    tools.level = kBlockDrag;
    StartWith({tools});
    HWND toolbar = Toolbar();
    ASSERT_NE(toolbar, nullptr);
    // Opened from its file, the toolbar shows its mark at once.
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == "Tools (P)"; }))
        << driver::WindowText(toolbar);

    // Each paste ends by emptying the clipboard.
    const std::string byName = HandOver("Tools", "By name");
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 1; }));
    EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }));
    const std::string byTitle = HandOver("tOOLS (p)", "By title");
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 2; }));
    EXPECT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }));
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, m_lintel->Id()));

    ASSERT_TRUE(Close(*m_lintel));
    const nlohmann::json saved = Dump(FileOf("Tools"));
    EXPECT_EQ(ButtonFiles(saved), (std::vector<std::string>{byName, byTitle}));
    EXPECT_EQ(saved.value("protected", false), true);
}

TEST_F(ProtectedHandOverTest, AToolbarThatBlocksAddingRefusesUnderEitherName)
{
    RecordValues locked;
    locked.name = "Locked";
    locked.isProtected = 1;
    locked.level = kBlockAdd | kBlockDrag;
    StartWith({locked});
    HWND toolbar = Toolbar();
    ASSERT_NE(toolbar, nullptr);

    for (const char* sent : {"Locked", "Locked (P)"}) {
        SCOPED_TRACE(sent);
        HandOver(sent, std::string("Refused ") + sent);
        // Told in a box named as the sender named the toolbar.
        HWND box = driver::WaitForMessageBox(sent, driver::kDefaultTimeout, m_lintel->Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(driver::MessageBoxText(box), "Failed to add the button to the above toolbar.");
        driver::PressButton(box, IDOK);
        ASSERT_TRUE(driver::WaitForWindowGone(box));
        EXPECT_EQ(ButtonWindows(toolbar), 0);
        // Nothing was taken, so the sender's data is still there.
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    }

    // By its slot, as the shell extension's older senders do: refused too.
    const std::string bySlot = m_folder + "\\Refused by slot";
    CreateDirectoryA(bySlot.c_str(), nullptr);
    ASSERT_TRUE(driver::PutShellItemsOnClipboard({bySlot}));
    ASSERT_TRUE(PostMessageA(m_main, kAddButton, 0, 0));
    HWND box = driver::WaitForMessageBox("Locked", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(box, nullptr);
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box));
    EXPECT_EQ(ButtonWindows(toolbar), 0);

    ASSERT_TRUE(Close(*m_lintel));
    EXPECT_TRUE(ButtonFiles(Dump(FileOf("Locked"))).empty());
}

TEST_F(ProtectedHandOverTest, AToolbarReallyNamedWithTheMarkComesBeforeTheProtectedOne)
{
    RecordValues marked;
    marked.name = "Tools";
    marked.isProtected = 1;
    RecordValues named;
    named.name = "Tools (P)";
    StartWith({marked, named});

    const std::string toNamed = HandOver("Tools (P)", "To named");
    // The files tell where the buttons went.
    ASSERT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }));
    const std::string toMarked = HandOver("Tools", "To marked");
    ASSERT_TRUE(driver::WaitUntil([] { return !IsClipboardFormatAvailable(CF_HDROP); }));
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, m_lintel->Id()));

    ASSERT_TRUE(Close(*m_lintel));
    EXPECT_EQ(ButtonFiles(Dump(FileOf("Tools (P)"))), std::vector<std::string>{toNamed});
    EXPECT_EQ(ButtonFiles(Dump(FileOf("Tools"))), std::vector<std::string>{toMarked});
}
