// The button property sheet of the real Lintel.exe, driven from outside: the
// pages are filled by messages as a user's typing would fill them, and what
// they changed is read back from the saved toolbar file.
#include "HelpDouble.h"
#include "LintelFixture.h"
#include "PopupWindows.h"
#include "driver/ToolbarDump.h"
#include "driver/RemoteControls.h"
#include "driver/ToolbarFiles.h"

#include <commctrl.h>
#include <dlgs.h>
#include <psapi.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

namespace {

constexpr const char* kSheetCaption = "Button Properties";
constexpr const char* kIconCaption = "Choose an icon";
constexpr const char* kToolbarName = "Props";
constexpr UINT kPropertiesCommand = 6;
constexpr UINT kSaveCommand = 107;
constexpr UINT kAddFile = 126;
constexpr UINT kAddFolder = 127;
constexpr UINT kAddAddress = 40038;
constexpr int kApplyButton = 0x3021;

// General page
constexpr int kDescription = 1031;
constexpr int kDefaultIcon = 1060;
constexpr int kChangeIcon = 1142;
// Target page
constexpr int kFile = 1024;
constexpr int kStartIn = 1025;
constexpr int kFileBrowse = 1096;
constexpr int kFolderBrowse = 1097;
constexpr int kParameters = 1098;
// Startup page
constexpr int kAllowDrops = 1026;
constexpr int kConvert83 = 1062;
constexpr int kShowState = 1144;
// Desktop page
constexpr int kCurrentDesktop = 1178;
constexpr int kChooser = 1179;
// "Choose an icon"
constexpr int kIconFile = 1057;
constexpr int kIconList = 1058;

constexpr UINT kChooserGetCell = WM_USER + 102;
constexpr UINT kKeyF1 = 0x004D;   // WM_KEYF1

HWND FirstButton(HWND toolbar)
{
    return FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr);
}

HWND Page(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return CurrentPage(sheet);
}

int PageCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    return tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : -1;
}

void Click(HWND dialog, int control)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

void Settle(DWORD ms = 300)
{
    driver::WaitUntil([] { return false; }, ms);
}

bool HasModule(DWORD processId, const char* name)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return false;
    HMODULE modules[512]{};
    DWORD needed = 0;
    bool found = false;
    if (EnumProcessModules(process, modules, sizeof modules, &needed)) {
        const DWORD count = needed / sizeof(HMODULE);
        for (DWORD i = 0; i < count && i < std::size(modules); ++i) {
            char base[MAX_PATH]{};
            if (GetModuleBaseNameA(process, modules[i], base, sizeof base) && lstrcmpiA(base, name) == 0)
                found = true;
        }
    }
    CloseHandle(process);
    return found;
}

} // namespace

class ButtonPropertiesProgramTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        m_file = m_folder + "\\props.ltl";
        RecordValues values;
        values.name = kToolbarName;
        values.position = MAKELONG(40, 40);
        ASSERT_TRUE(WriteCompoundFile(m_file, FileWith(values, 0x23000)));
        ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1));
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", m_file.c_str()));
        m_program = m_folder + "\\target.exe";
        ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), m_program.c_str(), FALSE));
    }
    void TearDown() override
    {
        LintelProgramTest::TearDown();
        SetEnvironmentVariableA("LINTEL_VDESK_LOG", nullptr);
        SetEnvironmentVariableA("LINTEL_VDESK_GRID", nullptr);
        SetEnvironmentVariableA("LINTEL_VDESK_INITIALISE", nullptr);
    }

    // Starts the program (or a copy of it) with the one toolbar.
    void StartProgram(const std::string& program = "")
    {
        if (program.empty()) {
            m_lintel = &Start();
        } else {
            auto process = std::make_unique<driver::Process>();
            ASSERT_TRUE(process->Start(program, "", m_folder));
            m_processes.push_back(std::move(process));
            m_lintel = m_processes.back().get();
        }
        m_toolbar = driver::WaitForWindow("CToolbarWindow", kToolbarName, driver::kDefaultTimeout, m_lintel->Id());
        ASSERT_NE(m_toolbar, nullptr);
    }
    HWND WaitForSheet() const
    {
        return driver::WaitForWindow("#32770", kSheetCaption, driver::kDefaultTimeout, m_lintel->Id());
    }
    // One of the toolbar's add commands: a blank button whose pages open at once.
    HWND AddBlank(UINT command)
    {
        PostMessageA(m_toolbar, WM_COMMAND, command, 0);
        return WaitForSheet();
    }
    HWND OpenProperties()
    {
        HWND button = FirstButton(m_toolbar);
        if (!button)
            return nullptr;
        PostMessageA(button, WM_COMMAND, kPropertiesCommand, 0);
        return WaitForSheet();
    }
    bool End(HWND sheet, int buttonId)
    {
        return driver::PressButton(sheet, buttonId) && driver::WaitForWindowGone(sheet);
    }
    // Leaving a page with a refused value: the page's message, answered.
    std::string RefusalOnLeaving(HWND sheet, int toPage, const char* caption)
    {
        PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(toPage), 0);
        // The box has the sheet's caption: any window of that title but the sheet.
        HWND box = nullptr;
        driver::WaitUntil([&] {
            for (HWND found = FindWindowExA(nullptr, nullptr, "#32770", caption); found;
                 found = FindWindowExA(nullptr, found, "#32770", caption)) {
                if (found != sheet && driver::WindowProcess(found) == m_lintel->Id() && IsWindowVisible(found)) {
                    box = found;
                    return true;
                }
            }
            return false;
        });
        if (!box)
            return "<no message>";
        const std::string text = driver::MessageBoxText(box);
        driver::PressButton(box, IDOK);
        driver::WaitForWindowGone(box);
        return text;
    }
    // The first button as the program's own reader finds it in the saved file.
    nlohmann::json SavedButton()
    {
        const nlohmann::json toolbar = driver::DumpToolbar(m_file, m_folder);
        if (!toolbar.is_object() || !toolbar.contains("buttons") || toolbar["buttons"].empty())
            return nlohmann::json::object();
        return toolbar["buttons"][0];
    }
    nlohmann::json SavedButtonAtExit()
    {
        EXPECT_TRUE(Close(*m_lintel));
        return SavedButton();
    }
    // A program button made through "Add file" with the target program.
    void AddProgramButton()
    {
        HWND sheet = AddBlank(kAddFile);
        ASSERT_NE(sheet, nullptr);
        HWND target = Page(sheet, 1);
        SetDlgItemTextA(target, kFile, m_program.c_str());
        ASSERT_TRUE(End(sheet, IDOK));
        ASSERT_TRUE(driver::WaitUntil([&] { return FirstButton(m_toolbar) != nullptr; }));
    }

    std::string m_file;
    std::string m_program;
    driver::Process* m_lintel = nullptr;
    HWND m_toolbar = nullptr;
};

TEST_F(ButtonPropertiesProgramTest, AddFilePagesEditEveryFieldAndTheFileKeepsThem)
{
    StartProgram();
    HWND sheet = AddBlank(kAddFile);
    ASSERT_NE(sheet, nullptr);
    // Without the virtual-desktop library there is no Desktop page.
    EXPECT_EQ(PageCount(sheet), 3);

    HWND general = CurrentPage(sheet);
    EXPECT_EQ(driver::ControlText(GetDlgItem(general, kDescription)), "Blank button");
    SetDlgItemTextA(general, kDescription, "Echo the arguments");
    Settle();
    EXPECT_TRUE(driver::Screenshot("button-properties-general"));

    // A blank program button's target is typed in: every control is usable.
    HWND target = Page(sheet, 1);
    for (int control : {kFile, kFileBrowse, kParameters, kStartIn, kFolderBrowse}) {
        SCOPED_TRACE(control);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(target, control)));
    }
    SetDlgItemTextA(target, kFile, m_program.c_str());
    SetDlgItemTextA(target, kParameters, "-one two");
    SetDlgItemTextA(target, kStartIn, m_folder.c_str());
    Settle();
    EXPECT_TRUE(driver::Screenshot("button-properties-target"));

    HWND startup = Page(sheet, 2);
    EXPECT_EQ(driver::ComboTexts(GetDlgItem(startup, kShowState)),
              (std::vector<std::string>{"Minimized", "Maximized", "Normal"}));
    SendDlgItemMessageA(startup, kShowState, CB_SETCURSEL, 1, 0);
    // A blank button has no target to take dropped files yet.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(startup, kAllowDrops)));
    Settle();
    EXPECT_TRUE(driver::Screenshot("button-properties-startup"));

    ASSERT_TRUE(End(sheet, IDOK));
    EXPECT_TRUE(driver::WaitUntil([&] { return FirstButton(m_toolbar) != nullptr; }));

    const nlohmann::json saved = SavedButtonAtExit();
    EXPECT_EQ(saved.value("kind", 0), 2);
    EXPECT_EQ(saved.value("description", ""), "Echo the arguments");
    EXPECT_EQ(saved.value("fileName", ""), m_program);
    EXPECT_EQ(saved.value("parameters", ""), "-one two");
    EXPECT_EQ(saved.value("startIn", ""), m_folder);
    EXPECT_EQ(saved.value("showState", -1), 1);
}

TEST_F(ButtonPropertiesProgramTest, CancelAfterApplyPutsBackEveryField)
{
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddProgramButton());
    PostMessageA(m_toolbar, WM_COMMAND, kSaveCommand, 0);
    const nlohmann::json before = SavedButtonAtExit();
    ASSERT_EQ(before.value("fileName", ""), m_program);

    StartProgram();
    HWND sheet = OpenProperties();
    ASSERT_NE(sheet, nullptr);
    SetDlgItemTextA(CurrentPage(sheet), kDescription, "Changed");
    HWND target = Page(sheet, 1);
    SetDlgItemTextA(target, kParameters, "changed");
    SetDlgItemTextA(target, kStartIn, driver::ProgramFolder().c_str());
    HWND startup = Page(sheet, 2);
    SendDlgItemMessageA(startup, kShowState, CB_SETCURSEL, 0, 0);
    // The 8.3 box follows "Allow dropped files".
    SendDlgItemMessageA(startup, kAllowDrops, BM_CLICK, 0, 0);
    const bool dropsAllowed = IsTicked(startup, kAllowDrops);
    EXPECT_EQ(dropsAllowed, !before.value("allowDrops", false));
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(startup, kConvert83)) != FALSE, dropsAllowed);
    ASSERT_TRUE(driver::PressButton(sheet, kApplyButton));
    // Saved while the sheet is still up: the file shows what Apply wrote.
    PostMessageA(m_toolbar, WM_COMMAND, kSaveCommand, 0);
    Settle(1000);
    const nlohmann::json applied = SavedButton();
    EXPECT_EQ(applied.value("description", ""), "Changed");
    EXPECT_EQ(applied.value("parameters", ""), "changed");
    EXPECT_EQ(applied.value("startIn", ""), driver::ProgramFolder());
    EXPECT_EQ(applied.value("showState", -1), 0);
    EXPECT_EQ(applied.value("allowDrops", !dropsAllowed), dropsAllowed);

    ASSERT_TRUE(End(sheet, IDCANCEL));
    const nlohmann::json after = SavedButtonAtExit();
    for (const char* field :
         {"description", "fileName", "parameters", "startIn", "showState", "allowDrops", "convertTo83", "iconFile",
          "iconIndex", "defaultIcon"}) {
        SCOPED_TRACE(field);
        EXPECT_EQ(after[field], before[field]);
    }
}

TEST_F(ButtonPropertiesProgramTest, BrowsedNameTheCodePageLacksIsTakenByItsShortPath)
{
    const wchar_t greek[] = L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac.exe";
    BOOL defaulted = FALSE;
    char narrow[64]{};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, greek, -1, narrow, sizeof narrow, nullptr, &defaulted);
    if (!defaulted)
        GTEST_SKIP() << "code page " << GetACP() << " holds Greek letters";
    const std::wstring folder(m_folder.begin(), m_folder.end());
    const std::wstring program = folder + L"\\" + greek;
    ASSERT_TRUE(CopyFileW(std::wstring(m_program.begin(), m_program.end()).c_str(), program.c_str(), FALSE));

    StartProgram();
    HWND sheet = AddBlank(kAddFile);
    ASSERT_NE(sheet, nullptr);
    HWND target = Page(sheet, 1);
    Click(target, kFileBrowse);
    HWND open = driver::WaitForWindow("#32770", "Open", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(open, nullptr);
    HWND name = GetDlgItem(open, cmb13) ? GetDlgItem(open, cmb13) : GetDlgItem(open, edt1);
    ASSERT_NE(name, nullptr);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(program.c_str()));
    ASSERT_TRUE(driver::PressButton(open, IDOK));
    ASSERT_TRUE(driver::WaitForWindowGone(open));

    // The field holds the short path, in letters the toolbar file can keep.
    const std::string shown = driver::ControlText(GetDlgItem(target, kFile));
    EXPECT_EQ(shown.find('?'), std::string::npos) << shown;
    wchar_t longPath[MAX_PATH]{};
    const std::wstring shownWide(shown.begin(), shown.end());
    ASSERT_GT(GetLongPathNameW(shownWide.c_str(), longPath, MAX_PATH), 0u) << shown;
    EXPECT_EQ(lstrcmpiW(longPath, program.c_str()), 0) << shown;
    ASSERT_TRUE(End(sheet, IDOK));
    ASSERT_TRUE(driver::WaitUntil([&] { return FirstButton(m_toolbar) != nullptr; }));
    PostMessageA(m_toolbar, WM_COMMAND, kSaveCommand, 0);
    Settle(1000);
    const nlohmann::json saved = SavedButton();
    EXPECT_EQ(saved.value("fileName", ""), shown) << saved.dump();
    EXPECT_GT(saved.value("itemIdBytes", 0), 0) << saved.dump();
    EXPECT_EQ(saved.value("description", "?").find('?'), std::string::npos) << saved.dump();

    // The button starts the program by that path.
    HWND button = FirstButton(m_toolbar);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    const std::wstring output = program + L".out";
    EXPECT_TRUE(
        driver::WaitUntil([&] { return GetFileAttributesW(output.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
}

TEST_F(ButtonPropertiesProgramTest, OnlyOneSheetInTheWholeProgram)
{
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddProgramButton());
    HWND sheet = OpenProperties();
    ASSERT_NE(sheet, nullptr);
    // Neither the button again nor an add command opens a second one.
    PostMessageA(FirstButton(m_toolbar), WM_COMMAND, kPropertiesCommand, 0);
    PostMessageA(m_toolbar, WM_COMMAND, kAddFolder, 0);
    Settle(1000);
    EXPECT_EQ(CountTopWindows("#32770", kSheetCaption, m_lintel->Id()), 1);
    EXPECT_EQ(driver::CountChildWindows(m_toolbar, "CToolButtonWindow"), 1);
    ASSERT_TRUE(End(sheet, IDCANCEL));
}

TEST_F(ButtonPropertiesProgramTest, ToolbarStaysWhileOneOfItsButtonSheetsIsOpen)
{
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddProgramButton());
    HWND sheet = OpenProperties();
    ASSERT_NE(sheet, nullptr);
    // The close is refused outright, with no save question on the way (the
    // button would be freed under its pages), and the sheet that keeps the
    // toolbar comes to the front.
    HWND elsewhere = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    const int dialogs = CountTopWindows("#32770", nullptr, m_lintel->Id());
    PostMessageA(m_toolbar, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return GetForegroundWindow() == sheet; }));
    Settle(500);
    DestroyWindow(elsewhere);
    EXPECT_TRUE(IsWindow(m_toolbar));
    EXPECT_TRUE(IsWindowVisible(sheet));
    EXPECT_EQ(CountTopWindows("#32770", nullptr, m_lintel->Id()), dialogs);

    // The sheet still edits a live button, and once it has gone the toolbar
    // closes as ever, saving what the sheet changed.
    SetDlgItemTextA(Page(sheet, 0), kDescription, "Kept");
    ASSERT_TRUE(End(sheet, IDOK));
    PostMessageA(m_toolbar, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::WaitForWindowGone(m_toolbar));
    EXPECT_TRUE(m_lintel->IsRunning());
    EXPECT_EQ(SavedButton().value("description", ""), "Kept");
}

TEST_F(ButtonPropertiesProgramTest, AddressPageRefusesBlankAndEmptyAddresses)
{
    StartProgram();
    HWND sheet = AddBlank(kAddAddress);
    ASSERT_NE(sheet, nullptr);
    HWND target = Page(sheet, 1);
    // An address has no parameters, start-in or file to browse for.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(target, kFile)));
    for (int control : {kFileBrowse, kParameters, kStartIn, kFolderBrowse}) {
        SCOPED_TRACE(control);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(target, control)));
    }
    for (const char* address : {"", "www.example .com", " "}) {
        SCOPED_TRACE(address);
        SetDlgItemTextA(target, kFile, address);
        EXPECT_EQ(RefusalOnLeaving(sheet, 0, kSheetCaption), "You must enter a valid filename.");
        EXPECT_EQ(CurrentPage(sheet), target);
    }
    SetDlgItemTextA(target, kFile, "www.example.com");
    ASSERT_TRUE(End(sheet, IDOK));
    const nlohmann::json saved = SavedButtonAtExit();
    EXPECT_EQ(saved.value("kind", 0), 6);
    EXPECT_EQ(saved.value("fileName", ""), "www.example.com");
    EXPECT_EQ(saved.value("fileSystem", true), false);
}

TEST_F(ButtonPropertiesProgramTest, BlankTargetsThatAreNotThereAreRefused)
{
    StartProgram();
    const std::string missing = m_folder + "\\no such folder";
    struct Case {
        UINT command;
        const char* file;
        std::string startIn;
        const char* want;
    };
    const Case cases[] = {
        {kAddFile, "", "", "You must enter a valid filename."},
        {kAddFile, "target.exe", missing, "The default folder does not exist."},
        {kAddFolder, "", "", "You must enter a valid filename."},
        {kAddFolder, "C:\\no such folder", "", "The default folder does not exist."},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        HWND sheet = AddBlank(cases[i].command);
        ASSERT_NE(sheet, nullptr);
        HWND target = Page(sheet, 1);
        SetDlgItemTextA(target, kFile, cases[i].file);
        if (IsWindowEnabled(GetDlgItem(target, kStartIn)))
            SetDlgItemTextA(target, kStartIn, cases[i].startIn.c_str());
        EXPECT_EQ(RefusalOnLeaving(sheet, 2, kSheetCaption), cases[i].want);
        EXPECT_EQ(CurrentPage(sheet), target);
        // Cancelled, the blank button goes again.
        ASSERT_TRUE(End(sheet, IDCANCEL));
        EXPECT_TRUE(driver::WaitUntil([&] { return FirstButton(m_toolbar) == nullptr; }));
    }
}

TEST_F(ButtonPropertiesProgramTest, OkAgainWhileTheRefusalIsUpIsRefusedOnce)
{
    StartProgram();
    HWND sheet = AddBlank(kAddFile);
    ASSERT_NE(sheet, nullptr);
    HWND target = Page(sheet, 1);
    SetDlgItemTextA(target, kFile, "");
    ASSERT_TRUE(driver::PressButton(sheet, IDOK));
    HWND box = nullptr;
    const auto refusalBox = [&] {
        for (HWND found = FindWindowExA(nullptr, nullptr, "#32770", kSheetCaption); found;
             found = FindWindowExA(nullptr, found, "#32770", kSheetCaption)) {
            if (found != sheet && driver::WindowProcess(found) == m_lintel->Id() && IsWindowVisible(found))
                return found;
        }
        return HWND{};
    };
    ASSERT_TRUE(driver::WaitUntil([&] { return (box = refusalBox()) != nullptr; }));
    // OK pressed again, by the button and by the sheet's own message, while
    // the page is still saying why it refused the first.
    driver::PressButton(sheet, IDOK);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    Settle(1000);
    EXPECT_EQ(refusalBox(), box) << "a second refusal over the first";
    EXPECT_EQ(driver::MessageBoxText(box), "You must enter a valid filename.");
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box));
    Settle(1000);
    EXPECT_EQ(refusalBox(), nullptr);
    ASSERT_TRUE(IsWindow(sheet));
    EXPECT_EQ(CurrentPage(sheet), target);

    // The sheet still takes a target and keeps the button.
    SetDlgItemTextA(target, kFile, m_program.c_str());
    ASSERT_TRUE(End(sheet, IDOK));
    EXPECT_TRUE(driver::WaitUntil([&] { return FirstButton(m_toolbar) != nullptr; }));
    EXPECT_EQ(SavedButtonAtExit().value("fileName", ""), m_program);
}

TEST_F(ButtonPropertiesProgramTest, IconDialogListsNumericGroupsAndStoresTheChoice)
{
    const std::string library = driver::ProgramFolder() + "\\icon_groups.dll";
    const std::string icon = driver::ProgramFolder() + "\\test-icon.ico";
    const std::string notModule = m_folder + "\\text.dll";
    driver::WriteTextFile(notModule, "not a module at all");
    ASSERT_TRUE(driver::FileExists(library));
    ASSERT_TRUE(driver::FileExists(icon));
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddProgramButton());

    auto openDialog = [&](HWND& sheet) {
        sheet = OpenProperties();
        if (!sheet)
            return HWND{};
        Click(CurrentPage(sheet), kChangeIcon);
        return driver::WaitForWindow("#32770", kIconCaption, driver::kDefaultTimeout, m_lintel->Id());
    };
    // A file typed in is read when the user confirms it.
    auto readFile = [&](HWND dialog, const std::string& path) {
        SetDlgItemTextA(dialog, kIconFile, path.c_str());
        driver::PressButton(dialog, IDOK);
        Settle();
    };
    auto selected = [](HWND dialog) {
        return static_cast<int>(SendDlgItemMessageA(dialog, kIconList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                    LVNI_SELECTED));
    };

    HWND sheet = nullptr;
    HWND dialog = openDialog(sheet);
    ASSERT_NE(dialog, nullptr);
    // Groups 7, 12 and 30 in resource order; the group named by a text is left out.
    readFile(dialog, library);
    EXPECT_EQ(driver::ListViewTexts(GetDlgItem(dialog, kIconList)),
              (std::vector<std::string>{"Icon 1", "Icon 2", "Icon 3"}));
    EXPECT_TRUE(driver::Screenshot("button-properties-icon-dialog"));
    ASSERT_TRUE(driver::ListViewSelect(GetDlgItem(dialog, kIconList), 1));
    driver::PressButton(dialog, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(dialog));
    EXPECT_FALSE(IsTicked(CurrentPage(sheet), kDefaultIcon));
    ASSERT_TRUE(End(sheet, IDOK));
    PostMessageA(m_toolbar, WM_COMMAND, kSaveCommand, 0);
    Settle(1000);
    nlohmann::json saved = SavedButton();
    EXPECT_EQ(saved.value("iconFile", ""), library);
    EXPECT_EQ(saved.value("iconIndex", 0), -12);
    EXPECT_EQ(saved.value("defaultIcon", true), false);

    // Opened again, the dialog shows the button's own icon chosen; a module
    // that is none is refused; an .ico file is its one icon.
    dialog = openDialog(sheet);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::ControlText(GetDlgItem(dialog, kIconFile)), library);
    EXPECT_EQ(selected(dialog), 1);
    SetDlgItemTextA(dialog, kIconFile, notModule.c_str());
    driver::PressButton(dialog, IDOK);
    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, m_lintel->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box),
              "Lintel can only browse icons in 32 bit DLLs or executables. The file you selected is either a 16 bit "
              "file, or is corrupt.");
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box));
    EXPECT_TRUE(IsWindow(dialog));
    readFile(dialog, icon);
    EXPECT_EQ(driver::ListViewTexts(GetDlgItem(dialog, kIconList)), (std::vector<std::string>{"Icon 1"}));
    EXPECT_EQ(selected(dialog), 0);
    driver::PressButton(dialog, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(dialog));
    ASSERT_TRUE(End(sheet, IDOK));
    saved = SavedButtonAtExit();
    EXPECT_EQ(saved.value("iconFile", ""), icon);
    EXPECT_EQ(saved.value("iconIndex", -1), 0);
}

TEST_F(ButtonPropertiesProgramTest, HelpOnAControlNamesTheControlAndItsTable)
{
    CHelpViewerDouble viewer;
    ASSERT_NE(viewer.Window(), nullptr);
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddProgramButton());
    HWND sheet = OpenProperties();
    ASSERT_NE(sheet, nullptr);
    struct Case {
        int page;
        int control;
        DWORD context;
    };
    const Case cases[] = {{0, kDescription, 641}, {0, kChangeIcon, 644}, {2, kShowState, 671}, {2, kAllowDrops, 672}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        HWND page = Page(sheet, cases[i].page);
        HWND control = GetDlgItem(page, cases[i].control);
        viewer.Forget();
        // What the system makes of F1 pressed on a control: the control's
        // default handling turns it into WM_HELP for its page.
        PostMessageA(control, kKeyF1, 0, 0);
        ASSERT_TRUE(driver::WaitUntil([&] { return !viewer.Requests().empty(); }, 5000));
        EXPECT_EQ(viewer.Requests()[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP));
        EXPECT_EQ(viewer.Requests()[0].data, cases[i].context);
        EXPECT_EQ(viewer.Requests()[0].file, "Lintel.hlp>Popup");
        EXPECT_EQ(viewer.Requests()[0].owner, control);
    }
    ASSERT_TRUE(End(sheet, IDCANCEL));
}

TEST_F(ButtonPropertiesProgramTest, DesktopPageStoresTheChosenDesktopAndTheButtonSwitchesToIt)
{
    // A copy of the program with the stand-in library beside it.
    const std::string installed = driver::MakeTempFolder("ButtonPropertiesProgramTest.installed");
    const std::string program = installed + "\\Lintel.exe";
    const std::string library = installed + "\\Mlv95Api.dll";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\Lintel.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\standin\\Mlv95Api.dll").c_str(), library.c_str(), FALSE));
    const std::string log = m_folder + "\\vdesk.log";
    SetEnvironmentVariableA("LINTEL_VDESK_LOG", log.c_str());
    SetEnvironmentVariableA("LINTEL_VDESK_GRID", "3,2");

    StartProgram(program);
    HWND sheet = AddBlank(kAddFile);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(PageCount(sheet), 4);
    SetDlgItemTextA(Page(sheet, 1), kFile, m_program.c_str());
    HWND desktop = Page(sheet, 3);
    ASSERT_NE(desktop, nullptr);
    HWND chooser = GetDlgItem(desktop, kChooser);
    EXPECT_EQ(driver::ClassName(chooser), "MultivaControlClass");
    EXPECT_TRUE(IsTicked(desktop, kCurrentDesktop));
    SendDlgItemMessageA(desktop, kCurrentDesktop, BM_CLICK, 0, 0);
    // The bottom right cell of the 3 x 2 grid, by a click.
    RECT client{};
    GetClientRect(chooser, &client);
    PostMessageA(chooser, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, client.bottom - 2));
    PostMessageA(chooser, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, client.bottom - 2));
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return static_cast<DWORD>(SendMessageA(chooser, kChooserGetCell, 0, 0)) == MAKELONG(2, 1); }, 3000));
    Settle();
    EXPECT_TRUE(driver::Screenshot("button-properties-desktop"));
    EXPECT_TRUE(HasModule(m_lintel->Id(), "Mlv95Api.dll"));
    ASSERT_TRUE(End(sheet, IDOK));
    // The library goes with the sheet.
    EXPECT_TRUE(driver::WaitUntil([&] { return !HasModule(m_lintel->Id(), "Mlv95Api.dll"); }, 3000));
    const std::vector<std::string> sheetCalls = driver::ReadLines(log);
    EXPECT_TRUE(driver::HasLine(sheetCalls, "Initialise()"));
    EXPECT_TRUE(driver::HasLine(sheetCalls, "GetGridSize()"));

    // Started, the button moves to its desktop before its target runs.
    DeleteFileA(log.c_str());
    const std::string output = m_program + ".out";
    HWND button = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (button = FirstButton(m_toolbar)) != nullptr; }));
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(output); }, 5000));
    EXPECT_EQ(driver::ReadLines(log), (std::vector<std::string>{"Attach", "GetScreen()", "MoveToScreen(2, 1)"}));

    const nlohmann::json saved = SavedButtonAtExit();
    EXPECT_EQ(saved.value("useCurrentDesktop", true), false);
    EXPECT_EQ(saved.value("desktopX", 0), 2);
    EXPECT_EQ(saved.value("desktopY", 0), 1);
}

TEST_F(ButtonPropertiesProgramTest, NoDesktopPageWhenTheProductIsNotRunning)
{
    const std::string installed = driver::MakeTempFolder("ButtonPropertiesProgramTest.notrunning");
    const std::string program = installed + "\\Lintel.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\Lintel.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\standin\\Mlv95Api.dll").c_str(),
                          (installed + "\\Mlv95Api.dll").c_str(), FALSE));
    SetEnvironmentVariableA("LINTEL_VDESK_INITIALISE", "0");
    StartProgram(program);
    HWND sheet = AddBlank(kAddAddress);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(PageCount(sheet), 3);
    ASSERT_TRUE(End(sheet, IDCANCEL));
    EXPECT_TRUE(driver::WaitUntil([&] { return !HasModule(m_lintel->Id(), "Mlv95Api.dll"); }, 3000));
}
