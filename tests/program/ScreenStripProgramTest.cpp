// A toolbar that keeps a strip of the screen: what other programs see of it
// through the shell while the toolbar stands, and that it is gone again once
// the toolbar is closed or hidden, or its program ends or is killed.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <shellapi.h>

namespace {

const char* const kToolbarClass = "CToolbarWindow";
constexpr UINT kHideCommand = 106;
constexpr UINT kAutohideCommand = 130;

RECT PrimaryMonitor()
{
    const POINT origin{0, 0};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

// Where a desktop toolbar of this process asking for the top edge would
// start: below every strip other programs keep there.
LONG FreeTop()
{
    HWND probe = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "strip probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    APPBARDATA data{};
    data.cbSize = sizeof data;
    data.hWnd = probe;
    data.uCallbackMessage = WM_APP;
    LONG top = -1;
    if (SHAppBarMessage(ABM_NEW, &data)) {
        data.uEdge = ABE_TOP;
        data.rc = PrimaryMonitor();
        SHAppBarMessage(ABM_QUERYPOS, &data);
        top = data.rc.top;
        SHAppBarMessage(ABM_REMOVE, &data);
    }
    DestroyWindow(probe);
    return top;
}

// Wine's shell keeps the desktop toolbars apart but leaves the work area
// as it is; on Windows the strip also leaves the work area.
bool ShellShrinksWorkArea()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
}

LONG WorkAreaTop()
{
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work.top;
}

} // namespace

class ScreenStripProgramTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        m_freeTop = FreeTop();
        m_workTop = WorkAreaTop();
        RecordValues values;
        values.name = "Strip";
        values.docked = 1;
        values.corner = 5;   // top left
        values.orientation = 2;
        m_path = m_folder + "\\strip.ltl";
        ASSERT_TRUE(WriteCompoundFile(m_path, FileWith(values, 0x23000, 2)));
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
        driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", m_path.c_str());
        driver::SetRegistryDword(HKEY_CURRENT_USER, (std::string(kUserKey) + "\\ScreenStrip").c_str(), m_path.c_str(), 1);
    }

    // Starts the program with the toolbar and waits for its strip.
    HWND StartWithStrip(driver::Process*& lintel)
    {
        lintel = &Start();
        HWND toolbar = driver::WaitForWindow(kToolbarClass, "Strip", driver::kDefaultTimeout, lintel->Id());
        if (!toolbar)
            return nullptr;
        EXPECT_TRUE(driver::WaitUntil([&] { return StripKept(toolbar); }));
        return toolbar;
    }
    // The toolbar stands at the top of the screen and other programs start
    // below it.
    bool StripKept(HWND toolbar) const
    {
        RECT rect{};
        GetWindowRect(toolbar, &rect);
        const bool kept = rect.top == m_freeTop && FreeTop() == rect.bottom;
        return kept && (!ShellShrinksWorkArea() || WorkAreaTop() == rect.bottom);
    }
    bool StripGone() const
    {
        return driver::WaitUntil(
            [&] { return FreeTop() == m_freeTop && (!ShellShrinksWorkArea() || WorkAreaTop() == m_workTop); });
    }

    std::string m_path;
    LONG m_freeTop = 0;
    LONG m_workTop = 0;
};

TEST_F(ScreenStripProgramTest, StripGoesWithTheToolbarHiddenOrClosed)
{
    driver::Process* lintel = nullptr;
    HWND toolbar = StartWithStrip(lintel);
    ASSERT_NE(toolbar, nullptr);
    RECT rect{};
    GetWindowRect(toolbar, &rect);
    EXPECT_GT(rect.bottom - rect.top, 0);
    driver::Screenshot("program-toolbar-screen-strip");

    PostMessageA(toolbar, WM_COMMAND, kHideCommand, 0);
    EXPECT_TRUE(StripGone());

    PostMessageA(toolbar, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::WaitForWindowGone(toolbar));
    EXPECT_TRUE(StripGone());
    EXPECT_TRUE(lintel->IsRunning());
}

TEST_F(ScreenStripProgramTest, StripComesBackWithTheToolbarShownAgain)
{
    driver::Process* lintel = nullptr;
    HWND toolbar = StartWithStrip(lintel);
    ASSERT_NE(toolbar, nullptr);
    PostMessageA(toolbar, WM_COMMAND, kHideCommand, 0);
    EXPECT_TRUE(StripGone());
    // Sent, so that the window is looked at as the command leaves it: any
    // desktop toolbar coming or going (the probe in StripKept does) makes
    // the shell tell the toolbar to take its strip again, and that second
    // placement would cover a window left hidden by the first.
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutA(toolbar, WM_COMMAND, kHideCommand, 0, SMTO_NORMAL, driver::kDefaultTimeout, &answer),
              0);
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_TRUE(driver::WaitUntil([&] { return StripKept(toolbar); }));
    EXPECT_TRUE(IsWindowVisible(toolbar));
}

TEST_F(ScreenStripProgramTest, AutohideGivesTheStripUpAndTakesItBackWhenItEnds)
{
    driver::Process* lintel = nullptr;
    HWND toolbar = StartWithStrip(lintel);
    ASSERT_NE(toolbar, nullptr);
    PostMessageA(toolbar, WM_COMMAND, kAutohideCommand, 0);
    EXPECT_TRUE(StripGone());
    EXPECT_TRUE(IsWindowVisible(toolbar));
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutA(toolbar, WM_COMMAND, kAutohideCommand, 0, SMTO_NORMAL, driver::kDefaultTimeout,
                                  &answer),
              0);
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_TRUE(driver::WaitUntil([&] { return StripKept(toolbar); }));
    EXPECT_TRUE(IsWindowVisible(toolbar));
}

TEST_F(ScreenStripProgramTest, StripGoesWhenTheProgramEnds)
{
    driver::Process* lintel = nullptr;
    ASSERT_NE(StartWithStrip(lintel), nullptr);
    ASSERT_TRUE(Close(*lintel));
    EXPECT_TRUE(StripGone());

    // The option outlives the run: the next start keeps the strip again.
    ASSERT_NE(StartWithStrip(lintel), nullptr);
    ASSERT_TRUE(Close(*lintel));
    EXPECT_TRUE(StripGone());
}

TEST_F(ScreenStripProgramTest, StripGoesWithAKilledProgramsWindow)
{
    // Windows' shell drops a desktop toolbar whose window is gone; Wine's
    // keeps it until the shell restarts, and would hold the strip for the
    // rest of the session.
    if (!ShellShrinksWorkArea())
        GTEST_SKIP() << "Wine's shell keeps the strip of a killed program";
    driver::Process* lintel = nullptr;
    ASSERT_NE(StartWithStrip(lintel), nullptr);
    lintel->Kill();
    EXPECT_TRUE(StripGone());
}

TEST_F(ScreenStripProgramTest, ChoicesOfFilesGoneFromTheirFoldersAreDroppedAtStart)
{
    // A file deleted or renamed by someone else leaves its choice behind; a
    // new file of that name must not find it.  A file on a drive that is
    // away keeps its choice for when the drive comes back.
    const std::string key = std::string(kUserKey) + "\\ScreenStrip";
    const std::string gone = m_folder + "\\deleted.ltl";
    const std::string away = "Q:\\absent folder\\away.ltl";
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, key.c_str(), gone.c_str(), 1));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, key.c_str(), away.c_str(), 1));
    driver::Process* lintel = nullptr;
    ASSERT_NE(StartWithStrip(lintel), nullptr);
    DWORD value = 0;
    EXPECT_FALSE(driver::ReadRegistryDword(HKEY_CURRENT_USER, key.c_str(), gone.c_str(), value));
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, key.c_str(), away.c_str(), value));
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, key.c_str(), m_path.c_str(), value));
    ASSERT_TRUE(Close(*lintel));
    EXPECT_TRUE(StripGone());
}
