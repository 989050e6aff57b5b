// Toolbars of the real program: opened from files at start-up and from the
// command line, placed, hidden and shown, autohidden, and remembered at exit.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

namespace {

const char* const kToolbarClass = "CToolbarWindow";

RECT WorkArea()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

DWORD Style(HWND window)
{
    return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}

} // namespace

class ToolbarProgramTest : public LintelProgramTest
{
protected:
    std::string MakeFile(const std::string& name, const RecordValues& values, int spaces = 0)
    {
        const std::string path = m_folder + "\\" + name;
        EXPECT_TRUE(WriteCompoundFile(path, FileWith(values, 0x23000, spaces)));
        return path;
    }
    void OpenAtStart(const std::vector<std::string>& files)
    {
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", static_cast<DWORD>(files.size()));
        for (size_t i = 0; i < files.size(); ++i) {
            char name[16];
            snprintf(name, sizeof name, "Toolbar%02u", static_cast<unsigned>(i + 1));
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, name, files[i].c_str());
        }
    }
};

TEST_F(ToolbarProgramTest, ToolbarsOpenAtStartWhereTheyWereLeft)
{
    RecordValues floating;
    floating.name = "Floating";
    floating.position = MAKELONG(300, 200);
    RecordValues docked;
    docked.name = "Docked";
    docked.docked = 1;
    docked.corner = 5;   // top left
    docked.orientation = 2;
    OpenAtStart({MakeFile("floating.ltl", floating, 3), MakeFile("docked.ltl", docked, 2)});

    driver::Process& lintel = Start();
    HWND first = driver::WaitForWindow(kToolbarClass, "Floating", driver::kDefaultTimeout, lintel.Id());
    HWND second = driver::WaitForWindow(kToolbarClass, "Docked", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));

    EXPECT_EQ(Style(first) & 0xFFFF0000u & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80CC0000u);
    EXPECT_EQ(Style(second) & 0xFFFF0000u & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x800C0000u);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(WindowRect(first).left, 300);
    EXPECT_EQ(WindowRect(first).top, 200);
    const RECT work = WorkArea();
    EXPECT_EQ(WindowRect(second).left, work.left);
    EXPECT_EQ(WindowRect(second).top, work.top);
    EXPECT_GT(WindowRect(second).right - WindowRect(second).left,
              WindowRect(second).bottom - WindowRect(second).top);   // horizontal
    driver::Screenshot("program-toolbars-floating-and-docked");

    // Closing remembers both files in slot order.
    ASSERT_TRUE(Close(lintel));
    std::string value;
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", value));
    EXPECT_EQ(value, m_folder + "\\floating.ltl");
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar02", value));
    EXPECT_EQ(value, m_folder + "\\docked.ltl");
}

TEST_F(ToolbarProgramTest, MissingEntryStopsReopeningAndFailuresAreReported)
{
    RecordValues first;
    first.name = "First";
    RecordValues fourth;
    fourth.name = "Fourth";
    const std::string firstPath = MakeFile("first.ltl", first);
    const std::string fourthPath = MakeFile("fourth.ltl", fourth);
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 3);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", firstPath.c_str());
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar02", "");                 // skipped
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar04", fourthPath.c_str()); // after the gap

    driver::Process& lintel = Start();
    ASSERT_NE(driver::WaitForWindow(kToolbarClass, "First", driver::kDefaultTimeout, lintel.Id()), nullptr);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 500, lintel.Id()));
    EXPECT_EQ(driver::FindTopWindow(kToolbarClass, "Fourth", lintel.Id()), nullptr);
    ASSERT_TRUE(Close(lintel));

    // A file that is gone is reported once, after the others have opened.
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 2);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar02", (m_folder + "\\gone.ltl").c_str());
    driver::Process& again = Start();
    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, again.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(driver::MessageBoxText(box), "One or more toolbars failed to open at startup. This could be because "
                                          "they have been deleted, or are corrupt.");
    driver::PressButton(box, IDOK);
    EXPECT_NE(driver::WaitForWindow(kToolbarClass, "First", driver::kDefaultTimeout, again.Id()), nullptr);
}

TEST_F(ToolbarProgramTest, SecondStartOpensItsFileInTheFirstAndOnlyOnce)
{
    RecordValues values;
    values.name = "Handed over";
    const std::string path = MakeFile("handed.ltl", values, 1);
    driver::Process& first = Start();
    ASSERT_NE(WaitForMainWindow(first), nullptr);
    for (int attempt = 0; attempt < 2; ++attempt) {
        driver::Process& second = Start("\"" + path + "\"");
        ASSERT_TRUE(second.WaitForExit());
    }
    ASSERT_NE(driver::WaitForWindow(kToolbarClass, "Handed over", driver::kDefaultTimeout, first.Id()), nullptr);
    // The second hand-over found the file open and only brought it forward.
    driver::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(driver::CountTopWindows(kToolbarClass, "Handed over"), 1);
    EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, first.Id()));
}

TEST_F(ToolbarProgramTest, TrayDoubleClickAndShowAllHotkeyHideAndShowToolbars)
{
    RecordValues values;
    values.name = "Toggled";
    OpenAtStart({MakeFile("toggled.ltl", values, 1)});
    driver::Process& lintel = Start();
    HWND main = WaitForMainWindow(lintel);
    HWND toolbar = driver::WaitForWindow(kToolbarClass, "Toggled", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_TRUE(IsWindowVisible(toolbar));

    // A double click on the tray icon hides every toolbar.
    PostMessageA(main, WM_USER + 101, 1, WM_LBUTTONUP);
    PostMessageA(main, WM_USER + 101, 1, WM_LBUTTONUP);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindowVisible(toolbar); }, 3000));
    // The show-all hotkey brings them back (Wine delivers real hotkeys only
    // to a focused window, so the message is posted as the system would).
    PostMessageA(main, WM_HOTKEY, 4, 0);
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(toolbar) != FALSE; }, 3000));
}

TEST_F(ToolbarProgramTest, AutohideToolbarCollapsesAndComesBackUnderTheMouse)
{
    RecordValues values;
    values.name = "Hiding";
    values.position = MAKELONG(400, 300);
    values.autohide = 1;
    OpenAtStart({MakeFile("hiding.ltl", values, 3)});
    driver::MoveMouseTo(900, 600);
    driver::Process& lintel = Start();
    HWND toolbar = driver::WaitForWindow(kToolbarClass, "Hiding", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    // Opened with autohide on, it starts collapsed to its title bar.
    ASSERT_TRUE(driver::WaitUntil([&] { return WindowRect(toolbar).bottom - WindowRect(toolbar).top < 40; }, 3000));
    const RECT collapsed = WindowRect(toolbar);
    driver::Screenshot("program-toolbar-collapsed");

    auto expandedNow = [&] { return WindowRect(toolbar).bottom - WindowRect(toolbar).top > 60; };
    bool expanded = false;
    for (int attempt = 0; attempt < 5 && !expanded; ++attempt) {
        driver::MoveMouseTo(collapsed.left + 10 + attempt, collapsed.top + 5);
        expanded = driver::WaitUntil(expandedNow, 400);
    }
    EXPECT_TRUE(expanded);
    driver::Screenshot("program-toolbar-expanded");

    driver::MoveMouseTo(900, 600);
    EXPECT_TRUE(driver::WaitUntil([&] { return !expandedNow(); }, 1000));
}

namespace {

// Answers every box the process shows for a while: OK where there is one,
// else Yes.  Returns how many were answered.
int AnswerBoxes(DWORD processId, DWORD quietMs)
{
    int answered = 0;
    for (;;) {
        HWND box = driver::WaitForWindow("#32770", nullptr, quietMs, processId);
        if (!box)
            return answered;
        driver::PressButton(box, GetDlgItem(box, IDOK) ? IDOK : IDYES);
        driver::WaitForWindowGone(box, 3000);
        ++answered;
    }
}

} // namespace

TEST_F(ToolbarProgramTest, DamagedFilesNeverBringTheProgramDown)
{
    // Good files with a few bytes changed in their toolbar record.
    RecordValues values;
    values.name = "Damaged";
    driver::Process& lintel = Start();
    ASSERT_NE(WaitForMainWindow(lintel), nullptr);
    uint32_t state = 0x2545F491;
    for (int i = 0; i < 10; ++i) {
        CompoundContent content = FileWith(values, 0x23000, 4);
        std::vector<uint8_t>& record = content.streams[L"TOOLBAR"];
        for (int flips = 0; flips < 3; ++flips) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            record[state % record.size()] ^= static_cast<uint8_t>(state >> 8 | 1);
        }
        if (i % 3 == 0)
            content.storages.erase(L"BUTTON001");
        if (i % 4 == 1)
            record.resize(record.size() / 2);
        const std::string path = m_folder + "\\damaged" + std::to_string(i) + ".ltl";
        ASSERT_TRUE(WriteCompoundFile(path, content));
        driver::Process& second = Start("\"" + path + "\"");
        ASSERT_TRUE(second.WaitForExit());
        AnswerBoxes(lintel.Id(), 700);
        ASSERT_TRUE(lintel.IsRunning()) << i;
    }
    // Closing saves what could be read; a save that fails asks, and Yes closes.
    HWND main = driver::FindTopWindow("LintelMainWindow", nullptr, lintel.Id());
    PostMessageA(main, WM_CLOSE, 0, 0);
    AnswerBoxes(lintel.Id(), 1000);
    EXPECT_TRUE(lintel.WaitForExit());
    EXPECT_EQ(lintel.ExitCode(), 0u);
}

namespace {

void MouseButton(bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void PressKey(WORD key)
{
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

HWND FirstButtonWindow(HWND toolbar)
{
    return FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr);
}

// A program button of a 0x11000 file: the record as the button stores it.
std::vector<uint8_t> ProgramButtonRecord(const std::string& target, const std::string& folder, const std::string& text)
{
    return RecordBytes()
        .U32(2).Text(target).Text(folder).Text(text).U32(1).Text(target).U32(0).U32(0).U32(0).U32(2)
        .Bytes();
}

} // namespace

TEST_F(ToolbarProgramTest, ShortPressStartsAndHoldShowsTheMenuInstead)
{
    const std::string target = m_folder + "\\target.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), target.c_str(), FALSE));
    const std::string output = target + ".out";
    RecordValues values;
    values.name = "Pressing";
    values.position = MAKELONG(300, 250);
    values.count = 1;
    CompoundContent content = FileWith(values, 0x11000);
    content.streams[L"BUTTON000"] = ProgramButtonRecord(target, m_folder, "Target");
    const std::string file = m_folder + "\\pressing.ltl";
    ASSERT_TRUE(WriteCompoundFile(file, content));
    OpenAtStart({file});
    // An old file would ask to be converted first.
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "ConvertOldFiles", "Yes");

    driver::Process& lintel = Start();
    HWND toolbar = driver::WaitForWindow(kToolbarClass, "Pressing", driver::kDefaultTimeout, lintel.Id());
    ASSERT_NE(toolbar, nullptr);
    HWND button = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (button = FirstButtonWindow(toolbar)) != nullptr; }, 3000));
    const RECT rect = WindowRect(button);
    driver::Screenshot("program-toolbar-with-button");

    // A short press starts the program.
    driver::MoveMouseTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    driver::WaitUntil([] { return false; }, 200);
    MouseButton(true);
    driver::WaitUntil([] { return false; }, 100);
    MouseButton(false);
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(output); }, 5000));
    DeleteFileA(output.c_str());

    // Held for half a second it shows the hold menu, and the release starts nothing.
    MouseButton(true);
    HWND menu = driver::WaitForWindow("#32768", nullptr, 3000, lintel.Id());
    EXPECT_NE(menu, nullptr);
    MouseButton(false);
    driver::Screenshot("program-button-hold-menu");
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(driver::WaitUntil([&] { return driver::FileExists(output); }, 1500));
    EXPECT_TRUE(lintel.IsRunning());
}
