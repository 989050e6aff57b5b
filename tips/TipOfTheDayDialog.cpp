#include "TipOfTheDayDialog.h"

#include "BitmapControl.h"
#include "DialogFonts.h"
#include "TextControl.h"
#include "TipsWindow.h"
#include "../common/Application.h"
#include "../resources/tips/tips_res.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

} // namespace

CTipOfTheDayDialog::CTipOfTheDayDialog(CTipsWindow* window)
    : CDialogBase(IDD_TIP_OF_THE_DAY, window), m_window(window), m_settings(AppInstance())
{
}

BOOL CTipOfTheDayDialog::OnInitDialog()
{
    m_headingFont = MakeDialogFont("MS Serif", 18, kFontBold);
    m_textFont = MakeDialogFont("MS Sans Serif", 10, 0);
    if (CTextControl* heading = CTextControl::FromHandle(GetDlgItem(Handle(), IDC_TIP_HEADING))) {
        heading->SetFont(m_headingFont.Get());
        heading->SetBackColor(kWhite);
        heading->SetMargins(5, 5);
    }
    if (CTextControl* text = CTextControl::FromHandle(GetDlgItem(Handle(), IDC_TIP_TEXT))) {
        text->SetFont(m_textFont.Get());
        text->SetBackColor(kWhite);
        text->SetMargins(10, 10);
    }
    m_picture.Reset(static_cast<HBITMAP>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_TIP_BULB), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (CBitmapControl* picture = CBitmapControl::FromHandle(GetDlgItem(Handle(), IDC_TIP_PICTURE))) {
        picture->SetBitmap(m_picture.Get());
        picture->SetBackColor(kWhite);
    }

    m_showTips = m_settings.ReadShowTips();
    CheckDlgButton(Handle(), IDC_SHOW_TIPS, m_showTips ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(Handle(), IDC_WHATS_NEW), m_window->MainProgramAvailable());
    ShowTip(kNotRead);
    return TRUE;
}

void CTipOfTheDayDialog::ShowTip(int number)
{
    if (number == kNotRead)
        number = m_settings.ReadCurrentTip();
    m_tip = TipRecord{};
    if (!LoadTipRecord(AppInstance(), number, m_tip)) {
        number = 0;
        if (!LoadTipRecord(AppInstance(), number, m_tip)) {
            m_current = 0;
            EnableWindow(GetDlgItem(Handle(), IDC_MORE_INFO), FALSE);
            return;
        }
    }
    m_current = number;
    CText text;
    if (!text.LoadString(AppInstance(), m_tip.textId))
        text.LoadString(AppInstance(), IDS_MISSING_TIP);
    SetDlgItemTextA(Handle(), IDC_TIP_TEXT, text.c_str());
    EnableWindow(GetDlgItem(Handle(), IDC_MORE_INFO), m_tip.helpItem != 0 && m_window->MainProgramAvailable());
}

BOOL CTipOfTheDayDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_NEXT_TIP:
        ShowTip(m_current + 1);
        return TRUE;
    case IDC_WHATS_NEW:
        m_window->RequestHelp(0, IDH_WHATS_NEW, Handle());
        return TRUE;
    case IDC_MORE_INFO:
        if (m_tip.helpItem != 0)
            m_window->RequestHelp(0, static_cast<LPARAM>(m_tip.helpItem), Handle());
        return TRUE;
    case IDC_SHOW_TIPS:
        m_showTips = IsDlgButtonChecked(Handle(), IDC_SHOW_TIPS) == BST_CHECKED;
        return TRUE;
    default:
        return CDialogBase::OnCommand(id, code, control);
    }
}

void CTipOfTheDayDialog::Close(INT_PTR result)
{
    m_settings.WriteTipState(NextTipNumber(AppInstance(), m_current), m_showTips);
    EndDialog(Handle(), result);
}

BOOL CTipOfTheDayDialog::OnOK()
{
    Close(IDOK);
    return TRUE;
}

BOOL CTipOfTheDayDialog::OnCancel()
{
    Close(IDCANCEL);
    return TRUE;
}
