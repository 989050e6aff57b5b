// The toolbar property sheet of the real Lintel.exe, driven from outside:
// one sheet at a time, what OK, Apply and Cancel leave in the toolbar and
// its file, the colour lists' first choice, and the live Buttons page.
#include "LintelFixture.h"
#include "PopupWindows.h"
#include "driver/ToolbarDump.h"
#include "driver/RemoteControls.h"
#include "driver/StandIns.h"
#include "driver/ToolbarFiles.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <nlohmann/json.hpp>
#include <ole2.h>

#include <fstream>
#include <iterator>

namespace {

const char* const kSheetCaption = "Toolbar properties";
constexpr UINT kPropertiesCommand = 109;
constexpr UINT kSaveCommand = 107;
constexpr UINT kSaveAsCommand = 108;
constexpr UINT kToolbarMenuButton = 101;
constexpr UINT kAddButton = WM_USER + 191;

enum Page : int { kGeneral = 0, kPosition = 1, kStyle = 2, kBackground = 3, kProtection = 4, kButtons = 5 };

// Controls of the pages.
constexpr int kName = 1005;
constexpr int kButtonCount = 1020;
constexpr int kHorizontal = 1008;
constexpr int kDocked = 1013;
constexpr int kTopLeft = 1016;
constexpr int kBottomLeft = 1018;
constexpr int kAutohide = 1130;
constexpr int kScreenStrip = 1133;
constexpr int kFixed = 1067;
constexpr int kLarge = 1081;
constexpr int kSmall = 1083;
constexpr int kBorder = 1084;
constexpr int kShowDescription = 1085;
constexpr int kGradient = 1077;
constexpr int kStartColour = 1149;
constexpr int kEndColour = 1080;
constexpr int kButtonList = 1047;
constexpr int kAddSpace = 1061;
constexpr int kDelete = 1070;
constexpr int kMoveUp = 1131;
constexpr int kMoveDown = 1132;

// Entries of the colour lists.
constexpr int kRed = 3;
constexpr int kBlue = 6;
constexpr int kDarkGreen = 12;

std::string Hex(COLORREF colour)
{
    char text[16];
    snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(colour));
    return text;
}

void Click(HWND page, int control)
{
    SendDlgItemMessageA(page, control, BM_CLICK, 0, 0);
}

// Chooses a colour list entry as the user does.
void ChooseColour(HWND page, int list, int entry)
{
    HWND combo = GetDlgItem(page, list);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SetBorder(HWND page, int border)
{
    HWND trackbar = GetDlgItem(page, kBorder);
    SendMessageA(trackbar, TBM_SETPOS, TRUE, border);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, border), reinterpret_cast<LPARAM>(trackbar));
}

int ListCount(HWND page)
{
    return static_cast<int>(SendDlgItemMessageA(page, kButtonList, LVM_GETITEMCOUNT, 0, 0));
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + ","
           + std::to_string(r.bottom);
}

FILETIME WriteTime(const std::string& path)
{
    FILETIME time{};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        time = data.ftLastWriteTime;
    return time;
}

} // namespace

class ToolbarSheetTest : public LintelProgramTest
{
protected:
    void TearDown() override
    {
        if (m_faceChanged) {
            const INT element = COLOR_BTNFACE;
            SetSysColors(1, &element, &m_face);
        }
        LintelProgramTest::TearDown();
    }

    // Toolbar files opened at start, in slot order.
    void StartWith(const std::vector<RecordValues>& toolbars, int spaces = 0)
    {
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", static_cast<DWORD>(toolbars.size()));
        for (size_t i = 0; i < toolbars.size(); ++i) {
            const std::string path = FileOf(toolbars[i].name);
            ASSERT_TRUE(WriteCompoundFile(path, FileWith(toolbars[i], 0x23000, spaces)));
            char value[16];
            snprintf(value, sizeof value, "Toolbar%02u", static_cast<unsigned>(i + 1));
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, value, path.c_str());
        }
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    std::string FileOf(const std::string& name) const { return m_folder + "\\" + name + ".ltl"; }

    HWND Toolbar(const char* title) const
    {
        return driver::WaitForWindow("CToolbarWindow", title, driver::kDefaultTimeout, m_lintel->Id());
    }

    HWND OpenSheet(HWND toolbar) const
    {
        PostMessageA(toolbar, WM_COMMAND, kPropertiesCommand, 0);
        return driver::WaitForWindow("#32770", kSheetCaption, driver::kDefaultTimeout, m_lintel->Id());
    }

    static HWND ShowPage(HWND sheet, Page page)
    {
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
        return CurrentPage(sheet);
    }

    static bool CloseSheet(HWND sheet, int button)
    {
        PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
        return driver::WaitForWindowGone(sheet);
    }

    static bool Save(HWND toolbar)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(toolbar, WM_COMMAND, kSaveCommand, 0, SMTO_NORMAL, 30000, &result) != 0;
    }

    // What the program's own reader finds in a toolbar file.
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }

    // The system's button face for this test and the programs it starts.
    void SetButtonFace(COLORREF colour)
    {
        if (!m_faceChanged) {
            m_face = GetSysColor(COLOR_BTNFACE);
            m_faceChanged = true;
        }
        const INT element = COLOR_BTNFACE;
        ASSERT_TRUE(SetSysColors(1, &element, &colour));
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
    COLORREF m_face = 0;
    bool m_faceChanged = false;
};

TEST_F(ToolbarSheetTest, OneSheetAtATimeWithItsPagesInOrder)
{
    RecordValues first;
    first.name = "First";
    RecordValues second;
    second.name = "Second";
    second.position = MAKELONG(400, 300);
    StartWith({first, second}, 2);
    HWND firstToolbar = Toolbar("First");
    HWND secondToolbar = Toolbar("Second");
    ASSERT_NE(firstToolbar, nullptr);
    ASSERT_NE(secondToolbar, nullptr);

    HWND sheet = OpenSheet(firstToolbar);
    ASSERT_NE(sheet, nullptr);
    // Again from the toolbar, from the program menu's item of the other
    // toolbar (slot 2, command 302), and the other toolbar's own command.
    PostMessageA(firstToolbar, WM_COMMAND, kPropertiesCommand, 0);
    PostMessageA(m_main, WM_COMMAND, 2302, 0);
    PostMessageA(secondToolbar, WM_COMMAND, kPropertiesCommand, 0);
    driver::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(CountTopWindows("#32770", kSheetCaption, m_lintel->Id()), 1);

    // The other toolbar's menu offers Properties greyed.
    PostMessageA(secondToolbar, WM_COMMAND, kToolbarMenuButton, 0);
    HWND menu = WaitForMenus(m_lintel->Id(), 1);
    ASSERT_NE(menu, nullptr);
    auto items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
    EXPECT_TRUE(GetMenuState(items, kPropertiesCommand, MF_BYCOMMAND) & MF_GRAYED);
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(driver::WaitUntil([&] { return VisibleMenus(m_lintel->Id()).empty(); }));

    struct Expected {
        Page page;
        int control;
        const char* shot;
    };
    const Expected pages[] = {
        {kGeneral, kName, "toolbar-sheet-general"},       {kPosition, kDocked, "toolbar-sheet-position"},
        {kStyle, kBorder, "toolbar-sheet-style"},         {kBackground, kGradient, "toolbar-sheet-background"},
        {kButtons, kButtonList, "toolbar-sheet-buttons"},
    };
    for (const Expected& expected : pages) {
        SCOPED_TRACE(expected.shot);
        HWND page = ShowPage(sheet, expected.page);
        ASSERT_NE(page, nullptr);
        EXPECT_NE(GetDlgItem(page, expected.control), nullptr);
        driver::WaitUntil([] { return false; }, 300);
        EXPECT_TRUE(driver::Screenshot(expected.shot));
    }
    HWND general = ShowPage(sheet, kGeneral);
    EXPECT_EQ(driver::ControlText(GetDlgItem(general, kName)), "First");
    EXPECT_EQ(driver::ControlText(GetDlgItem(general, kButtonCount)), "2");
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));

    // Once it is closed, the other toolbar's sheet opens.
    HWND other = OpenSheet(secondToolbar);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(driver::ControlText(GetDlgItem(CurrentPage(other), kName)), "Second");
    ASSERT_TRUE(CloseSheet(other, PSBTN_CANCEL));
}

TEST_F(ToolbarSheetTest, PositionStyleAndColourChangesReachTheFile)
{
    RecordValues values;
    StartWith({values});
    HWND toolbar = Toolbar("Stored");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);

    HWND page = ShowPage(sheet, kPosition);
    Click(page, kHorizontal);
    Click(page, kDocked);
    Click(page, kTopLeft);
    page = ShowPage(sheet, kStyle);
    Click(page, kLarge);
    Click(page, kShowDescription);
    SetBorder(page, 1);
    page = ShowPage(sheet, kBackground);
    Click(page, kGradient);
    ChooseColour(page, kStartColour, kRed);
    ChooseColour(page, kEndColour, kBlue);
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_OK));

    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    EXPECT_TRUE(driver::WaitUntil([&] {
        const RECT now = WindowRect(toolbar);
        return now.left == workArea.left && now.top == workArea.top;
    })) << Describe(WindowRect(toolbar));

    ASSERT_TRUE(Save(toolbar));
    const nlohmann::json saved = Dump(FileOf("Stored"));
    EXPECT_EQ(saved.value("docked", false), true);
    EXPECT_EQ(saved.value("dockCorner", 0), 5);
    EXPECT_EQ(saved.value("orientation", ""), "horizontal");
    EXPECT_EQ(saved.value("buttonSize", 0), 2);
    EXPECT_EQ(saved.value("showDescription", false), true);
    EXPECT_EQ(saved.value("border", 0), 1);
    EXPECT_EQ(saved.value("useGradient", false), true);
    EXPECT_EQ(saved.value("startIsSystem", true), false);
    EXPECT_EQ(saved.value("startColour", ""), Hex(RGB(255, 0, 0)));
    EXPECT_EQ(saved.value("endIsSystem", true), false);
    EXPECT_EQ(saved.value("endColour", ""), Hex(RGB(0, 0, 255)));
}

TEST_F(ToolbarSheetTest, CancelAfterApplyPutsEverythingBack)
{
    RecordValues values;
    values.startColour = RGB(0x80, 0, 0);
    StartWith({values}, 2);
    HWND toolbar = Toolbar("Stored");
    ASSERT_NE(toolbar, nullptr);
    ASSERT_TRUE(Save(toolbar));
    const nlohmann::json before = Dump(FileOf("Stored"));
    const RECT opened = WindowRect(toolbar);

    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kGeneral);
    SetDlgItemTextA(page, kName, "Renamed");
    page = ShowPage(sheet, kPosition);
    Click(page, kDocked);
    Click(page, kBottomLeft);
    Click(page, kAutohide);
    page = ShowPage(sheet, kStyle);
    Click(page, kSmall);
    SetBorder(page, 5);
    page = ShowPage(sheet, kBackground);
    Click(page, kGradient);
    ChooseColour(page, kStartColour, kDarkGreen);
    PropSheet_Apply(sheet);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::WindowText(toolbar) == "Renamed"; }));
    EXPECT_FALSE(SameRect(WindowRect(toolbar), opened));

    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));
    EXPECT_EQ(driver::WindowText(toolbar), "Stored");
    EXPECT_TRUE(driver::WaitUntil([&] { return SameRect(WindowRect(toolbar), opened); }))
        << Describe(WindowRect(toolbar)) << " instead of " << Describe(opened);
    ASSERT_TRUE(Save(toolbar));
    EXPECT_EQ(Dump(FileOf("Stored")), before);
}

TEST_F(ToolbarSheetTest, NothingAppliedLeavesTheToolbarUnchanged)
{
    // A docked toolbar is saved at close only when it has changed.
    RecordValues values;
    values.docked = 1;
    values.corner = 10;
    StartWith({values}, 1);
    HWND toolbar = Toolbar("Stored");
    ASSERT_NE(toolbar, nullptr);
    const std::string path = FileOf("Stored");
    const FILETIME written = WriteTime(path);

    // OK after looking at every page, then Cancel after changing them.
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    for (Page page : {kGeneral, kPosition, kStyle, kBackground, kButtons})
        ShowPage(sheet, page);
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_OK));

    sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kGeneral);
    SetDlgItemTextA(page, kName, "Renamed");
    page = ShowPage(sheet, kPosition);
    Click(page, kHorizontal);
    Click(page, kTopLeft);
    page = ShowPage(sheet, kStyle);
    Click(page, kLarge);
    page = ShowPage(sheet, kBackground);
    ChooseColour(page, kStartColour, kRed);
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));
    EXPECT_EQ(driver::WindowText(toolbar), "Stored");

    ASSERT_TRUE(Close(*m_lintel));
    const FILETIME after = WriteTime(path);
    EXPECT_EQ(CompareFileTime(&written, &after), 0) << "the toolbar was saved as changed";
}

TEST_F(ToolbarSheetTest, ScreenStripChoiceIsMadeOnThePositionPageAndKeptForTheFile)
{
    RecordValues values;
    values.docked = 1;
    values.corner = 5;   // top left
    values.orientation = 2;
    StartWith({values});
    HWND toolbar = Toolbar("Stored");
    ASSERT_NE(toolbar, nullptr);
    const std::string stripKey = std::string(kUserKey) + "\\ScreenStrip";
    const std::string path = FileOf("Stored");
    auto choice = [&](const std::string& file) {
        DWORD value = 0;
        return driver::ReadRegistryDword(HKEY_CURRENT_USER, stripKey.c_str(), file.c_str(), value) ? int(value) : -1;
    };
    auto enabled = [](HWND page) { return IsWindowEnabled(GetDlgItem(page, kScreenStrip)) != FALSE; };

    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kPosition);
    EXPECT_TRUE(enabled(page));
    EXPECT_FALSE(IsDlgButtonChecked(page, kScreenStrip));
    driver::Screenshot("toolbar-sheet-position-screen-strip");
    // Only along an edge: not where the toolbar floats, stands fixed or hides.
    const struct {
        int click;
        bool enabled;
    } steps[] = {{kFixed, false}, {kTopLeft, true}, {kAutohide, false}, {kAutohide, true},
                 {kDocked, false}, {kDocked, true}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        Click(page, steps[i].click);
        EXPECT_EQ(enabled(page), steps[i].enabled);
    }
    Click(page, kScreenStrip);
    PropSheet_Apply(sheet);
    EXPECT_TRUE(driver::WaitUntil([&] { return choice(path) == 1; }));
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));
    EXPECT_EQ(choice(path), -1) << "Cancel after Apply takes the choice back";

    sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    page = ShowPage(sheet, kPosition);
    EXPECT_FALSE(IsDlgButtonChecked(page, kScreenStrip));
    Click(page, kScreenStrip);
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_OK));
    EXPECT_EQ(choice(path), 1);
    sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(IsDlgButtonChecked(ShowPage(sheet, kPosition), kScreenStrip));
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));

    // Saved under a new name, the toolbar keeps its strip there too; the
    // old file keeps its own choice.
    PostMessageA(toolbar, WM_COMMAND, kSaveAsCommand, 0);
    HWND save = driver::WaitForWindow("#32770", "Save Stored As", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(save, nullptr);
    HWND name = GetDlgItem(save, cmb13) ? GetDlgItem(save, cmb13) : GetDlgItem(save, edt1);
    ASSERT_NE(name, nullptr);
    const std::string copy = FileOf("Copied");
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    ASSERT_TRUE(driver::PressButton(save, IDOK));
    ASSERT_TRUE(driver::WaitForWindowGone(save));
    EXPECT_TRUE(driver::WaitUntil([&] { return choice(copy) == 1; }));
    EXPECT_EQ(choice(path), 1);
    sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(IsDlgButtonChecked(ShowPage(sheet, kPosition), kScreenStrip));
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));
}

TEST_F(ToolbarSheetTest, ColourListsOpenOnTheStoredColour)
{
    // The button face is Light Gray, so a Light Gray toolbar's colour
    // equals the "Default" entry's.
    SetButtonFace(RGB(0xC0, 0xC0, 0xC0));
    struct Case {
        const char* name;
        uint32_t isSystem;
        COLORREF colour;
        const char* entry;
    };
    const Case cases[] = {
        {"Custom", 0, RGB(0x12, 0x34, 0x56), "Custom"},
        {"Gray", 0, RGB(0xC0, 0xC0, 0xC0), "Light Gray"},
        {"System", 1, RGB(0xC0, 0xC0, 0xC0), "Default"},
    };
    std::vector<RecordValues> toolbars;
    for (const Case& c : cases) {
        RecordValues values;
        values.name = c.name;
        values.startIsSystem = c.isSystem;
        values.startColour = c.colour;
        toolbars.push_back(values);
    }
    StartWith(toolbars);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND toolbar = Toolbar(c.name);
        ASSERT_NE(toolbar, nullptr);
        HWND sheet = OpenSheet(toolbar);
        ASSERT_NE(sheet, nullptr);
        HWND combo = GetDlgItem(ShowPage(sheet, kBackground), kStartColour);
        const int selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
        const std::vector<std::string> entries = driver::ComboTexts(combo);
        ASSERT_GE(selected, 0);
        ASSERT_LT(static_cast<size_t>(selected), entries.size());
        EXPECT_EQ(entries[static_cast<size_t>(selected)], c.entry);
        EXPECT_EQ(Hex(static_cast<COLORREF>(SendMessageA(combo, CB_GETITEMDATA, selected, 0))), Hex(c.colour));
        // OK keeps what was stored, system-following or not.
        ASSERT_TRUE(CloseSheet(sheet, PSBTN_OK));
        ASSERT_TRUE(Save(toolbar));
        const nlohmann::json saved = Dump(FileOf(c.name));
        EXPECT_EQ(saved.value("startIsSystem", false), c.isSystem != 0);
        EXPECT_EQ(saved.value("startColour", ""), Hex(c.colour));
    }
}

TEST_F(ToolbarSheetTest, ButtonsPageFollowsTheLiveButtonList)
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    RecordValues values;
    StartWith({values}, 2);
    HWND toolbar = Toolbar("Stored");
    ASSERT_NE(toolbar, nullptr);
    HWND sheet = OpenSheet(toolbar);
    ASSERT_NE(sheet, nullptr);
    HWND page = ShowPage(sheet, kButtons);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ListCount(page), 2);

    // A companion's hand-over while the sheet is open shows up in the list.
    const std::string folder = m_folder + "\\Handed over";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(driver::PutShellItemsOnClipboard({folder}));
    const ATOM atom = GlobalAddAtomA("Stored");
    ASSERT_NE(atom, 0);
    ASSERT_TRUE(PostMessageA(m_main, kAddButton, atom, 0));
    EXPECT_TRUE(driver::WaitUntil([&] { return ListCount(page) == 3; }));
    OleSetClipboard(nullptr);

    // The first has nothing before it, the last nothing after it.
    HWND list = GetDlgItem(page, kButtonList);
    ASSERT_TRUE(driver::ListViewSelect(list, 0));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kMoveUp)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kMoveDown)));
    ASSERT_TRUE(driver::ListViewSelect(list, 2));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, kMoveUp)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kMoveDown)));
    Click(page, kMoveUp);
    // A space after the selected one, then the first space goes.
    ASSERT_TRUE(driver::ListViewSelect(list, 0));
    Click(page, kAddSpace);
    EXPECT_EQ(ListCount(page), 4);
    Click(page, kDelete);
    EXPECT_EQ(ListCount(page), 3);
    ASSERT_TRUE(CloseSheet(sheet, PSBTN_CANCEL));

    // The list was the toolbar's own: Cancel does not undo it.
    ASSERT_TRUE(Save(toolbar));
    const nlohmann::json saved = Dump(FileOf("Stored"));
    std::vector<std::string> kinds;
    for (const auto& button : saved["buttons"])
        kinds.push_back(button.value("kindName", std::string()));
    EXPECT_EQ(kinds, (std::vector<std::string>{"space", "folder", "space"})) << saved.dump();
    OleUninitialize();
}

// A toolbar shows its stored size at start and fills the other sizes' icons
// from its file only when one is chosen: chosen later, the buttons show them
// and a save keeps every button's stored icons as they were.
TEST_F(ToolbarSheetTest, SizeChosenAfterTheStartShowsAndKeepsTheStoredIcons)
{
    const std::string file = FileOf("Sample");
    const std::string original = m_folder + "\\Original.ltl";
    ASSERT_TRUE(driver::WriteSampleToolbar(file, m_folder));
    ASSERT_TRUE(CopyFileA(file.c_str(), original.c_str(), FALSE));
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str());
    m_lintel = &Start();
    ASSERT_NE(WaitForMainWindow(*m_lintel), nullptr);
    HWND toolbar = Toolbar("Sample");
    ASSERT_NE(toolbar, nullptr);
    for (int size : {kLarge, kSmall}) {
        SCOPED_TRACE(size == kLarge ? "large" : "small");
        const RECT before = WindowRect(toolbar);
        HWND sheet = OpenSheet(toolbar);
        ASSERT_NE(sheet, nullptr);
        Click(ShowPage(sheet, kStyle), size);
        ASSERT_TRUE(CloseSheet(sheet, PSBTN_OK));
        EXPECT_TRUE(driver::WaitUntil([&] { return !SameRect(WindowRect(toolbar), before); }))
            << Describe(WindowRect(toolbar));
        UpdateWindow(toolbar);
        driver::Screenshot(size == kLarge ? "toolbar-large-after-start" : "toolbar-small-after-start");
    }

    ASSERT_TRUE(Save(toolbar));
    CompoundContent before;
    CompoundContent after;
    ASSERT_TRUE(ReadCompoundFile(original, before));
    ASSERT_TRUE(ReadCompoundFile(file, after));
    int icons = 0;
    for (const auto& element : before.storages) {
        for (const wchar_t* name : {L"SMALL", L"NORMAL", L"LARGE"}) {
            const auto stored = element.second.find(name);
            if (stored == element.second.end())
                continue;
            ++icons;
            const auto& saved = after.storages[element.first];
            const auto kept = saved.find(name);
            ASSERT_NE(kept, saved.end());
            EXPECT_TRUE(kept->second == stored->second);
        }
    }
    // The sample's programs are there only where the prefix has them; its
    // drive button always is.
    EXPECT_GE(icons, 3) << "the drive button's three stored sizes";
}
