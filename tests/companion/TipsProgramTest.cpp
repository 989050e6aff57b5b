// Lintel Tips.exe started and driven from outside: the tip it shows and the
// one it stores for the next run, its help requests and lessons to the
// stand-in main program, the offer to start Lintel, and once the real Lintel.
#include "driver/Driver.h"
#include "driver/RemoteControls.h"
#include "driver/StandIns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kSettingsKey = "Software\\Corvane\\Lintel\\Current";
constexpr const char* kTipsClass = "LintelTipsWindow";
constexpr const char* kTipsTitle = "Lintel Tip of the Day";
constexpr const char* kStartedTitle = "Getting Started";

constexpr int kTipText = 1001;
constexpr int kNextTip = 1002;
constexpr int kWhatsNew = 1003;
constexpr int kMoreInfo = 1004;
constexpr int kShowTips = 1006;
constexpr int kLessonPicture = 20;
constexpr int kLessonText = 30;

constexpr UINT kHelpRequest = WM_USER + 193;
constexpr UINT kCardsClosed = WM_USER + 198;
constexpr unsigned long long kLessonKind = 0x00010001;   // a training card, notify the tips on close

const char* const kNoHelpItem = "unable to display the help item";
const char* const kStartLintel = "Start Lintel now?";
const char* const kLintelFailed = "Failed to start Lintel";

std::string TipsProgram() { return driver::ProgramFolder() + "\\Lintel Tips.exe"; }

// The tips as the program holds them, read from its file: text and help item.
struct Tip {
    std::string text;
    DWORD helpItem = 0;
};

std::vector<Tip> ProgramTips()
{
    std::vector<Tip> tips;
    HMODULE program = LoadLibraryExA(TipsProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program)
        return tips;
    for (int n = 0;; ++n) {
        HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(400 + n), "TIPS");
        if (!found || SizeofResource(program, found) < 2 * sizeof(DWORD))
            break;
        const auto* values = static_cast<const DWORD*>(LockResource(LoadResource(program, found)));
        char text[1024]{};
        LoadStringA(program, values[0], text, sizeof text);
        tips.push_back(Tip{text, values[1]});
    }
    FreeLibrary(program);
    return tips;
}

// The dialogs of a process by what they hold, since the tip dialog, the
// program's message boxes and its hidden window share one title.
struct BoxSearch {
    DWORD process;
    std::string text;   // a message box saying this, or empty
    int control;        // a dialog with this control
    HWND found;
};

BOOL CALLBACK FindBoxProc(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (driver::WindowProcess(window) != search->process || driver::ClassName(window) != "#32770"
        || !IsWindowVisible(window))
        return TRUE;
    const bool matches = search->text.empty()
                             ? GetDlgItem(window, search->control) != nullptr
                             : driver::MessageBoxText(window).find(search->text) != std::string::npos;
    if (matches) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForBox(DWORD process, const std::string& text, int control = 0, DWORD timeoutMs = driver::kDefaultTimeout)
{
    BoxSearch search{process, text, control, nullptr};
    driver::WaitUntil(
        [&] {
            search.found = nullptr;
            EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

// A click on a hot text or picture, as the mouse makes it.
void Click(HWND control)
{
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::string ReadText(const char* name)
{
    std::string value;
    return driver::ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, name, value) ? value : "(none)";
}

} // namespace

class TipsProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver::KillProgramsWithWindow(kTipsClass);
        for (const char* name : {"CurrentTip", "ShowTips", "Lesson1", "Lesson2", "Lesson3", "Lesson4", "Lesson5"})
            driver::DeleteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
        m_tips = ProgramTips();
        ASSERT_GE(m_tips.size(), 2u);
    }
    void TearDown() override
    {
        if (m_program.IsRunning() && !m_program.WaitForExit(2000))
            m_program.Kill();
    }

    bool StartTips(const std::string& arguments = "", const std::string& program = TipsProgram())
    {
        return m_program.Start(program, arguments, m_folder);
    }
    HWND WaitForTipDialog() { return WaitForBox(m_program.Id(), "", kTipText); }
    HWND WaitForStartedDialog()
    {
        return driver::WaitForWindow("#32770", kStartedTitle, driver::kDefaultTimeout, m_program.Id());
    }
    // Closes a dialog with its Close button; the program ends with it.
    bool CloseDialog(HWND dialog)
    {
        driver::PressButton(dialog, IDCANCEL);
        return m_program.WaitForExit();
    }
    DWORD StoredTip() const
    {
        DWORD value = 0xDEAD;
        driver::ReadRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", value);
        return value;
    }
    int TipWithoutHelpItem() const
    {
        for (size_t n = 0; n < m_tips.size(); ++n)
            if (m_tips[n].helpItem == 0)
                return static_cast<int>(n);
        return -1;
    }

    std::string m_folder;
    std::vector<Tip> m_tips;
    driver::Process m_program;
};

TEST_F(TipsProgramTest, TheStoredTipIsShownAndTheNextOneStoredWrappingAfterTheLast)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    const DWORD last = static_cast<DWORD>(m_tips.size() - 1);
    struct Case {
        const char* label;
        bool asText;
        DWORD stored;
        int nextPresses;
        size_t shown;
        DWORD storedAfter;
    };
    const Case cases[] = {
        {"missing", false, 0xFFFF, 0, 0, 1},
        {"second", false, 1, 0, 1, 2},
        {"past the end", false, last + 1, 0, 0, 1},
        {"far past the end", false, 100000, 0, 0, 1},
        {"negative", false, 0xFFFFFFFF, 0, 0, 1},
        {"a text", true, 0, 0, 0, 1},
        {"the last", false, last, 0, last, 0},
        {"next after the last", false, last, 1, 0, 1},
        {"next twice", false, 0, 2, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.asText) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", "3"));
        } else if (c.stored == 0xFFFF) {
            driver::DeleteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip");
        } else {
            ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", c.stored));
        }
        ASSERT_TRUE(StartTips());
        HWND dialog = WaitForTipDialog();
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < c.nextPresses; ++i)
            driver::PressButton(dialog, kNextTip);
        const std::string want = m_tips[c.shown].text;
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(GetDlgItem(dialog, kTipText)) == want; }))
            << driver::ControlText(GetDlgItem(dialog, kTipText));
        ASSERT_TRUE(CloseDialog(dialog));
        EXPECT_EQ(StoredTip(), c.storedAfter);
    }
}

TEST_F(TipsProgramTest, TheShowTipsSwitchStartsAsStoredAndIsWrittenAsLeft)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    // Missing counts as on; each run clicks the box once.
    for (const DWORD want : {0u, 1u}) {
        SCOPED_TRACE(want);
        ASSERT_TRUE(StartTips());
        HWND dialog = WaitForTipDialog();
        ASSERT_NE(dialog, nullptr);
        HWND box = GetDlgItem(dialog, kShowTips);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), want ? BST_UNCHECKED : BST_CHECKED);
        SendMessageA(box, BM_CLICK, 0, 0);
        ASSERT_TRUE(CloseDialog(dialog));
        DWORD stored = 7;
        EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "ShowTips", stored));
        EXPECT_EQ(stored, want);
    }
}

TEST_F(TipsProgramTest, MoreInfoAndWhatsNewAskLintelForTheirHelpItems)
{
    for (const int answer : {1, 0}) {
        SCOPED_TRACE(answer);
        driver::CompanionStandIn lintel;
        ASSERT_TRUE(lintel.Start(m_folder, true, {}, answer));
        ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", 1));
        ASSERT_NE(m_tips[1].helpItem, 0u);
        ASSERT_TRUE(StartTips());
        HWND dialog = WaitForTipDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(Enabled(dialog, kMoreInfo));
        EXPECT_TRUE(Enabled(dialog, kWhatsNew));

        for (const int button : {kMoreInfo, kWhatsNew}) {
            driver::PressButton(dialog, button);
            driver::StandInRecord request;
            ASSERT_TRUE(lintel.WaitForRecord("helprequest", request));
            EXPECT_EQ(request.wParam, 0u);
            EXPECT_EQ(request.lParam, button == kMoreInfo ? m_tips[1].helpItem : 5u);
            HWND box = WaitForBox(m_program.Id(), kNoHelpItem, 0, answer == 1 ? 500 : driver::kDefaultTimeout);
            EXPECT_EQ(box != nullptr, answer != 1);
            if (box) {
                driver::PressButton(box, IDOK);
                ASSERT_TRUE(driver::WaitForWindowGone(box));
            }
        }
        ASSERT_TRUE(CloseDialog(dialog));
        lintel.Stop();
    }
}

TEST_F(TipsProgramTest, ATipWithoutAHelpItemHasMoreInfoDisabledWhileLintelRuns)
{
    const int plain = TipWithoutHelpItem();
    ASSERT_GE(plain, 0);
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", plain));
    ASSERT_TRUE(StartTips());
    HWND dialog = WaitForTipDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Enabled(dialog, kMoreInfo));
    EXPECT_TRUE(Enabled(dialog, kWhatsNew));
    ASSERT_TRUE(CloseDialog(dialog));
}

TEST_F(TipsProgramTest, WithoutLintelNoDisablesTheHelpButtonsForTheRunAndCancelEndsIt)
{
    driver::KillProgramsWithWindow("LintelMainWindow");
    ASSERT_TRUE(StartTips());
    HWND question = WaitForBox(m_program.Id(), kStartLintel);
    ASSERT_NE(question, nullptr);
    driver::PressButton(question, IDNO);
    HWND dialog = WaitForTipDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(m_tips[0].helpItem, 0u);
    for (int tip = 0; tip < 3; ++tip) {
        SCOPED_TRACE(tip);
        EXPECT_FALSE(Enabled(dialog, kWhatsNew));
        EXPECT_FALSE(Enabled(dialog, kMoreInfo));
        driver::PressButton(dialog, kNextTip);
        driver::WaitUntil([] { return false; }, 100);
    }
    ASSERT_TRUE(CloseDialog(dialog));

    ASSERT_TRUE(StartTips());
    question = WaitForBox(m_program.Id(), kStartLintel);
    ASSERT_NE(question, nullptr);
    driver::PressButton(question, IDCANCEL);
    EXPECT_TRUE(m_program.WaitForExit());
    EXPECT_EQ(FindWindowA(kTipsClass, kTipsTitle), nullptr);
}

TEST_F(TipsProgramTest, YesStartsOnlyTheLintelBesideTheProgramNeverOneInTheCurrentFolder)
{
    driver::KillProgramsWithWindow("LintelMainWindow");
    // A copy of the tip program alone in a folder, started in a folder whose
    // "Lintel.exe" is a program that reports being started.
    const std::string alone = m_folder + "\\Alone";
    const std::string work = m_folder + "\\Work";
    CreateDirectoryA(alone.c_str(), nullptr);
    CreateDirectoryA(work.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(TipsProgram().c_str(), (alone + "\\Lintel Tips.exe").c_str(), FALSE));
    const std::string decoy = work + "\\Lintel.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), decoy.c_str(), FALSE));

    ASSERT_TRUE(m_program.Start(alone + "\\Lintel Tips.exe", "", work));
    HWND question = WaitForBox(m_program.Id(), kStartLintel);
    ASSERT_NE(question, nullptr);
    driver::PressButton(question, IDYES);
    HWND failed = WaitForBox(m_program.Id(), kLintelFailed);
    ASSERT_NE(failed, nullptr);
    driver::PressButton(failed, IDOK);
    EXPECT_TRUE(m_program.WaitForExit());
    EXPECT_FALSE(driver::FileExists(decoy + ".out"));
    EXPECT_EQ(FindWindowA(kTipsClass, kTipsTitle), nullptr);
}

TEST_F(TipsProgramTest, YesWithTheRealLintelLeavesExactlyOneTipWindow)
{
    driver::KillProgramsWithWindow("LintelMainWindow");
    // Lintel starts with no toolbars and with "ShowTips" missing, so its own
    // start-up would start the tip program.
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "NumToolbars", 0));
    ASSERT_TRUE(StartTips());
    HWND question = WaitForBox(m_program.Id(), kStartLintel);
    ASSERT_NE(question, nullptr);
    driver::PressButton(question, IDYES);
    HWND main = driver::WaitForWindow("LintelMainWindow", "Lintel", 20000);
    ASSERT_NE(main, nullptr);
    HWND dialog = WaitForTipDialog();
    ASSERT_NE(dialog, nullptr);
    // Lintel's start-up is over once it answers; a second tip program would
    // have its window within the bound.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer));
    EXPECT_FALSE(driver::WaitUntil([] { return driver::CountTopWindows(kTipsClass, kTipsTitle) > 1; }, 3000));
    EXPECT_EQ(driver::CountTopWindows(kTipsClass, kTipsTitle), 1);
    EXPECT_TRUE(Enabled(dialog, kWhatsNew));
    EXPECT_TRUE(CloseDialog(dialog));

    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "SaveOnClose", "No"));
    const DWORD lintelId = driver::WindowProcess(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (!driver::WaitForWindowGone(main, 5000)) {
        while (HWND box = driver::WaitForMessageBox(nullptr, 1000, lintelId))
            driver::PressButton(box, IDNO);
    }
    EXPECT_TRUE(driver::WaitForWindowGone(main, 5000));
    driver::KillProgramsWithWindow("LintelMainWindow");
    driver::KillProgramsWithWindow(kTipsClass);
}

TEST_F(TipsProgramTest, LessonsAskForTrainingCardsAndAreRememberedAsTaken)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Lesson5", "Yes"));
    ASSERT_TRUE(StartTips("START"));
    HWND dialog = WaitForStartedDialog();
    ASSERT_NE(dialog, nullptr);
    HWND tips = driver::FindTopWindow(kTipsClass, kTipsTitle, m_program.Id());
    ASSERT_NE(tips, nullptr);

    // Lesson 1 by its text, lesson 3 by its picture.
    struct Case { int control; unsigned long long item; };
    for (const Case& c : {Case{kLessonText + 0, 1000}, Case{kLessonPicture + 2, 0}}) {
        SCOPED_TRACE(c.control);
        Click(GetDlgItem(dialog, c.control));
        driver::StandInRecord request;
        ASSERT_TRUE(lintel.WaitForRecord("helprequest", request));
        EXPECT_EQ(request.wParam, kLessonKind);
        EXPECT_EQ(request.lParam, c.item);
        EXPECT_TRUE(driver::WaitUntil([&] { return !IsWindowVisible(dialog); }));
        // The main program reports that the cards closed.
        SendMessageA(tips, kCardsClosed, 0, 0);
        EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
    }
    ASSERT_TRUE(CloseDialog(dialog));
    EXPECT_EQ(ReadText("Lesson1"), "Yes");
    EXPECT_EQ(ReadText("Lesson2"), "No");
    EXPECT_EQ(ReadText("Lesson3"), "Yes");
    EXPECT_EQ(ReadText("Lesson4"), "No");
    EXPECT_EQ(ReadText("Lesson5"), "Yes");
}

TEST_F(TipsProgramTest, TheDialogComesBackWhenLintelGoesAwayMidLesson)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    ASSERT_TRUE(StartTips("START"));
    HWND dialog = WaitForStartedDialog();
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, kLessonText + 1));
    driver::StandInRecord request;
    ASSERT_TRUE(lintel.WaitForRecord("helprequest", request));
    ASSERT_TRUE(driver::WaitUntil([&] { return !IsWindowVisible(dialog); }));
    lintel.Stop();
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
    ASSERT_TRUE(CloseDialog(dialog));
    EXPECT_EQ(ReadText("Lesson2"), "Yes");
}

TEST_F(TipsProgramTest, WithoutTheIntroHelpBesideLintelALessonLeavesTheDialogUp)
{
    // A main program that answers 1 to every lesson from a folder without
    // the intro help: no card will ever close, so nothing would bring the
    // dialog back while it runs.
    const std::string elsewhere = m_folder + "\\NoIntroHelp";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    const std::string standIn = elsewhere + "\\companion_standin.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\companion_standin.exe").c_str(), standIn.c_str(), FALSE));
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(elsewhere, true, {}, 1, standIn));

    ASSERT_TRUE(StartTips("START"));
    HWND dialog = WaitForStartedDialog();
    ASSERT_NE(dialog, nullptr);
    // The requests still go, so that the main program can say help is
    // missing; the second one is taken only after the first lesson's start
    // is over, whatever it did to the dialog.
    auto requests = [&] {
        std::vector<driver::StandInRecord> found;
        for (const driver::StandInRecord& record : lintel.Records())
            if (record.event == "helprequest")
                found.push_back(record);
        return found;
    };
    Click(GetDlgItem(dialog, kLessonText + 3));
    ASSERT_TRUE(driver::WaitUntil([&] { return requests().size() == 1; }));
    Click(GetDlgItem(dialog, kLessonPicture + 4));
    ASSERT_TRUE(driver::WaitUntil([&] { return requests().size() == 2; }));
    for (const driver::StandInRecord& record : requests())
        EXPECT_EQ(record.wParam, kLessonKind);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(lintel.GetProcess().IsRunning());
    ASSERT_TRUE(CloseDialog(dialog));
    EXPECT_EQ(ReadText("Lesson4"), "No");
    EXPECT_EQ(ReadText("Lesson5"), "No");
}

TEST_F(TipsProgramTest, ALessonLintelDoesNotStartShowsTheMessageAndTheDialogStays)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true, {}, 0));
    ASSERT_TRUE(StartTips("START"));
    HWND dialog = WaitForStartedDialog();
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, kLessonText + 0));
    HWND box = WaitForBox(m_program.Id(), kNoHelpItem);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    driver::PressButton(box, IDOK);
    ASSERT_TRUE(driver::WaitForWindowGone(box));
    ASSERT_TRUE(CloseDialog(dialog));
    EXPECT_EQ(ReadText("Lesson1"), "No");
}

TEST_F(TipsProgramTest, ScreenshotsOfTheTipOfTheDayAndGettingStarted)
{
    driver::CompanionStandIn lintel;
    ASSERT_TRUE(lintel.Start(m_folder, true));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Lesson2", "Yes"));
    ASSERT_TRUE(StartTips());
    HWND dialog = WaitForTipDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(driver::Screenshot("tips-tip-of-the-day"));
    ASSERT_TRUE(CloseDialog(dialog));
    ASSERT_TRUE(StartTips("START"));
    dialog = WaitForStartedDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(driver::Screenshot("tips-getting-started"));
    ASSERT_TRUE(CloseDialog(dialog));
}
