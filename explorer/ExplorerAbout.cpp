#include "ExplorerAbout.h"

#include "../common/ControlMessages.h"
#include "../common/Text.h"
#include "../resources/explorer/explorer_res.h"

#include <cstring>
#include <string>
#include <vector>

CText ProductVersionOf(HMODULE module)
{
    char path[MAX_PATH]{};
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return CText();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return CText();
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return CText();
    char* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&value),
                        &valueLength)
        || !value || valueLength == 0)
        return CText();
    // The length counts characters; the value need not end inside it.
    std::string text(value, strnlen(value, valueLength));
    CText version(text.c_str());
    return version;
}

CExplorerAboutDialog::CExplorerAboutDialog(CWindowBase* parent) : CDialogBase(IDD_EXPLORER_ABOUT, parent)
{
}

BOOL CExplorerAboutDialog::OnInitDialog()
{
    CText version("Version ");
    version += ProductVersionOf(nullptr);
    SetDlgItemTextA(m_handle, IDC_ABOUT_VERSION, version.c_str());
    EnableWindow(GetDlgItem(m_handle, IDC_ABOUT_LINTEL), FindWindowA(LINTEL_MAIN_CLASS, "Lintel") != nullptr);
    RECT box{};
    GetWindowRect(m_handle, &box);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (box.right - box.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (box.bottom - box.top)) / 2;
    SetWindowPos(m_handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(m_handle);
    return TRUE;
}

BOOL CExplorerAboutDialog::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_ABOUT_LINTEL) {
        // Posted, not sent: the main program shows its box modally inside the
        // handler, and a sent message would hold this program until it closes.
        HWND main = FindWindowA(LINTEL_MAIN_CLASS, "Lintel");
        if (main)
            PostMessageA(main, UM_SHOWABOUT, 0, 0);
        EndDialog(m_handle, IDOK);
        return TRUE;
    }
    return CDialogBase::OnCommand(id, code, control);
}
