#include "ToolbarSet.h"

#include "OpenProgressDialog.h"
#include "../app/MainApp.h"
#include "../app/MainWindow.h"
#include "../common/RegistryKey.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <commctrl.h>

#include <cstdio>

namespace {

BOOL ReadSwitch(CRegistryKey& key, const CText& name, BOOL fallback)
{
    CText value;
    if (!key.GetStringValue(name, value))
        return fallback;
    // Anything but "Yes" (in any letter case) is No.
    return value == "Yes";
}

DWORD ReadNumber(CRegistryKey& key, const CText& name, DWORD fallback)
{
    DWORD value = 0;
    return key.GetLongValue(name, value) ? value : fallback;
}

CText ToolbarValueName(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "Toolbar%02d", number);
    return CText(name);
}

UINT HotkeyModifiers(WORD code)
{
    const BYTE flags = HIBYTE(code);
    UINT modifiers = 0;
    if (flags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    return modifiers;   // the extended-key flag has no meaning for RegisterHotKey
}

} // namespace

CToolbarSet::CToolbarSet(CMainApp* application, CMainWindow* mainWindow)
    : m_application(application), m_mainWindow(mainWindow)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CTOOLBARSET);
}

CToolbarSet::~CToolbarSet()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CTOOLBARSET_DTOR);
}

CText CToolbarSet::RegistryName(UINT id) const
{
    CText name;
    name.LoadString(m_application->Instance(), id);
    return name;
}

BOOL CToolbarSet::Initialise()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_INITIALISE);
    ReadStatusFromRegistry();
    ArrangeDocked(nullptr);
    HotkeysChanged(m_optionsHotkey, m_toolbarHotkey, m_showAllHotkey);
    return TRUE;
}

void CToolbarSet::ReadStatusFromRegistry()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_READ_STATUS);
    CRegistryKey key;
    DWORD numToolbars = 0;
    if (!key.OpenKey(HKEY_CURRENT_USER, RegistryName(IDS_REG_KEY), CRegistryKey::kRead)
        || !key.GetLongValue(RegistryName(IDS_REG_NUM_TOOLBARS), numToolbars)) {
        // No settings at all: this is the user's first start.
        CreateNewToolbar();
        trace.Result(TR_READ_STATUS_RESULT, 2);
        return;
    }

    m_toolTips = ReadSwitch(key, RegistryName(IDS_REG_TOOLTIPS), TRUE);
    m_saveOnClose = ReadSwitch(key, RegistryName(IDS_REG_SAVE_ON_CLOSE), TRUE);
    m_openOnStart = ReadSwitch(key, RegistryName(IDS_REG_OPEN_ON_START), TRUE);
    m_allowTab = ReadSwitch(key, RegistryName(IDS_REG_ALLOW_TAB), TRUE);
    m_onlyOneOpen = ReadSwitch(key, RegistryName(IDS_REG_ONLY_ONE_OPEN), FALSE);
    m_defaultNew = ReadNumber(key, RegistryName(IDS_REG_DEFAULT_NEW), 3);
    m_optionsHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_OPTIONS_HOTKEY), 0x047A));
    m_toolbarHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_TOOLBAR_HOTKEY), 0x027B));
    m_showAllHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_SHOWALL_HOTKEY), 0x047B));
    m_newToolbarHelp = ReadSwitch(key, RegistryName(IDS_REG_NEW_TOOLBAR_HELP), TRUE);
    m_convertOldFiles = ReadSwitch(key, RegistryName(IDS_REG_CONVERT_OLD), FALSE);
    m_shortcuts = ReadNumber(key, RegistryName(IDS_REG_SHORTCUTS), 0);

    if (m_openOnStart && numToolbars != 0) {
        COpenProgressDialog progress(m_application);
        progress.Create(m_mainWindow ? m_mainWindow->Handle() : nullptr);
        DWORD tried = 0;
        BOOL anyFailed = FALSE;
        for (int number = 1; number <= kMaxToolbars; ++number) {
            CText path;
            if (!key.GetStringValue(ToolbarValueName(number), path))
                break;
            if (path.IsEmpty() || tried >= numToolbars)
                continue;
            ++tried;
            if (!AddFromFile(path.c_str(), TRUE, &progress, FALSE))
                anyFailed = TRUE;
        }
        progress.Destroy();
        if (anyFailed)
            m_application->DisplayMessage(nullptr, IDS_MSG_STARTUP_OPEN, nullptr, MB_OK | MB_ICONQUESTION,
                                          kCaptionProgramName);
    }
    trace.Result(TR_READ_STATUS_RESULT, 1);
}

BOOL CToolbarSet::WriteStatusToRegistry()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_WRITE_STATUS);
    CRegistryKey key;
    if (!key.CreateKey(HKEY_CURRENT_USER, RegistryName(IDS_REG_KEY), nullptr, CRegistryKey::kWrite)) {
        trace.Result(TR_WRITE_STATUS_RESULT, 2);
        return FALSE;
    }
    auto yesNo = [](BOOL value) { return CText(value ? "Yes" : "No"); };
    const BOOL written =
        key.SetLongValue(RegistryName(IDS_REG_NUM_TOOLBARS), static_cast<DWORD>(m_count))
        && key.SetStringValue(RegistryName(IDS_REG_TOOLTIPS), yesNo(m_toolTips))
        && key.SetStringValue(RegistryName(IDS_REG_SAVE_ON_CLOSE), yesNo(m_saveOnClose))
        && key.SetStringValue(RegistryName(IDS_REG_OPEN_ON_START), yesNo(m_openOnStart))
        && key.SetStringValue(RegistryName(IDS_REG_ALLOW_TAB), yesNo(m_allowTab))
        && key.SetStringValue(RegistryName(IDS_REG_ONLY_ONE_OPEN), yesNo(m_onlyOneOpen))
        && key.SetLongValue(RegistryName(IDS_REG_DEFAULT_NEW), m_defaultNew)
        && key.SetLongValue(RegistryName(IDS_REG_OPTIONS_HOTKEY), m_optionsHotkey)
        && key.SetLongValue(RegistryName(IDS_REG_TOOLBAR_HOTKEY), m_toolbarHotkey)
        && key.SetLongValue(RegistryName(IDS_REG_SHOWALL_HOTKEY), m_showAllHotkey)
        && key.SetStringValue(RegistryName(IDS_REG_NEW_TOOLBAR_HELP), yesNo(m_newToolbarHelp))
        && key.SetStringValue(RegistryName(IDS_REG_CONVERT_OLD), yesNo(m_convertOldFiles))
        && key.SetLongValue(RegistryName(IDS_REG_SHORTCUTS), m_shortcuts);
    if (!written) {
        trace.Result(TR_WRITE_STATUS_RESULT, 3);
        return FALSE;
    }
    for (int number = 1; number <= kMaxToolbars; ++number) {
        // Toolbar windows come with their own files; until then every slot is free.
        if (!key.SetStringValue(ToolbarValueName(number), "")) {
            trace.Result(TR_WRITE_STATUS_RESULT, 4);
            return FALSE;
        }
    }
    trace.Result(TR_WRITE_STATUS_RESULT, 1);
    return TRUE;
}

BOOL CToolbarSet::AddFromFile(const char* path, BOOL, COpenProgressDialog* progress, BOOL showErrors)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_ADD_FROM_FILE);
    if (m_count >= kMaxToolbars) {
        if (showErrors)
            m_application->DisplayMessage(nullptr, IDS_MSG_MAX_TOOLBARS, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                          kCaptionProgramName);
        trace.Result(TR_ADD_FROM_FILE_RESULT, 2);
        return FALSE;
    }
    int index = -1;
    if (FindByFile(path, index)) {
        trace.Result(TR_ADD_FROM_FILE_RESULT, 1);
        return TRUE;
    }
    if (m_onlyOneOpen)
        CloseAll(0);
    if (progress)
        progress->SetItem(path);
    // Toolbars cannot be read from their files yet: the toolbar cannot be made.
    if (TraceOn())
        LogText("AddFromFile: reading toolbar files is not available");
    if (showErrors)
        m_application->DisplayMessage(nullptr, IDS_MSG_OPEN_TOOLBAR, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                      kCaptionProgramName);
    trace.Result(TR_ADD_FROM_FILE_RESULT, 3);
    return FALSE;
}

BOOL CToolbarSet::FindByFile(const char*, int& index) const
{
    index = -1;
    return FALSE;
}

BOOL CToolbarSet::CreateNewToolbar()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CREATE_NEW_TOOLBAR);
    if (TraceOn())
        LogText("CreateNewToolbar: creating toolbars is not available");
    return FALSE;
}

void CToolbarSet::CloseAll(int) {}

BOOL CToolbarSet::QueryClose()
{
    WriteStatusToRegistry();
    CloseAll(0);
    return m_count == 0;
}

BOOL CToolbarSet::HideAll() { return TRUE; }
BOOL CToolbarSet::ShowHidden() { return TRUE; }
BOOL CToolbarSet::ShowAll() { return TRUE; }
void CToolbarSet::ShowCurrent() {}
void CToolbarSet::ArrangeDocked(CToolbar*) {}

int CToolbarSet::HotkeysChanged(WORD optionsHotkey, WORD toolbarHotkey, WORD showAllHotkey)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_HOTKEYS_CHANGED);
    HWND window = m_mainWindow ? m_mainWindow->Handle() : nullptr;
    struct Hotkey {
        int id;
        WORD code;
        WORD& stored;
        int bit;
    } hotkeys[] = {
        {CMainWindow::kMenuHotkey, optionsHotkey, m_optionsHotkey, 1},
        {CMainWindow::kToolbarHotkey, toolbarHotkey, m_toolbarHotkey, 2},
        {CMainWindow::kShowAllHotkey, showAllHotkey, m_showAllHotkey, 4},
    };
    int result = 0;
    for (Hotkey& hotkey : hotkeys) {
        // Our own earlier registration of the same id must not count as a clash.
        UnregisterHotKey(window, hotkey.id);
        if (hotkey.code == 0
            || RegisterHotKey(window, hotkey.id, HotkeyModifiers(hotkey.code), LOBYTE(hotkey.code))) {
            hotkey.stored = hotkey.code;
            result |= hotkey.bit;
        } else if (hotkey.stored != 0) {
            // The old code stays in force for this hotkey only.
            RegisterHotKey(window, hotkey.id, HotkeyModifiers(hotkey.stored), LOBYTE(hotkey.stored));
        }
    }
    trace.Result(TR_HOTKEYS_CHANGED_RESULT, static_cast<unsigned long>(result));
    return result;
}

BOOL CToolbarSet::OnCommand(UINT)
{
    return FALSE;
}

int CToolbarSet::AddToolbarsToMenu(HMENU)
{
    return 0;
}

void CToolbarSet::ApplyOptions() {}

void CToolbarSet::RefreshToolbarsPage() const
{
    if (m_toolbarsPage && IsWindow(m_toolbarsPage))
        PostMessageA(m_toolbarsPage, kToolbarsChanged, 0, 0);
}

BOOL CToolbarSet::Open() { return FALSE; }
