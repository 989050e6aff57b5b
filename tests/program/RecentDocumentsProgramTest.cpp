// Recent documents in the real program: shortcuts the shell writes into the
// Recent folder reach the program button of the document's program, and the
// list is saved with the toolbar.
#include "LintelFixture.h"
#include "driver/ToolbarDump.h"
#include "driver/StandIns.h"
#include "driver/ToolbarFiles.h"

#include <nlohmann/json.hpp>
#include <ole2.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

namespace {

constexpr UINT kAddButton = WM_USER + 191;
const char* const kExtension = ".lintrecentdoc";
const char* const kClass = "LintelTest.RecentDoc";

std::string RecentFolder()
{
    char folder[MAX_PATH]{};
    SHGetSpecialFolderPathA(nullptr, folder, CSIDL_RECENT, TRUE);
    return folder;
}

// A shortcut to target, its time stamp set secondsLater than now, as the
// shell writes one when a document is opened (or opened again).
bool WriteShortcut(const std::string& shortcut, const std::string& target, int secondsLater)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        const std::wstring wide(shortcut.begin(), shortcut.end());
        saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    HANDLE handle = CreateFileA(shortcut.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{};
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart += static_cast<ULONGLONG>(secondsLater) * 10000000ull;
    now.dwLowDateTime = time.LowPart;
    now.dwHighDateTime = time.HighPart;
    const bool stamped = SetFileTime(handle, nullptr, nullptr, &now) != FALSE;
    CloseHandle(handle);
    return saved && stamped;
}

BOOL CALLBACK CountButtonWindow(HWND child, LPARAM param)
{
    if (driver::ClassName(child) == "CToolButtonWindow")
        ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int ButtonWindows(HWND toolbar)
{
    int count = 0;
    EnumChildWindows(toolbar, CountButtonWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& line)
{
    size_t count = 0;
    for (const std::string& candidate : lines)
        count += candidate == line;
    return count;
}

} // namespace

class RecentDocumentsProgramTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        m_recent = RecentFolder();
        ASSERT_FALSE(m_recent.empty());
        CreateDirectoryA(m_recent.c_str(), nullptr);
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        for (const std::string& shortcut : m_shortcuts)
            DeleteFileA(shortcut.c_str());
        driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, kClass);
        driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, kExtension);
        OleUninitialize();
        LintelProgramTest::TearDown();
    }
    std::string Shortcut(const std::string& name)
    {
        m_shortcuts.push_back(m_recent + "\\" + name + ".lnk");
        return m_shortcuts.back();
    }
    std::string Document(int number) const
    {
        char name[32];
        snprintf(name, sizeof name, "\\doc%02d%s", number, kExtension);
        return m_folder + name;
    }
    size_t Rebuilds() const { return CountLines(driver::ReadTraceLines(m_trace), "OnTimer(14)"); }
    // Waits for the main window to rebuild the lists after what was written,
    // and for the burst of rebuilds to end.
    bool RebuiltAgain(size_t& seen)
    {
        if (!driver::WaitUntil([&] { return Rebuilds() > seen; }, 10000))
            return false;
        do {
            seen = Rebuilds();
        } while (driver::WaitUntil([&] { return Rebuilds() > seen; }, 1500));
        return true;
    }
    nlohmann::json Dump(const std::string& path)
    {
        return driver::DumpToolbar(path, m_folder);
    }

    std::string m_recent;
    std::string m_trace;
    std::vector<std::string> m_shortcuts;
};

TEST_F(RecentDocumentsProgramTest, ShortcutsInTheRecentFolderReachTheProgramsButtonAndAreSaved)
{
    // A private document type opened by a test program, and a toolbar with a
    // button for that program.
    const std::string program = m_folder + "\\recentprog.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, kExtension, "", kClass));
    const std::string command = std::string(kClass) + "\\shell\\open\\command";
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, command.c_str(), "", ("\"" + program + "\" \"%1\"").c_str()));
    for (int number = 1; number <= 11; ++number)
        driver::WriteTextFile(Document(number), "text");

    // Already in the folder: a shortcut of 0 bytes, which cannot be read.
    std::ofstream(Shortcut("broken")).close();

    RecordValues values;
    values.name = "Recent documents";
    const std::string toolbarFile = m_folder + "\\Recent documents.ltl";
    ASSERT_TRUE(WriteCompoundFile(toolbarFile, FileWith(values, 0x23000)));
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", toolbarFile.c_str());
    m_trace = m_folder + "\\trace.txt";
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", "1"));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile", m_trace.c_str()));

    driver::Process& lintel = Start();
    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(box, nullptr);
    driver::PressButton(box, IDYES);
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(driver::WaitForWindow("CToolbarWindow", values.name.c_str(), driver::kDefaultTimeout, lintel.Id()),
              nullptr);
    HWND toolbarWindow = driver::FindTopWindow("CToolbarWindow", values.name.c_str(), lintel.Id());
    ASSERT_TRUE(driver::PutShellItemsOnClipboard({program}));
    ASSERT_TRUE(PostMessageA(main, kAddButton, GlobalAddAtomA(values.name.c_str()), 0));
    ASSERT_TRUE(driver::WaitUntil([&] { return ButtonWindows(toolbarWindow) == 1; }));

    // Eleven documents opened one after the other: the first drops out.
    size_t rebuilds = 0;
    for (int number = 1; number <= 11; ++number) {
        char name[16];
        snprintf(name, sizeof name, "doc%02d", number);
        ASSERT_TRUE(WriteShortcut(Shortcut(name), Document(number), number));
    }
    ASSERT_TRUE(RebuiltAgain(rebuilds));
    // doc03 opened again: its shortcut is saved over in place.
    ASSERT_TRUE(WriteShortcut(Shortcut("doc03"), Document(3), 30));
    ASSERT_TRUE(RebuiltAgain(rebuilds));
    // doc05 opened again under a second shortcut name: still listed once.
    ASSERT_TRUE(WriteShortcut(Shortcut("doc05 (2)"), Document(5), 40));
    ASSERT_TRUE(RebuiltAgain(rebuilds));

    ASSERT_TRUE(Close(lintel));
    const std::vector<std::string> lines = driver::ReadTraceLines(m_trace);
    EXPECT_TRUE(driver::HasLine(lines, "CRecentMonitor: Thread stopped"));
    EXPECT_FALSE(driver::HasLine(lines, "CRecentMonitor: Monitor thread still going - stopping"));

    const nlohmann::json toolbar = Dump(toolbarFile);
    ASSERT_TRUE(toolbar.is_object()) << "the toolbar was saved at exit";
    ASSERT_EQ(toolbar["buttons"].size(), 1u);
    std::vector<std::string> want;
    for (int number : {5, 3, 11, 10, 9, 8, 7, 6, 4, 2})
        want.push_back(Document(number));
    EXPECT_EQ(toolbar["buttons"][0]["recent"].get<std::vector<std::string>>(), want);
}
