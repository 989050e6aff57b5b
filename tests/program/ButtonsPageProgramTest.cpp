// The Buttons page of the toolbar property sheet in the real Lintel.exe,
// driven from outside: each of its commands against the toolbar's
// protection, the button's own sheet opened over it, and the Add command
// that keeps a new button only once its pages have given it a target.
#include "LintelFixture.h"
#include "PopupWindows.h"
#include "driver/ToolbarDump.h"
#include "driver/RemoteControls.h"
#include "driver/ToolbarFiles.h"

#include <commctrl.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

namespace {

const char* const kSheetCaption = "Toolbar properties";
const char* const kButtonSheetCaption = "Button Properties";
constexpr UINT kPropertiesCommand = 109;
constexpr UINT kSaveCommand = 107;
constexpr UINT kButtonDeleteCommand = 5;
constexpr int kButtonsPage = 5;

// Controls of the Buttons page.
constexpr int kButtonList = 1047;
constexpr int kAdd = 1068;
constexpr int kAddSpace = 1061;
constexpr int kProperties = 1069;
constexpr int kDelete = 1070;
constexpr int kMoveDown = 1132;
// The button sheet's description and target.
constexpr int kDescription = 1031;
constexpr int kTarget = 1024;

// Protection bits.
constexpr uint32_t kBlockAdd = 0x01;
constexpr uint32_t kBlockRemove = 0x02;
constexpr uint32_t kBlockDrag = 0x04;
constexpr uint32_t kBlockProperties = 0x08;
constexpr uint32_t kBlockClipboard = 0x10;

// What the sample toolbar holds: two programs, a space and a drive.
constexpr uint32_t kSampleButtons = 4;

void Command(HWND page, int control)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, control)));
}

void Settle(DWORD ms = 300)
{
    driver::WaitUntil([] { return false; }, ms);
}

} // namespace

class ButtonsPageProgramTest : public LintelProgramTest
{
protected:
    // Toolbars made from the program's own sample, each with its record's
    // values, opened at start in slot order.
    void StartWith(const std::vector<RecordValues>& toolbars)
    {
        // The sample's programs are programs only where .exe names a class,
        // which a fresh Wine prefix lacks.
        HKEY existing = nullptr;
        const bool hadClass = RegOpenKeyExA(HKEY_CLASSES_ROOT, ".exe", 0, KEY_READ, &existing) == ERROR_SUCCESS;
        if (existing)
            RegCloseKey(existing);
        if (!hadClass) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, ".exe", nullptr, "exefile"));
        }
        const std::string sample = m_folder + "\\sample.ltl";
        const bool made = driver::WriteSampleToolbar(sample, m_folder);
        if (!hadClass)
            driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".exe");
        ASSERT_TRUE(made);
        ASSERT_EQ(Dump(sample).value("buttonCount", 0u), kSampleButtons);
        CompoundContent content;
        ASSERT_TRUE(ReadCompoundFile(sample, content));
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", static_cast<DWORD>(toolbars.size()));
        for (size_t i = 0; i < toolbars.size(); ++i) {
            RecordValues values = toolbars[i];
            values.count = kSampleButtons;
            content.streams[L"TOOLBAR"] = FullRecord(values, 0x23000);
            ASSERT_TRUE(WriteCompoundFile(FileOf(values.name), content));
            char value[16];
            snprintf(value, sizeof value, "Toolbar%02u", static_cast<unsigned>(i + 1));
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, value, FileOf(values.name).c_str());
        }
        m_lintel = &Start();
        ASSERT_NE(WaitForMainWindow(*m_lintel), nullptr);
    }
    // What the program's own reader finds in a toolbar file.
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }
    std::string FileOf(const std::string& name) const { return m_folder + "\\" + name + ".ltl"; }

    HWND Toolbar(const std::string& title) const
    {
        return driver::WaitForWindow("CToolbarWindow", title.c_str(), driver::kDefaultTimeout, m_lintel->Id());
    }
    // Starts with one plain toolbar of that name and opens its Buttons page.
    void StartOnButtonsPage(const char* name, HWND& toolbar, HWND& sheet, HWND& page)
    {
        RecordValues values;
        values.name = name;
        ASSERT_NO_FATAL_FAILURE(StartWith({values}));
        toolbar = Toolbar(name);
        ASSERT_NE(toolbar, nullptr);
        page = OpenButtonsPage(toolbar, sheet);
        ASSERT_NE(page, nullptr);
    }

    // The sheet of a toolbar, showing its Buttons page.
    HWND OpenButtonsPage(HWND toolbar, HWND& sheet) const
    {
        PostMessageA(toolbar, WM_COMMAND, kPropertiesCommand, 0);
        sheet = driver::WaitForWindow("#32770", kSheetCaption, driver::kDefaultTimeout, m_lintel->Id());
        if (!sheet)
            return nullptr;
        SendMessageA(sheet, PSM_SETCURSEL, kButtonsPage, 0);
        return CurrentPage(sheet);
    }
    HWND ButtonSheet(DWORD timeout = driver::kDefaultTimeout) const
    {
        return driver::WaitForWindow("#32770", kButtonSheetCaption, timeout, m_lintel->Id());
    }
    // A sheet that stays says why: the dialogs Lintel shows go with the
    // failure.
    ::testing::AssertionResult End(HWND sheet, int button) const
    {
        if (driver::PressButton(sheet, button) && driver::WaitForWindowGone(sheet))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the sheet stayed; Lintel shows " << ShownDialogs(m_lintel->Id());
    }
    static bool Save(HWND toolbar)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(toolbar, WM_COMMAND, kSaveCommand, 0, SMTO_NORMAL, 30000, &result) != 0;
    }

    // The buttons of a saved toolbar as the page lists them.
    std::vector<std::string> SavedList(const std::string& name)
    {
        const nlohmann::json saved = Dump(FileOf(name));
        std::vector<std::string> list;
        if (!saved.is_object() || !saved.contains("buttons"))
            return list;
        for (const auto& button : saved["buttons"]) {
            if (button.value("kindName", std::string()) == "space")
                list.push_back("(Space)");
            else
                list.push_back(button.value("description", std::string()));
        }
        return list;
    }

    // Edits an item's label through the list view's own edit control, as a
    // user's slow double click and typing do; false when the list refused
    // to start editing.
    static bool EditLabel(HWND list, int item, const char* text)
    {
        auto edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_EDITLABELA, static_cast<WPARAM>(item), 0));
        if (!edit)
            return false;
        SetWindowTextA(edit, text);
        PostKey(edit, VK_RETURN);
        driver::WaitForWindowGone(edit, 3000);
        return true;
    }

    driver::Process* m_lintel = nullptr;
};

TEST_F(ButtonsPageProgramTest, EachCommandIsRefusedExactlyWhileItsBitIsSet)
{
    struct Protected {
        const char* name;
        uint32_t level;
    };
    // Dragging blocks none of the page's commands.
    const Protected toolbars[] = {
        {"Adding", kBlockAdd},         {"Removing", kBlockRemove},   {"Properties", kBlockProperties},
        {"Clipboard", kBlockClipboard}, {"Dragging", kBlockDrag},
    };
    std::vector<RecordValues> records;
    for (size_t i = 0; i < std::size(toolbars); ++i) {
        RecordValues values;
        values.name = toolbars[i].name;
        values.position = MAKELONG(60 + 90 * i, 60);
        values.isProtected = 1;
        values.level = toolbars[i].level;
        records.push_back(values);
    }
    ASSERT_NO_FATAL_FAILURE(StartWith(records));

    for (const Protected& entry : toolbars) {
        SCOPED_TRACE(entry.name);
        const auto allowed = [&](uint32_t bit) { return (entry.level & bit) == 0; };
        HWND toolbar = Toolbar(std::string(entry.name) + " (P)");
        ASSERT_NE(toolbar, nullptr);
        HWND sheet = nullptr;
        HWND page = OpenButtonsPage(toolbar, sheet);
        ASSERT_NE(page, nullptr);
        HWND list = GetDlgItem(page, kButtonList);
        const std::vector<std::string> opened = driver::ListViewTexts(list);
        ASSERT_EQ(opened.size(), kSampleButtons);
        ASSERT_TRUE(driver::ListViewSelect(list, 0));

        // What the page offers.
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, kAdd)) != FALSE, allowed(kBlockAdd));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, kAddSpace)) != FALSE, allowed(kBlockAdd));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, kDelete)) != FALSE, allowed(kBlockRemove));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, kProperties)) != FALSE, allowed(kBlockProperties));
        EXPECT_EQ(IsWindowVisible(GetDlgItem(page, kMoveDown)) != FALSE, allowed(kBlockClipboard));

        // Each command as it arrives when the control is used (or posted
        // past a disabled one).
        const std::string edited = std::string("Edited in ") + entry.name;
        EXPECT_EQ(EditLabel(list, 0, edited.c_str()), allowed(kBlockProperties));
        EXPECT_EQ(driver::ListViewTexts(list)[0], allowed(kBlockProperties) ? edited : opened[0]);

        Command(page, kProperties);
        HWND buttonSheet = ButtonSheet(allowed(kBlockProperties) ? driver::kDefaultTimeout : 1000);
        EXPECT_EQ(buttonSheet != nullptr, allowed(kBlockProperties));
        if (buttonSheet) {
            ASSERT_TRUE(End(buttonSheet, IDCANCEL));
        }

        const std::vector<std::string> beforeMove = driver::ListViewTexts(list);
        Command(page, kMoveDown);
        if (allowed(kBlockClipboard))
            EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewTexts(list)[1] == beforeMove[0]; }));
        else
            Settle();
        EXPECT_EQ(driver::ListViewTexts(list)[0], allowed(kBlockClipboard) ? beforeMove[1] : beforeMove[0]);

        Command(page, kAdd);
        HWND menu = allowed(kBlockAdd) ? WaitForMenus(m_lintel->Id(), 1) : nullptr;
        if (menu) {
            PostKey(menu, VK_ESCAPE);
            EXPECT_TRUE(driver::WaitUntil([&] { return VisibleMenus(m_lintel->Id()).empty(); }));
        } else {
            Settle();
        }
        EXPECT_EQ(menu != nullptr, allowed(kBlockAdd));
        EXPECT_TRUE(VisibleMenus(m_lintel->Id()).empty());

        // A refused command leaves nothing to wait for: give it time to show.
        const auto countAfter = [&](int control, size_t want, bool taken) {
            Command(page, control);
            if (!taken)
                Settle();
            EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewTexts(list).size() == want; }));
        };
        const size_t spaced = kSampleButtons + (allowed(kBlockAdd) ? 1 : 0);
        countAfter(kAddSpace, spaced, allowed(kBlockAdd));
        countAfter(kDelete, spaced - (allowed(kBlockRemove) ? 1 : 0), allowed(kBlockRemove));

        // The list was the toolbar's own: the saved file holds it.
        const std::vector<std::string> shown = driver::ListViewTexts(list);
        ASSERT_TRUE(End(sheet, IDOK));
        ASSERT_TRUE(Save(toolbar));
        EXPECT_EQ(SavedList(entry.name), shown);
    }
}

TEST_F(ButtonsPageProgramTest, TheButtonSheetOpensOverTheWaitingToolbarSheet)
{
    HWND toolbar = nullptr, sheet = nullptr, page = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartOnButtonsPage("Open", toolbar, sheet, page));
    HWND list = GetDlgItem(page, kButtonList);
    const int buttonWindows = driver::CountChildWindows(toolbar, "CToolButtonWindow");
    ASSERT_TRUE(driver::ListViewSelect(list, 0));
    Settle();
    EXPECT_TRUE(driver::Screenshot("toolbar-sheet-buttons-page"));

    Command(page, kProperties);
    HWND buttonSheet = ButtonSheet();
    ASSERT_NE(buttonSheet, nullptr);
    EXPECT_FALSE(IsWindowEnabled(sheet));
    HWND general = CurrentPage(buttonSheet);
    SetDlgItemTextA(general, kDescription, "Renamed from the page");
    Settle();
    EXPECT_TRUE(driver::Screenshot("toolbar-sheet-button-sheet"));

    // Nothing may take the button or the toolbar sheet from under the
    // button's pages: not the page's own commands, not the button's Delete,
    // not the toolbar sheet's OK, Cancel, close box or another tab.
    ASSERT_TRUE(driver::ListViewSelect(list, 0));
    for (int control : {kDelete, kAddSpace, kMoveDown, kAdd})
        Command(page, control);
    PostMessageA(FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr), WM_COMMAND, kButtonDeleteCommand, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PostMessageA(sheet, WM_CLOSE, 0, 0);
    PostMessageA(sheet, PSM_SETCURSEL, 0, 0);
    Settle(1000);
    EXPECT_TRUE(VisibleMenus(m_lintel->Id()).empty());
    ASSERT_TRUE(IsWindow(sheet));
    EXPECT_EQ(CurrentPage(sheet), page);
    EXPECT_EQ(driver::ListViewTexts(list).size(), kSampleButtons);
    EXPECT_EQ(driver::CountChildWindows(toolbar, "CToolButtonWindow"), buttonWindows);

    // Once it is closed the page shows what it changed and the sheet is back.
    ASSERT_TRUE(End(buttonSheet, IDOK));
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewTexts(list)[0] == "Renamed from the page"; }));
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(sheet) != FALSE; }));
    const std::vector<std::string> shown = driver::ListViewTexts(list);
    ASSERT_TRUE(End(sheet, IDOK));
    ASSERT_TRUE(Save(toolbar));
    EXPECT_EQ(SavedList("Open"), shown);
}

TEST_F(ButtonsPageProgramTest, AddKeepsTheNewButtonOnlyOnceItsPagesGaveItATarget)
{
    HWND toolbar = nullptr, sheet = nullptr, page = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartOnButtonsPage("Adding", toolbar, sheet, page));
    HWND list = GetDlgItem(page, kButtonList);
    const int buttonWindows = driver::CountChildWindows(toolbar, "CToolButtonWindow");
    ASSERT_TRUE(driver::ListViewSelect(list, 0));

    // "Add file button..." is the add menu's first entry.
    const auto addFile = [&]() -> HWND {
        ParkPointer();
        Command(page, kAdd);
        HWND menu = WaitForMenus(m_lintel->Id(), 1);
        if (!menu)
            return nullptr;
        PostKey(menu, VK_DOWN);
        PostKey(menu, VK_RETURN);
        return ButtonSheet();
    };
    HWND buttonSheet = addFile();
    ASSERT_NE(buttonSheet, nullptr);
    EXPECT_FALSE(IsWindowEnabled(sheet));
    // Cancelled without a target, the blank button goes again.
    ASSERT_TRUE(End(buttonSheet, IDCANCEL));
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(sheet) != FALSE; }));
    EXPECT_EQ(driver::ListViewTexts(list).size(), kSampleButtons);
    EXPECT_EQ(driver::CountChildWindows(toolbar, "CToolButtonWindow"), buttonWindows);

    const std::string program = driver::ProgramFolder() + "\\echo_args.exe";
    buttonSheet = addFile();
    ASSERT_NE(buttonSheet, nullptr);
    SendMessageA(buttonSheet, PSM_SETCURSEL, 1, 0);
    HWND target = GetDlgItem(CurrentPage(buttonSheet), kTarget);
    ASSERT_NE(target, nullptr) << "the target page is not shown";
    SetWindowTextA(target, program.c_str());
    EXPECT_EQ(driver::WindowText(target), program);
    ASSERT_TRUE(End(buttonSheet, IDOK));
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewTexts(list).size() == kSampleButtons + 1; }));
    // The new button is the last, and chosen in the list.
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), static_cast<int>(kSampleButtons));
    const std::vector<std::string> shown = driver::ListViewTexts(list);
    EXPECT_EQ(shown.back(), "Blank button");
    ASSERT_TRUE(End(sheet, IDOK));
    ASSERT_TRUE(Save(toolbar));
    EXPECT_EQ(SavedList("Adding"), shown);
}
