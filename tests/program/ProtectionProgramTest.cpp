// Protected toolbars in the running program: what each protection bit refuses
// through the toolbar's commands and the companions' hand-over, the password
// that Quick Unlock asks for, and the Protection page of the property sheet.
#include "ToolbarFilesFixture.h"
#include "driver/ToolbarDump.h"
#include "driver/RemoteControls.h"
#include "driver/StandIns.h"
#include "driver/ToolbarFiles.h"
#include "PopupWindows.h"

#include <nlohmann/json.hpp>
#include <ole2.h>
#include <commctrl.h>
#include <prsht.h>

#include <fstream>
#include <iterator>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kCommandSave = 107;
constexpr UINT kCommandProperties = 109;
constexpr UINT kCommandAlwaysOnTop = 123;
constexpr UINT kCommandPaste = 131;
constexpr UINT kCommandQuickLock = 132;
constexpr int kPasswordEdit = 1160;
constexpr int kNewPasswordEdit = 1162;
constexpr int kReenteredPasswordEdit = 1163;
constexpr int kCurrentPasswordEdit = 1161;
constexpr int kGeneralNameEdit = 1005;
constexpr int kApplyButton = 0x3021;
constexpr int kProtectionPageIndex = 4;

// The Protection page's boxes.
constexpr int kProtectBox = 1157;
constexpr int kPasswordRequiredBox = 1158;
constexpr int kAllowAddBox = 1164;
constexpr int kAllowDragBox = 1166;
constexpr int kAllowToolbarPropertiesBox = 1170;
constexpr int kQuickUnlockBox = 1171;

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
constexpr const char* kNoNewPassword = "You must enter a new password";
constexpr const char* kPasswordsDiffer = "The new password and the re-entered password differ. Please re-enter your new "
                                         "password to make sure you have entered it correctly.";
constexpr const char* kAppliesOnOk =
    "The protection changes will not apply until you leave this property sheet by clicking OK.";
constexpr const char* kNoProtectionLeft = "Your protection level is set so that no protection is applied. Would you "
                                          "like to remove protection on this toolbar?";

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

// A click as the user makes it; posted, since it may open a modal dialog.
void Click(HWND page, int control)
{
    PostMessageA(GetDlgItem(page, control), BM_CLICK, 0, 0);
}

int PageCount(HWND sheet)
{
    auto tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    return tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : -1;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace

class ProtectionProgramTest : public LintelWithToolbarsTest
{
protected:
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

    // The toolbar's property sheet, opened by its menu command.
    HWND OpenSheet(HWND toolbar)
    {
        PostMessageA(toolbar, WM_COMMAND, kCommandProperties, 0);
        return driver::WaitForWindow("#32770", "Toolbar properties", driver::kDefaultTimeout, m_lintel->Id());
    }
    HWND ShowPage(HWND sheet, int index)
    {
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        return CurrentPage(sheet);
    }

    // Answers the box of the caption that comes next with a button; its text.
    std::string AnswerBox(const std::string& caption, int button)
    {
        HWND box = driver::WaitForMessageBox(caption.c_str(), driver::kDefaultTimeout, m_lintel->Id());
        if (!box)
            return "<no box>";
        const std::string text = driver::MessageBoxText(box);
        driver::PressButton(box, button);
        EXPECT_TRUE(driver::WaitForWindowGone(box));
        return text;
    }

    // What the program's own reader finds in a toolbar file.
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }
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

TEST_F(ProtectionProgramTest, ProtectingANewToolbarOnItsPageBlocksOnlyDragging)
{
    RecordValues fresh;
    fresh.name = "Fresh";
    StartWith({fresh});
    HWND toolbar = ToolbarTitled("Fresh");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(PageCount(sheet), 6);
    HWND page = ShowPage(sheet, kProtectionPageIndex);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(GetDlgItem(page, kProtectBox), nullptr);
    EXPECT_FALSE(IsTicked(page, kProtectBox));
    for (int box = kAllowAddBox; box <= kAllowToolbarPropertiesBox; ++box) {
        SCOPED_TRACE(box);
        EXPECT_EQ(IsTicked(page, box), box != kAllowDragBox);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, box)));
    }

    Click(page, kProtectBox);
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, kAllowAddBox)) != FALSE; }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kQuickUnlockBox))) << "no password to unlock with";
    driver::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(driver::Screenshot("protection-page"));
    driver::PressButton(sheet, IDOK);
    EXPECT_EQ(AnswerBox("Fresh", IDOK), kAppliesOnOk);
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    EXPECT_EQ(driver::WindowText(toolbar), "Fresh (P)");

    // Everything but dragging still goes.
    FolderOnClipboard("Pasted");
    PostMessageA(toolbar, WM_COMMAND, kCommandPaste, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 1; }));
    PostMessageA(toolbar, WM_COMMAND, kCommandAlwaysOnTop, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return (GetWindowLongA(toolbar, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    EXPECT_TRUE(HandOverTaken(toolbar, "Fresh", "Handed over"));

    PostMessageA(toolbar, WM_COMMAND, kCommandSave, 0);
    EXPECT_TRUE(driver::WaitUntil([&] {
        const nlohmann::json saved = Dump(FileOf("Fresh"));
        return saved.is_object() && saved.value("protected", false);
    }));
    const nlohmann::json saved = Dump(FileOf("Fresh"));
    EXPECT_EQ(saved.value("protectionLevel", std::string()), "0x4");
    EXPECT_EQ(saved.value("passwordRequired", true), false);
}

TEST_F(ProtectionProgramTest, APasswordSetOnThePageIsAskedForExactlyAndNeverStoredAsTyped)
{
    RecordValues keys;
    keys.name = "Keys";
    StartWith({keys});
    HWND toolbar = ToolbarTitled("Keys");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kProtectionPageIndex);
    ASSERT_NE(page, nullptr);
    Click(page, kProtectBox);
    ASSERT_TRUE(driver::WaitUntil([&] { return IsTicked(page, kProtectBox); }));

    // Requiring a password that does not exist yet asks for a new one.
    Click(page, kPasswordRequiredBox);
    HWND change = driver::WaitForWindow("#32770", "Change the password", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(change, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(change, kCurrentPasswordEdit)));
    EXPECT_EQ(driver::ControlText(GetDlgItem(change, kNewPasswordEdit)).size(), 10u);
    EXPECT_TRUE(driver::Screenshot("password-change"));
    struct Attempt {
        const char* typed;
        const char* reentered;
        const char* message;
    };
    const Attempt refused[] = {{"", "", kNoNewPassword}, {"Pa55word", "pa55word", kPasswordsDiffer}};
    for (const Attempt& attempt : refused) {
        SCOPED_TRACE(attempt.message);
        SetDlgItemTextA(change, kNewPasswordEdit, attempt.typed);
        SetDlgItemTextA(change, kReenteredPasswordEdit, attempt.reentered);
        driver::PressButton(change, IDOK);
        EXPECT_EQ(AnswerBox("Keys", IDOK), attempt.message);
        EXPECT_TRUE(IsWindow(change)) << "the dialog stays for another try";
    }
    SetDlgItemTextA(change, kNewPasswordEdit, "Pa55word");
    SetDlgItemTextA(change, kReenteredPasswordEdit, "Pa55word");
    driver::PressButton(change, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(change));
    EXPECT_TRUE(IsTicked(page, kPasswordRequiredBox));

    // A new password has to be given again before the protection changes.
    Click(page, kQuickUnlockBox);
    HWND enter = driver::WaitForWindow("#32770", "Enter the password", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(enter, nullptr);
    EXPECT_TRUE(driver::Screenshot("password-enter"));
    driver::PressButton(enter, IDCANCEL);
    ASSERT_TRUE(driver::WaitForWindowGone(enter));
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsTicked(page, kQuickUnlockBox); })) << "put back";
    Click(page, kQuickUnlockBox);
    EXPECT_EQ(EnterPassword("Keys", "pa55word"), kWrongPassword);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsTicked(page, kQuickUnlockBox); })) << "put back";
    Click(page, kQuickUnlockBox);
    EXPECT_EQ(EnterPassword("Keys", "Pa55word"), "");
    EXPECT_TRUE(driver::WaitUntil([&] { return IsTicked(page, kQuickUnlockBox); }));
    // Confirmed once, the password is not asked again in this sheet.
    Click(page, kAllowAddBox);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsTicked(page, kAllowAddBox); }));
    EXPECT_TRUE(driver::NoMessageBoxFor("Enter the password", 300, m_lintel->Id()));

    driver::PressButton(sheet, IDOK);
    EXPECT_EQ(AnswerBox("Keys", IDOK), kAppliesOnOk);
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    EXPECT_EQ(driver::WindowText(toolbar), "Keys (P)");
    EXPECT_FALSE(HandOverTaken(toolbar, "Keys", "Refused"));

    PostMessageA(toolbar, WM_COMMAND, kCommandSave, 0);
    ASSERT_TRUE(driver::WaitUntil([&] { return Dump(FileOf("Keys")).value("passwordSet", false); }));
    const nlohmann::json saved = Dump(FileOf("Keys"));
    EXPECT_EQ(saved.value("passwordRequired", false), true);
    EXPECT_EQ(saved.value("quickUnlockOption", false), true);
    EXPECT_EQ(saved.value("protectionLevel", std::string()), "0x5");
    const std::string bytes = FileBytes(FileOf("Keys"));
    for (const char* plain : {"Pa55word", "pA55WORD"})
        EXPECT_EQ(bytes.find(plain), std::string::npos) << plain;
}

TEST_F(ProtectionProgramTest, AllowingEverythingOffersToRemoveTheProtection)
{
    RecordValues open;
    open.name = "Open";
    open.isProtected = 1;
    open.level = kBlockDrag;
    StartWith({open});
    HWND toolbar = ToolbarTitled("Open (P)");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kProtectionPageIndex);
    ASSERT_NE(page, nullptr);
    Click(page, kAllowDragBox);
    ASSERT_TRUE(driver::WaitUntil([&] { return IsTicked(page, kAllowDragBox); }));

    // Cancel refuses the apply: the sheet stays and the toolbar keeps its protection.
    driver::PressButton(sheet, kApplyButton);
    EXPECT_EQ(AnswerBox("Open", IDCANCEL), kNoProtectionLeft);
    EXPECT_TRUE(driver::NoMessageBoxFor("Open", 300, m_lintel->Id()));
    EXPECT_TRUE(IsWindow(sheet));
    EXPECT_EQ(driver::WindowText(toolbar), "Open (P)");

    driver::PressButton(sheet, kApplyButton);
    EXPECT_EQ(AnswerBox("Open", IDYES), kNoProtectionLeft);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == "Open"; }))
        << driver::WindowText(toolbar);
    EXPECT_FALSE(IsTicked(page, kProtectBox));

    // Cancel after the apply puts the protection of the opening back.
    driver::PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    EXPECT_EQ(driver::WindowText(toolbar), "Open (P)");
}

TEST_F(ProtectionProgramTest, BlockedToolbarPropertiesLeaveTheSheetWithGeneralAndProtection)
{
    RecordValues shut;
    shut.name = "Shut";
    shut.isProtected = 1;
    shut.level = kBlockToolbarProperties;
    StartWith({shut});
    HWND toolbar = ToolbarTitled("Shut (P)");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(PageCount(sheet), 2);
    HWND general = ShowPage(sheet, 0);
    ASSERT_NE(general, nullptr);
    HWND name = GetDlgItem(general, kGeneralNameEdit);
    ASSERT_NE(name, nullptr);
    EXPECT_NE(GetWindowLongA(name, GWL_STYLE) & ES_READONLY, 0) << "the name is a toolbar property";
    HWND protection = ShowPage(sheet, 1);
    ASSERT_NE(protection, nullptr);
    EXPECT_NE(GetDlgItem(protection, kProtectBox), nullptr);
    driver::PressButton(sheet, IDCANCEL);
    ASSERT_TRUE(driver::WaitForWindowGone(sheet));
    EXPECT_EQ(driver::WindowText(toolbar), "Shut (P)");
}
