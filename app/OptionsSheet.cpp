#include "OptionsSheet.h"

#include "MainApp.h"
#include "MainWindow.h"
#include "../common/Application.h"
#include "../resources/lintel/resource.h"
#include "../toolbars/Toolbar.h"
#include "../toolbars/ToolbarSet.h"

#include <commctrl.h>

#include <new>

namespace {

// Control and help id pairs for WM_HELP, ending in zeros as WinHelp wants.
const DWORD kGeneralHelpIds[] = {
    IDC_OPT_TOOLTIPS,         IDH_OPT_TOOLTIPS,         IDC_OPT_OPEN_ON_START,    IDH_OPT_OPEN_ON_START,
    IDC_OPT_SAVE_ON_CLOSE,    IDH_OPT_SAVE_ON_CLOSE,    IDC_OPT_ALLOW_TAB,        IDH_OPT_ALLOW_TAB,
    IDC_OPT_ONLY_ONE_OPEN,    IDH_OPT_ONLY_ONE_OPEN,    IDC_OPT_ALWAYS_RESOLVE,   IDH_OPT_ALWAYS_RESOLVE,
    IDC_OPT_NEVER_RESOLVE,    IDH_OPT_NEVER_RESOLVE,    IDC_OPT_DEFAULT_FOR_FILE, IDH_OPT_DEFAULT_FOR_FILE,
    IDC_OPT_LET_ME_CHOOSE,    IDH_OPT_LET_ME_CHOOSE,    0,                        0,
};

const DWORD kToolbarsHelpIds[] = {
    IDC_OPT_TOOLBAR_LIST, IDH_OPT_TOOLBAR_LIST, IDC_OPT_NEW,    IDH_OPT_NEW,    IDC_OPT_OPEN, IDH_OPT_OPEN,
    IDC_OPT_PROPERTIES,   IDH_OPT_PROPERTIES,   IDC_OPT_REMOVE, IDH_OPT_REMOVE, 0,            0,
};

// The "Adding shortcuts" radio buttons and the Shortcuts value each stands for.
struct ShortcutChoice {
    int control;
    DWORD value;
};
const ShortcutChoice kShortcutChoices[] = {
    {IDC_OPT_ALWAYS_RESOLVE, 2},
    {IDC_OPT_NEVER_RESOLVE, 1},
    {IDC_OPT_DEFAULT_FOR_FILE, 0},
    {IDC_OPT_LET_ME_CHOOSE, 3},
};

// Posted by the General page to itself once the sheet around it is made.
constexpr UINT kPlaceSheet = WM_APP + 20;

// Toolbar window commands the Toolbars page sends.
constexpr UINT kToolbarPropertiesCommand = 109;
constexpr UINT kToolbarCloseCommand = 110;

BOOL ShowContextHelp(CToolbarSet* set, HELPINFO* helpInfo, const DWORD* helpIds)
{
    if (!helpInfo || helpInfo->iContextType != HELPINFO_WINDOW || !set || !set->Host())
        return TRUE;
    set->Host()->Help(HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(helpIds),
                            static_cast<HWND>(helpInfo->hItemHandle));
    return TRUE;
}

void Check(HWND page, int control, BOOL checked)
{
    CheckDlgButton(page, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

BOOL IsChecked(HWND page, int control)
{
    return IsDlgButtonChecked(page, control) == BST_CHECKED;
}

void Enable(HWND page, int control, BOOL enabled)
{
    EnableWindow(GetDlgItem(page, control), enabled);
}

} // namespace

BOOL COptionsSheet::s_open = FALSE;

COptionsSheet::COptionsSheet(CToolbarSet* set, CMainWindow* owner) : CPropertySheetBase(set, owner), m_set(set)
{
    Add(new (std::nothrow) COptionsGeneralPage(set));
    Add(new (std::nothrow) COptionsToolbarsPage(set));
    Add(new (std::nothrow) COptionsHotkeysPage(set));
}

COptionsSheet::~COptionsSheet() = default;

BOOL COptionsSheet::Run()
{
    if (s_open || !m_set)
        return FALSE;
    // The mark must fall however the sheet ends.
    struct OpenMark {
        OpenMark() { s_open = TRUE; }
        ~OpenMark() { s_open = FALSE; }
    } mark;
    CText caption;
    if (!caption.LoadString(AppInstance(), IDS_OPTIONS_CAPTION))
        caption = "Lintel Options";
    return Show(caption) != 0;
}

COptionsGeneralPage::COptionsGeneralPage(CToolbarSet* set)
    : CPropertyPageBase(IDD_OPTIONS_GENERAL, set, nullptr), m_set(set), m_start(ReadSet())
{
    SetTitle(IDS_PAGE_GENERAL);
}

COptionsGeneralPage::Values COptionsGeneralPage::ReadSet() const
{
    const ToolbarSetOptions& options = m_set->Options();
    return Values{options.toolTips, options.openOnStart, options.saveOnClose,
                  options.allowTab, options.onlyOneOpen, options.shortcuts};
}

void COptionsGeneralPage::WriteSet(const Values& values) const
{
    // Only the page's own options: the others may have changed while the sheet was up.
    m_set->ChangeOptions([&values](ToolbarSetOptions& options) {
        options.toolTips = values.toolTips;
        options.openOnStart = values.openOnStart;
        options.saveOnClose = values.saveOnClose;
        options.allowTab = values.allowTab;
        options.onlyOneOpen = values.onlyOneOpen;
        options.shortcuts = values.shortcuts;
    });
}

void COptionsGeneralPage::ShowValues(const Values& values) const
{
    HWND page = Handle();
    Check(page, IDC_OPT_TOOLTIPS, values.toolTips);
    Check(page, IDC_OPT_OPEN_ON_START, values.openOnStart);
    Check(page, IDC_OPT_SAVE_ON_CLOSE, values.saveOnClose);
    Check(page, IDC_OPT_ALLOW_TAB, values.allowTab);
    Check(page, IDC_OPT_ONLY_ONE_OPEN, values.onlyOneOpen);
    // A stored value the page does not know counts as "Default for file".
    int selected = IDC_OPT_DEFAULT_FOR_FILE;
    for (const ShortcutChoice& choice : kShortcutChoices) {
        if (choice.value == values.shortcuts)
            selected = choice.control;
    }
    CheckRadioButton(page, IDC_OPT_ALWAYS_RESOLVE, IDC_OPT_LET_ME_CHOOSE, selected);
}

COptionsGeneralPage::Values COptionsGeneralPage::ReadControls() const
{
    HWND page = Handle();
    Values values{IsChecked(page, IDC_OPT_TOOLTIPS),   IsChecked(page, IDC_OPT_OPEN_ON_START),
                  IsChecked(page, IDC_OPT_SAVE_ON_CLOSE), IsChecked(page, IDC_OPT_ALLOW_TAB),
                  IsChecked(page, IDC_OPT_ONLY_ONE_OPEN), 0};
    for (const ShortcutChoice& choice : kShortcutChoices) {
        if (IsChecked(page, choice.control))
            values.shortcuts = choice.value;
    }
    return values;
}

void COptionsGeneralPage::CoupleOpenOnStart() const
{
    const BOOL saving = IsChecked(Handle(), IDC_OPT_SAVE_ON_CLOSE);
    if (!saving)
        Check(Handle(), IDC_OPT_OPEN_ON_START, FALSE);
    Enable(Handle(), IDC_OPT_OPEN_ON_START, saving);
}

BOOL COptionsGeneralPage::OnInitDialog()
{
    ShowValues(m_start);
    CoupleOpenOnStart();
    PostMessageA(Handle(), kPlaceSheet, 0, 0);
    return TRUE;
}

INT_PTR COptionsGeneralPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message != kPlaceSheet)
        return CPropertyPageBase::PageProc(handle, message, first, second);
    // The sheet's owner is the hidden main window: left alone, the sheet
    // would open in a corner, behind whatever the user was working in.
    RECT workArea{};
    RECT sheet{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0) && GetWindowRect(Sheet(), &sheet)) {
        const int width = sheet.right - sheet.left;
        const int height = sheet.bottom - sheet.top;
        SetWindowPos(Sheet(), nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
                     workArea.top + (workArea.bottom - workArea.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetForegroundWindow(Sheet());
    return TRUE;
}

BOOL COptionsGeneralPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDC_OPT_SAVE_ON_CLOSE)
        CoupleOpenOnStart();
    SetChanged();
    return TRUE;
}

BOOL COptionsGeneralPage::OnHelp(HELPINFO* helpInfo)
{
    return ShowContextHelp(m_set, helpInfo, kGeneralHelpIds);
}

BOOL COptionsGeneralPage::OnSetActive()
{
    return TRUE;
}

BOOL COptionsGeneralPage::OnApply()
{
    WriteSet(ReadControls());
    m_set->ApplyOptions();
    m_applied = TRUE;
    return TRUE;
}

BOOL COptionsGeneralPage::OnReset()
{
    if (m_applied) {
        WriteSet(m_start);
        m_set->ApplyOptions();
        m_applied = FALSE;
    }
    return TRUE;
}

COptionsToolbarsPage::COptionsToolbarsPage(CToolbarSet* set)
    : CPropertyPageBase(IDD_OPTIONS_TOOLBARS, set, nullptr), m_set(set)
{
    SetTitle(IDS_PAGE_TOOLBARS);
}

INT_PTR COptionsToolbarsPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case CToolbarSet::kToolbarsChanged:
        FillList();
        UpdateButtons();
        return TRUE;
    case WM_DESTROY:
        m_set->SetToolbarsPage(nullptr);
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(second);
        if (header->idFrom == IDC_OPT_TOOLBAR_LIST) {
            if (header->code == LVN_ITEMCHANGED)
                UpdateButtons();
            return FALSE;
        }
        break;
    }
    default:
        break;
    }
    return CPropertyPageBase::PageProc(handle, message, first, second);
}

BOOL COptionsToolbarsPage::OnInitDialog()
{
    HWND list = GetDlgItem(Handle(), IDC_OPT_TOOLBAR_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    // The list view destroys the image list with itself.
    HIMAGELIST icons = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                        ILC_COLOR32 | ILC_MASK, 4, 4);
    ListView_SetImageList(list, icons, LVSIL_SMALL);

    CText name;
    if (!name.LoadString(AppInstance(), IDS_COLUMN_NAME))
        name = "Name";
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    column.pszText = const_cast<char*>(name.c_str());
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    FillList();
    m_set->SetToolbarsPage(Handle());
    UpdateButtons();
    return TRUE;
}

void COptionsToolbarsPage::FillList() const
{
    HWND list = GetDlgItem(Handle(), IDC_OPT_TOOLBAR_LIST);
    ListView_DeleteAllItems(list);
    HIMAGELIST icons = ListView_GetImageList(list, LVSIL_SMALL);
    if (icons)
        ImageList_RemoveAll(icons);
    for (int index = 0; index < m_set->Count(); ++index) {
        CToolbar* toolbar = m_set->Toolbar(index);
        if (!toolbar)
            continue;
        HWND window = toolbar->Handle();
        HICON icon = nullptr;
        if (window) {
            icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
            if (!icon)
                icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
        }
        if (!icon)
            icon = static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_LINTEL), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
        // The image list keeps a copy; the icon stays its owner's.
        const int image = icons && icon ? ImageList_ReplaceIcon(icons, -1, icon) : -1;

        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
        item.iItem = index;
        item.pszText = const_cast<char*>(toolbar->Name().c_str());
        item.iImage = image;
        item.lParam = reinterpret_cast<LPARAM>(window);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

HWND COptionsToolbarsPage::SelectedToolbar() const
{
    HWND list = GetDlgItem(Handle(), IDC_OPT_TOOLBAR_LIST);
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0)
        return nullptr;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = selected;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    // The list may be older than the set: only a toolbar still open counts.
    HWND window = reinterpret_cast<HWND>(item.lParam);
    for (int index = 0; window && index < m_set->Count(); ++index) {
        CToolbar* toolbar = m_set->Toolbar(index);
        if (toolbar && toolbar->Handle() == window)
            return window;
    }
    return nullptr;
}

void COptionsToolbarsPage::UpdateButtons() const
{
    HWND page = Handle();
    if (!page)
        return;
    const BOOL room = m_set->Count() < CToolbarSet::kMaxToolbars;
    Enable(page, IDC_OPT_NEW, room);
    Enable(page, IDC_OPT_OPEN, room && !m_set->IsOpenDialogUp());
    const BOOL canChange = SelectedToolbar() != nullptr && !m_set->AnyPropertiesOpen();
    Enable(page, IDC_OPT_PROPERTIES, canChange);
    Enable(page, IDC_OPT_REMOVE, canChange);
}

BOOL COptionsToolbarsPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_OPT_NEW:
        m_set->CreateNewToolbar();
        break;
    case IDC_OPT_OPEN:
        m_set->Open();
        break;
    case IDC_OPT_PROPERTIES:
    case IDC_OPT_REMOVE:
        if (HWND toolbar = SelectedToolbar())
            SendMessageA(toolbar, WM_COMMAND, id == IDC_OPT_PROPERTIES ? kToolbarPropertiesCommand
                                                                        : kToolbarCloseCommand, 0);
        break;
    default:
        return FALSE;
    }
    // The set reports added and removed toolbars itself; what it cannot
    // report is a property sheet or file dialog that has come and gone.
    UpdateButtons();
    return TRUE;
}

BOOL COptionsToolbarsPage::OnHelp(HELPINFO* helpInfo)
{
    return ShowContextHelp(m_set, helpInfo, kToolbarsHelpIds);
}

BOOL COptionsToolbarsPage::OnSetActive()
{
    UpdateButtons();
    return TRUE;
}

COptionsHotkeysPage::COptionsHotkeysPage(CToolbarSet* set)
    : CPropertyPageBase(IDD_OPTIONS_HOTKEYS, set, nullptr), m_set(set)
{
    SetTitle(IDS_PAGE_HOTKEYS);
}

void COptionsHotkeysPage::ShowHotkeys() const
{
    const ToolbarSetOptions& options = m_set->Options();
    SendDlgItemMessageA(Handle(), IDC_OPT_MENU_HOTKEY, HKM_SETHOTKEY, options.optionsHotkey, 0);
    SendDlgItemMessageA(Handle(), IDC_OPT_TOOLBAR_HOTKEY, HKM_SETHOTKEY, options.toolbarHotkey, 0);
    SendDlgItemMessageA(Handle(), IDC_OPT_SHOWALL_HOTKEY, HKM_SETHOTKEY, options.showAllHotkey, 0);
}

BOOL COptionsHotkeysPage::OnInitDialog()
{
    ShowHotkeys();
    return TRUE;
}

BOOL COptionsHotkeysPage::OnCommand(UINT, UINT code, HWND)
{
    if (code != EN_CHANGE)
        return FALSE;
    SetChanged();
    return TRUE;
}

BOOL COptionsHotkeysPage::OnSetActive()
{
    return TRUE;
}

BOOL COptionsHotkeysPage::ApplyHotkeys()
{
    auto code = [this](int control) {
        return static_cast<WORD>(SendDlgItemMessageA(Handle(), control, HKM_GETHOTKEY, 0, 0));
    };
    const int registered =
        m_set->HotkeysChanged(code(IDC_OPT_MENU_HOTKEY), code(IDC_OPT_TOOLBAR_HOTKEY), code(IDC_OPT_SHOWALL_HOTKEY));
    if (registered == 7)
        return TRUE;
    // The set kept the old code of each hotkey that clashed: show what is in force.
    ShowHotkeys();
    if (CApplication* app = m_set->App())
        app->DisplayMessage(Sheet(), IDS_MSG_HOTKEY_CLASH, nullptr, MB_OK | MB_ICONINFORMATION, kCaptionProgramName);
    return FALSE;
}

INT_PTR COptionsHotkeysPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(second)->code == PSN_APPLY) {
        // A clash keeps the sheet open on this page.
        const BOOL applied = ApplyHotkeys();
        if (applied)
            SetUnchanged();
        SetWindowLongPtrA(handle, DWLP_MSGRESULT, applied ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        return TRUE;
    }
    return CPropertyPageBase::PageProc(handle, message, first, second);
}
