#include "OpenWithParametersDialog.h"

#include "AskForFile.h"
#include "../common/Application.h"
#include "../common/WindowBase.h"
#include "../resources/lintel/resource.h"


#include <vector>

COpenWithParametersDialog::COpenWithParametersDialog(CWindowBase* button, const CText& parameters,
                                                     WORD windowsVersion)
    : CDialogBase(IDD_OPEN_WITH_PARAMETERS, button), m_parameters(parameters), m_windowsVersion(windowsVersion)
{
}

BOOL COpenWithParametersDialog::OnInitDialog()
{
    SetDlgItemTextA(m_handle, IDC_OPEN_WITH_EDIT, m_parameters.c_str());
    return TRUE;
}

BOOL COpenWithParametersDialog::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_OPEN_WITH_BROWSE && code == BN_CLICKED) {
        Browse();
        return TRUE;
    }
    return CDialogBase::OnCommand(id, code, control);
}

BOOL COpenWithParametersDialog::OnOK()
{
    HWND edit = GetDlgItem(m_handle, IDC_OPEN_WITH_EDIT);
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    m_parameters = text.data();
    return CDialogBase::OnOK();
}

void COpenWithParametersDialog::AppendFile(CText& parameters, const char* file, WORD windowsVersion)
{
    if (!file || !*file)
        return;
    if (!parameters.IsEmpty() && parameters.c_str()[parameters.Length() - 1] != ' ')
        parameters += " ";
    if (windowsVersion == 0x350 || windowsVersion >= 0x400) {
        parameters += "\"";
        parameters += file;
        parameters += "\"";
        return;
    }
    char shortName[MAX_PATH]{};
    const DWORD length = GetShortPathNameA(file, shortName, sizeof shortName);
    parameters += length > 0 && length < sizeof shortName ? shortName : file;
}

void COpenWithParametersDialog::Browse()
{
    char file[MAX_PATH]{};
    if (!AskForFile(m_handle, IDS_ALL_FILES_FILTER, "All files (*.*)|*.*|", file))
        return;
    HWND edit = GetDlgItem(m_handle, IDC_OPEN_WITH_EDIT);
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    CText parameters(text.data());
    AppendFile(parameters, file, m_windowsVersion);
    SetWindowTextA(edit, parameters.c_str());
}
