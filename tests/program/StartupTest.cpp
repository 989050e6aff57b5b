// Lintel.exe started, driven and closed from outside: single instance, the
// previous product's window, the trace question, the tray icon and shutdown.
#include "LintelFixture.h"
#include "QuilletStandIn.h"
#include "driver/CompoundDamage.h"
#include "driver/ToolbarFiles.h"

#include <shellapi.h>

#include <fstream>

namespace {

const char* const kReadFailed =
    "Failed to read file. Check that the file and path exist, and that the file is not corrupted.";
const char* const kCommandLineFailed =
    "The toolbar file specified on the command line could not be opened, or was already open..";
const char* const kStartupFailed =
    "One or more toolbars failed to open at startup. This could be because they have been deleted, or are corrupt.";

// Presses a button of the next message box with the given caption (of one
// process) and returns its text, or "<no box>" when none came.
std::string Answer(const char* caption, int button, DWORD processId = 0)
{
    HWND box = driver::WaitForMessageBox(caption, driver::kDefaultTimeout, processId);
    if (!box)
        return "<no box>";
    std::string text = driver::MessageBoxText(box);
    driver::PressButton(box, button);
    driver::WaitForWindowGone(box, 5000);
    return text;
}

// Whether the tray still knows the icon of a window (the shell accepts a
// change only for an icon it holds).
bool TrayHasIcon(HWND window)
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, "Lintel", sizeof data.szTip);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& line)
{
    size_t count = 0;
    for (const std::string& candidate : lines)
        count += candidate == line;
    return count;
}

} // namespace

TEST_F(LintelProgramTest, SecondStartHandsItsCommandLineToTheFirst)
{
    const std::string trace = m_folder + "\\trace.txt";
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", "1"));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile", trace.c_str()));

    driver::Process& first = Start();
    EXPECT_EQ(Answer("Lintel", IDYES, first.Id()), kLoggingQuestion);
    ASSERT_NE(WaitForMainWindow(first), nullptr);

    // Quotes and blanks arrive exactly as they were given.
    const std::string path = "\"C:\\some folder\\My Bar.ltl\"";
    driver::Process& second = Start(path);
    EXPECT_EQ(Answer("Lintel", IDYES, second.Id()), kLoggingQuestion);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);

    // The running copy tries the file, which does not exist: the read
    // failure, then the command-line message.
    EXPECT_EQ(Answer("Lintel", IDOK, first.Id()), kReadFailed);
    EXPECT_EQ(Answer("Lintel", IDOK, first.Id()), kCommandLineFailed);
    EXPECT_TRUE(first.IsRunning());
    ASSERT_TRUE(Close(first));

    const auto lines = driver::ReadTraceLines(trace);
    EXPECT_TRUE(driver::HasLine(lines, "File=" + path));
    EXPECT_TRUE(driver::HasLine(lines, "Found previous instance"));
    EXPECT_TRUE(driver::HasLine(lines, "Stopping double start"));
    EXPECT_TRUE(driver::HasLine(lines, "Posting message to us to open file"));
    // Only the first copy ever made a main window.
    EXPECT_EQ(CountLines(lines, "Creating main window"), 1u);
}

TEST_F(LintelProgramTest, SecondStartWithoutArgumentsEndsSilently)
{
    driver::Process& first = Start();
    HWND main = WaitForMainWindow(first);
    ASSERT_NE(main, nullptr);

    driver::Process& second = Start();
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 1000, first.Id()));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(driver::FindTopWindow("LintelMainWindow", nullptr), main);
}

TEST_F(LintelProgramTest, CommandLineTooLongForAnAtomGivesMessage44)
{
    driver::Process& first = Start();
    ASSERT_NE(WaitForMainWindow(first), nullptr);

    driver::Process& second = Start("C:\\" + std::string(300, 'x') + ".ltl");
    EXPECT_EQ(Answer("Lintel", IDOK, second.Id()), kCommandLineFailed);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, first.Id()));
}

TEST_F(LintelProgramTest, PreviousProductIsClosedOnlyOnYes)
{
    struct Case {
        int answer;
        bool wantCloseRequest;
    };
    const Case cases[] = {{IDYES, true}, {IDNO, false}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.answer);
        QuilletStandIn quillet;
        ASSERT_NE(quillet.Handle(), nullptr);

        driver::Process& lintel = Start();
        const std::string question = Answer("Lintel", entry.answer, lintel.Id());
        EXPECT_EQ(question.rfind("Quillet, the previous version of Lintel, is already in memory.", 0), 0u) << question;
        ASSERT_NE(WaitForMainWindow(lintel), nullptr);

        // Lintel goes on either way; it only posts a close request on Yes.
        driver::WaitUntil([&] { return quillet.CloseRequested(); }, entry.wantCloseRequest ? 5000 : 1000);
        EXPECT_EQ(quillet.CloseRequested(), entry.wantCloseRequest);
        EXPECT_TRUE(IsWindow(quillet.Handle()));
        EXPECT_TRUE(lintel.IsRunning());
        ASSERT_TRUE(Close(lintel));
    }
}

TEST_F(LintelProgramTest, CloseEndsTheProgramAndRemovesTheTrayIcon)
{
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(driver::WaitUntil([&] { return TrayHasIcon(main); }, 5000));
    driver::Screenshot("startup-tray-icon");

    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(lintel.WaitForExit());
    EXPECT_EQ(lintel.ExitCode(), 0u);
    // Wine's tray also drops the icons of destroyed windows, so under Wine this
    // only guards what the user sees; on Windows a forgotten icon would stay
    // in the notification area until the mouse passes over it.
    EXPECT_FALSE(TrayHasIcon(main));

    // Closing wrote the options and the (empty) list of open toolbars.
    DWORD count = 99;
    std::string value;
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "SaveOnClose", value));
    EXPECT_EQ(value, "Yes");
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar10", value));
    EXPECT_EQ(value, "");
}

TEST_F(LintelProgramTest, TraceSwitchAsksBeforeWriting)
{
    struct Case {
        const char* logging;
        bool asked;
        int answer;
        bool wantTrace;
        const char* wantLoggingAfter;
    };
    const Case cases[] = {
        {"1", true, IDYES, true, "1"},
        {"1", true, IDNO, false, "0"},
        {"0", false, 0, false, "0"},
        {nullptr, false, 0, false, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& entry = cases[i];
        const std::string trace = m_folder + "\\ltllog.txt";
        DeleteFileA(trace.c_str());
        driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, "Logging");
        if (entry.logging) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", entry.logging));
        }

        driver::Process& lintel = Start();
        if (entry.asked) {
            EXPECT_EQ(Answer("Lintel", entry.answer, lintel.Id()), kLoggingQuestion);
        }
        ASSERT_NE(WaitForMainWindow(lintel), nullptr);
        if (!entry.asked) {
            EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));
        }
        ASSERT_TRUE(Close(lintel));

        const auto lines = driver::ReadTraceLines(trace);
        EXPECT_EQ(driver::HasLine(lines, "> CMainApp::Initialise"), entry.wantTrace);
        if (entry.wantTrace) {
            EXPECT_TRUE(driver::HasLine(lines, "< CMainApp::Create=1"));
            EXPECT_TRUE(driver::HasLine(lines, "> CMainWindow::OnClose"));
            EXPECT_TRUE(driver::HasLine(lines, " > SetStringValue(SaveOnClose)"));
        }
        std::string after;
        const bool present = driver::ReadRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", after);
        EXPECT_EQ(present, entry.wantLoggingAfter != nullptr);
        if (entry.wantLoggingAfter) {
            EXPECT_EQ(after, entry.wantLoggingAfter);
        }
    }
}

TEST_F(LintelProgramTest, TraySingleClickWaitsForTheDoubleClickTime)
{
    const std::string trace = m_folder + "\\trace.txt";
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", "1"));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile", trace.c_str()));
    driver::Process& lintel = Start();
    EXPECT_EQ(Answer("Lintel", IDYES, lintel.Id()), kLoggingQuestion);
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    // A double click: two releases well within the double-click time.
    PostMessageA(main, WM_USER + 101, 1, WM_LBUTTONUP);
    PostMessageA(main, WM_USER + 101, 1, WM_LBUTTONUP);
    Sleep(GetDoubleClickTime() + 300);
    EXPECT_FALSE(driver::HasLine(driver::ReadTraceLines(trace), "OnTimer(1)"));

    // A single click: the menu is asked for only once the time has passed.
    PostMessageA(main, WM_USER + 101, 1, WM_LBUTTONUP);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::HasLine(driver::ReadTraceLines(trace), "OnTimer(1)"); },
                                  GetDoubleClickTime() + 2000));
    ASSERT_TRUE(Close(lintel));
}

TEST_F(LintelProgramTest, RecentNotificationsWithinASecondCauseOneRebuild)
{
    const std::string trace = m_folder + "\\trace.txt";
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "Logging", "1"));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile", trace.c_str()));
    driver::Process& lintel = Start();
    EXPECT_EQ(Answer("Lintel", IDYES, lintel.Id()), kLoggingQuestion);
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    const DWORD first = GetTickCount();
    for (int i = 0; i < 3; ++i) {
        SendMessageA(main, WM_USER + 103, 0, 0);
        Sleep(200);
    }
    auto rebuilds = [&] { return CountLines(driver::ReadTraceLines(trace), "OnTimer(14)"); };
    ASSERT_TRUE(driver::WaitUntil([&] { return rebuilds() >= 1; }, 3000));
    const DWORD elapsed = GetTickCount() - first;
    EXPECT_GE(elapsed, 900u);   // about a second after the first notification
    EXPECT_LT(elapsed, 2500u);
    driver::WaitUntil([] { return false; }, 1500);
    EXPECT_EQ(rebuilds(), 1u);
    ASSERT_TRUE(Close(lintel));
}

TEST_F(LintelProgramTest, ToolbarWithBrokenDirectoryLinksDoesNotHoldUpTheStart)
{
    // The directory of this file no longer reaches three of its button
    // storages and loops where they were: looking them up spun for ever.
    const std::string broken = m_folder + "\\Broken links.ltl";
    const std::vector<uint8_t> image = ButtonsCutOffToolbar("Broken links");
    ASSERT_FALSE(image.empty());
    {
        std::ofstream file(broken, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    RecordValues values;
    values.name = "Still here";
    values.position = MAKELONG(300, 200);
    const std::string good = m_folder + "\\good.ltl";
    ASSERT_TRUE(WriteCompoundFile(good, FileWith(values, 0x23000, 2)));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 2));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", broken.c_str()));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar02", good.c_str()));

    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
    // Start-up reports no file on its own: one message, once every file has
    // been tried, says that some failed.
    EXPECT_EQ(Answer("Lintel", IDOK, lintel.Id()), kStartupFailed);
    HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Still here", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_EQ(driver::FindTopWindow("CToolbarWindow", "Broken links", lintel.Id()), nullptr);
    EXPECT_TRUE(driver::WaitUntil([&] { return TrayHasIcon(main); }, 5000));
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, lintel.Id()));
    driver::Screenshot("startup-broken-links-toolbar");

    ASSERT_TRUE(Close(lintel));
    EXPECT_EQ(lintel.ExitCode(), 0u);
    // The file that could not be read is not reopened at the next start.
    std::string first;
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", first));
    EXPECT_EQ(first, good);
}
