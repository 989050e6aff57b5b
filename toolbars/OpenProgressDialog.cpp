#include "OpenProgressDialog.h"

#include "../common/Application.h"
#include "../resources/lintel/resource.h"

#include <commctrl.h>

COpenProgressDialog::COpenProgressDialog(CApplication* application) : m_application(application) {}

COpenProgressDialog::~COpenProgressDialog()
{
    Destroy();
}

INT_PTR CALLBACK COpenProgressDialog::DialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

BOOL COpenProgressDialog::Create(HWND owner)
{
    if (m_handle)
        return TRUE;
    m_handle = CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(IDD_OPEN_PROGRESS), owner, DialogProc, 0);
    if (!m_handle)
        return FALSE;
    RECT box{};
    GetWindowRect(m_handle, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    SetWindowPos(m_handle, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_handle, SW_SHOW);
    UpdateWindow(m_handle);
    if (m_application) {
        m_previousModeless = m_application->ModelessDialog();
        m_application->SetModelessDialog(m_handle);
    }
    return TRUE;
}

void COpenProgressDialog::Destroy()
{
    if (!m_handle)
        return;
    if (m_application && m_application->ModelessDialog() == m_handle)
        m_application->SetModelessDialog(m_previousModeless);
    DestroyWindow(m_handle);
    m_handle = nullptr;
}

void COpenProgressDialog::SetCaption(const char* text)
{
    if (m_handle)
        SetDlgItemTextA(m_handle, IDC_PROGRESS_CAPTION, text ? text : "");
}

void COpenProgressDialog::SetItem(const char* text)
{
    if (m_handle) {
        SetDlgItemTextA(m_handle, IDC_PROGRESS_FILE, text ? text : "");
        UpdateWindow(m_handle);
    }
}

void COpenProgressDialog::SetRange(int count)
{
    m_range = count;
    m_drawnAt = 0;
    m_drawn = false;
    if (m_handle) {
        SendDlgItemMessageA(m_handle, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, count);
        SendDlgItemMessageA(m_handle, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
    }
}

void COpenProgressDialog::SetPosition(int position)
{
    if (!m_handle)
        return;
    // The bar paints itself at once for every new position: with a position
    // for each button, that was a quarter of the time a full toolbar took to
    // open.  It moves as often as the eye can follow it, and always to its
    // first and last place.
    const DWORD now = GetTickCount();
    if (m_drawn && position > 0 && position < m_range - 1 && now - m_drawnAt < kRedrawInterval)
        return;
    m_drawn = true;
    m_drawnAt = now;
    SendDlgItemMessageA(m_handle, IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
}

void COpenProgressDialog::Step()
{
    if (m_handle)
        SendDlgItemMessageA(m_handle, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}
