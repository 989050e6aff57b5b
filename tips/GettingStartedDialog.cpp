#include "GettingStartedDialog.h"

#include "BitmapControl.h"
#include "DialogFonts.h"
#include "TextControl.h"
#include "TipsWindow.h"
#include "../common/Application.h"
#include "../common/ControlMessages.h"
#include "../common/Help.h"
#include "../resources/tips/tips_res.h"

#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLessonColour = RGB(0, 0, 128);
constexpr COLORREF kTakenColour = RGB(0x80, 0x80, 0x80);
// The training cards of the lessons, which Lintel opens for this program.
constexpr char kLessonHelpFile[] = "Lintel Intro.hlp";
// How often a hidden dialog looks whether the main program is still there.
constexpr UINT kWatchIntervalMs = 500;

// The help file the main program plays the lessons' training cards from.
constexpr char kIntroHelpFile[] = "Lintel Intro.hlp";

// The folder of the program that owns the window, or empty when the system
// will not say (QueryFullProcessImageName came with Windows Vista).
std::string ProgramFolderOf(HWND window)
{
    using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto query = reinterpret_cast<QueryImageName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    DWORD processId = 0;
    if (!query || !GetWindowThreadProcessId(window, &processId))
        return std::string();
    constexpr DWORD kQueryLimitedInformation = 0x1000;   // PROCESS_QUERY_LIMITED_INFORMATION
    CHandle process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process)
        return std::string();
    char path[MAX_PATH]{};
    DWORD length = MAX_PATH;
    if (!query(process.Get(), 0, path, &length) || length == 0 || length >= MAX_PATH)
        return std::string();
    const std::string image(path, length);
    const size_t slash = image.find_last_of('\\');
    return slash == std::string::npos ? std::string() : image.substr(0, slash);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Training cards come only from WinHelp, which finds the intro help beside
// the main program or in the Windows help folders.  Without that file the
// main program shows the lesson's topic some other way, or says help is
// missing, and answers as if the cards had started: no report of their
// closing will ever come.  TRUE too when the main program's folder cannot be
// learnt, as the watch on the main window still brings the dialog back.
BOOL TrainingCardsCanPlay(HWND main)
{
    const std::string mainFolder = ProgramFolderOf(main);
    if (mainFolder.empty())
        return TRUE;
    char windows[MAX_PATH]{};
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    std::string windowsFolder = length > 0 && length < MAX_PATH ? std::string(windows, length) : std::string();
    if (!windowsFolder.empty() && windowsFolder.back() == '\\')
        windowsFolder.pop_back();
    std::vector<std::string> folders{mainFolder};
    if (!windowsFolder.empty()) {
        folders.push_back(windowsFolder + "\\Help");
        folders.push_back(windowsFolder);
    }
    for (const std::string& folder : folders) {
        if (FileExists(folder + "\\" + kIntroHelpFile))
            return TRUE;
    }
    return FALSE;
}

} // namespace

CGettingStartedDialog::CGettingStartedDialog(CTipsWindow* window)
    : CDialogBase(IDD_GETTING_STARTED, window), m_window(window), m_settings(AppInstance())
{
}

WPARAM CGettingStartedDialog::LessonRequestKind()
{
    // Low word: a training card; high word: tell this program when it closes.
    return MAKEWPARAM(1, 1);
}

LPARAM CGettingStartedDialog::LessonItem(int lesson)
{
    // With the training cards the later lessons are reached from the first
    // one's cards; the compiled help has no cards, only a topic per lesson.
    if (HelpFileFound(kLessonHelpFile))
        return lesson == 0 ? IDH_FIRST_LESSON : 0;
    return IDH_FIRST_LESSON + lesson;
}

BOOL CGettingStartedDialog::OnInitDialog()
{
    m_background.Reset(CreateSolidBrush(kWhite));
    m_headingFont = MakeDialogFont("Times New Roman", 24, kFontBold);
    m_welcomeFont = MakeDialogFont("Arial", 12, kFontBold | kFontItalic);
    m_hintFont = MakeDialogFont("Arial", 8, kFontItalic);
    m_lessonFont = MakeDialogFont("Times New Roman", 12, kFontBold | kFontUnderline);
    m_titleFont = MakeDialogFont("Times New Roman", 18, kFontBold | kFontItalic);
    m_lessonPicture.Reset(static_cast<HBITMAP>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_LESSON), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    m_takenPicture.Reset(static_cast<HBITMAP>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_LESSON_TAKEN), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    m_hotCursor = LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDC_HOT_CURSOR));

    struct Styled { int id; HFONT font; };
    const Styled texts[] = {{IDC_START_HEADING, m_headingFont.Get()},
                            {IDC_START_WELCOME, m_welcomeFont.Get()},
                            {IDC_START_HINT, m_hintFont.Get()},
                            {IDC_START_LESSONS, m_titleFont.Get()}};
    for (const Styled& styled : texts) {
        if (CTextControl* text = CTextControl::FromHandle(GetDlgItem(Handle(), styled.id))) {
            text->SetFont(styled.font);
            text->SetBackColor(kWhite);
        }
    }

    m_taken = m_settings.ReadLessons();
    for (int lesson = 0; lesson < kLessonCount; ++lesson) {
        if (CTextControl* text = CTextControl::FromHandle(GetDlgItem(Handle(), IDC_LESSON_TEXT + lesson))) {
            text->SetFont(m_lessonFont.Get());
            text->SetBackColor(kWhite);
            text->SetHotCursor(m_hotCursor);
        }
        if (CBitmapControl* picture = CBitmapControl::FromHandle(GetDlgItem(Handle(), IDC_LESSON_PICTURE + lesson))) {
            picture->SetBackColor(kWhite);
            picture->SetHotCursor(m_hotCursor);
        }
        ShowTaken(lesson);
    }
    return TRUE;
}

void CGettingStartedDialog::ShowTaken(int lesson)
{
    if (CTextControl* text = CTextControl::FromHandle(GetDlgItem(Handle(), IDC_LESSON_TEXT + lesson)))
        text->SetTextColor(m_taken[lesson] ? kTakenColour : kLessonColour);
    if (CBitmapControl* picture = CBitmapControl::FromHandle(GetDlgItem(Handle(), IDC_LESSON_PICTURE + lesson)))
        picture->SetBitmap(m_taken[lesson] ? m_takenPicture.Get() : m_lessonPicture.Get());
}

INT_PTR CGettingStartedDialog::DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (message != WM_CTLCOLORDLG)
            SetBkColor(reinterpret_cast<HDC>(first), kWhite);
        return reinterpret_cast<INT_PTR>(m_background.Get());
    case WM_TIMER:
        if (first == kWatchTimer) {
            // The cards report their closing through the main program; when
            // that program is gone no report will come.
            if (!m_lessonMain || !IsWindow(m_lessonMain) || CTipsWindow::FindMainProgram() != m_lessonMain)
                LessonEnded();
            return TRUE;
        }
        return FALSE;
    default:
        return CDialogBase::DialogProc(handle, message, first, second);
    }
}

void CGettingStartedDialog::StartLesson(int lesson)
{
    HWND main = CTipsWindow::FindMainProgram();
    const BOOL cardsCanPlay = main && TrainingCardsCanPlay(main);
    if (!m_window->RequestHelp(LessonRequestKind(), LessonItem(lesson), Handle()) || !cardsCanPlay)
        return;
    m_taken[lesson] = TRUE;
    ShowTaken(lesson);
    m_lessonMain = main;
    ShowWindow(Handle(), SW_HIDE);
    SetTimer(Handle(), kWatchTimer, kWatchIntervalMs, nullptr);
}

void CGettingStartedDialog::LessonEnded()
{
    KillTimer(Handle(), kWatchTimer);
    m_lessonMain = nullptr;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

BOOL CGettingStartedDialog::OnCommand(UINT id, UINT code, HWND control)
{
    if (id >= IDC_LESSON_TEXT && id < IDC_LESSON_TEXT + kLessonCount) {
        StartLesson(static_cast<int>(id - IDC_LESSON_TEXT));
        return TRUE;
    }
    if (id >= IDC_LESSON_PICTURE && id < IDC_LESSON_PICTURE + kLessonCount) {
        StartLesson(static_cast<int>(id - IDC_LESSON_PICTURE));
        return TRUE;
    }
    return CDialogBase::OnCommand(id, code, control);
}

void CGettingStartedDialog::Close(INT_PTR result)
{
    KillTimer(Handle(), kWatchTimer);
    m_settings.WriteLessons(m_taken);
    EndDialog(Handle(), result);
}

BOOL CGettingStartedDialog::OnOK()
{
    Close(IDOK);
    return TRUE;
}

BOOL CGettingStartedDialog::OnCancel()
{
    Close(IDCANCEL);
    return TRUE;
}
