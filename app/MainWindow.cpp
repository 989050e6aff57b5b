#include "MainWindow.h"

#include "AboutDialog.h"
#include "MainApp.h"
#include "OptionsSheet.h"
#include "ProgramMenu.h"
#include "../buttons/RecentMonitor.h"
#include "../common/Companions.h"
#include "../common/ControlMessages.h"
#include "../common/Dpi.h"
#include "../common/Help.h"
#include "../common/RegistryKey.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"
#include "../toolbars/OpenProgressDialog.h"
#include "../toolbars/ToolbarSet.h"

#include <shellapi.h>

CMainWindow::CMainWindow(CMainApp* application) : CWindowBase(application, nullptr)
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_CMAINWINDOW);
}

CMainWindow::~CMainWindow()
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_CMAINWINDOW_DTOR);
    m_toolbarSet.reset();
    m_changeMonitor.reset();
}

CMainApp* CMainWindow::App() const
{
    return static_cast<CMainApp*>(Application());
}

namespace {

// What the main window's start reports to the trace.
enum OnCreateResult : unsigned long { kCreated = 1, kCreateNoToolbarSet = 2, kCreateNoTrayIcon = 3 };
// The trace shows 0 for a successful Initialise.
enum InitialiseResult : unsigned long { kInitialised = 0, kInitialiseNoToolbarSet = 2 };

} // namespace

BOOL CMainWindow::OnCreate(HWND)
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_ONCREATE);

    if (!Initialise()) {
        App()->DisplayMessage(nullptr, IDS_MSG_SET_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        trace.Result(TR_ONCREATE_RESULT, kCreateNoToolbarSet);
        return FALSE;
    }
    if (!AddTrayIcon()) {
        App()->DisplayMessage(nullptr, IDS_MSG_TRAY_FAILED, nullptr, MB_OK | MB_ICONSTOP, kCaptionProgramName);
        trace.Result(TR_ONCREATE_RESULT, kCreateNoTrayIcon);
        return FALSE;
    }
    trace.Result(TR_ONCREATE_RESULT, kCreated);
    return TRUE;
}

BOOL CMainWindow::Initialise()
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_INITIALISE);
    m_toolbarSet = std::make_unique<CToolbarSet>(App(), this);
    if (!m_toolbarSet->Initialise()) {
        m_toolbarSet.reset();
        trace.Result(TR_INITIALISE_RESULT, kInitialiseNoToolbarSet);
        return FALSE;
    }

    m_changeMonitor = std::make_unique<CRecentMonitor>(m_toolbarSet.get(), Handle());

    // The tip program starts unless it said otherwise ("ShowTips" = 0), or
    // is open already: it starts this program itself when the user asks it
    // to, and a second copy would show a second tip.
    CText keyName;
    keyName.LoadString(App()->Instance(), IDS_REG_KEY);
    CText valueName;
    valueName.LoadString(App()->Instance(), IDS_REG_SHOW_TIPS);
    CRegistryKey key;
    DWORD showTips = 1;
    if (!key.OpenKey(HKEY_CURRENT_USER, keyName, CRegistryKey::kRead) || !key.GetLongValue(valueName, showTips)
        || showTips != 0) {
        if (!FindWindowA(LINTEL_TIPS_CLASS, "Lintel Tip of the Day"))
            LaunchLTLApp(IDS_REG_TIPS_PATH, IDS_REG_TIPS_EXE, FALSE, nullptr);
    }
    trace.Result(TR_INITIALISE_RESULT, kInitialised);
    return TRUE;
}

void CMainWindow::ShowWindow(int show)
{
    ::ShowWindow(Handle(), show);
    UpdateWindow(Handle());
}

BOOL CMainWindow::OpenFromCommandLine(ATOM atom)
{
    char path[255]{};
    // The atom is ours to delete whatever happens next; a stale one reads as empty.
    const UINT length = atom ? GlobalGetAtomNameA(atom, path, sizeof path) : 0;
    if (atom)
        GlobalDeleteAtom(atom);
    path[length < sizeof path ? length : sizeof path - 1] = 0;
    if (TraceOn())
        LogStringIdText(TR_FILE, path);

    BOOL opened = FALSE;
    if (length > 0 && m_toolbarSet) {
        // The command line arrives as the shell gave it: a file opened from
        // Explorer comes in quotes, which are no part of its name.
        CText file(path);
        while (file.Length() > 0 && *file.At(0) == ' ')
            file.Right(file.Length() - 1);
        while (file.Length() > 0 && *file.At(file.Length() - 1) == ' ')
            file.Left(file.Length() - 1);
        if (file.Length() >= 2 && *file.At(0) == '"' && *file.At(file.Length() - 1) == '"')
            file.Mid(1, file.Length() - 2);
        COpenProgressDialog progress(App());
        progress.Create(Handle());
        opened = m_toolbarSet->AddFromFile(file.c_str(), FALSE, &progress, TRUE);
    }
    if (!opened)
        App()->DisplayMessage(nullptr, IDS_MSG_COMMAND_LINE, nullptr, MB_OK | MB_ICONEXCLAMATION,
                              kCaptionProgramName);
    if (TraceOn())
        LogMethodResult(TR_CMAINWINDOW, TR_OPEN_FROM_CMDLINE_RESULT, opened, FALSE);
    return opened;
}

BOOL CMainWindow::AddTrayIcon()
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UM_TRAYNOTIFY;
    data.hIcon = static_cast<HICON>(LoadImageA(App()->Instance(),
                                               MAKEINTRESOURCEA(m_hidden ? IDI_LINTEL_HIDDEN : IDI_LINTEL),
                                               IMAGE_ICON, 16, 16, LR_SHARED));
    CText tip;
    if (!tip.LoadString(App()->Instance(), IDS_APP_NAME))
        tip = "Lintel";
    // The tray tip held 64 characters on the systems the program was made for.
    lstrcpynA(data.szTip, tip.c_str(), 64);
    return Shell_NotifyIconA(NIM_ADD, &data);
}

BOOL CMainWindow::ModifyTrayIcon(BOOL shown)
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kTrayIconId;
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = static_cast<HICON>(LoadImageA(App()->Instance(),
                                               MAKEINTRESOURCEA(shown ? IDI_LINTEL : IDI_LINTEL_HIDDEN),
                                               IMAGE_ICON, 16, 16, LR_SHARED));
    CText tip;
    if (!tip.LoadString(App()->Instance(), IDS_APP_NAME))
        tip = "Lintel";
    if (!shown) {
        CText minimized;
        if (minimized.LoadString(App()->Instance(), IDS_MINIMIZED))
            tip += minimized;
    }
    lstrcpynA(data.szTip, tip.c_str(), 64);
    return Shell_NotifyIconA(NIM_MODIFY, &data);
}

BOOL CMainWindow::DeleteTrayIcon()
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kTrayIconId;
    return Shell_NotifyIconA(NIM_DELETE, &data);
}

void CMainWindow::ToggleHidden()
{
    if (!m_toolbarSet)
        return;
    if (!m_hidden) {
        ModifyTrayIcon(FALSE);
        m_toolbarSet->HideAll();
        m_hidden = TRUE;
    } else {
        ModifyTrayIcon(TRUE);
        m_toolbarSet->ShowHidden();
        m_hidden = FALSE;
    }
}

BOOL CMainWindow::ShowProgramMenu()
{
    return ::ShowProgramMenu(*this);
}

BOOL CMainWindow::Help(UINT command, ULONG_PTR data, HWND window)
{
    CText helpFile;
    if (!helpFile.LoadString(App()->Instance(), IDS_HELP_FILE))
        return FALSE;
    const BOOL shown = ::ShowHelp(window ? window : Handle(), helpFile.c_str(), command, data);
    if (shown)
        m_helpUsed = TRUE;
    return shown;
}

void CMainWindow::OnTrayNotify(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONUP:
        // A second click within the double-click time toggles the toolbars;
        // a lone click shows the menu once that time has passed.
        if (!m_clickPending) {
            SetTimer(Handle(), kClickTimer, GetDoubleClickTime(), nullptr);
            m_clickPending = TRUE;
        } else {
            KillTimer(Handle(), kClickTimer);
            m_clickPending = FALSE;
            ToggleHidden();
        }
        break;
    case WM_RBUTTONUP:
        ShowProgramMenu();
        break;
    default:
        break;
    }
}

void CMainWindow::OnHotkey(int id)
{
    if (!m_toolbarSet)
        return;
    switch (id) {
    case kMenuHotkey:
        ShowProgramMenu();
        break;
    case kToolbarHotkey:
        m_toolbarSet->ShowCurrent();
        break;
    case kShowAllHotkey:
        m_toolbarSet->ShowAll();
        m_hidden = FALSE;
        ModifyTrayIcon(TRUE);
        break;
    default:
        break;
    }
}

BOOL CMainWindow::OnCommand(UINT id, UINT, HWND)
{
    if (TraceOn())
        LogMethodResult(TR_CMAINWINDOW, TR_ONCOMMAND, id, TRUE);
    switch (id) {
    case MenuCommand::ToggleHidden:
        ToggleHidden();
        return TRUE;
    case MenuCommand::BringToFront:
        if (m_toolbarSet)
            m_toolbarSet->ShowAll();
        m_hidden = FALSE;
        ModifyTrayIcon(TRUE);
        return TRUE;
    case MenuCommand::CloseAll:
        if (m_toolbarSet)
            m_toolbarSet->CloseAll(0);
        return TRUE;
    case MenuCommand::NewToolbar:
        if (m_toolbarSet && !m_toolbarSet->CreateNewToolbar())
            App()->DisplayMessage(nullptr, IDS_MSG_NEW_TOOLBAR_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                  kCaptionProgramName);
        return TRUE;
    case MenuCommand::OpenToolbar:
    case MenuCommand::OtherToolbar:
        if (m_toolbarSet)
            m_toolbarSet->Open();
        return TRUE;
    case MenuCommand::LaunchExplorer:
        LaunchLTLApp(IDS_REG_EXPLORER_PATH, IDS_REG_EXPLORER_EXE, TRUE, nullptr);
        return TRUE;
    case MenuCommand::Options:
        // A second request while the sheet is up does nothing.
        if (m_toolbarSet && !COptionsSheet::IsOpen()) {
            COptionsSheet sheet(m_toolbarSet.get(), this);
            sheet.Run();
        }
        return TRUE;
    case MenuCommand::HelpTopics:
        Help(HELP_FINDER, 0);
        return TRUE;
    case MenuCommand::TipOfTheDay:
        LaunchLTLApp(IDS_REG_TIPS_PATH, IDS_REG_TIPS_EXE, TRUE, nullptr);
        return TRUE;
    case MenuCommand::GettingStarted:
        LaunchLTLApp(IDS_REG_TIPS_PATH, IDS_REG_TIPS_EXE, TRUE, "START");
        return TRUE;
    case MenuCommand::About: {
        CAboutDialog about(this);
        about.DoModal();
        return TRUE;
    }
    case MenuCommand::Exit:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return TRUE;
    default:
        if (TraceOn())
            LogStringId(TR_DEFAULT_COMMAND);
        return m_toolbarSet ? m_toolbarSet->OnCommand(id) : FALSE;
    }
}

BOOL CMainWindow::OnTimer(UINT_PTR timerId)
{
    if (TraceOn())
        LogStringIdNumber(TR_ONTIMER, static_cast<unsigned long>(timerId));
    if (timerId == kClickTimer && m_clickPending) {
        KillTimer(Handle(), kClickTimer);
        m_clickPending = FALSE;
        ShowProgramMenu();
        return TRUE;
    }
    if (timerId == kRefreshTimer && m_refreshPending) {
        KillTimer(Handle(), kRefreshTimer);
        m_refreshPending = FALSE;
        if (m_changeMonitor)
            m_changeMonitor->Rebuild();
        return TRUE;
    }
    return FALSE;
}

BOOL CMainWindow::OnClose()
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_ONCLOSE);
    // Only when every toolbar agreed to close does the program end; a toolbar
    // whose save question was cancelled keeps it running.
    if (!m_toolbarSet || m_toolbarSet->QueryClose())
        DestroyWindow(Handle());
    return TRUE;
}

BOOL CMainWindow::OnDestroy()
{
    CTraceMethod trace(TR_CMAINWINDOW, TR_ONDESTROY);
    if (m_refreshPending) {
        KillTimer(Handle(), kRefreshTimer);
        m_refreshPending = FALSE;
    }
    m_changeMonitor.reset();
    if (m_trainingCard && m_trainingCard->active)
        OnTrainingCard(IDCLOSE, 0);
    if (m_helpUsed) {
        CText helpFile;
        if (helpFile.LoadString(App()->Instance(), IDS_HELP_FILE))
            ::ShowHelp(Handle(), helpFile.c_str(), HELP_QUIT, 0);
    }
    if (m_clickPending) {
        KillTimer(Handle(), kClickTimer);
        m_clickPending = FALSE;
    }
    DeleteTrayIcon();
    PostQuitMessage(0);
    return TRUE;
}

LRESULT CMainWindow::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        return m_toolbarSet ? m_toolbarSet->QueryClose() : TRUE;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
        if (m_toolbarSet)
            m_toolbarSet->ArrangeDocked(nullptr);
        return 0;
    case WM_MEASUREITEM:
        // Control id 0: the owner-drawn program menu.
        if (first == 0 && MeasureProgramMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(second), Dpi::ForWindow(Handle())))
            return TRUE;
        return CWindowBase::WindowProc(message, first, second);
    case WM_DRAWITEM:
        if (first == 0 && DrawProgramMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(second), Dpi::ForWindow(Handle())))
            return TRUE;
        return CWindowBase::WindowProc(message, first, second);
    case WM_HOTKEY:
        OnHotkey(static_cast<int>(first));
        return 0;
    case UM_TRAYNOTIFY:
        OnTrayNotify(static_cast<UINT>(second));
        return 0;
    case UM_OPENFILE:
        OpenFromCommandLine(static_cast<ATOM>(second));
        return 0;
    case UM_RECENTCHANGED:
        if (!m_refreshPending) {
            SetTimer(Handle(), kRefreshTimer, kRefreshDelay, nullptr);
            m_refreshPending = TRUE;
        }
        return 1;
    case UM_ADDBUTTON:
        return OnAddButton(first);
    case UM_SHOWABOUT:
        // The sender waits in SendMessage until the box is closed.
        SendMessageA(Handle(), WM_COMMAND, MenuCommand::About, 0);
        return 1;
    case UM_HELPREQUEST:
        return OnHelpRequest(first, second);
    case WM_TCARD:
        return OnTrainingCard(first, second);
    case UM_CREATETB:
        return OnCreateToolbar(static_cast<ATOM>(second));
    case UM_LIVEHANDLES:
        return OnLiveHandles(first);
    default:
        return CWindowBase::WindowProc(message, first, second);
    }
}
