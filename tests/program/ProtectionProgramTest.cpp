// Protected toolbars in the running program: what each protection bit refuses
// through the toolbar's commands and the companions' hand-over, and the
// password that Quick Unlock asks for.
#include "LintelFixture.h"
#include "driver/StandIns.h"
#include "driver/ToolbarFiles.h"

#include <ole2.h>

#include <fstream>
#include <iterator>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kCommandSave = 107;
constexpr UINT kCommandAlwaysOnTop = 123;
constexpr UINT kCommandPaste = 131;
constexpr UINT kCommandQuickLock = 132;
constexpr int kPasswordEdit = 1160;

constexpr uint32_t kBlockAdd = 0x01;
constexpr uint32_t kBlockDrag = 0x04;
constexpr uint32_t kBlockClipboard = 0x10;
constexpr uint32_t kBlockToolbarProperties = 0x40;
constexpr uint32_t kBlockAll = 0x7F;

// "Secret" as toolbar files have always held it: each byte with bits 0x81
// flipped.  A program that scrambles otherwise no longer opens them.
const std::string kStoredSecret = "\xD2\xE4\xE2\xF3\xE4\xF5";

constexpr const char* kRefusedText = "Failed to add the button to the above toolbar.";
constexpr const char* kWrongPassword = "You have not entered the correct password.";

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace

class ProtectionProgramTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        OleUninitialize();
        LintelProgramTest::TearDown();
    }

    // Toolbar files opened at start, in slot order.
    void StartWith(const std::vector<RecordValues>& toolbars)
    {
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", static_cast<DWORD>(toolbars.size()));
        for (size_t i = 0; i < toolbars.size(); ++i) {
            const std::string path = FileOf(toolbars[i].name);
            ASSERT_TRUE(WriteCompoundFile(path, FileWith(toolbars[i], 0x23000)));
            char value[16];
            snprintf(value, sizeof value, "Toolbar%02u", static_cast<unsigned>(i + 1));
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, value, path.c_str());
        }
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    std::string FileOf(const std::string& name) const { return m_folder + "\\" + name + ".ltl"; }

    HWND ToolbarTitled(const std::string& title) const
    {
        return driver::WaitForWindow("CToolbarWindow", title.c_str(), driver::kDefaultTimeout, m_lintel->Id());
    }

    // A new folder on the clipboard, as the companions and the shell hand items over.
    void FolderOnClipboard(const std::string& name)
    {
        const std::string folder = m_folder + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(driver::PutShellItemsOnClipboard({folder}));
    }

    // The hand-over of a companion; true when the toolbar took the folder,
    // false when the program refused it with its message.
    bool HandOverTaken(HWND toolbar, const std::string& name, const std::string& folder)
    {
        const int before = ButtonWindows(toolbar);
        FolderOnClipboard(folder);
        const ATOM atom = GlobalAddAtomA(name.c_str());
        EXPECT_NE(atom, 0);
        EXPECT_TRUE(PostMessageA(m_main, kAddButton, atom, 0));
        bool refused = false;
        const bool settled = driver::WaitUntil([&] {
            if (ButtonWindows(toolbar) > before)
                return true;
            HWND box = driver::FindTopWindow("#32770", name.c_str(), m_lintel->Id());
            if (box && driver::MessageBoxText(box) == kRefusedText) {
                refused = true;
                driver::PressButton(box, IDOK);
                driver::WaitForWindowGone(box);
                return true;
            }
            return false;
        });
        EXPECT_TRUE(settled);
        return settled && !refused;
    }

    // Types a password into dialog 165 and presses OK; the text of the box
    // that answers it ("" when none comes).
    std::string EnterPassword(const std::string& caption, const std::string& typed)
    {
        HWND dialog = driver::WaitForWindow("#32770", "Enter the password", driver::kDefaultTimeout, m_lintel->Id());
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return "<no dialog>";
        SetDlgItemTextA(dialog, kPasswordEdit, typed.c_str());
        driver::PressButton(dialog, IDOK);
        EXPECT_TRUE(driver::WaitForWindowGone(dialog));
        HWND box = driver::WaitForMessageBox(caption.c_str(), 1500, m_lintel->Id());
        if (!box)
            return "";
        const std::string text = driver::MessageBoxText(box);
        driver::PressButton(box, IDOK);
        driver::WaitForWindowGone(box);
        return text;
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};

TEST_F(ProtectionProgramTest, EachBitRefusesTheCommandsAndHandOverItBlocks)
{
    struct Case {
        const char* name;
        uint32_t level;
        bool pasteTaken, onTopTaken, handOverTaken;
    };
    const Case cases[] = {
        {"Adding", kBlockAdd, false, true, false},
        {"Clipboard", kBlockClipboard, false, true, true},
        {"Properties", kBlockToolbarProperties, true, false, true},
        {"Dragging", kBlockDrag, true, true, true},
    };
    std::vector<RecordValues> toolbars;
    for (const Case& entry : cases) {
        RecordValues values;
        values.name = entry.name;
        values.isProtected = 1;
        values.level = entry.level;
        toolbars.push_back(values);
    }
    StartWith(toolbars);

    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        HWND toolbar = ToolbarTitled(std::string(entry.name) + " (P)");
        ASSERT_NE(toolbar, nullptr);

        FolderOnClipboard(std::string("Pasted into ") + entry.name);
        PostMessageA(toolbar, WM_COMMAND, kCommandPaste, 0);
        if (entry.pasteTaken)
            EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 1; }));
        else
            EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, m_lintel->Id()));
        EXPECT_EQ(ButtonWindows(toolbar), entry.pasteTaken ? 1 : 0);

        PostMessageA(toolbar, WM_COMMAND, kCommandAlwaysOnTop, 0);
        const auto onTop = [toolbar] { return (GetWindowLongA(toolbar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
        if (entry.onTopTaken)
            EXPECT_TRUE(driver::WaitUntil(onTop));
        else
            EXPECT_FALSE(driver::WaitUntil(onTop, 500));

        EXPECT_EQ(HandOverTaken(toolbar, entry.name, std::string("Handed to ") + entry.name), entry.handOverTaken);
    }
}

TEST_F(ProtectionProgramTest, QuickUnlockTakesTheStoredPasswordExactlyAndASaveLocksAgain)
{
    RecordValues locked;
    locked.name = "Locked";
    locked.isProtected = 1;
    locked.passwordRequired = 1;
    locked.password = kStoredSecret;
    locked.level = kBlockAll;
    locked.quickUnlock = 1;
    StartWith({locked});
    HWND toolbar = ToolbarTitled("Locked (P)");
    ASSERT_NE(toolbar, nullptr);

    for (const char* wrong : {"secret", "SECRET", "Secre"}) {
        SCOPED_TRACE(wrong);
        PostMessageA(toolbar, WM_COMMAND, kCommandQuickLock, 0);
        EXPECT_EQ(EnterPassword("Locked", wrong), kWrongPassword);
        EXPECT_EQ(driver::WindowText(toolbar), "Locked (P)");
    }
    EXPECT_FALSE(HandOverTaken(toolbar, "Locked", "Refused while locked"));

    PostMessageA(toolbar, WM_COMMAND, kCommandQuickLock, 0);
    EXPECT_EQ(EnterPassword("Locked", "Secret"), "");
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == "Locked"; }))
        << driver::WindowText(toolbar);
    // Unlocked, the toolbar takes what it refused before.
    EXPECT_TRUE(HandOverTaken(toolbar, "Locked", "Taken while unlocked"));

    PostMessageA(toolbar, WM_COMMAND, kCommandSave, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == "Locked (P)"; }))
        << driver::WindowText(toolbar);
    EXPECT_FALSE(HandOverTaken(toolbar, "Locked", "Refused after the save"));

    // The saved file keeps the password in the form it was read in.
    const std::string saved = FileBytes(FileOf("Locked"));
    EXPECT_NE(saved.find(kStoredSecret), std::string::npos);
    EXPECT_EQ(saved.find("Secret"), std::string::npos);
}
