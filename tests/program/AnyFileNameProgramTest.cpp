// Targets whose names the ANSI code page cannot write (a Greek program, a CJK
// document and a CJK folder), handed to a toolbar of the real Lintel.exe as
// Explorer hands them: the buttons are saved with short paths and item ids,
// come back at the next start and start their targets when clicked.
#include "ToolbarFilesFixture.h"
#include "driver/ToolbarDump.h"

#include <nlohmann/json.hpp>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kSaveCommand = 107;
constexpr const char* kToolbarName = "Names";
constexpr const char* kDocumentClass = "LintelTest.Names";

const wchar_t kGreek[] = L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac";   // "Ellinika" in Greek letters
const wchar_t kCjkDocument[] = L"\x6587\x6863";                               // "document"
const wchar_t kCjkFolder[] = L"\x6587\x4ef6\x5939";                           // "folder"

bool CodePageHolds(const wchar_t* text)
{
    BOOL defaulted = FALSE;
    char narrow[64]{};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, narrow, sizeof narrow, nullptr, &defaulted);
    return !defaulted;
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1u, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::wstring LongPathOf(const std::string& path)
{
    wchar_t found[MAX_PATH]{};
    const DWORD length = GetLongPathNameW(Wide(path).c_str(), found, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(found) : std::wstring();
}

bool WideFileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

template <typename T>
struct Released {
    void operator()(T* object) const { object->Release(); }
};
template <typename T>
using Held = std::unique_ptr<T, Released<T>>;

struct IdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// The shell's own data object for items of one folder, on the OLE clipboard:
// what Explorer's copy leaves there and its drag hands over.
bool PutShellItemsOnClipboard(const std::wstring& folderPath, const std::vector<std::wstring>& names)
{
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)))
        return false;
    Held<IShellFolder> desktop(rawDesktop);
    std::wstring parsed = folderPath;
    LPITEMIDLIST rawFolderId = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &parsed[0], nullptr, &rawFolderId, nullptr)))
        return false;
    std::unique_ptr<ITEMIDLIST, IdListFree> folderId(rawFolderId);
    IShellFolder* rawFolder = nullptr;
    if (FAILED(desktop->BindToObject(folderId.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&rawFolder))))
        return false;
    Held<IShellFolder> folder(rawFolder);
    std::vector<std::unique_ptr<ITEMIDLIST, IdListFree>> items;
    std::vector<LPCITEMIDLIST> itemIds;
    for (std::wstring name : names) {
        LPITEMIDLIST item = nullptr;
        if (FAILED(folder->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &item, nullptr)))
            return false;
        items.emplace_back(item);
        itemIds.push_back(item);
    }
    IDataObject* rawObject = nullptr;
    if (FAILED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(itemIds.size()), itemIds.data(), IID_IDataObject,
                                     nullptr, reinterpret_cast<void**>(&rawObject))))
        return false;
    Held<IDataObject> object(rawObject);
    return SUCCEEDED(OleSetClipboard(object.get())) && SUCCEEDED(OleFlushClipboard());
}

// Whether the echo program's report (8-bit command line, start folder, then
// the command line as UTF-8) ends with the target, by its long path or by a
// short path that leads there.
bool NamesTarget(const std::vector<std::string>& lines, const std::wstring& target)
{
    if (lines.size() < 3)
        return false;
    auto lastArgument = [](std::string line) {
        while (!line.empty() && (line.back() == '"' || line.back() == ' '))
            line.pop_back();
        const size_t start = line.find_last_of('"');
        return start == std::string::npos ? line.substr(line.find_last_of(' ') + 1) : line.substr(start + 1);
    };
    const std::string& utf8 = lines[2];
    std::wstring wide(utf8.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0u);
    while (!wide.empty() && (wide.back() == L'"' || wide.back() == L' '))
        wide.pop_back();
    if (wide.size() >= target.size() && lstrcmpiW(wide.c_str() + wide.size() - target.size(), target.c_str()) == 0)
        return true;
    return lstrcmpiW(LongPathOf(lastArgument(lines[0])).c_str(), target.c_str()) == 0;
}

struct TitleSearch {
    const wchar_t* text;
    DWORD notOf;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TitleSearch*>(data);
    wchar_t title[512]{};
    if (IsWindowVisible(window) && driver::WindowProcess(window) != search->notOf
        && GetWindowTextW(window, title, 512) && wcsstr(title, search->text)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of another program than the one given, whose
// title holds the text.
HWND WindowTitled(const wchar_t* text, DWORD notOf)
{
    TitleSearch search{text, notOf, nullptr};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The toolbar's button windows in their order on the toolbar.
std::vector<HWND> ButtonWindows(HWND toolbar)
{
    std::vector<HWND> buttons;
    for (HWND child = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr); child;
         child = FindWindowExA(toolbar, child, "CToolButtonWindow", nullptr))
        buttons.push_back(child);
    auto place = [](HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return std::make_pair(rect.top, rect.left);
    };
    std::sort(buttons.begin(), buttons.end(), [&](HWND a, HWND b) { return place(a) < place(b); });
    return buttons;
}

// A click as the button window gets it.  Posted rather than moved there with
// the mouse: under load the second of two clicks in a row went to the button
// clicked first.
void Click(HWND button)
{
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

} // namespace

// The two ways Explorer and the companions hand files over.
enum class HandOver { kShellItems, kFileList };

class AnyFileNameProgramTest : public LintelWithToolbarsTest
{
protected:
    void SetUp() override
    {
        LintelWithToolbarsTest::SetUp();
        if (CodePageHolds(kGreek) || CodePageHolds(kCjkFolder) || CodePageHolds(kCjkDocument))
            GTEST_SKIP() << "code page " << GetACP() << " holds the names";
        // Copies of the echo program stand for the targets: the Greek-named
        // program itself, and the programs that open the document and the
        // folder, which report what they were given.
        const std::wstring echo = Wide(driver::ProgramFolder() + "\\echo_args.exe");
        m_program = Wide(m_folder) + L"\\" + kGreek + L".exe";
        ASSERT_TRUE(CopyFileW(echo.c_str(), m_program.c_str(), FALSE));
        m_documentOpener = m_folder + "\\docopener.exe";
        ASSERT_TRUE(CopyFileW(echo.c_str(), Wide(m_documentOpener).c_str(), FALSE));
        m_document = Wide(m_folder) + L"\\" + kCjkDocument + L".lintname";
        HANDLE document = CreateFileW(m_document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(document, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(document, "x", 1, &written, nullptr);
        CloseHandle(document);
        m_subfolder = Wide(m_folder) + L"\\" + kCjkFolder;
        ASSERT_TRUE(CreateDirectoryW(m_subfolder.c_str(), nullptr));

        // As on Windows, programs are a registered type (a file handed over
        // by its path becomes a button only when its type is registered).
        std::string exeClass;
        if (!driver::ReadRegistryString(HKEY_CLASSES_ROOT, ".exe", "", exeClass)) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, ".exe", "", "exefile"));
            m_exeRegistered = true;
        }
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, ".lintname", "", kDocumentClass));
        const std::string command = std::string(kDocumentClass) + "\\shell\\open\\command";
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, command.c_str(), "",
                                              ("\"" + m_documentOpener + "\" \"%1\"").c_str()));
    }
    void TearDown() override
    {
        driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".lintname");
        if (m_exeRegistered)
            driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, ".exe");
        driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, kDocumentClass);
        // The folder windows are closed, and their program ended if it
        // stays, unless it is the one that shows the desktop.
        DWORD desktopProcess = 0;
        GetWindowThreadProcessId(GetShellWindow() ? GetShellWindow() : GetDesktopWindow(), &desktopProcess);
        for (HWND window : m_folderWindows) {
            const DWORD id = driver::WindowProcess(window);
            PostMessageA(window, WM_CLOSE, 0, 0);
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process)
                continue;
            if (WaitForSingleObject(process, 5000) == WAIT_TIMEOUT && id != desktopProcess)
                TerminateProcess(process, 0);
            CloseHandle(process);
        }
        LintelWithToolbarsTest::TearDown();
    }

    // Hands the three targets over in the form given, saves the toolbar,
    // starts the program again and clicks each button.
    void HandOverSaveReopenAndStart(HandOver form);

    HWND Toolbar() const
    {
        return driver::WaitForWindow("CToolbarWindow", kToolbarName, driver::kDefaultTimeout, m_lintel->Id());
    }

    std::wstring m_program;
    std::wstring m_document;
    std::wstring m_subfolder;
    std::string m_documentOpener;
    std::vector<HWND> m_folderWindows;
    bool m_exeRegistered = false;
};

void AnyFileNameProgramTest::HandOverSaveReopenAndStart(HandOver form)
{
    RecordValues values;
    values.name = kToolbarName;
    values.position = MAKELONG(200, 200);
    StartWith({values});
    HWND toolbar = Toolbar();
    ASSERT_NE(toolbar, nullptr);
    if (form == HandOver::kShellItems) {
        ASSERT_TRUE(PutShellItemsOnClipboard(
            Wide(m_folder), {kGreek + std::wstring(L".exe"), kCjkDocument + std::wstring(L".lintname"), kCjkFolder}));
    } else {
        ASSERT_TRUE(driver::PutFileListOnClipboard({m_program, m_document, m_subfolder}));
    }
    ASSERT_TRUE(PostMessageA(m_main, kAddButton, 0, 0));
    const bool added = driver::WaitUntil([&] { return ButtonWindows(toolbar).size() == 3; }, 10000);
    HWND box = driver::WaitForMessageBox(nullptr, 300, m_lintel->Id());
    EXPECT_EQ(box, nullptr) << driver::MessageBoxText(box);
    ASSERT_TRUE(added) << ButtonWindows(toolbar).size() << " buttons";
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(toolbar, WM_COMMAND, kSaveCommand, 0, SMTO_NORMAL, 30000, &result));

    // The file holds 8-bit short paths that lead back to the long names, the
    // targets' item ids, and descriptions without question marks.
    const nlohmann::json saved = driver::DumpToolbar(FileOf(kToolbarName), m_folder);
    ASSERT_TRUE(saved.is_object() && saved.contains("buttons")) << saved.dump();
    ASSERT_EQ(saved["buttons"].size(), 3u) << saved.dump();
    const std::wstring targets[] = {m_program, m_document, m_subfolder};
    const char* kinds[] = {"program", "program", "folder"};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const nlohmann::json& button = saved["buttons"][i];
        const std::string stored = button.value("fileName", "");
        EXPECT_EQ(button.value("kindName", ""), kinds[i]) << button.dump();
        EXPECT_NE(stored.find('~'), std::string::npos) << stored;
        EXPECT_EQ(stored.find('?'), std::string::npos) << stored;
        EXPECT_EQ(lstrcmpiW(LongPathOf(stored).c_str(), targets[i].c_str()), 0) << stored;
        EXPECT_GT(button.value("itemIdBytes", 0), 0) << button.dump();
        const std::string description = button.value("description", "");
        EXPECT_FALSE(description.empty()) << button.dump();
        EXPECT_EQ(description.find('?'), std::string::npos) << button.dump();
    }
    ASSERT_TRUE(Close(*m_lintel));

    // At the next start the buttons are back, and each starts its target.
    m_lintel = &Start();
    toolbar = Toolbar();
    ASSERT_NE(toolbar, nullptr);
    std::vector<HWND> buttons;
    ASSERT_TRUE(driver::WaitUntil([&] { return (buttons = ButtonWindows(toolbar)).size() == 3; }));

    Click(buttons[0]);
    const std::wstring programOutput = m_program + L".out";
    EXPECT_TRUE(driver::WaitUntil([&] { return WideFileExists(programOutput); }, 15000));

    // The document reaches the program that opens it, named by its long or
    // its short path.
    Click(buttons[1]);
    const std::string output = m_documentOpener + ".out";
    std::vector<std::string> lines;
    EXPECT_TRUE(driver::WaitUntil([&] { return (lines = driver::ReadLines(output)).size() >= 3; }, 15000));
    EXPECT_TRUE(NamesTarget(lines, m_document)) << (lines.empty() ? "<no report>" : lines[0]);

    // The folder opens in a window of the shell's, titled with its name.
    Click(buttons[2]);
    HWND folderWindow = nullptr;
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return (folderWindow = WindowTitled(kCjkFolder, m_lintel->Id())) != nullptr; }, 15000));
    if (folderWindow)
        m_folderWindows.push_back(folderWindow);
    EXPECT_TRUE(m_lintel->IsRunning());
    ASSERT_TRUE(Close(*m_lintel));
}

// Explorer's own data object: the item ids and the wide file list.
TEST_F(AnyFileNameProgramTest, ShellItemsAreSavedReopenedAndStarted)
{
    HandOverSaveReopenAndStart(HandOver::kShellItems);
}

// A wide file list alone: the buttons come from the paths, so the short
// paths' types must be the long names' types.
TEST_F(AnyFileNameProgramTest, WideFileListIsSavedReopenedAndStarted)
{
    HandOverSaveReopenAndStart(HandOver::kFileList);
}
