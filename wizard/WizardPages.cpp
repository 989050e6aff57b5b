#include "WizardPages.h"

#include "ToolbarWizard.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/wizard/wizard_res.h"

#include <new>

namespace {

constexpr int kTypeCount = 4;
constexpr int kTypeItemHeight = 13;
constexpr int kFoundItemHeight = 17;

CheckListStyle WizardChecks(int minimumHeight)
{
    CheckListStyle style;
    style.toggleMessage = UM_TOGGLE_CHECK;
    style.checkedBitmap = IDB_CHECKED;
    style.uncheckedBitmap = IDB_UNCHECKED;
    style.minimumHeight = minimumHeight;
    style.wholeRows = true;
    return style;
}
constexpr int kPreviewSize = 100;

int CheckedRadio(HWND page, int first, int last, int fallback)
{
    for (int id = first; id <= last; ++id) {
        if (IsDlgButtonChecked(page, id) == BST_CHECKED)
            return id;
    }
    return fallback;
}

} // namespace

// Every page.

CWizardPage::CWizardPage(UINT templateId, UINT titleId, UINT pictureId, UINT helpContext, CToolbarWizard& wizard)
    : CPropertyPageBase(templateId, &wizard, nullptr), m_wizard(wizard), m_pictureId(pictureId),
      m_helpContext(helpContext)
{
    SetTitle(titleId);
    m_record.dwFlags |= PSP_HASHELP;
}

BOOL CWizardPage::OnInitDialog()
{
    if (m_pictureId) {
        m_picture.Reset(static_cast<HBITMAP>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(m_pictureId), IMAGE_BITMAP, 0,
                                                        0, LR_DEFAULTCOLOR)));
        if (m_picture)
            SendDlgItemMessageA(Handle(), IDC_SIDE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(m_picture.Get()));
    }
    return TRUE;
}

BOOL CWizardPage::OnHelpButton()
{
    m_wizard.ShowHelp(Sheet(), m_helpContext);
    return TRUE;
}

// Page 2: the name.

CNamePage::CNamePage(CToolbarWizard& wizard)
    : CWizardPage(IDD_NAME, IDS_TITLE_NAME, IDB_WELCOME, IDH_NAME, wizard)
{
}

BOOL CNamePage::OnSetActive()
{
    SendDlgItemMessageA(Handle(), IDC_NAME, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextA(Handle(), IDC_NAME, m_wizard.Answers().name.c_str());
    return CWizardPage::OnSetActive();
}

BOOL CNamePage::OnWizardNext(int& target)
{
    char name[MAX_PATH + 1]{};
    GetDlgItemTextA(Handle(), IDC_NAME, name, MAX_PATH + 1);
    if (!name[0]) {
        m_wizard.Message(Sheet(), IDS_MSG_NO_NAME, MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(Handle(), IDC_NAME));
        return FALSE;
    }
    m_wizard.Answers().name = name;
    target = -1;
    return TRUE;
}

// Page 3: position and orientation, with the preview.

CPositionPage::CPositionPage(CToolbarWizard& wizard)
    : CWizardPage(IDD_POSITION, IDS_TITLE_POSITION, 0, IDH_POSITION, wizard)
{
}

POINT CPositionPage::PreviewSpot(int position, bool vertical)
{
    static const POINT standing[5] = {{46, 27}, {17, 23}, {75, 23}, {17, 30}, {75, 30}};
    static const POINT lying[5] = {{34, 39}, {17, 23}, {51, 23}, {17, 55}, {51, 55}};
    if (position < 0 || position > 4)
        position = 0;
    return vertical ? standing[position] : lying[position];
}

BOOL CPositionPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    m_position = m_wizard.Answers().position;
    m_vertical = m_wizard.Answers().vertical;
    return TRUE;
}

BOOL CPositionPage::OnSetActive()
{
    m_position = m_wizard.Answers().position;
    m_vertical = m_wizard.Answers().vertical;
    CheckRadioButton(Handle(), IDC_POSITION_FIRST, IDC_POSITION_LAST, IDC_POSITION_FIRST + m_position);
    CheckRadioButton(Handle(), IDC_VERTICAL, IDC_HORIZONTAL, m_vertical ? IDC_VERTICAL : IDC_HORIZONTAL);
    DrawPreview();
    return CWizardPage::OnSetActive();
}

BOOL CPositionPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (code == BN_CLICKED && ((id >= IDC_POSITION_FIRST && id <= IDC_POSITION_LAST) || id == IDC_VERTICAL
                               || id == IDC_HORIZONTAL)) {
        ReadChoice();
        DrawPreview();
    }
    return CWizardPage::OnCommand(id, code, control);
}

void CPositionPage::ReadChoice()
{
    m_position = CheckedRadio(Handle(), IDC_POSITION_FIRST, IDC_POSITION_LAST, IDC_POSITION_FIRST) - IDC_POSITION_FIRST;
    m_vertical = IsDlgButtonChecked(Handle(), IDC_HORIZONTAL) == BST_CHECKED ? 0 : 1;
}

BOOL CPositionPage::OnWizardNext(int& target)
{
    ReadChoice();
    m_wizard.Answers().position = m_position;
    m_wizard.Answers().vertical = m_vertical;
    target = -1;
    return TRUE;
}

BOOL CPositionPage::OnWizardBack(int& target)
{
    return OnWizardNext(target);
}

void CPositionPage::DrawPreview()
{
    HDC screenDc = GetDC(Handle());
    if (!screenDc)
        return;
    HDC target = CreateCompatibleDC(screenDc);
    HDC source = CreateCompatibleDC(screenDc);
    CBitmapHandle composed(CreateCompatibleBitmap(screenDc, kPreviewSize, kPreviewSize));
    CBitmapHandle screen(static_cast<HBITMAP>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_SCREEN), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    CBitmapHandle bar(static_cast<HBITMAP>(LoadImageA(AppInstance(),
                                                      MAKEINTRESOURCEA(m_vertical ? IDB_VERTICAL : IDB_HORIZONTAL),
                                                      IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (target && source && composed && screen && bar) {
        HGDIOBJ oldTarget = SelectObject(target, composed.Get());
        HGDIOBJ oldSource = SelectObject(source, screen.Get());
        BitBlt(target, 0, 0, kPreviewSize, kPreviewSize, source, 0, 0, SRCCOPY);
        SelectObject(source, bar.Get());
        const POINT spot = PreviewSpot(m_position, m_vertical != 0);
        BitBlt(target, spot.x, spot.y, m_vertical ? 6 : 30, m_vertical ? 30 : 6, source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
        // The control keeps drawing the bitmap it holds, so the previous one
        // goes only after the new one is in place.
        SendDlgItemMessageA(Handle(), IDC_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(composed.Get()));
        m_preview = std::move(composed);
    }
    if (source)
        DeleteDC(source);
    if (target)
        DeleteDC(target);
    ReleaseDC(Handle(), screenDc);
}

// Page 4: button style.

CStylePage::CStylePage(CToolbarWizard& wizard)
    : CWizardPage(IDD_STYLE, IDS_TITLE_STYLE, IDB_STYLE, IDH_STYLE, wizard)
{
}

BOOL CStylePage::OnSetActive()
{
    const WizardAnswers& answers = m_wizard.Answers();
    CheckRadioButton(Handle(), IDC_LARGE, IDC_SMALL, IDC_SMALL - answers.buttonSize);
    CheckRadioButton(Handle(), IDC_DESCRIPTIONS_YES, IDC_DESCRIPTIONS_NO,
                     answers.showDescriptions ? IDC_DESCRIPTIONS_YES : IDC_DESCRIPTIONS_NO);
    return CWizardPage::OnSetActive();
}

void CStylePage::Store()
{
    WizardAnswers& answers = m_wizard.Answers();
    answers.buttonSize = IDC_SMALL - CheckedRadio(Handle(), IDC_LARGE, IDC_SMALL, IDC_NORMAL);
    answers.showDescriptions = IsDlgButtonChecked(Handle(), IDC_DESCRIPTIONS_YES) == BST_CHECKED ? 1 : 0;
}

BOOL CStylePage::OnWizardNext(int& target)
{
    Store();
    target = -1;
    return TRUE;
}

BOOL CStylePage::OnWizardBack(int& target)
{
    return OnWizardNext(target);
}

// Pages with a check list.

CCheckListPage::CCheckListPage(UINT templateId, UINT titleId, UINT pictureId, UINT helpContext,
                               CToolbarWizard& wizard, int listId)
    : CWizardPage(templateId, titleId, pictureId, helpContext, wizard), m_listId(listId)
{
}

INT_PTR CCheckListPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(second);
        if (!draw || static_cast<int>(draw->CtlID) != m_listId)
            return FALSE;
        DrawItem(*draw);
        return TRUE;
    }
    case UM_FILL_LIST:
        Fill();
        return TRUE;
    case UM_TOGGLE_CHECK:
        Toggle(static_cast<int>(first));
        return TRUE;
    case WM_DESTROY:
        m_list.Detach();
        return FALSE;
    default:
        return CWizardPage::PageProc(handle, message, first, second);
    }
}

void CCheckListPage::AttachList(int minimumHeight)
{
    m_list.Attach(Handle(), m_listId, WizardChecks(minimumHeight));
}

// Page 5: what to search for.

CSearchTypesPage::CSearchTypesPage(CToolbarWizard& wizard)
    : CCheckListPage(IDD_SEARCH_TYPES, IDS_TITLE_WELCOME, IDB_SEARCH, IDH_SEARCH_TYPES, wizard, IDC_TYPE_LIST)
{
}

void CSearchTypesPage::DrawItem(const DRAWITEMSTRUCT& draw)
{
    const int bit = static_cast<int>(draw.itemData);
    char text[128]{};
    if (draw.itemID != static_cast<UINT>(-1))
        SendMessageA(draw.hwndItem, LB_GETTEXT, draw.itemID, reinterpret_cast<LPARAM>(text));
    m_list.Draw(draw, (m_wizard.SearchMask() & bit) != 0, text, nullptr, -1);
}

BOOL CSearchTypesPage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    AttachList(kTypeItemHeight);
    Fill();
    return TRUE;
}

void CSearchTypesPage::Fill()
{
    HWND list = m_list.Handle();
    if (!list)
        return;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kTypeCount; ++i) {
        CText text;
        text.LoadString(AppInstance(), IDS_TYPE_FIRST + i);
        const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index >= 0)
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), 1 << i);
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    ShowDescription();
}

BOOL CSearchTypesPage::OnSetActive()
{
    if (m_list.Handle())
        InvalidateRect(m_list.Handle(), nullptr, TRUE);
    ShowDescription();
    return CWizardPage::OnSetActive();
}

void CSearchTypesPage::Toggle(int index)
{
    HWND list = m_list.Handle();
    const LRESULT data = list ? SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) : LB_ERR;
    if (data == LB_ERR || data == 0)
        return;
    const int bit = static_cast<int>(data);
    m_wizard.SearchMask() ^= bit;
    if (bit == kSearchApplications && (m_wizard.SearchMask() & bit))
        m_wizard.SelectAllCompanies();
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_list.Redraw(index);
    ShowDescription();
    SetChanged();
}

void CSearchTypesPage::ShowDescription()
{
    HWND list = m_list.Handle();
    const LRESULT selected = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    CText text;
    if (selected != LB_ERR)
        text.LoadString(AppInstance(), IDS_TYPE_DESCRIPTION_FIRST + static_cast<UINT>(selected));
    SetDlgItemTextA(Handle(), IDC_TYPE_DESCRIPTION, text.c_str());
    const LRESULT bit = selected != LB_ERR ? SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0) : 0;
    EnableWindow(GetDlgItem(Handle(), IDC_CHOOSE_COMPANIES), bit == kSearchApplications);
}

BOOL CSearchTypesPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_TYPE_LIST:
        if (code == LBN_SELCHANGE)
            ShowDescription();
        break;
    case IDC_SELECT_ALL:
        if (code == BN_CLICKED) {
            m_wizard.SearchMask() = kSearchEverything;
            m_wizard.SelectAllCompanies();
            if (m_list.Handle())
                InvalidateRect(m_list.Handle(), nullptr, TRUE);
        }
        break;
    case IDC_CHOOSE_COMPANIES:
        if (code == BN_CLICKED) {
            CCompaniesDialog dialog(Sheet(), m_wizard);
            dialog.DoModal();
            if (SelectedCompanies(m_wizard.CompanyList()) > 0)
                m_wizard.SearchMask() |= kSearchApplications;
            else
                m_wizard.SearchMask() &= ~kSearchApplications;
            if (m_list.Handle())
                InvalidateRect(m_list.Handle(), nullptr, TRUE);
        }
        break;
    default:
        break;
    }
    return CWizardPage::OnCommand(id, code, control);
}

BOOL CSearchTypesPage::OnWizardNext(int& target)
{
    if (m_wizard.SearchMask() == 0) {
        m_wizard.Message(Sheet(), IDS_MSG_NO_SEARCH_TYPE, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    // The same types and the very same companies as the last finished search:
    // its results, and the user's checks in them, still hold.
    if (m_wizard.SameAsLastSearch()) {
        target = IDD_CHOOSE;
        return TRUE;
    }
    m_wizard.RecordSearch();
    target = IDD_SEARCHING;
    return TRUE;
}

// Page 6: the search.

CSearchingPage::CSearchingPage(CToolbarWizard& wizard)
    : CWizardPage(IDD_SEARCHING, IDS_TITLE_SEARCHING, IDB_SEARCH, IDH_SEARCHING, wizard), m_search(*this)
{
}

CSearchingPage::~CSearchingPage()
{
    m_search.Stop();
}

INT_PTR CSearchingPage::PageProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case UM_START_SEARCH:
        StartSearch();
        return TRUE;
    case UM_SEARCH_ENDED:
        SearchEnded(first != 0);
        return TRUE;
    case WM_DESTROY:
        StopSearch();
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(second);
        // The sheet is about to go: the thread must be gone before the
        // controls it writes to.
        if (header && (header->code == PSN_QUERYCANCEL || header->code == PSN_RESET))
            StopSearch();
        if (header && header->code == PSN_QUERYCANCEL) {
            SetWindowLongPtrA(handle, DWLP_MSGRESULT, FALSE);
            return TRUE;
        }
        return CWizardPage::PageProc(handle, message, first, second);
    }
    default:
        return CWizardPage::PageProc(handle, message, first, second);
    }
}

BOOL CSearchingPage::OnSetActive()
{
    // Back stays: it stops the search and returns to the search types.
    PropSheet_SetWizButtons(Sheet(), PSWIZB_BACK);
    PostMessageA(Handle(), UM_START_SEARCH, 0, 0);
    return TRUE;
}

void CSearchingPage::StartSearch()
{
    if (PropSheet_GetCurrentPageHwnd(Sheet()) != Handle())
        return;
    WizardSearchRequest request;
    request.mask = m_wizard.SearchMask();
    request.companies = m_wizard.CompanyList();
    request.found = &m_wizard.Found();
    request.images = m_wizard.Images();
    request.notify = Handle();
    if (m_wizard.Images())
        ImageList_RemoveAll(m_wizard.Images());
    if (!m_search.Start(std::move(request)))
        m_wizard.ForgetSearch();
}

void CSearchingPage::StopSearch()
{
    if (!m_search.IsRunning())
        return;
    m_search.Stop();
    if (!m_search.Completed())
        m_wizard.ForgetSearch();
}

void CSearchingPage::SearchEnded(bool completed)
{
    // A search stopped from here has already been waited for; its late
    // notice changes nothing.
    if (!m_search.IsRunning())
        return;
    m_search.Join();
    if (!completed) {
        m_wizard.ForgetSearch();
        return;
    }
    if (PropSheet_GetCurrentPageHwnd(Sheet()) != Handle())
        return;
    PropSheet_SetWizButtons(Sheet(), PSWIZB_BACK | PSWIZB_NEXT);
    PropSheet_SetCurSel(Sheet(), nullptr, 6);
}

BOOL CSearchingPage::OnWizardBack(int& target)
{
    StopSearch();
    target = IDD_SEARCH_TYPES;
    return TRUE;
}

void CSearchingPage::ShowStatus(UINT textId)
{
    CText text;
    text.LoadString(AppInstance(), textId);
    SetDlgItemTextA(Handle(), IDC_SEARCH_STATUS, text.c_str());
}

void CSearchingPage::ShowProgress(unsigned percent)
{
    SendDlgItemMessageA(Handle(), IDC_SEARCH_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(Handle(), IDC_SEARCH_PROGRESS, PBM_SETPOS, percent, 0);
}

void CSearchingPage::ShowFound(unsigned found)
{
    char text[32]{};
    wsprintfA(text, "%lu", static_cast<unsigned long>(found));
    SetDlgItemTextA(Handle(), IDC_FOUND_COUNT, text);
}

// Page 7: the found items.

CChoosePage::CChoosePage(CToolbarWizard& wizard)
    : CCheckListPage(IDD_CHOOSE, IDS_TITLE_CHOOSE, IDB_CHOOSE, IDH_CHOOSE, wizard, IDC_FOUND_LIST)
{
}

void CChoosePage::DrawItem(const DRAWITEMSTRUCT& draw)
{
    const FoundItems& found = m_wizard.Found();
    const size_t index = static_cast<size_t>(draw.itemData);
    if (draw.itemID == static_cast<UINT>(-1) || index >= found.size()) {
        m_list.Draw(draw, false, "", nullptr, -1);
        return;
    }
    const CFoundItem& item = *found[index];
    m_list.Draw(draw, item.Checked() != 0, item.Name().c_str(), m_wizard.Images(), item.Image());
}

BOOL CChoosePage::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    AttachList(kFoundItemHeight);
    return TRUE;
}

BOOL CChoosePage::OnSetActive()
{
    Fill();
    return CWizardPage::OnSetActive();
}

void CChoosePage::Fill()
{
    HWND list = m_list.Handle();
    if (!list)
        return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const FoundItems& found = m_wizard.Found();
    for (size_t i = 0; i < found.size(); ++i) {
        const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found[i]->Name().c_str()));
        if (index == LB_ERR || index == LB_ERRSPACE)
            break;
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    ShowCount();
}

void CChoosePage::ShowCount()
{
    int checked = 0;
    for (const auto& item : m_wizard.Found())
        checked += item->Checked();
    SetDlgItemInt(Handle(), IDC_SELECTED_COUNT, static_cast<UINT>(checked), FALSE);
}

void CChoosePage::Toggle(int index)
{
    HWND list = m_list.Handle();
    const LRESULT data = list ? SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) : LB_ERR;
    FoundItems& found = m_wizard.Found();
    if (data == LB_ERR || static_cast<size_t>(data) >= found.size())
        return;
    CFoundItem& item = *found[static_cast<size_t>(data)];
    if (!item.Checked()) {
        int checked = 0;
        for (const auto& other : found)
            checked += other->Checked();
        if (checked >= kMostCheckedItems) {
            m_wizard.Message(Sheet(), IDS_MSG_TOO_MANY, MB_OK | MB_ICONINFORMATION);
            return;
        }
    }
    item.SetChecked(!item.Checked());
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_list.Redraw(index);
    ShowCount();
    SetChanged();
}

BOOL CChoosePage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_CLEAR_ALL && code == BN_CLICKED) {
        for (auto& item : m_wizard.Found())
            item->SetChecked(0);
        if (m_list.Handle())
            InvalidateRect(m_list.Handle(), nullptr, TRUE);
        ShowCount();
    }
    return CWizardPage::OnCommand(id, code, control);
}

BOOL CChoosePage::OnWizardNext(int& target)
{
    int checked = 0;
    for (const auto& item : m_wizard.Found())
        checked += item->Checked();
    if (checked == 0 && m_wizard.Message(Sheet(), IDS_MSG_NO_BUTTONS, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    target = -1;
    return TRUE;
}

BOOL CChoosePage::OnWizardBack(int& target)
{
    // Back goes past the search to the choice of what to search for.
    target = IDD_SEARCH_TYPES;
    return TRUE;
}

// Page 8.

CFinishedPage::CFinishedPage(CToolbarWizard& wizard)
    : CWizardPage(IDD_FINISHED, IDS_TITLE_FINISHED, IDB_FINISHED, IDH_FINISHED, wizard)
{
}

BOOL CFinishedPage::OnWizardFinish()
{
    m_wizard.SetFinished();
    return TRUE;
}

// The companies dialog.

CCompaniesDialog::CCompaniesDialog(HWND owner, CToolbarWizard& wizard)
    : CDialogBase(IDD_COMPANIES, nullptr, owner), m_wizard(wizard)
{
}

INT_PTR CCompaniesDialog::DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(second);
        if (!draw || draw->CtlID != IDC_COMPANY_LIST)
            return FALSE;
        const Companies& companies = m_wizard.CompanyList();
        const size_t index = static_cast<size_t>(draw->itemData);
        const bool valid = draw->itemID != static_cast<UINT>(-1) && index < companies.size();
        m_list.Draw(*draw, valid && companies[index].selected, valid ? companies[index].name.c_str() : "", nullptr, -1);
        return TRUE;
    }
    case UM_TOGGLE_CHECK: {
        const LRESULT data = SendMessageA(m_list.Handle(), LB_GETITEMDATA, first, 0);
        Companies& companies = m_wizard.CompanyList();
        if (data != LB_ERR && static_cast<size_t>(data) < companies.size()) {
            companies[static_cast<size_t>(data)].selected = companies[static_cast<size_t>(data)].selected ? 0 : 1;
            SendMessageA(m_list.Handle(), LB_SETCURSEL, first, 0);
            m_list.Redraw(static_cast<int>(first));
        }
        return TRUE;
    }
    case WM_DESTROY:
        m_list.Detach();
        return FALSE;
    default:
        return CDialogBase::DialogProc(handle, message, first, second);
    }
}

BOOL CCompaniesDialog::OnInitDialog()
{
    m_list.Attach(Handle(), IDC_COMPANY_LIST, WizardChecks(kTypeItemHeight));
    const Companies& companies = m_wizard.CompanyList();
    for (size_t i = 0; i < companies.size(); ++i) {
        const LRESULT index =
            SendMessageA(m_list.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(companies[i].name.c_str()));
        if (index >= 0)
            SendMessageA(m_list.Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }
    return TRUE;
}

BOOL CCompaniesDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_COMPANIES_HELP:
        m_wizard.ShowHelp(Handle(), IDH_COMPANIES);
        return TRUE;
    case IDCANCEL:
        // The dialog has no Cancel of its own: Escape keeps the checks as OK does.
        return OnOK();
    default:
        return CDialogBase::OnCommand(id, code, control);
    }
}

void AddWizardPages(CPropertySheetBase& sheet, CToolbarWizard& wizard)
{
    sheet.Add(new (std::nothrow) CWizardPage(IDD_WELCOME, IDS_TITLE_WELCOME, IDB_WELCOME, IDH_WELCOME, wizard));
    sheet.Add(new (std::nothrow) CNamePage(wizard));
    sheet.Add(new (std::nothrow) CPositionPage(wizard));
    sheet.Add(new (std::nothrow) CStylePage(wizard));
    sheet.Add(new (std::nothrow) CSearchTypesPage(wizard));
    sheet.Add(new (std::nothrow) CSearchingPage(wizard));
    sheet.Add(new (std::nothrow) CChoosePage(wizard));
    sheet.Add(new (std::nothrow) CFinishedPage(wizard));
}
