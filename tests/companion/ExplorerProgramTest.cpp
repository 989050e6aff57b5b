// Lintel Explorer.exe started and driven from outside: searches of a prepared
// tree, stopping, the settings it keeps, and the hand-over of found objects
// to the toolbars of the main program (the stand-in, and once the real one).
#include "driver/CompoundFile.h"
#include "driver/Driver.h"
#include "driver/RemoteControls.h"
#include "driver/StandIns.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kExplorerKey = "Software\\Corvane\\Lintel\\Current\\Explorer";
constexpr const char* kRecentKey = "Software\\Corvane\\Lintel\\Current\\Explorer\\Recent";
constexpr const char* kExplorerClass = "LintelExplorerWindow";
constexpr const char* kExplorerTitle = "Lintel Explorer";
constexpr const char* kDoneText = "objects found out of";

constexpr int kList = 101;
constexpr int kToolbar = 102;
constexpr int kFolderCombo = 103;
constexpr int kTypeCombo = 104;
constexpr int kStatus = 105;

constexpr UINT kStart = 10;
constexpr UINT kStop = 11;
constexpr UINT kLargeIcons = 30;
constexpr UINT kDetails = 33;
constexpr UINT kFirstToolbarEntry = 1001;

// The id list of a path as the desktop names it, in the stored form: the
// raw bytes with their terminator.
std::vector<BYTE> IdListBytes(const std::string& path)
{
    std::vector<BYTE> bytes;
    std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHParseDisplayName(wide.c_str(), nullptr, &list, 0, nullptr)) || !list)
        return bytes;
    const UINT size = ILGetSize(list);
    const BYTE* start = reinterpret_cast<const BYTE*>(list);
    bytes.assign(start, start + size);
    CoTaskMemFree(list);
    return bytes;
}

bool SetRecentValue(int number, const std::vector<BYTE>& bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecentKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    char name[16]{};
    wsprintfA(name, "Recent%02d", number);
    const bool set = RegSetValueExA(key, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()))
                     == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// A document type of the test's own, registered as the shell sees types.
constexpr const char* kDocExtension = ".ltxdoc";
constexpr const char* kDocClass = "LintelTestDocument";
constexpr const char* kDocDescription = "Lintel Test Document";

void RegisterTestDocumentType()
{
    const std::string classes = "Software\\Classes\\";
    driver::SetRegistryString(HKEY_LOCAL_MACHINE, (classes + kDocExtension).c_str(), "", kDocClass);
    driver::SetRegistryString(HKEY_LOCAL_MACHINE, (classes + kDocClass).c_str(), "", kDocDescription);
}

// folders: a chain of nested folders under root, each holding the given
// number of documents of the test's type; returns the paths of the documents.
std::vector<std::string> MakeDocumentTree(const std::string& root, int depth, int documentsPerFolder)
{
    std::vector<std::string> documents;
    std::string folder = root;
    for (int level = 0; level < depth; ++level) {
        folder += "\\Level" + std::to_string(level);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < documentsPerFolder; ++i) {
            documents.push_back(folder + "\\Doc" + std::to_string(level) + "_" + std::to_string(i) + kDocExtension);
            driver::WriteTextFile(documents.back(), "document");
        }
    }
    return documents;
}

// A wide tree: width folders at each of two levels.
void MakeWideTree(const std::string& root, int width)
{
    for (int i = 0; i < width; ++i) {
        const std::string outer = root + "\\W" + std::to_string(i);
        CreateDirectoryA(outer.c_str(), nullptr);
        for (int j = 0; j < width; ++j)
            CreateDirectoryA((outer + "\\V" + std::to_string(j)).c_str(), nullptr);
    }
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

class ExplorerProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver::KillProgramsWithWindow(kExplorerClass);
        driver::DeleteRegistryTree(HKEY_CURRENT_USER, kExplorerKey);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override
    {
        if (m_explorer.IsRunning()) {
            if (m_window)
                PostMessageA(m_window, WM_CLOSE, 0, 0);
            if (!m_explorer.WaitForExit(5000))
                m_explorer.Kill();
        }
        OleSetClipboard(nullptr);
        OleUninitialize();
    }

    // Starts the Explorer and finds its window and controls.
    bool StartExplorer(const std::string& arguments = "")
    {
        if (!m_explorer.Start(driver::ProgramFolder() + "\\Lintel Explorer.exe", arguments, m_folder))
            return false;
        m_window = driver::WaitForWindow(kExplorerClass, kExplorerTitle, driver::kDefaultTimeout, m_explorer.Id());
        if (!m_window)
            return false;
        m_list = GetDlgItem(m_window, kList);
        m_toolbar = GetDlgItem(m_window, kToolbar);
        m_folderCombo = GetDlgItem(m_toolbar, kFolderCombo);
        m_typeCombo = GetDlgItem(m_toolbar, kTypeCombo);
        m_status = GetDlgItem(m_window, kStatus);
        return m_list && m_toolbar && m_folderCombo && m_typeCombo && m_status;
    }

    // The recent folders the next start shows: the given paths, first on top.
    void SeedRecentFolders(const std::vector<std::string>& paths)
    {
        int number = 1;
        for (const std::string& path : paths) {
            const std::vector<BYTE> bytes = IdListBytes(path);
            ASSERT_FALSE(bytes.empty()) << path;
            ASSERT_TRUE(SetRecentValue(number++, bytes));
        }
        ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kRecentKey, "NumRecent",
                                             static_cast<DWORD>(paths.size())));
    }

    void Command(UINT id) { PostMessageA(m_window, WM_COMMAND, id, 0); }

    // Every object of the seeded folder: the Control Panel type has no
    // filter, and choosing it puts the Control Panel on top of the recent
    // folders, so the seeded one is chosen again below it.
    void ChooseEveryObjectOfTheSeededFolder()
    {
        Command(3);
        ASSERT_TRUE(driver::WaitUntil([&] { return driver::ControlText(m_typeCombo) == "Control Panel Applets"; }));
        SendMessageA(m_folderCombo, CB_SETCURSEL, 1, 0);
    }

    // "Add selection to" the one toolbar open: the menu is built when it
    // opens, then its entry is carried out.
    void AddSelectionToTheOnlyToolbar()
    {
        SendMessageA(m_window, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(m_window)), 0);
        Command(kFirstToolbarEntry);
    }

    std::string Status() const { return driver::ControlText(m_status); }
    bool SearchDone(DWORD timeoutMs = 30000)
    {
        return driver::WaitUntil([&] { return Status().find(kDoneText) != std::string::npos; }, timeoutMs);
    }
    // The window answers a message within the time.
    bool Answers(DWORD timeoutMs = 1000) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
    }
    bool Closes()
    {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
        return m_explorer.WaitForExit(10000);
    }

    std::vector<std::string> ListedNames() const { return driver::ListViewTexts(m_list, 0); }

    std::string m_folder;
    driver::Process m_explorer;
    HWND m_window = nullptr;
    HWND m_list = nullptr;
    HWND m_toolbar = nullptr;
    HWND m_folderCombo = nullptr;
    HWND m_typeCombo = nullptr;
    HWND m_status = nullptr;
};

TEST_F(ExplorerProgramTest, RegisteredDocumentsOfACheckedTypeAreListedWithTheFinalCounts)
{
    RegisterTestDocumentType();
    const std::string root = m_folder + "\\Tree";
    CreateDirectoryA(root.c_str(), nullptr);
    // Five levels: the two below the third are searched too.
    const std::vector<std::string> documents = MakeDocumentTree(root, 5, 2);
    driver::WriteTextFile(root + "\\Level0\\other.txt", "not a document of the type");
    SeedRecentFolders({root});
    ASSERT_TRUE(StartExplorer());
    EXPECT_EQ(driver::ControlText(m_typeCombo), "Applications");
    EXPECT_EQ(driver::ControlText(m_folderCombo), root);

    // Registered Documents opens the File Types dialog: check the test's type.
    PostMessageA(m_window, WM_COMMAND, 8, 0);
    HWND dialog = driver::WaitForWindow("#32770", "File Types", driver::kDefaultTimeout, m_explorer.Id());
    ASSERT_NE(dialog, nullptr);
    HWND types = GetDlgItem(dialog, 1017);
    const LRESULT index = SendMessageA(types, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(kDocDescription));
    ASSERT_NE(index, LB_ERR);
    RECT item{};
    SendMessageA(types, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    // A press inside the check box, as the user clicks it.
    SendMessageA(types, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, (item.top + item.bottom) / 2));
    SendMessageA(types, WM_LBUTTONUP, 0, MAKELPARAM(8, (item.top + item.bottom) / 2));
    driver::PressButton(dialog, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(dialog));
    EXPECT_EQ(driver::ControlText(m_typeCombo), "Registered Documents");

    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    std::vector<std::string> names = ListedNames();
    std::vector<std::string> expected;
    for (const std::string& document : documents)
        expected.push_back(FileName(document));
    // The shell may leave the extension off a registered type's names.
    for (std::string& name : names) {
        if (name.find('.') == std::string::npos)
            name += kDocExtension;
    }
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    // The Location column holds each object's folder.
    const std::vector<std::string> locations = driver::ListViewTexts(m_list, 1);
    ASSERT_FALSE(locations.empty());
    EXPECT_EQ(locations.front().rfind(root, 0), 0u) << locations.front();
    // "10 objects found out of N objects" with N counting every object looked at.
    const std::string status = Status();
    EXPECT_EQ(status.rfind(std::to_string(documents.size()) + " objects found out of ", 0), 0u) << status;
    EXPECT_TRUE(Closes());
}

TEST_F(ExplorerProgramTest, ShortcutOnTheCommandLineSearchesTheStartMenuAtOnce)
{
    char startMenu[MAX_PATH]{};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, startMenu, CSIDL_STARTMENU, TRUE));
    const std::string group = std::string(startMenu) + "\\Lintel Test Group";
    CreateDirectoryA(group.c_str(), nullptr);
    // A shortcut to the test program itself.
    {
        IShellLinkA* link = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                               reinterpret_cast<void**>(&link))));
        link->SetPath((driver::ProgramFolder() + "\\echo_args.exe").c_str());
        IPersistFile* file = nullptr;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
        const std::string path = group + "\\Lintel Test Shortcut.lnk";
        std::wstring wide(path.begin(), path.end());
        EXPECT_TRUE(SUCCEEDED(file->Save(wide.c_str(), TRUE)));
        file->Release();
        link->Release();
    }

    ASSERT_TRUE(StartExplorer("Shortcut"));
    ASSERT_TRUE(SearchDone()) << Status();
    EXPECT_EQ(driver::ControlText(m_typeCombo), "Shortcuts");
    EXPECT_EQ(driver::ControlText(m_folderCombo), startMenu);
    const std::vector<std::string> names = ListedNames();
    EXPECT_NE(std::find_if(names.begin(), names.end(),
                           [](const std::string& name) { return name.rfind("Lintel Test Shortcut", 0) == 0; }),
              names.end());
    // The group itself is a folder, not a shortcut.
    EXPECT_EQ(std::find(names.begin(), names.end(), "Lintel Test Group"), names.end());
    DeleteFileA((group + "\\Lintel Test Shortcut.lnk").c_str());
    RemoveDirectoryA(group.c_str());
}

TEST_F(ExplorerProgramTest, StopEndsALongSearchAtOnceAndQuickStartsNeverHang)
{
    const std::string root = m_folder + "\\Wide";
    CreateDirectoryA(root.c_str(), nullptr);
    MakeWideTree(root, 46);   // 46 + 46 * 46 = 2162 folders
    SeedRecentFolders({root});
    ASSERT_TRUE(StartExplorer());
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    ASSERT_EQ(driver::ControlText(m_folderCombo), root);

    Command(kStart);
    // Stopped while it counts the folders or while it walks them.
    ASSERT_TRUE(driver::WaitUntil([&] {
        const std::string status = Status();
        return status.rfind("Searching ", 0) == 0 || status == "Initializing...";
    })) << Status();
    const DWORD before = GetTickCount();
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(m_window, WM_COMMAND, kStop, 0, SMTO_NORMAL, 10000, &result));
    const DWORD took = GetTickCount() - before;
    std::printf("stop took %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_LT(took, 5000u);   // a hang bound; the stop itself takes one object's work
    EXPECT_TRUE(SearchDone(5000)) << Status();
    EXPECT_TRUE(Answers());
    // Stop is greyed again and Start enabled.
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ToolbarButtonState(m_toolbar, kStart) & TBSTATE_ENABLED; }));
    EXPECT_FALSE(driver::ToolbarButtonState(m_toolbar, kStop) & TBSTATE_ENABLED);

    // F5 twice, a stop before the thread's first step, and again.
    for (int round = 0; round < 3; ++round) {
        Command(kStart);
        Command(kStart);
        Command(kStop);
        Command(kStart);
        Command(kStop);
    }
    EXPECT_TRUE(Answers(10000));
    EXPECT_TRUE(SearchDone(10000)) << Status();
    EXPECT_TRUE(Closes());
}

TEST_F(ExplorerProgramTest, SettingsAndRecentFoldersLastFromOneRunToTheNext)
{
    const std::string first = m_folder + "\\First";
    const std::string second = m_folder + "\\Second";
    CreateDirectoryA(first.c_str(), nullptr);
    CreateDirectoryA(second.c_str(), nullptr);
    SeedRecentFolders({first, second});
    // A third value whose items run past its end is dropped, not followed.
    ASSERT_TRUE(SetRecentValue(3, {0x40, 0x00, 0x01, 0x02, 0x00, 0x00}));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kRecentKey, "NumRecent", 3));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "Size", MAKELONG(520, 410)));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "ListStyle", 0));

    ASSERT_TRUE(StartExplorer());
    EXPECT_EQ(driver::ComboTexts(m_folderCombo), (std::vector<std::string>{first, second}));
    RECT window{};
    GetWindowRect(m_window, &window);
    EXPECT_EQ(window.right - window.left, 520);
    EXPECT_EQ(window.bottom - window.top, 410);
    EXPECT_EQ(GetWindowLongA(m_list, GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(driver::ToolbarButtonState(m_toolbar, kLargeIcons) & TBSTATE_PRESSED);

    // Details and auto arrange, a new size, and a minimised window at exit:
    // the size kept is the one it is restored to.
    Command(kDetails);
    Command(34);
    SetWindowPos(m_window, nullptr, 0, 0, 600, 380, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(m_window, SW_MINIMIZE);
    ASSERT_TRUE(driver::WaitUntil([&] { return IsIconic(m_window) != FALSE; }));
    ASSERT_TRUE(Closes());

    DWORD value = 0;
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "ListStyle", value));
    EXPECT_EQ(value, static_cast<DWORD>(LVS_REPORT));
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "AutoArrange", value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "Size", value));
    EXPECT_EQ(value, static_cast<DWORD>(MAKELONG(600, 380)));
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kRecentKey, "NumRecent", value));
    EXPECT_EQ(value, 2u);

    // Saved while maximised: the next start takes the default width.
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kExplorerKey, "Size", 0xFFFFFFFF));
    ASSERT_TRUE(StartExplorer());
    EXPECT_EQ(driver::ComboTexts(m_folderCombo), (std::vector<std::string>{first, second}));
    // The default width fits the toolbar: wider than its two combos, no
    // wider than the screen.
    GetWindowRect(m_window, &window);
    EXPECT_GT(window.right - window.left, 320);
    EXPECT_LE(window.right - window.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(Closes());
}

TEST_F(ExplorerProgramTest, AddSelectionToHandsTheObjectToTheNamedToolbar)
{
    RegisterTestDocumentType();
    const std::string root = m_folder + "\\Hand";
    CreateDirectoryA(root.c_str(), nullptr);
    const std::vector<std::string> documents = MakeDocumentTree(root, 1, 1);
    SeedRecentFolders({root});

    // A protected toolbar's title carries " (P)"; the name handed over has not.
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true, {"Office Tools (P)"}));
    ASSERT_TRUE(StartExplorer());
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    ASSERT_EQ(driver::ControlText(m_folderCombo), root);
    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    const std::vector<std::string> names = ListedNames();
    const auto document = std::find_if(names.begin(), names.end(),
                                       [](const std::string& name) { return name.rfind("Doc0_0", 0) == 0; });
    ASSERT_NE(document, names.end());
    ASSERT_TRUE(driver::ListViewSelect(m_list, static_cast<int>(document - names.begin())));

    AddSelectionToTheOnlyToolbar();
    driver::StandInRecord added;
    ASSERT_TRUE(lintel.WaitForRecord("addbutton", added));
    EXPECT_EQ(added.atomState, driver::StandInRecord::Atom::Read);
    EXPECT_EQ(added.atom, "Office Tools");
    EXPECT_EQ(added.files, std::vector<std::string>{documents.front()});
    EXPECT_TRUE(Closes());
}

TEST_F(ExplorerProgramTest, AToolbarNameTooLongForAnAtomIsRefusedAndNeverMeansSlotZero)
{
    const std::string root = m_folder + "\\Long";
    CreateDirectoryA(root.c_str(), nullptr);
    driver::WriteTextFile(root + "\\item.txt", "x");
    SeedRecentFolders({root});
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true, {std::string(256, 'N')}));
    ASSERT_TRUE(StartExplorer());
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    ASSERT_TRUE(driver::ListViewSelect(m_list, 0));
    AddSelectionToTheOnlyToolbar();
    HWND box = driver::WaitForMessageBox(kExplorerTitle, driver::kDefaultTimeout, m_explorer.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(driver::MessageBoxText(box).find("too long"), std::string::npos);
    driver::PressButton(box, IDOK);
    driver::StandInRecord added;
    EXPECT_FALSE(lintel.WaitForRecord("addbutton", added, 1000));
    EXPECT_TRUE(Closes());
}

TEST_F(ExplorerProgramTest, ScreenshotsAfterASearchInDetailsAndLargeIcons)
{
    RegisterTestDocumentType();
    const std::string root = m_folder + "\\Shots";
    CreateDirectoryA(root.c_str(), nullptr);
    MakeDocumentTree(root, 3, 4);
    SeedRecentFolders({root});
    ASSERT_TRUE(StartExplorer());
    SetWindowPos(m_window, HWND_TOP, 20, 20, 640, 420, SWP_SHOWWINDOW);
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    ASSERT_TRUE(driver::ListViewSelect(m_list, 1));
    Command(kDetails);
    EXPECT_TRUE(driver::Screenshot("explorer-details"));
    Command(kLargeIcons);
    EXPECT_TRUE(driver::Screenshot("explorer-large-icons"));
    EXPECT_TRUE(Closes());
}

namespace {

int ButtonWindows(HWND toolbar)
{
    return driver::CountChildWindows(toolbar, "CToolButtonWindow");
}

} // namespace

TEST_F(ExplorerProgramTest, WithTheRealLintelTheToolbarGainsTheButton)
{
    driver::KillProgramsWithWindow("LintelMainWindow");
    const char* lintelKey = "Software\\Corvane\\Lintel\\Current";
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, lintelKey);
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, lintelKey, "NumToolbars", 0));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, lintelKey, "ShowTips", 0));
    driver::Process lintel;
    ASSERT_TRUE(lintel.Start(driver::ProgramFolder() + "\\Lintel.exe", "", m_folder));
    HWND main = driver::WaitForWindow("LintelMainWindow", "Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(main, nullptr);

    // A toolbar made through the wizard's hand-over: an empty one named "Found".
    RecordBytes data;
    data.Text("Found").U32(0).U32(0).U32(1).U32(0).U32(0);
    CompoundContent content;
    content.streams[L"DATA"] = data.Bytes();
    const std::string dataFile = m_folder + "\\LTLE1.tmp";
    ASSERT_TRUE(WriteCompoundFile(dataFile, content));
    PostMessageA(main, WM_USER + 194, 0, GlobalAddAtomA(dataFile.c_str()));
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Found", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(ButtonWindows(toolbar), 0);

    const std::string root = m_folder + "\\Real";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\Reports").c_str(), nullptr);
    SeedRecentFolders({root});
    ASSERT_TRUE(StartExplorer());
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    ASSERT_EQ(ListedNames(), std::vector<std::string>{"Reports"});
    ASSERT_TRUE(driver::ListViewSelect(m_list, 0));
    AddSelectionToTheOnlyToolbar();
    EXPECT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbar) == 1; })) << ButtonWindows(toolbar);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));
    EXPECT_TRUE(Closes());

    // Closing without saving the toolbar; nothing else is asked.
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, lintelKey, "SaveOnClose", "No"));
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (!lintel.WaitForExit(5000)) {
        while (HWND box = driver::WaitForMessageBox(nullptr, 1000, lintel.Id()))
            driver::PressButton(box, IDNO);
        if (!lintel.WaitForExit(5000))
            lintel.Kill();
    }
}

TEST_F(ExplorerProgramTest, WhatWasCopiedCanStillBePastedAfterTheExplorerEnds)
{
    const std::string root = m_folder + "\\Copied";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\Kept").c_str(), nullptr);
    SeedRecentFolders({root});
    ASSERT_TRUE(StartExplorer());
    ASSERT_NO_FATAL_FAILURE(ChooseEveryObjectOfTheSeededFolder());
    Command(kStart);
    ASSERT_TRUE(SearchDone()) << Status();
    ASSERT_TRUE(driver::ListViewSelect(m_list, 0));
    Command(20);
    ASSERT_TRUE(driver::WaitUntil([] { return IsClipboardFormatAvailable(CF_HDROP) != FALSE; }));
    ASSERT_TRUE(Closes());

    IDataObject* data = nullptr;
    ASSERT_TRUE(SUCCEEDED(OleGetClipboard(&data)));
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_TRUE(SUCCEEDED(data->GetData(&format, &medium)));
    char path[MAX_PATH]{};
    DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, path, sizeof path);
    EXPECT_EQ(std::string(path), root + "\\Kept");
    ReleaseStgMedium(&medium);
    data->Release();
}

TEST_F(ExplorerProgramTest, AboutBoxShowsTheVersionAndAsksLintelForItsOwnWhenItRuns)
{
    for (const bool lintelRuns : {false, true}) {
        SCOPED_TRACE(lintelRuns);
        driver::CompanionStandIn lintel;
        if (lintelRuns) {
            ASSERT_TRUE(lintel.Start(m_folder, true));
        }
        ASSERT_TRUE(StartExplorer());
        Command(41);
        HWND about = driver::WaitForWindow("#32770", "About Lintel Explorer", driver::kDefaultTimeout, m_explorer.Id());
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(driver::ControlText(GetDlgItem(about, 1020)).rfind("Version 2.", 0), 0u);
        HWND button = GetDlgItem(about, 1021);
        EXPECT_EQ(IsWindowEnabled(button) != FALSE, lintelRuns);
        if (lintelRuns) {
            driver::PressButton(about, 1021);
            driver::StandInRecord shown;
            EXPECT_TRUE(lintel.WaitForRecord("showabout", shown));
        } else {
            driver::PressButton(about, IDCANCEL);
        }
        EXPECT_TRUE(driver::WaitForWindowGone(about));
        EXPECT_TRUE(Closes());
    }
}
