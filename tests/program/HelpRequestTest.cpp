// Help requests of the tip program (message 1217) and the training-card
// notifications, answered by a help viewer double so that the real viewer is
// never started.
#include "HelpDouble.h"
#include "LintelFixture.h"

namespace {

constexpr UINT kHelpRequest = WM_USER + 193;
constexpr UINT kTrainingCardClosed = WM_USER + 198;
constexpr UINT kTrainingCardFlag = 0x8000;   // HELP_TCARD
constexpr const char* kHelpFile = "Lintel.hlp>Popup";
constexpr const char* kIntroHelpFile = "Lintel Intro.hlp>Popup";

// Sent, not posted, as the tip program does: its answer is what it checks.
LRESULT SendToProgram(HWND main, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(main, message, wParam, lParam, SMTO_NORMAL, driver::kDefaultTimeout, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

} // namespace

class HelpRequestTest : public LintelProgramTest
{
protected:
    void StartProgram()
    {
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};

TEST_F(HelpRequestTest, PlainHelpOpensTheContextOfTheMainHelpFile)
{
    CHelpViewerDouble viewer;
    ASSERT_NE(viewer.Window(), nullptr);
    StartProgram();

    // The high word (notify the tips) means nothing to plain help.
    const struct {
        WPARAM kind;
        LPARAM context;
    } cases[] = {{0, 52}, {MAKEWPARAM(0, 1), 511}, {0, 0x7FFF0001}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        viewer.Forget();
        EXPECT_EQ(SendToProgram(m_main, kHelpRequest, cases[i].kind, cases[i].context), 1);
        ASSERT_EQ(viewer.Requests().size(), 1u);
        EXPECT_EQ(viewer.Requests()[0].command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_EQ(viewer.Requests()[0].data, static_cast<DWORD>(cases[i].context));
        EXPECT_EQ(viewer.Requests()[0].file, kHelpFile);
        EXPECT_EQ(viewer.Requests()[0].owner, m_main);
    }

    // Help was used, so the program closes the viewer when it ends.
    viewer.Forget();
    ASSERT_TRUE(Close(*m_lintel));
    ASSERT_EQ(viewer.Requests().size(), 1u);
    EXPECT_EQ(viewer.Requests()[0].command, static_cast<UINT>(HELP_QUIT));
    EXPECT_EQ(viewer.Requests()[0].file, kHelpFile);
}

TEST_F(HelpRequestTest, HelpTheViewerRefusedIsNotQuitAtExit)
{
    CHelpViewerDouble viewer(FALSE);
    StartProgram();
    EXPECT_EQ(SendToProgram(m_main, kHelpRequest, 0, 52), 1);
    ASSERT_EQ(viewer.Requests().size(), 1u);
    viewer.Forget();
    ASSERT_TRUE(Close(*m_lintel));
    EXPECT_TRUE(viewer.Requests().empty());
}

// Wine's WinHelp knows no training-card command (HELP_TCARD added to another
// command): it refuses such a request before handing it to any viewer, so
// under Wine no card request reaches the double and no card becomes active.
// What the program does around the cards still shows: the answer, the
// notifications WinHelp would send, and message 1222 to the tip program.
TEST_F(HelpRequestTest, ClosingTheCardsBringsTheTipProgramBackOnlyWhenAsked)
{
    CHelpViewerDouble viewer;
    CTipsWindowStandIn tips;
    ASSERT_NE(tips.Window(), nullptr);
    StartProgram();

    const struct {
        WORD notifyTips;
        WPARAM closing;   // how WinHelp says the cards are done
        bool tipsBack;
    } cases[] = {
        {1, IDCLOSE, true},
        {1, HELP_TCARD_OTHER_CALLER, true},
        {0, IDCLOSE, false},
        {0, HELP_TCARD_OTHER_CALLER, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const size_t before = tips.Messages().size();
        EXPECT_EQ(SendToProgram(m_main, kHelpRequest, MAKEWPARAM(1, cases[i].notifyTips), 700), 1);
        // The next card of the tour, then the end of it.
        EXPECT_EQ(SendToProgram(m_main, WM_TCARD, HELP_TCARD_DATA, 701), 0);
        EXPECT_EQ(SendToProgram(m_main, WM_TCARD, cases[i].closing, 0), 0);
        driver::WaitUntil([] { return false; }, 100);
        ASSERT_EQ(tips.Messages().size(), before + (cases[i].tipsBack ? 1 : 0));
        if (cases[i].tipsBack) {
            EXPECT_EQ(tips.Messages().back().message, kTrainingCardClosed);
            EXPECT_EQ(tips.Messages().back().wParam, 0u);
            EXPECT_EQ(tips.Messages().back().lParam, 0);
        }
        // The card object went with the close: a late notification is ignored.
        EXPECT_EQ(SendToProgram(m_main, WM_TCARD, IDCLOSE, 0), 0);
        EXPECT_EQ(tips.Messages().size(), before + (cases[i].tipsBack ? 1 : 0));
    }

    // Cards alone do not count as help used, so nothing is quit at exit; and
    // whatever card request did get through went to the tour's file.
    ASSERT_TRUE(Close(*m_lintel));
    for (const auto& request : viewer.Requests()) {
        EXPECT_EQ(request.file, kIntroHelpFile);
        EXPECT_NE(request.command & kTrainingCardFlag, 0u);
    }
}

TEST_F(HelpRequestTest, CardNotificationsWithoutACardAreIgnored)
{
    CHelpViewerDouble viewer;
    CTipsWindowStandIn tips;
    StartProgram();
    for (WPARAM action : {static_cast<WPARAM>(HELP_TCARD_DATA), static_cast<WPARAM>(IDCLOSE),
                          static_cast<WPARAM>(HELP_TCARD_OTHER_CALLER)})
        EXPECT_EQ(SendToProgram(m_main, WM_TCARD, action, 701), 0);
    driver::WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(tips.Messages().empty());
    EXPECT_TRUE(viewer.Requests().empty());
}
