#include "ExplorerWindow.h"

#include "ExplorerAbout.h"
#include "ExplorerDropSource.h"
#include "FileTypesDialog.h"
#include "../common/Application.h"
#include "../common/ControlMessages.h"
#include "../common/Help.h"
#include "../common/RegistryKey.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/explorer/explorer_res.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

namespace {

// What the search thread asks of the window's thread, by SendMessage.
enum : UINT {
    UM_SEARCH_STATE = WM_USER + 120,      // the thread began or is about to end
    UM_SEARCH_ROOT = WM_USER + 121,       // lParam: RootRequest*
    UM_SEARCH_IMAGES = WM_USER + 122,     // wParam large, lParam small image list
    UM_SEARCH_FINISHED = WM_USER + 123,   // posted: the thread has ended; join it
};

struct RootRequest
{
    const CItemId* root;
    CText location;
};

// The toolbar's layout: room for the folder combo, its browse button, room
// for the type combo, then the commands.
constexpr int kSeparatorsPerCombo = 19;
constexpr int kFolderComboWidth = 150;
constexpr int kFolderDropWidth = 240;
constexpr int kTypeComboX = 190;
constexpr int kTypeComboWidth = 130;
constexpr int kComboY = 2;
constexpr int kComboDropHeight = 200;
constexpr int kToolbarImages = 10;

constexpr int kNameColumnWidth = 180;
constexpr int kStatusProgressRoom = 160;
constexpr int kStatusGripRoom = 20;
constexpr int kStatusMinimumText = 50;

// The protected toolbar's title carries this after its name.
constexpr const char kProtectedMark[] = " (P)";

CText LoadText(UINT id)
{
    CText text;
    text.LoadString(AppInstance(), id);
    return text;
}

CText RecentKeyName()
{
    CText name = LoadText(IDS_REG_EXPLORER_KEY);
    name += "\\";
    name += LoadText(IDS_REG_RECENT);
    return name;
}

int ViewStyleOfCommand(UINT command)
{
    switch (command) {
    case IDM_LARGE_ICONS: return LVS_ICON;
    case IDM_SMALL_ICONS: return LVS_SMALLICON;
    case IDM_LIST: return LVS_LIST;
    default: return LVS_REPORT;
    }
}

UINT CommandOfViewStyle(int style)
{
    switch (style) {
    case LVS_ICON: return IDM_LARGE_ICONS;
    case LVS_SMALLICON: return IDM_SMALL_ICONS;
    case LVS_LIST: return IDM_LIST;
    default: return IDM_DETAILS;
    }
}

BOOL CALLBACK CollectToolbar(HWND window, LPARAM data)
{
    auto* entries = reinterpret_cast<std::vector<CToolbarEntry>*>(data);
    char className[64]{};
    if (GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, LINTEL_TOOLBAR_CLASS) == 0) {
        char title[261]{};
        GetWindowTextA(window, title, sizeof title);
        entries->push_back(CToolbarEntry{window, CText(title)});
    }
    return TRUE;
}

} // namespace

std::vector<CToolbarEntry> FindToolbarWindows()
{
    std::vector<CToolbarEntry> entries;
    EnumWindows(CollectToolbar, reinterpret_cast<LPARAM>(&entries));
    return entries;
}

CText ToolbarNameFromTitle(const CText& title)
{
    CText name(title);
    const int markLength = static_cast<int>(sizeof kProtectedMark) - 1;
    if (name.Length() > markLength) {
        CText tail(name);
        tail.Right(markLength);
        if (tail.CompareCase(kProtectedMark) == 0)
            name.Left(name.Length() - markLength);
    }
    return name;
}

CExplorerWindow::CExplorerWindow(CApplication* application, BOOL startWithShortcuts)
    : CWindowBase(application, nullptr), m_search(*this), m_startWithShortcuts(startWithShortcuts)
{
    ReadSettings();
}

CExplorerWindow::~CExplorerWindow()
{
    m_search.Stop();
    WriteSettings();
    // What the user copied stays on the clipboard after the program ends.
    ReleaseClipboardObject(true);
}

BOOL CExplorerWindow::RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.cbWndExtra = kExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_EXPLORER));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_EXPLORER), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_EXPLORER_MENU);
    windowClass.lpszClassName = LINTEL_EXPLORER_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL CExplorerWindow::Create()
{
    return CWindowBase::Create(0, LINTEL_EXPLORER_CLASS, LoadText(IDS_EXPLORER_NAME), WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

// Settings.

void CExplorerWindow::ReadSettings()
{
    CRegistryKey key;
    if (!key.OpenKey(HKEY_CURRENT_USER, LoadText(IDS_REG_EXPLORER_KEY), CRegistryKey::kRead)) {
        m_recent.AddDefaults(IDS_REG_PROGRAM_FILES, IDS_REG_WINDOWS_KEY);
        return;
    }
    DWORD value = 0;
    if (key.GetLongValue(LoadText(IDS_REG_LIST_STYLE), value) && value <= LVS_LIST)
        m_viewStyle = static_cast<int>(value);
    if (key.GetLongValue(LoadText(IDS_REG_AUTO_ARRANGE), value))
        m_autoArrange = value ? 1 : 0;
    if (key.GetLongValue(LoadText(IDS_REG_SIZE), value)) {
        const WORD width = LOWORD(value);
        const WORD height = HIWORD(value);
        m_width = width == 0xFFFF ? -1 : width;
        m_height = height == 0xFFFF ? -1 : height;
    }
    CRegistryKey recent;
    if (recent.OpenKey(HKEY_CURRENT_USER, RecentKeyName(), CRegistryKey::kRead))
        m_recent.Read(recent, IDS_REG_NUM_RECENT, IDS_REG_RECENT_FORMAT);
    if (m_recent.Count() == 0)
        m_recent.AddDefaults(IDS_REG_PROGRAM_FILES, IDS_REG_WINDOWS_KEY);
}

void CExplorerWindow::WriteSettings() const
{
    CRegistryKey key;
    const CText keyName = LoadText(IDS_REG_EXPLORER_KEY);
    if (keyName.IsEmpty() || !key.CreateKey(HKEY_CURRENT_USER, keyName, nullptr, CRegistryKey::kWrite))
        return;
    key.SetLongValue(LoadText(IDS_REG_LIST_STYLE), static_cast<DWORD>(m_viewStyle));
    key.SetLongValue(LoadText(IDS_REG_AUTO_ARRANGE), static_cast<DWORD>(m_autoArrange));
    const DWORD size = MAKELONG(static_cast<WORD>(m_width), static_cast<WORD>(m_height));
    key.SetLongValue(LoadText(IDS_REG_SIZE), size);
    CRegistryKey recent;
    if (recent.CreateKey(HKEY_CURRENT_USER, RecentKeyName(), nullptr, CRegistryKey::kWrite))
        m_recent.Write(recent, IDS_REG_NUM_RECENT, IDS_REG_RECENT_FORMAT);
}

// Creation and layout.

BOOL CExplorerWindow::OnCreate(HWND)
{
    if (!CreateToolbar() || !CreateStatusBar() || !CreateListView())
        return FALSE;
    m_catalogue = BuildDocumentCatalogue(LoadText(IDS_FILE_FOLDER));
    SelectSearchType(m_startWithShortcuts ? kSearchShortcuts : kSearchApplications);
    SizeWindow();
    UpdateCommandStates();
    if (m_startWithShortcuts)
        StartSearch();
    return TRUE;
}

BOOL CExplorerWindow::CreateToolbar()
{
    TBBUTTON buttons[51]{};
    int count = 0;
    auto separators = [&](int n) {
        for (int i = 0; i < n; ++i) {
            buttons[count].fsStyle = BTNS_SEP;
            ++count;
        }
    };
    auto button = [&](int image, int command) {
        buttons[count].iBitmap = image;
        buttons[count].idCommand = command;
        buttons[count].fsState = TBSTATE_ENABLED;
        buttons[count].fsStyle = BTNS_BUTTON;
        ++count;
    };
    separators(kSeparatorsPerCombo);
    button(0, IDM_BROWSE);
    separators(kSeparatorsPerCombo);
    button(1, IDM_START_SEARCH);
    button(2, IDM_STOP_SEARCH);
    separators(1);
    button(3, IDM_COPY);
    button(4, IDM_ADD_TO_TOOLBAR);
    separators(1);
    button(5, IDM_LARGE_ICONS);
    button(6, IDM_SMALL_ICONS);
    button(7, IDM_LIST);
    button(8, IDM_DETAILS);
    separators(1);
    button(9, IDM_HELP_TOPICS);

    m_toolbar = CreateToolbarEx(Handle(), WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, IDC_TOOLBAR,
                                kToolbarImages, AppInstance(), IDB_EXPLORER_TOOLBAR, buttons, count, 16, 15, 16, 15,
                                sizeof(TBBUTTON));
    if (!m_toolbar)
        return FALSE;

    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_folderCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP
                                                          | CBS_DROPDOWNLIST | CBS_HASSTRINGS | CBS_AUTOHSCROLL,
                                    0, kComboY, kFolderComboWidth, kComboDropHeight, m_toolbar,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FOLDER_COMBO)), AppInstance(),
                                    nullptr);
    m_typeCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST
                                                        | CBS_HASSTRINGS,
                                  kTypeComboX, kComboY, kTypeComboWidth, kComboDropHeight, m_toolbar,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TYPE_COMBO)), AppInstance(), nullptr);
    if (!m_folderCombo || !m_typeCombo)
        return FALSE;
    SendMessageA(m_folderCombo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(m_typeCombo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(m_folderCombo, CB_SETDROPPEDWIDTH, kFolderDropWidth, 0);
    // Long paths scroll sideways in the drop-down.
    SendMessageA(m_folderCombo, CB_SETHORIZONTALEXTENT, 1000, 0);
    for (int type = kSearchApplications; type <= kSearchRegisteredDocuments; ++type)
        SendMessageA(m_typeCombo, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(LoadText(IDS_SEARCH_TYPE_FIRST + type - 1).c_str()));
    RefillFolderCombo();

    // The combos' tooltips live in the toolbar's tooltip control.
    HWND tips = reinterpret_cast<HWND>(SendMessageA(m_toolbar, TB_GETTOOLTIPS, 0, 0));
    if (tips) {
        const struct { HWND control; UINT text; } tools[] = {
            {m_folderCombo, IDS_TIP_FOLDER_COMBO},
            {m_typeCombo, IDS_TIP_TYPE_COMBO},
        };
        for (const auto& tool : tools) {
            CText text = LoadText(tool.text);
            TOOLINFOA info{};
            info.cbSize = TTTOOLINFOA_V1_SIZE;
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = Handle();
            info.uId = reinterpret_cast<UINT_PTR>(tool.control);
            info.lpszText = const_cast<char*>(text.c_str());
            SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    SendMessageA(m_toolbar, TB_PRESSBUTTON, CommandOfViewStyle(m_viewStyle), MAKELONG(TRUE, 0));
    return TRUE;
}

BOOL CExplorerWindow::CreateStatusBar()
{
    m_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                  Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                  AppInstance(), nullptr);
    if (!m_statusBar)
        return FALSE;
    RECT client{};
    GetClientRect(Handle(), &client);
    SetStatusParts(client.right);
    return TRUE;
}

BOOL CExplorerWindow::CreateListView()
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SINGLESEL | LVS_SORTASCENDING | LVS_NOSORTHEADER
                  | LVS_SHAREIMAGELISTS | static_cast<DWORD>(m_viewStyle);
    if (m_autoArrange)
        style |= LVS_AUTOARRANGE;
    m_listView = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 0, 0, 0, 0, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RESULT_LIST)), AppInstance(),
                                 nullptr);
    if (!m_listView)
        return FALSE;
    SendMessageA(m_listView, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    RECT client{};
    GetClientRect(Handle(), &client);
    const CText name = LoadText(IDS_COLUMN_NAME);
    const CText location = LoadText(IDS_COLUMN_LOCATION);
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kNameColumnWidth;
    column.pszText = const_cast<char*>(name.c_str());
    column.iSubItem = 0;
    SendMessageA(m_listView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = client.right - kNameColumnWidth > 100 ? client.right - kNameColumnWidth : 300;
    column.pszText = const_cast<char*>(location.c_str());
    column.iSubItem = 1;
    SendMessageA(m_listView, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    return TRUE;
}

void CExplorerWindow::SizeWindow()
{
    RECT window{};
    GetWindowRect(Handle(), &window);
    if (m_width >= 1 && m_height >= 1) {
        SetWindowPos(Handle(), nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT last{};
    const int lastButton = static_cast<int>(SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0)) - 1;
    SendMessageA(m_toolbar, TB_GETITEMRECT, lastButton, reinterpret_cast<LPARAM>(&last));
    RECT frame{0, 0, last.right + 20, 100};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    int width = frame.right - frame.left;
    int height = window.bottom - window.top;
    int x = window.left;
    int y = window.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (x + width > screenWidth)
        x = screenWidth - width;
    if (y + height > screenHeight)
        y = screenHeight - height;
    if (x < 0) {
        x = 0;
        width = screenWidth - 10;
    }
    if (y < 0) {
        y = 0;
        height = screenHeight - 10;
    }
    SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CExplorerWindow::SetStatusParts(int width)
{
    int text = width - kStatusProgressRoom;
    if (text < kStatusMinimumText)
        text = kStatusMinimumText;
    int parts[2] = {text, width - kStatusGripRoom > text ? width - kStatusGripRoom : text + 1};
    SendMessageA(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageA(m_statusBar, SB_SETTEXTA, 1 | SBT_OWNERDRAW, 0);
}

void CExplorerWindow::Layout(int width, int height)
{
    if (!m_toolbar || !m_statusBar || !m_listView)
        return;
    SendMessageA(m_toolbar, TB_AUTOSIZE, 0, 0);
    SendMessageA(m_statusBar, WM_SIZE, 0, MAKELPARAM(width, height));
    RECT bar{};
    RECT status{};
    GetWindowRect(m_toolbar, &bar);
    GetWindowRect(m_statusBar, &status);
    const int top = bar.bottom - bar.top;
    const int bottom = height - (status.bottom - status.top);
    MoveWindow(m_listView, 0, top, width, bottom > top ? bottom - top : 0, TRUE);
    SetStatusParts(width);
}

void CExplorerWindow::DrawProgress(const DRAWITEMSTRUCT& item) const
{
    const unsigned total = m_progressTotal.load();
    const unsigned opened = static_cast<unsigned>(item.itemData);
    const int width = item.rcItem.right - item.rcItem.left;
    const int filled = total ? MulDiv(width, static_cast<int>(opened < total ? opened : total), static_cast<int>(total))
                             : 0;
    if (filled <= 0)
        return;
    RECT bar = item.rcItem;
    bar.right = bar.left + filled;
    FillRect(item.hDC, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
}

// Search folder, type and commands.

void CExplorerWindow::RefillFolderCombo()
{
    SendMessageA(m_folderCombo, CB_RESETCONTENT, 0, 0);
    for (int slot = 0; slot < CRecentFolders::kSlots && slot < m_recent.Count(); ++slot)
        SendMessageA(m_folderCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_recent.DisplayName(slot).c_str()));
    SendMessageA(m_folderCombo, CB_SETCURSEL, 0, 0);
}

void CExplorerWindow::SetSearchFolder(int specialFolder)
{
    CItemId folder(specialFolder);
    if (!folder.List())
        return;
    m_recent.Add(folder);
    RefillFolderCombo();
}

int CExplorerWindow::SearchTypeSelected() const
{
    const LRESULT selection = SendMessageA(m_typeCombo, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? 0 : static_cast<int>(selection) + 1;
}

void CExplorerWindow::SelectSearchType(int type)
{
    if (type < kSearchApplications || type > kSearchRegisteredDocuments)
        return;
    SendMessageA(m_typeCombo, CB_SETCURSEL, static_cast<WPARAM>(type - 1), 0);
    m_filter.reset();
    switch (type) {
    case kSearchApplications:
        m_filter = CTypeFilter::FromClass("exefile");
        break;
    case kSearchControlPanel:
        SetSearchFolder(CSIDL_CONTROLS);
        break;
    case kSearchProgramGroups:
        SetSearchFolder(CSIDL_STARTMENU);
        m_filter = CTypeFilter::FromClass("Directory");
        break;
    case kSearchShortcuts:
        SetSearchFolder(CSIDL_STARTMENU);
        m_filter = CTypeFilter::FromClass("lnkfile");
        break;
    case kSearchNonFileObjects:
        SetSearchFolder(CSIDL_DESKTOP);
        break;
    case kSearchRegisteredDocuments: {
        auto filter = std::make_unique<CTypeFilter>();
        CFileTypesDialog dialog(this, Handle(), m_catalogue, *filter);
        if (dialog.DoModal() == IDOK)
            m_filter = std::move(filter);
        if (dialog.HelpUsed())
            m_helpUsed = TRUE;
        break;
    }
    default:
        break;
    }
}

BOOL CExplorerWindow::StartSearch()
{
    Trace("Starting search");
    // The old thread must be gone before its results leave the list: the
    // items point at them.
    m_search.Stop();
    SendMessageA(m_listView, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(m_listView, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    SendMessageA(m_listView, LVM_SETIMAGELIST, LVSIL_SMALL, 0);

    SearchRequest request;
    request.type = SearchTypeSelected();
    const LRESULT folder = SendMessageA(m_folderCombo, CB_GETCURSEL, 0, 0);
    if (folder != CB_ERR && m_recent.At(static_cast<int>(folder)))
        request.folder = std::make_unique<CItemId>(*m_recent.At(static_cast<int>(folder)));
    if (m_filter)
        request.filter = std::make_unique<CTypeFilter>(*m_filter);
    const BOOL started = m_search.Start(std::move(request));
    UpdateCommandStates();
    return started;
}

void CExplorerWindow::StopSearch()
{
    Trace("Stopping search");
    m_search.Stop();
    UpdateCommandStates();
}

void CExplorerWindow::UpdateCommandStates()
{
    if (!m_toolbar)
        return;
    const bool selected = SendMessageA(m_listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const bool running = m_search.IsRunning();
    const bool searching = m_search.IsSearching();
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_COPY, MAKELONG(selected, 0));
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_ADD_TO_TOOLBAR, MAKELONG(selected, 0));
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_START_SEARCH, MAKELONG(!running, 0));
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_BROWSE, MAKELONG(!running, 0));
    SendMessageA(m_toolbar, TB_ENABLEBUTTON, IDM_STOP_SEARCH, MAKELONG(running && searching, 0));
    EnableWindow(m_folderCombo, !running);
    EnableWindow(m_typeCombo, !running);
}

BOOL CExplorerWindow::OnInitMenu(HMENU menu)
{
    if (menu != GetMenu(Handle()))
        return FALSE;
    const bool selected = SendMessageA(m_listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const bool running = m_search.IsRunning();
    const bool searching = m_search.IsSearching();
    EnableMenuItem(menu, IDM_COPY, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, IDM_AUTO_ARRANGE, MF_BYCOMMAND | (m_autoArrange ? MF_CHECKED : MF_UNCHECKED));
    for (UINT command = IDM_LARGE_ICONS; command <= IDM_DETAILS; ++command)
        CheckMenuItem(menu, command,
                      MF_BYCOMMAND | (command == CommandOfViewStyle(m_viewStyle) ? MF_CHECKED : MF_UNCHECKED));
    const int type = SearchTypeSelected();
    for (UINT command = IDM_SEARCH_FOR_FIRST; command <= IDM_SEARCH_FOR_LAST; ++command) {
        CheckMenuItem(menu, command, MF_BYCOMMAND | (static_cast<int>(command) - 1 == type ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(menu, command, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
    }
    EnableMenuItem(menu, IDM_BROWSE, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(menu, IDM_START_SEARCH, MF_BYCOMMAND | (running ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(menu, IDM_STOP_SEARCH, MF_BYCOMMAND | (running && searching ? MF_ENABLED : MF_GRAYED));
    HMENU edit = GetSubMenu(menu, 1);
    HMENU addTo = edit ? GetSubMenu(edit, 1) : nullptr;
    if (addTo)
        BuildToolbarMenu(addTo, false);
    return TRUE;
}

void CExplorerWindow::SetViewStyle(int style)
{
    LONG_PTR bits = GetWindowLongPtrA(m_listView, GWL_STYLE);
    bits = (bits & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | style;
    SetWindowLongPtrA(m_listView, GWL_STYLE, bits);
    m_viewStyle = style;
    for (UINT command = IDM_LARGE_ICONS; command <= IDM_DETAILS; ++command)
        SendMessageA(m_toolbar, TB_PRESSBUTTON, command, MAKELONG(command == CommandOfViewStyle(style), 0));
    InvalidateRect(m_listView, nullptr, TRUE);
}

void CExplorerWindow::ToggleAutoArrange()
{
    LONG_PTR bits = GetWindowLongPtrA(m_listView, GWL_STYLE);
    bits ^= LVS_AUTOARRANGE;
    SetWindowLongPtrA(m_listView, GWL_STYLE, bits);
    m_autoArrange = (bits & LVS_AUTOARRANGE) ? 1 : 0;
    if (m_autoArrange)
        SendMessageA(m_listView, LVM_ARRANGE, LVA_DEFAULT, 0);
}

void CExplorerWindow::Browse()
{
    char name[MAX_PATH]{};
    GetWindowTextA(m_folderCombo, name, sizeof name);
    const CText title = LoadText(IDS_BROWSE_TITLE);
    BROWSEINFOA info{};
    info.hwndOwner = Handle();
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen)
        return;
    CItemId folder(chosen);
    CItemId::FreeShellMemory(chosen);
    m_recent.Add(folder);
    RefillFolderCombo();
}

BOOL CExplorerWindow::OnCommand(UINT id, UINT code, HWND control)
{
    if (control == m_typeCombo) {
        if (code == CBN_SELCHANGE)
            SelectSearchType(SearchTypeSelected());
        return TRUE;
    }
    if (control == m_folderCombo)
        return TRUE;
    if (id >= IDM_SEARCH_FOR_FIRST && id <= IDM_SEARCH_FOR_LAST) {
        if (!m_search.IsRunning())
            SelectSearchType(static_cast<int>(id) - 1);
        return TRUE;
    }
    if (id >= IDM_TOOLBAR_FIRST && id <= IDM_TOOLBAR_LAST) {
        AddSelectionToToolbar(static_cast<int>(id - IDM_TOOLBAR_FIRST));
        return TRUE;
    }
    switch (id) {
    case IDM_BROWSE:
        if (!m_search.IsRunning())
            Browse();
        return TRUE;
    case IDM_START_SEARCH:
        // F5 comes through the accelerators whatever the button's state.
        if (!m_search.IsRunning())
            StartSearch();
        return TRUE;
    case IDM_STOP_SEARCH:
        StopSearch();
        return TRUE;
    case IDM_COPY:
        CopySelection();
        return TRUE;
    case IDM_ADD_TO_TOOLBAR:
        ShowToolbarMenuUnderButton();
        return TRUE;
    case IDM_LARGE_ICONS:
    case IDM_SMALL_ICONS:
    case IDM_LIST:
    case IDM_DETAILS:
        SetViewStyle(ViewStyleOfCommand(id));
        return TRUE;
    case IDM_AUTO_ARRANGE:
        ToggleAutoArrange();
        return TRUE;
    case IDM_HELP_TOPICS:
        Help(HELP_FINDER, 0);
        return TRUE;
    case IDM_ABOUT:
        ShowAbout();
        return TRUE;
    case IDM_EXIT:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

// The results and what is done with them.

CSearchResult* CExplorerWindow::ResultAt(int item) const
{
    if (item < 0)
        return nullptr;
    LVITEMA entry{};
    entry.mask = LVIF_PARAM;
    entry.iItem = item;
    if (!SendMessageA(m_listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)))
        return nullptr;
    return reinterpret_cast<CSearchResult*>(entry.lParam);
}

CSearchResult* CExplorerWindow::SelectedResult() const
{
    const int item = static_cast<int>(SendMessageA(m_listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return ResultAt(item);
}

void CExplorerWindow::ReleaseClipboardObject(bool flush)
{
    if (!m_clipboardObject)
        return;
    if (OleIsCurrentClipboard(m_clipboardObject.Get()) == S_OK) {
        if (flush)
            OleFlushClipboard();
        else
            OleSetClipboard(nullptr);
    }
    m_clipboardObject.Reset();
}

BOOL CExplorerWindow::CopySelection()
{
    CSearchResult* result = SelectedResult();
    if (!result)
        return FALSE;
    ReleaseClipboardObject(false);
    CShellFolder parent(result->Parent());
    CComPtr<IDataObject> data;
    if (!parent.IsValid() || !parent.GetDataObject(result->Item(), data))
        return FALSE;
    const HRESULT hr = OleSetClipboard(data.Get());
    if (FAILED(hr)) {
        TraceResult(hr);
        Trace("SetClipboard failed");
        return FALSE;
    }
    m_clipboardObject = data;
    return TRUE;
}

void CExplorerWindow::OpenSelection()
{
    CSearchResult* result = SelectedResult();
    if (!result)
        return;
    CItemId object = result->AbsoluteId();
    if (!object.List())
        return;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = Handle();
    info.lpIDList = const_cast<LPITEMIDLIST>(object.List());
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

void CExplorerWindow::ShowContextMenu(int x, int y)
{
    CSearchResult* result = SelectedResult();
    if (x == -1 && y == -1) {
        // From the keyboard: under the selected item, or the list's corner.
        POINT at{2, 2};
        const int item =
            static_cast<int>(SendMessageA(m_listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        RECT bounds{};
        bounds.left = LVIR_ICON;
        if (item >= 0 && SendMessageA(m_listView, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds)))
            at = POINT{bounds.left + 8, bounds.bottom};
        ClientToScreen(m_listView, &at);
        x = at.x;
        y = at.y;
    }
    if (!result) {
        HMENU view = GetSubMenu(GetMenu(Handle()), 2);
        if (view) {
            SetMenuContextHelpId(view, IDH_VIEW_MENU);
            OnInitMenu(GetMenu(Handle()));
            TrackPopupMenu(view, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, Handle(), nullptr);
        }
        return;
    }
    CShellFolder parent(result->Parent());
    CComPtr<IContextMenu> menu;
    if (!parent.IsValid() || !parent.GetContextMenu(result->Item(), menu))
        return;
    CMenuHandle popup(CreatePopupMenu());
    if (!popup)
        return;
    HRESULT hr = menu->QueryContextMenu(popup.Get(), 0, 1, 32000, CMF_NORMAL);
    if (FAILED(hr)) {
        TraceResult(hr);
        return;
    }
    SetMenuContextHelpId(popup.Get(), IDH_OBJECT_MENU);
    menu->QueryInterface(IID_IContextMenu2, m_contextMenu2.put_void());
    auto alive = AliveToken();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, Handle(), nullptr));
    if (!*alive)
        return;
    m_contextMenu2.Reset();
    if (command < 1)
        return;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = Handle();
    invoke.lpVerb = MAKEINTRESOURCEA(command - 1);
    invoke.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&invoke);
    if (FAILED(hr))
        TraceResult(hr);
}

void CExplorerWindow::BeginDrag(int item)
{
    CSearchResult* result = ResultAt(item);
    if (!result)
        return;
    CComPtr<IDropSource> source;
    source.Reset(new (std::nothrow) CExplorerDropSource());
    if (!source) {
        Trace("FAIL DROP SOURCE");
        return;
    }
    CShellFolder parent(result->Parent());
    CComPtr<IDataObject> data;
    if (!parent.IsValid() || !parent.GetDataObject(result->Item(), data))
        return;
    auto alive = AliveToken();
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr =
        DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    if (!*alive)
        return;
    if (hr == DRAGDROP_S_DROP && (effect & DROPEFFECT_MOVE)) {
        // The list may have changed during the drag: find the item again.
        LVFINDINFOA find{};
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(result);
        const LRESULT index = SendMessageA(m_listView, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find));
        if (index >= 0)
            SendMessageA(m_listView, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
}

void CExplorerWindow::BuildToolbarMenu(HMENU menu, bool withCancel)
{
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    m_toolbars = FindToolbarWindows();
    if (m_toolbars.empty()) {
        AppendMenuA(menu, MF_STRING | MF_GRAYED, IDM_TOOLBAR_FIRST, LoadText(IDS_NO_TOOLBARS).c_str());
    } else {
        const bool selected = SendMessageA(m_listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
        const size_t shown = m_toolbars.size() < IDM_TOOLBAR_LAST - IDM_TOOLBAR_FIRST + 1
                                 ? m_toolbars.size()
                                 : IDM_TOOLBAR_LAST - IDM_TOOLBAR_FIRST + 1;
        for (size_t k = 0; k < shown; ++k) {
            // A name with an ampersand shows as it is, not as a mnemonic.
            CText label;
            for (const char* c = m_toolbars[k].name.c_str(); *c; ++c) {
                char one[2] = {*c, 0};
                label += one;
                if (*c == '&')
                    label += "&";
            }
            InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING | (selected ? MF_ENABLED : MF_GRAYED),
                        IDM_TOOLBAR_FIRST + k, label.c_str());
        }
    }
    if (withCancel) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDCANCEL, LoadText(IDS_CANCEL).c_str());
    }
}

void CExplorerWindow::ShowToolbarMenuUnderButton()
{
    CMenuHandle menu(CreatePopupMenu());
    if (!menu)
        return;
    BuildToolbarMenu(menu.Get(), true);
    RECT button{};
    const LRESULT index = SendMessageA(m_toolbar, TB_COMMANDTOINDEX, IDM_ADD_TO_TOOLBAR, 0);
    SendMessageA(m_toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    POINT corner{button.left, button.bottom};
    ClientToScreen(m_toolbar, &corner);
    auto alive = AliveToken();
    const UINT command = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                                                          corner.x, corner.y, 0, Handle(), nullptr));
    if (*alive && command > 1000)
        OnCommand(command, 0, nullptr);
}

void CExplorerWindow::AddSelectionToToolbar(int entry)
{
    if (entry < 0 || static_cast<size_t>(entry) >= m_toolbars.size())
        return;
    if (!CopySelection())
        return;
    const CText name = ToolbarNameFromTitle(m_toolbars[static_cast<size_t>(entry)].name);
    // An atom holds at most 255 characters.  Without the check a longer name
    // fails to become one, and the 0 posted would mean "the toolbar in slot 0".
    const ATOM atom = GlobalAddAtomA(name.c_str());
    if (!atom) {
        Application()->DisplayMessage(Handle(), IDS_ATOM_FAILED, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                      kCaptionProgramName);
        return;
    }
    HWND main = FindWindowA(LINTEL_MAIN_CLASS, "Lintel");
    if (!main || !PostMessageA(main, UM_ADDBUTTON, atom, 0))
        GlobalDeleteAtom(atom);
}

void CExplorerWindow::ShowAbout()
{
    CExplorerAboutDialog about(this);
    about.DoModal();
}

BOOL CExplorerWindow::Help(UINT command, ULONG_PTR data, HWND owner)
{
    const CText file = LoadText(IDS_HELP_FILE);
    if (file.IsEmpty())
        return FALSE;
    if (!::ShowHelp(owner ? owner : Handle(), file.c_str(), command, data))
        return FALSE;
    m_helpUsed = TRUE;
    return TRUE;
}

BOOL CExplorerWindow::OnHelp(HELPINFO* helpInfo)
{
    if (!helpInfo || helpInfo->iContextType == HELPINFO_WINDOW)
        Help(HELP_FINDER, 0);
    else
        Help(HELP_CONTEXT, helpInfo->dwContextId ? helpInfo->dwContextId : IDH_DEFAULT);
    return TRUE;
}

BOOL CExplorerWindow::OnClose()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsZoomed(Handle())) {
        m_width = -1;
        m_height = -1;
    } else if (IsIconic(Handle()) && GetWindowPlacement(Handle(), &placement)) {
        // A minimised window's own rectangle is the icon's; the size to
        // keep is the one it is restored to.
        m_width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
        m_height = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
    } else {
        RECT window{};
        GetWindowRect(Handle(), &window);
        m_width = window.right - window.left;
        m_height = window.bottom - window.top;
    }
    DestroyWindow(Handle());
    return TRUE;
}

BOOL CExplorerWindow::OnDestroy()
{
    // The thread talks to the list by SendMessage: it must end while the
    // window still answers.
    m_search.Stop();
    if (m_helpUsed) {
        const CText file = LoadText(IDS_HELP_FILE);
        ::ShowHelp(Handle(), file.c_str(), HELP_QUIT, 0);
    }
    PostQuitMessage(0);
    return TRUE;
}

LRESULT CExplorerWindow::OnNotify(NMHDR* header)
{
    if (!header)
        return 0;
    if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) {
        // The toolbar buttons' tips: the command id + 1000.
        const UINT_PTR command = header->idFrom;
        if (command == IDM_BROWSE || (command >= IDM_START_SEARCH && command <= IDM_HELP_TOPICS)) {
            if (header->code == TTN_GETDISPINFOA) {
                auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
                info->hinst = AppInstance();
                info->lpszText = MAKEINTRESOURCEA(IDS_TIP_BASE + command);
            } else {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
                info->hinst = AppInstance();
                info->lpszText = MAKEINTRESOURCEW(IDS_TIP_BASE + command);
            }
        }
        return 0;
    }
    if (header->hwndFrom != m_listView)
        return 0;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->uChanged & LVIF_STATE)
            UpdateCommandStates();
        break;
    }
    case NM_DBLCLK:
        OpenSelection();
        break;
    case NM_RETURN:
        OpenSelection();
        break;
    case LVN_KEYDOWN:
        // The menu shows Ctrl+C for Copy; the list is where the keys arrive.
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == 'C' && (GetKeyState(VK_CONTROL) & 0x8000))
            CopySelection();
        break;
    case LVN_BEGINDRAG:
        BeginDrag(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CExplorerWindow::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    // An object's context menu draws its own submenus ("Send To", "Open With").
    if (m_contextMenu2 && (message == WM_INITMENUPOPUP || message == WM_DRAWITEM || message == WM_MEASUREITEM)) {
        if (message != WM_DRAWITEM || reinterpret_cast<DRAWITEMSTRUCT*>(second)->CtlType == ODT_MENU) {
            m_contextMenu2->HandleMenuMsg(message, first, second);
            return message == WM_INITMENUPOPUP ? 0 : TRUE;
        }
    }
    switch (message) {
    case WM_SIZE:
        Layout(LOWORD(second), HIWORD(second));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(second));
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(second);
        if (item && item->hwndItem == m_statusBar) {
            DrawProgress(*item);
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(first) == m_listView) {
            ShowContextMenu(GET_X_LPARAM(second), GET_Y_LPARAM(second));
            return 0;
        }
        break;
    case WM_SETFOCUS:
        SetFocus(m_listView);
        return 0;
    case UM_SEARCH_STATE:
        UpdateCommandStates();
        // The thread is about to end; it is joined once it has.
        if (!m_search.IsSearching())
            PostMessageA(Handle(), UM_SEARCH_FINISHED, 0, 0);
        return 0;
    case UM_SEARCH_FINISHED:
        if (m_search.IsRunning() && !m_search.IsSearching())
            m_search.Stop();
        UpdateCommandStates();
        return 0;
    case UM_SEARCH_ROOT: {
        auto* request = reinterpret_cast<RootRequest*>(second);
        if (request && request->root) {
            m_recent.Add(*request->root);
            RefillFolderCombo();
            request->location = m_recent.DisplayName(0);
        }
        return 0;
    }
    case UM_SEARCH_IMAGES:
        SendMessageA(m_listView, LVM_SETIMAGELIST, LVSIL_NORMAL, static_cast<LPARAM>(first));
        SendMessageA(m_listView, LVM_SETIMAGELIST, LVSIL_SMALL, second);
        return 0;
    default:
        break;
    }
    return CWindowBase::WindowProc(message, first, second);
}

// What the search thread reports.  Each call is a SendMessage, so the window's
// thread does the work while the search waits.

void CExplorerWindow::SearchStateChanged()
{
    SendMessageA(Handle(), UM_SEARCH_STATE, 0, 0);
}

void CExplorerWindow::SetImageLists(HIMAGELIST large, HIMAGELIST small)
{
    SendMessageA(Handle(), UM_SEARCH_IMAGES, reinterpret_cast<WPARAM>(large), reinterpret_cast<LPARAM>(small));
}

CText CExplorerWindow::RecordRootFolder(const CItemId& root)
{
    RootRequest request{&root, CText()};
    SendMessageA(Handle(), UM_SEARCH_ROOT, 0, reinterpret_cast<LPARAM>(&request));
    return request.location;
}

void CExplorerWindow::ShowStatus(const CText& text)
{
    SendMessageA(m_statusBar, SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

void CExplorerWindow::ShowProgress(unsigned opened, unsigned total)
{
    m_progressTotal.store(total);
    SendMessageA(m_statusBar, SB_SETTEXTA, 1 | SBT_OWNERDRAW, static_cast<LPARAM>(opened));
}

BOOL CExplorerWindow::InsertResult(CSearchResult* result)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = const_cast<char*>(result->Name().c_str());
    item.iImage = result->Image();
    item.lParam = reinterpret_cast<LPARAM>(result);
    const LRESULT index = SendMessageA(m_listView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (index < 0)
        return FALSE;
    LVITEMA location{};
    location.iSubItem = 1;
    location.pszText = const_cast<char*>(result->Location().c_str());
    SendMessageA(m_listView, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&location));
    return TRUE;
}

int CExplorerWindow::ListedCount()
{
    return static_cast<int>(SendMessageA(m_listView, LVM_GETITEMCOUNT, 0, 0));
}
