// Where a WinHelp request goes: WinHelp when the .hlp file is there, the
// same context in the compiled HTML help when only the .chm is, and a word to
// the user when neither is.
#include "HelpBackendDouble.h"

#include "common/Help.h"

#include <htmlhelp.h>

#include <gtest/gtest.h>

namespace {

constexpr UINT kTrainingCardFlag = 0x8000;   // HELP_TCARD
const std::string kFolder = CHelpBackendDouble::ProgramFolder();

// A dialog-like window with one control, for help on a control (F1).
class CControlWindow
{
public:
    explicit CControlWindow(int controlId)
    {
        m_window = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        m_control = CreateWindowExA(0, "BUTTON", "control", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), nullptr, nullptr);
    }
    ~CControlWindow() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    HWND Control() const { return m_control; }

private:
    HWND m_window = nullptr;
    HWND m_control = nullptr;
};

} // namespace

TEST(Help, WithTheHelpFileEveryRequestGoesToWinHelpUnchanged)
{
    CHelpBackendDouble help;
    // Found beside the program or, as WinHelp finds it, in the Windows help folder.
    for (const std::string& where : {kFolder + "\\Lintel Intro.hlp", CHelpBackendDouble::WindowsFolder() + "\\Help\\Lintel Intro.hlp"}) {
        SCOPED_TRACE(where);
        help.files = {where, kFolder + "\\Lintel Intro.chm"};
        help.calls.clear();
        // The getting-started lessons keep their training cards.
        EXPECT_TRUE(ShowHelp(nullptr, "Lintel Intro.hlp>Popup", HELP_CONTEXT | kTrainingCardFlag, 511));
        ASSERT_EQ(help.calls.size(), 1u);
        EXPECT_EQ(help.calls[0].kind, "winhelp");
        EXPECT_EQ(help.calls[0].file, "Lintel Intro.hlp>Popup");
        EXPECT_EQ(help.calls[0].command, HELP_CONTEXT | kTrainingCardFlag);
        EXPECT_EQ(help.calls[0].data, 511u);
    }
}

TEST(Help, WithoutTheHelpFileTheCompiledHelpOpensTheSameTopic)
{
    CHelpBackendDouble help;
    help.files = {kFolder + "\\Lintel.chm", kFolder + "\\Lintel Intro.chm"};
    CControlWindow dialog(1101);
    const DWORD controlTable[] = {1100, 610, 1101, 611, 0, 0};
    const struct {
        const char* file;
        HWND owner;
        UINT command;
        ULONG_PTR data;
        const char* chm;
        UINT htmlCommand;
        DWORD_PTR htmlData;
    } cases[] = {
        {"Lintel.hlp>Popup", dialog.Window(), HELP_CONTEXT, 52, "Lintel.chm", HH_HELP_CONTEXT, 52},
        // No topic of its own: the file's default topic, as no map entry is there.
        {"Lintel.hlp>Popup", dialog.Window(), HELP_CONTEXT, 0, "Lintel.chm", HH_DISPLAY_TOPIC, 0},
        {"Lintel.hlp>Popup", dialog.Window(), HELP_FINDER, 0, "Lintel.chm", HH_DISPLAY_TOPIC, 0},
        {"Lintel.hlp>Popup", dialog.Window(), HELP_CONTENTS, 0, "Lintel.chm", HH_DISPLAY_TOPIC, 0},
        // F1 on a control: the control's own context from its dialog's table.
        {"Lintel.hlp>Popup", dialog.Control(), HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(controlTable), "Lintel.chm",
         HH_HELP_CONTEXT, 611},
        {"Lintel.hlp>Popup", dialog.Control(), HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(controlTable),
         "Lintel.chm", HH_HELP_CONTEXT, 611},
        // A lesson without its training card opens the lesson's topic.
        {"Lintel Intro.hlp>Popup", dialog.Window(), HELP_CONTEXT | kTrainingCardFlag, 511, "Lintel Intro.chm",
         HH_HELP_CONTEXT, 511},
        {"Lintel.hlp", dialog.Window(), HELP_QUIT, 0, "Lintel.chm", HH_CLOSE_ALL, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        help.calls.clear();
        EXPECT_TRUE(ShowHelp(cases[i].owner, cases[i].file, cases[i].command, cases[i].data));
        ASSERT_EQ(help.calls.size(), 1u);
        EXPECT_EQ(help.calls[0].kind, "htmlhelp");
        EXPECT_EQ(help.calls[0].command, cases[i].htmlCommand);
        EXPECT_EQ(help.calls[0].data, cases[i].htmlData);
        // The viewer belongs to the dialog, never to the control.
        EXPECT_EQ(help.calls[0].owner, dialog.Window());
        if (cases[i].htmlCommand != HH_CLOSE_ALL) {
            EXPECT_EQ(help.calls[0].file, kFolder + "\\" + cases[i].chm);
        }
    }

    // A control the table does not name, and a viewer that fails.
    CControlWindow other(1200);
    help.calls.clear();
    ShowHelp(other.Control(), "Lintel.hlp>Popup", HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(controlTable));
    ASSERT_EQ(help.calls.size(), 1u);
    EXPECT_EQ(help.calls[0].command, static_cast<UINT>(HH_DISPLAY_TOPIC));
    help.answer = FALSE;
    EXPECT_FALSE(ShowHelp(dialog.Window(), "Lintel.hlp>Popup", HELP_CONTEXT, 52));
}

TEST(Help, WithNeitherFileTheUserIsToldWhereHelpWasExpected)
{
    CHelpBackendDouble help;
    CControlWindow dialog(1101);
    EXPECT_FALSE(ShowHelp(dialog.Window(), "Lintel.hlp>Popup", HELP_CONTEXT, 52));
    ASSERT_EQ(help.calls.size(), 1u);
    EXPECT_EQ(help.calls[0].kind, "missing");
    EXPECT_EQ(help.calls[0].owner, dialog.Window());
    EXPECT_EQ(help.calls[0].file, kFolder + "\\Lintel.hlp|" + kFolder + "\\Lintel.chm");

    // Closing help that never opened says nothing; an empty name asks nothing.
    help.calls.clear();
    ShowHelp(dialog.Window(), "Lintel.hlp>Popup", HELP_QUIT, 0);
    EXPECT_FALSE(ShowHelp(dialog.Window(), ">Popup", HELP_CONTEXT, 52));
    for (const auto& call : help.calls)
        EXPECT_NE(call.kind, "missing");
}

// The real message box, found and answered as a user would: the request
// returns once it is dismissed.
TEST(Help, TheMissingHelpMessageIsAnOrdinaryBoxThatReturns)
{
    CControlWindow dialog(1101);
    struct Finder {
        static DWORD WINAPI Run(void*)
        {
            for (int i = 0; i < 600; ++i) {
                HWND box = FindWindowA("#32770", "Help");
                if (box) {
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                    return 1;
                }
                Sleep(50);
            }
            return 0;
        }
    };
    HANDLE finder = CreateThread(nullptr, 0, &Finder::Run, nullptr, 0, nullptr);
    ASSERT_NE(finder, nullptr);
    EXPECT_FALSE(ShowHelp(dialog.Window(), "No Such Help 7.hlp>Popup", HELP_CONTEXT, 52));
    ASSERT_EQ(WaitForSingleObject(finder, 30000), WAIT_OBJECT_0);
    DWORD found = 0;
    GetExitCodeThread(finder, &found);
    CloseHandle(finder);
    EXPECT_EQ(found, 1u);
}
