// COpenWithParametersDialog: "Open with parameters" of a program button's hold
// menu.  The user edits the parameters for one start and may browse for a
// document to add to them; the button's stored parameters never change.
#pragma once

#include "../common/DialogBase.h"
#include "../common/Text.h"

class COpenWithParametersDialog : public CDialogBase
{
public:
    // windowsVersion: the Windows version the program expects (the high word
    // of its executable type), which decides how a chosen file is written.
    COpenWithParametersDialog(CWindowBase* button, const CText& parameters, WORD windowsVersion);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnOK() override;

    // The parameters as the user left them on OK.
    const CText& Parameters() const { return m_parameters; }

    // Appends a chosen file to parameters: after a blank unless the text is
    // empty or ends in one; quoted for programs of Windows NT 3.5 or 4.0 and
    // later, which read long names, else in its short (8.3) form.
    static void AppendFile(CText& parameters, const char* file, WORD windowsVersion);

private:
    void Browse();

    CText m_parameters;
    WORD m_windowsVersion;
};
