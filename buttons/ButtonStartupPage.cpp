#include "ButtonStartupPage.h"

#include "ButtonPageSupport.h"
#include "ExecButton.h"
#include "FileButton.h"
#include "../common/Application.h"
#include "GroupButton.h"
#include "../resources/lintel/resource.h"

using namespace buttonpages;

namespace {

const DWORD kHelpIds[] = {
    IDC_BP_ALLOW_DROPS, IDH_BP_ALLOW_DROPS, IDC_BP_CONVERT_83,  IDH_BP_CONVERT_83,
    IDC_BP_SHOW_STATE,  IDH_BP_SHOW_STATE,  IDC_BP_OPEN_TARGET, IDH_BP_OPEN_TARGET,
    IDC_BP_START_EVERY, IDH_BP_START_EVERY, 0,                  0,
};

// The drop-down list's entries, in the order of the show states.
const UINT kShowStateTexts[] = {IDS_SHOW_MINIMIZED, IDS_SHOW_MAXIMIZED, IDS_SHOW_NORMAL};

} // namespace

CButtonStartupPage::Values CButtonStartupPage::ReadButton(const CFileButton& button)
{
    Values values;
    values.allowDrops = button.AllowsDrops();
    values.showState = button.GetShowState();
    if (button.Kind() == kKindProgram)
        values.convertTo83 = static_cast<const CExecButton&>(button).ConvertTo83();
    if (button.Kind() == kKindGroup)
        values.startEvery = static_cast<const CGroupButton&>(button).StartsEvery();
    return values;
}

void CButtonStartupPage::WriteButton(CFileButton& button, const Values& values)
{
    button.SetAllowDrops(values.allowDrops);
    button.SetShowState(values.showState);
    if (button.Kind() == kKindProgram)
        static_cast<CExecButton&>(button).SetConvertTo83(values.convertTo83);
    if (button.Kind() == kKindGroup)
        static_cast<CGroupButton&>(button).SetStartEvery(values.startEvery);
    if (button.Handle())
        InvalidateRect(button.Handle(), nullptr, TRUE);
}

CButtonStartupPage::CButtonStartupPage(CFileButton* button)
    : CPropertyPageBase(IDD_BUTTON_STARTUP, button, nullptr), m_button(button)
{
    SetTitle(IDS_PAGE_STARTUP);
    if (m_button) {
        m_unchanged = ReadButton(*m_button);
        m_canDrop = m_button->CanAcceptDrops();
    }
    m_edited = m_unchanged;
}

BOOL CButtonStartupPage::OnInitDialog()
{
    HWND list = GetDlgItem(Handle(), IDC_BP_SHOW_STATE);
    for (UINT textId : kShowStateTexts) {
        CText text;
        text.LoadString(AppInstance(), textId);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const BOOL isGroup = m_button && m_button->Kind() == kKindGroup;
    Enable(Handle(), IDC_BP_ALLOW_DROPS, m_canDrop);
    for (int control : {IDC_BP_LEFT_CLICK_GROUP, IDC_BP_OPEN_TARGET, IDC_BP_START_EVERY})
        Enable(Handle(), control, isGroup);
    return TRUE;
}

BOOL CButtonStartupPage::OnSetActive()
{
    Check(Handle(), IDC_BP_ALLOW_DROPS, m_edited.allowDrops);
    Check(Handle(), IDC_BP_CONVERT_83, m_edited.convertTo83);
    SendDlgItemMessageA(Handle(), IDC_BP_SHOW_STATE, CB_SETCURSEL, static_cast<WPARAM>(m_edited.showState), 0);
    CheckRadioButton(Handle(), IDC_BP_OPEN_TARGET, IDC_BP_START_EVERY,
                     m_edited.startEvery ? IDC_BP_START_EVERY : IDC_BP_OPEN_TARGET);
    CoupleConvertBox();
    return TRUE;
}

void CButtonStartupPage::CoupleConvertBox() const
{
    const BOOL isProgram = m_button && m_button->Kind() == kKindProgram;
    const BOOL drops = IsChecked(Handle(), IDC_BP_ALLOW_DROPS);
    if (!drops)
        Check(Handle(), IDC_BP_CONVERT_83, FALSE);
    Enable(Handle(), IDC_BP_CONVERT_83, isProgram && drops);
}

BOOL CButtonStartupPage::OnKillActive()
{
    m_edited.allowDrops = IsChecked(Handle(), IDC_BP_ALLOW_DROPS);
    m_edited.convertTo83 = IsChecked(Handle(), IDC_BP_CONVERT_83);
    const LRESULT state = SendDlgItemMessageA(Handle(), IDC_BP_SHOW_STATE, CB_GETCURSEL, 0, 0);
    if (state >= kShowMinimized && state <= kShowNormal)
        m_edited.showState = static_cast<int>(state);
    m_edited.startEvery = IsChecked(Handle(), IDC_BP_START_EVERY);
    return TRUE;
}

BOOL CButtonStartupPage::OnApply()
{
    if (!m_button)
        return TRUE;
    WriteButton(*m_button, m_edited);
    m_applied = TRUE;
    return TRUE;
}

BOOL CButtonStartupPage::OnReset()
{
    if (m_button && m_applied)
        WriteButton(*m_button, m_unchanged);
    return TRUE;
}

BOOL CButtonStartupPage::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_BP_ALLOW_DROPS:
        if (code == BN_CLICKED) {
            CoupleConvertBox();
            SetChanged();
        }
        return TRUE;
    case IDC_BP_CONVERT_83:
    case IDC_BP_OPEN_TARGET:
    case IDC_BP_START_EVERY:
        if (code == BN_CLICKED)
            SetChanged();
        return TRUE;
    case IDC_BP_SHOW_STATE:
        if (code == CBN_SELCHANGE)
            SetChanged();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CButtonStartupPage::OnHelp(HELPINFO* helpInfo)
{
    return ShowControlHelp(m_button, helpInfo, kHelpIds);
}
