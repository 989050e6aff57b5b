#include "ToolbarSet.h"

#include "OpenProgressDialog.h"
#include "Toolbar.h"
#include "ToolbarDock.h"
#include "ScreenStrip.h"
#include "../buttons/ExecButton.h"
#include "../common/Application.h"
#include "../common/Associations.h"
#include "../common/OwnerDrawMenu.h"
#include "ToolbarHost.h"
#include "../common/DialogBase.h"
#include "../common/RegistryKey.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <new>
#include <vector>

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

// What the set's methods report to the trace, in the order of their checks.
enum ReadStatusResult : unsigned long { kStatusRead = 1, kStatusFirstStart = 2 };

enum WriteStatusResult : unsigned long {
    kStatusWritten = 1,
    kWriteStatusNoKey = 2,
    kWriteStatusNoOptions = 3,
    kWriteStatusNoClearedSlot = 4,
    kWriteStatusNoPath = 5,
    kWriteStatusNoRecent = 6,
};

enum AddFromFileResult : unsigned long {
    kAdded = 1,            // also when the file was open already
    kAddTooMany = 2,
    kAddNoMemory = 3,
    kAddNotListed = 4,
    kAddNotCreated = 5,
};

enum RemoveResult : unsigned long { kRemoved = 1, kRemoveNoToolbar = 2 };

enum OpenResult : unsigned long { kOpened = 1, kOpenNoFileChosen = 2, kOpenFailed = 3 };

} // namespace

CToolbarSet::CToolbarSet(CApplication* application, IToolbarHost* host)
    : m_application(application), m_host(host)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CTOOLBARSET);
}

CToolbarSet::~CToolbarSet()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CTOOLBARSET_DTOR);
    for (int i = m_count - 1; i >= 0; --i) {
        delete m_toolbars[i];
        m_toolbars[i] = nullptr;
    }
    m_count = 0;
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
    // Every toolbar came back hidden: start in the hidden state, so that the
    // tray shows it and "Show" brings them all back.
    bool allHidden = m_count > 0;
    for (int i = 0; i < m_count; ++i)
        allHidden = allHidden && m_states[i] != kShown;
    if (allHidden) {
        for (int i = 0; i < m_count; ++i)
            m_states[i] = kHiddenForAll;
        if (m_host)
            m_host->SetHidden(TRUE);
    }
    ArrangeDocked(nullptr);
    HotkeysChanged(m_options.optionsHotkey, m_options.toolbarHotkey, m_options.showAllHotkey);
    return TRUE;
}

void CToolbarSet::SetOptions(const ToolbarSetOptions& options)
{
    const ToolbarSetOptions registered = m_options;
    m_options = options;
    m_options.optionsHotkey = registered.optionsHotkey;
    m_options.toolbarHotkey = registered.toolbarHotkey;
    m_options.showAllHotkey = registered.showAllHotkey;
}

void CToolbarSet::ReadOptions(CRegistryKey& key)
{
    // Each value that is missing keeps the default of a first start.
    const ToolbarSetOptions defaults;
    ToolbarSetOptions& options = m_options;
    options.toolTips = ReadSwitch(key, RegistryName(IDS_REG_TOOLTIPS), defaults.toolTips);
    options.saveOnClose = ReadSwitch(key, RegistryName(IDS_REG_SAVE_ON_CLOSE), defaults.saveOnClose);
    options.openOnStart = ReadSwitch(key, RegistryName(IDS_REG_OPEN_ON_START), defaults.openOnStart);
    options.allowTab = ReadSwitch(key, RegistryName(IDS_REG_ALLOW_TAB), defaults.allowTab);
    options.onlyOneOpen = ReadSwitch(key, RegistryName(IDS_REG_ONLY_ONE_OPEN), defaults.onlyOneOpen);
    options.defaultNew = ReadNumber(key, RegistryName(IDS_REG_DEFAULT_NEW), defaults.defaultNew);
    options.optionsHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_OPTIONS_HOTKEY), defaults.optionsHotkey));
    options.toolbarHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_TOOLBAR_HOTKEY), defaults.toolbarHotkey));
    options.showAllHotkey = LOWORD(ReadNumber(key, RegistryName(IDS_REG_SHOWALL_HOTKEY), defaults.showAllHotkey));
    options.newToolbarHelp = ReadSwitch(key, RegistryName(IDS_REG_NEW_TOOLBAR_HELP), defaults.newToolbarHelp);
    options.convertOldFiles = ReadSwitch(key, RegistryName(IDS_REG_CONVERT_OLD), defaults.convertOldFiles);
    options.shortcuts = ReadNumber(key, RegistryName(IDS_REG_SHORTCUTS), defaults.shortcuts);
}

BOOL CToolbarSet::WriteOptions(CRegistryKey& key) const
{
    auto yesNo = [](BOOL value) { return CText(value ? "Yes" : "No"); };
    const ToolbarSetOptions& options = m_options;
    return key.SetStringValue(RegistryName(IDS_REG_TOOLTIPS), yesNo(options.toolTips))
           && key.SetStringValue(RegistryName(IDS_REG_SAVE_ON_CLOSE), yesNo(options.saveOnClose))
           && key.SetStringValue(RegistryName(IDS_REG_OPEN_ON_START), yesNo(options.openOnStart))
           && key.SetStringValue(RegistryName(IDS_REG_ALLOW_TAB), yesNo(options.allowTab))
           && key.SetStringValue(RegistryName(IDS_REG_ONLY_ONE_OPEN), yesNo(options.onlyOneOpen))
           && key.SetLongValue(RegistryName(IDS_REG_DEFAULT_NEW), options.defaultNew)
           && key.SetLongValue(RegistryName(IDS_REG_OPTIONS_HOTKEY), options.optionsHotkey)
           && key.SetLongValue(RegistryName(IDS_REG_TOOLBAR_HOTKEY), options.toolbarHotkey)
           && key.SetLongValue(RegistryName(IDS_REG_SHOWALL_HOTKEY), options.showAllHotkey)
           && key.SetStringValue(RegistryName(IDS_REG_NEW_TOOLBAR_HELP), yesNo(options.newToolbarHelp))
           && key.SetStringValue(RegistryName(IDS_REG_CONVERT_OLD), yesNo(options.convertOldFiles))
           && key.SetLongValue(RegistryName(IDS_REG_SHORTCUTS), options.shortcuts);
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
        trace.Result(TR_READ_STATUS_RESULT, kStatusFirstStart);
        return;
    }

    ReadOptions(key);
    m_recentToolbars.ReadFromRegistry(HKEY_CURRENT_USER, RegistryName(IDS_REG_KEY));
    // Before any toolbar reads its strip choice: a file deleted or renamed
    // since the last run must not hand its choice to a new file of its name.
    PruneScreenStripOptions(RegistryName(IDS_REG_KEY).c_str());
    if (m_options.openOnStart && numToolbars != 0) {
        COpenProgressDialog progress(m_application);
        progress.Create(m_host ? m_host->Window() : nullptr);
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
    trace.Result(TR_READ_STATUS_RESULT, kStatusRead);
}

BOOL CToolbarSet::WriteStatusToRegistry()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_WRITE_STATUS);
    CRegistryKey key;
    if (!key.CreateKey(HKEY_CURRENT_USER, RegistryName(IDS_REG_KEY), nullptr, CRegistryKey::kWrite)) {
        trace.Result(TR_WRITE_STATUS_RESULT, kWriteStatusNoKey);
        return FALSE;
    }
    if (!key.SetLongValue(RegistryName(IDS_REG_NUM_TOOLBARS), static_cast<DWORD>(m_count)) || !WriteOptions(key)) {
        trace.Result(TR_WRITE_STATUS_RESULT, kWriteStatusNoOptions);
        return FALSE;
    }
    for (int number = 1; number <= kMaxToolbars; ++number) {
        const CText name = ToolbarValueName(number);
        if (!key.SetStringValue(name, "")) {
            trace.Result(TR_WRITE_STATUS_RESULT, kWriteStatusNoClearedSlot);
            return FALSE;
        }
        const CToolbar* toolbar = Toolbar(number - 1);
        if (toolbar && !toolbar->FileName().IsEmpty() && !key.SetStringValue(name, toolbar->FileName())) {
            trace.Result(TR_WRITE_STATUS_RESULT, kWriteStatusNoPath);
            return FALSE;
        }
    }
    if (!m_recentToolbars.WriteToRegistry(HKEY_CURRENT_USER, RegistryName(IDS_REG_KEY))) {
        trace.Result(TR_WRITE_STATUS_RESULT, kWriteStatusNoRecent);
        return FALSE;
    }
    trace.Result(TR_WRITE_STATUS_RESULT, kStatusWritten);
    return TRUE;
}

BOOL CToolbarSet::AddFromFile(const char* path, BOOL atStartUp, COpenProgressDialog* progress, BOOL showErrors)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_ADD_FROM_FILE);
    if (TraceOn())
        LogStringIdText(TR_FILE, path);
    auto fail = [&](UINT message, AddFromFileResult code) {
        if (showErrors && message)
            m_application->DisplayMessage(nullptr, message, nullptr, MB_OK | MB_ICONEXCLAMATION, kCaptionProgramName);
        trace.Result(TR_ADD_FROM_FILE_RESULT, code);
        return FALSE;
    };
    if (m_count >= kMaxToolbars)
        return fail(IDS_MSG_MAX_TOOLBARS, kAddTooMany);
    int index = -1;
    if (FindByFile(path, index)) {
        Show(index);
        trace.Result(TR_ADD_FROM_FILE_RESULT, kAdded);
        return TRUE;
    }
    if (m_options.onlyOneOpen)
        CloseAll(0);
    if (progress)
        progress->SetItem(path);

    auto* toolbar = new (std::nothrow) CToolbar(m_application, this, m_host);
    if (!toolbar)
        return fail(IDS_MSG_OPEN_TOOLBAR, kAddNoMemory);
    if (!Add(toolbar)) {
        delete toolbar;
        return fail(IDS_MSG_ADD_TO_LIST, kAddNotListed);
    }
    if (!toolbar->Create(path, progress)) {
        // A file that cannot be read says so; anything else is the window's fault.
        const UINT message = toolbar->ReadFailed() ? IDS_MSG_READ_FAILED : IDS_MSG_CREATE_TOOLBAR;
        // The toolbar is the last one added: take it out again.
        delete toolbar;
        m_toolbars[--m_count] = nullptr;
        m_states[m_count] = kShown;
        RefreshToolbarsPage();
        return fail(message, kAddNotCreated);
    }
    toolbar->SetToolTips(m_options.toolTips);
    // The recent-toolbars list records files opened by hand, not at start-up.
    if (!atStartUp)
        AddRecentToolbar(toolbar->FileName().IsEmpty() ? path : toolbar->FileName().c_str());
    RefreshToolbarsPage();
    trace.Result(TR_ADD_FROM_FILE_RESULT, kAdded);
    return TRUE;
}

BOOL CToolbarSet::Add(CToolbar* toolbar)
{
    if (!toolbar || m_count >= kMaxToolbars)
        return FALSE;
    m_toolbars[m_count] = toolbar;
    m_states[m_count] = kShown;
    ++m_count;
    RefreshToolbarsPage();
    return TRUE;
}

BOOL CToolbarSet::Remove(int index)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_REMOVE);
    if (index < 0 || index >= m_count || !m_toolbars[index]) {
        trace.Result(TR_REMOVE_RESULT, kRemoveNoToolbar);
        return FALSE;
    }
    CToolbar* toolbar = m_toolbars[index];
    // Out of the slots first: the toolbar's window may still call back while
    // it is being destroyed.
    for (int i = index; i < kMaxToolbars - 1; ++i) {
        m_toolbars[i] = m_toolbars[i + 1];
        m_states[i] = m_states[i + 1];
    }
    m_toolbars[kMaxToolbars - 1] = nullptr;
    m_states[kMaxToolbars - 1] = kShown;
    --m_count;
    if (m_currentToolbar == index)
        m_currentToolbar = -1;
    else if (m_currentToolbar > index)
        --m_currentToolbar;
    delete toolbar;
    if (m_count > 0)
        ArrangeDocked(nullptr);
    RefreshToolbarsPage();
    trace.Result(TR_REMOVE_RESULT, kRemoved);
    return TRUE;
}

BOOL CToolbarSet::RemoveToolbar(CToolbar* toolbar)
{
    int index = -1;
    return FindToolbar(toolbar, index) && Remove(index);
}

BOOL CToolbarSet::FindByFile(const char* path, int& index) const
{
    index = -1;
    if (!path || !*path)
        return FALSE;
    for (int i = 0; i < m_count; ++i) {
        if (m_toolbars[i] && !m_toolbars[i]->FileName().IsEmpty() && m_toolbars[i]->FileName() == path) {
            index = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CToolbarSet::FindToolbar(const CToolbar* toolbar, int& index) const
{
    index = -1;
    for (int i = 0; i < m_count; ++i) {
        if (m_toolbars[i] == toolbar) {
            index = i;
            return TRUE;
        }
    }
    return FALSE;
}

void CToolbarSet::SetCurrent(const CToolbar* toolbar)
{
    int index = -1;
    if (FindToolbar(toolbar, index))
        m_currentToolbar = index;
}

void CToolbarSet::ShowCurrent()
{
    CToolbar* toolbar = Toolbar(m_currentToolbar);
    if (!toolbar)
        return;
    Show(m_currentToolbar);
    if (toolbar->Settings().autohide && toolbar->IsCollapsed())
        toolbar->SetCollapsed(FALSE);
}

BOOL CToolbarSet::Show(int index)
{
    CToolbar* toolbar = Toolbar(index);
    if (!toolbar)
        return FALSE;
    // Marked shown before the window is: the toolbar's placement reads the
    // mark, and one still marked hidden takes its visible style away again.
    const BOOL fromHidden = m_states[index] != kShown;
    m_states[index] = kShown;
    toolbar->Show(fromHidden);
    return TRUE;
}

BOOL CToolbarSet::Hide(int index)
{
    CToolbar* toolbar = Toolbar(index);
    if (!toolbar)
        return FALSE;
    m_states[index] = kHiddenByUser;
    toolbar->Hide(FALSE);
    return TRUE;
}

BOOL CToolbarSet::HideForAll(int index)
{
    CToolbar* toolbar = Toolbar(index);
    if (!toolbar)
        return FALSE;
    m_states[index] = kHiddenForAll;
    toolbar->Hide(FALSE);
    return TRUE;
}

BOOL CToolbarSet::HideAll()
{
    BOOL all = TRUE;
    for (int i = 0; i < m_count; ++i) {
        if (m_states[i] == kShown && !HideForAll(i))
            all = FALSE;
    }
    return all;
}

BOOL CToolbarSet::ShowHidden()
{
    BOOL all = TRUE;
    for (int i = 0; i < m_count; ++i) {
        if (m_states[i] == kHiddenForAll && !Show(i))
            all = FALSE;
    }
    return all;
}

BOOL CToolbarSet::ShowAll()
{
    BOOL all = TRUE;
    for (int i = 0; i < m_count; ++i) {
        if (!Show(i))
            all = FALSE;
    }
    return all;
}

void CToolbarSet::CloseAll(int from)
{
    int index = from < 0 ? 0 : from;
    while (index < m_count) {
        CToolbar* toolbar = m_toolbars[index];
        SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
        // A toolbar that closed took its slot with it; one that refused stays.
        if (index < m_count && m_toolbars[index] == toolbar)
            ++index;
    }
}

BOOL CToolbarSet::QueryClose()
{
    WriteStatusToRegistry();
    for (int index = m_count - 1; index >= 0; --index) {
        if (index < m_count && m_toolbars[index])
            SendMessageA(m_toolbars[index]->Handle(), WM_CLOSE, 0, 0);
    }
    return m_count == 0;
}

void CToolbarSet::ArrangeDocked(CToolbar* filter)
{
    const int filterCorner = filter ? filter->CornerIndex() : 0;
    const MonitorList monitors = CurrentMonitors();
    std::vector<CToolbar*> arranged;
    std::vector<DockEntry> entries;
    for (int i = 0; i < m_count; ++i) {
        CToolbar* toolbar = m_toolbars[i];
        if (!toolbar || !toolbar->Handle())
            continue;
        const int corner = toolbar->CornerIndex();
        if (filter && corner != filterCorner)
            continue;
        DockEntry entry;
        entry.corner = corner;
        entry.size = toolbar->CalcWindowSize();
        entry.orientation = toolbar->Settings().orientation;
        entry.displaced = toolbar->IsDisplaced() != FALSE;
        GetWindowRect(toolbar->Handle(), &entry.place);
        if (entry.displaced) {
            const POINT stored = toolbar->StoredPlace();
            OffsetRect(&entry.place, stored.x - entry.place.left, stored.y - entry.place.top);
        }
        // A toolbar keeping a strip of the screen stands in the strip the
        // shell grants it on its monitor, outside the corner lines.
        const bool shown = m_states[i] == kShown || IsWindowVisible(toolbar->Handle());
        if (shown && toolbar->WantsScreenStrip()) {
            const int monitor = NearestMonitor(monitors, entry.place);
            POINT at{};
            if (monitor >= 0
                && toolbar->PlaceInScreenStrip(monitors[static_cast<size_t>(monitor)].monitor, entry.size, at)) {
                toolbar->SetPlacement(at.x, at.y, entry.size.cx, entry.size.cy);
                continue;
            }
        } else {
            toolbar->ReleaseScreenStrip();
        }
        arranged.push_back(toolbar);
        entries.push_back(entry);
    }
    const std::vector<DockPlacement> placements = ArrangeDockedToolbars(entries, monitors);
    for (size_t i = 0; i < arranged.size(); ++i) {
        CToolbar* toolbar = arranged[i];
        const DockPlacement& placement = placements[i];
        if (placement.displaced && !entries[i].displaced)
            toolbar->SetDisplaced(TRUE, POINT{entries[i].place.left, entries[i].place.top});
        else if (!placement.displaced)
            toolbar->SetDisplaced(FALSE, POINT{0, 0});
        const SIZE size = entries[i].size;
        if (placement.move)
            toolbar->SetPlacement(placement.at.x, placement.at.y, size.cx, size.cy);
        else
            toolbar->SetPlacement(-1, -1, size.cx, size.cy);
    }
}

namespace {

class CConvertDialog : public CDialogBase
{
public:
    CConvertDialog(CToolbarSet* set) : CDialogBase(IDD_CONVERT_FILE, nullptr), m_set(set) {}
    BOOL OnInitDialog() override
    {
        CheckDlgButton(Handle(), IDC_CONVERT_ALWAYS, m_set->Options().convertOldFiles ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    BOOL OnCommand(UINT id, UINT, HWND) override
    {
        switch (id) {
        case IDYES:
            if (IsDlgButtonChecked(Handle(), IDC_CONVERT_ALWAYS) == BST_CHECKED) {
                m_set->ChangeOptions([](ToolbarSetOptions& options) { options.convertOldFiles = TRUE; });
            }
            EndDialog(Handle(), IDYES);
            return TRUE;
        case IDNO:
        case IDCANCEL:
            EndDialog(Handle(), IDNO);
            return TRUE;
        case IDC_CONVERT_HELP:
            if (m_set->Host())
                m_set->Host()->Help(HELP_CONTEXT, HELP_CONVERT_FILE, Handle());
            return TRUE;
        default:
            return FALSE;
        }
    }

private:
    CToolbarSet* m_set;
};

} // namespace

BOOL CToolbarSet::AskConvert()
{
    if (m_options.convertOldFiles)
        return TRUE;
    CConvertDialog dialog(this);
    return dialog.DoModal() == IDYES;
}

int CToolbarSet::HotkeysChanged(WORD optionsHotkey, WORD toolbarHotkey, WORD showAllHotkey)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_HOTKEYS_CHANGED);
    HWND window = m_host ? m_host->Window() : nullptr;
    struct Hotkey {
        int id;
        WORD code;
        WORD& stored;
        int bit;
    } hotkeys[] = {
        {IToolbarHost::kMenuHotkey, optionsHotkey, m_options.optionsHotkey, 1},
        {IToolbarHost::kToolbarHotkey, toolbarHotkey, m_options.toolbarHotkey, 2},
        {IToolbarHost::kShowAllHotkey, showAllHotkey, m_options.showAllHotkey, 4},
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

void CToolbarSet::ApplyOptions()
{
    if (m_options.onlyOneOpen)
        CloseAll(1);
    for (int i = 0; i < m_count; ++i) {
        if (!m_toolbars[i])
            continue;
        m_toolbars[i]->SetToolTips(m_options.toolTips);
        m_toolbars[i]->SetAllowTab(m_options.allowTab);
    }
}

void CToolbarSet::RefreshToolbarsPage() const
{
    if (m_toolbarsPage && IsWindow(m_toolbarsPage))
        PostMessageA(m_toolbarsPage, kToolbarsChanged, 0, 0);
}

BOOL CToolbarSet::Open()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_OPEN);
    CText filter;
    if (!filter.LoadString(m_application->Instance(), IDS_OPEN_FILTER))
        filter = "Lintel toolbar (*.ltl)|*.ltl|";
    filter.Replace('|', '\0');
    char path[MAX_PATH]{};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = nullptr;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    m_openDialogUp = TRUE;
    RefreshToolbarsPage();
    const BOOL chosen = GetOpenFileNameA(&dialog);
    m_openDialogUp = FALSE;
    RefreshToolbarsPage();
    if (!chosen) {
        // Cancelled by the user is silent; a failure of the dialog is not.
        if (CommDlgExtendedError() != 0)
            m_application->DisplayMessage(nullptr, IDS_MSG_READ_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                          kCaptionProgramName);
        trace.Result(TR_OPEN_RESULT, kOpenNoFileChosen);
        return FALSE;
    }
    COpenProgressDialog progress(m_application);
    progress.Create(m_host ? m_host->Window() : nullptr);
    const BOOL opened = AddFromFile(path, FALSE, &progress, TRUE);
    trace.Result(TR_OPEN_RESULT, opened ? kOpened : kOpenFailed);
    return opened;
}

int CToolbarSet::AddToolbarsToMenu(HMENU menu)
{
    if (m_count == 1) {
        m_toolbars[0]->AddToMenu(menu, 1000, IsHidden(0));
        return 1;
    }
    for (int i = 0; i < m_count; ++i) {
        CMenuHandle submenu(CreatePopupMenu());
        if (!submenu)
            continue;
        const UINT base = static_cast<UINT>(i + 1) * 1000;
        m_toolbars[i]->AddToMenu(submenu.Get(), base, IsHidden(i));
        AddSubmenu(menu, base, m_toolbars[i]->Name().c_str(), IDI_LINTEL, submenu.Release());
    }
    return m_count;
}

void CToolbarSet::AddRecentToolbar(const char* path)
{
    m_recentToolbars.Add(path, FALSE);
}

CText CToolbarSet::RecentToolbarMenuText(int index) const
{
    CText path;
    if (!m_recentToolbars.GetEntry(index, path))
        return CText();
    int open = -1;
    if (FindByFile(path.c_str(), open) && !Toolbar(open)->Name().IsEmpty())
        return Toolbar(open)->Name();
    // A closed toolbar is read, without a window, only for its name.
    CToolbar closed(m_application, nullptr, nullptr);
    if (RecentFileExists(path.c_str()) && closed.Open(path.c_str(), 0) && !closed.Name().IsEmpty())
        return closed.Name();
    CText text;
    m_recentToolbars.GetMenuText(index, text, MAX_PATH);
    return text;
}

void CToolbarSet::OfferRecentDocument(const char* document)
{
    CText program;
    if (!document || !GetAssociatedExe(document, program))
        return;
    char shortProgram[MAX_PATH]{};
    const DWORD shortLength = GetShortPathNameA(program.c_str(), shortProgram, sizeof shortProgram);
    if (shortLength == 0 || shortLength >= sizeof shortProgram)
        shortProgram[0] = 0;
    for (int slot = 0; slot < m_count; ++slot) {
        CToolbar* toolbar = m_toolbars[slot];
        for (int index = 0; toolbar && index < toolbar->Count(); ++index) {
            CToolButton* button = toolbar->Button(index);
            if (!button || button->Kind() != kKindProgram)
                continue;
            auto* exec = dynamic_cast<CExecButton*>(button);
            if (!exec || exec->FileName().IsEmpty())
                continue;
            // A button may name the program by its long or its short path,
            // and the association may hold either.
            char shortName[MAX_PATH]{};
            const DWORD length = GetShortPathNameA(exec->FileName().c_str(), shortName, sizeof shortName);
            const bool shortKnown = length > 0 && length < sizeof shortName;
            if (exec->FileName().Compare(program.c_str()) == 0
                || (shortKnown && program.Compare(shortName) == 0)
                || (shortProgram[0] && exec->FileName().Compare(shortProgram) == 0))
                exec->AddRecentDocument(document, FALSE);
        }
    }
}

BOOL CToolbarSet::OpenRecentToolbar(int index)
{
    CText path;
    if (!m_recentToolbars.GetEntry(index, path))
        return FALSE;
    COpenProgressDialog progress(m_application);
    progress.Create(m_host ? m_host->Window() : nullptr);
    const BOOL opened = AddFromFile(path.c_str(), FALSE, &progress, TRUE);
    progress.Destroy();
    return opened;
}

BOOL CToolbarSet::OnCommand(UINT id)
{
    if (TraceOn())
        LogStringId(TR_DEFAULT_COMMAND);
    if (id >= kFirstRecentCommand && id < kFirstRecentCommand + CRecentList::kMaxEntries)
        return OpenRecentToolbar(static_cast<int>(id - kFirstRecentCommand));
    // Toolbar commands: (slot + 1) * 1000 plus a button index, or 300 to 303.
    if (id < 1000)
        return FALSE;
    const int slot = static_cast<int>(id / 1000) - 1;
    const UINT item = id % 1000;
    CToolbar* toolbar = Toolbar(slot);
    if (!toolbar)
        return FALSE;
    switch (item) {
    case 300:
        // A shown toolbar is hidden by the user; any other is shown.
        if (m_states[slot] == kShown)
            Hide(slot);
        else
            Show(slot);
        return TRUE;
    case 301:
        Show(slot);
        return TRUE;
    case 302:
        SendMessageA(toolbar->Handle(), WM_COMMAND, IDC_TB_PROPERTIES, 0);
        return TRUE;
    case 303:
        SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
        return TRUE;
    default:
        if (item < 300) {
            toolbar->RunButton(static_cast<int>(item));
            return TRUE;
        }
        return FALSE;
    }
}
