// The About box: the program's icon, name and version, and two link texts.
#pragma once

#include "../common/DialogBase.h"
#include "../common/ScopedHandle.h"
#include "../common/Text.h"

class CMainWindow;

class CAboutDialog : public CDialogBase
{
public:
    explicit CAboutDialog(CMainWindow* mainWindow);

    // Shows the box modally; while one is up, a second request brings that
    // one forward instead.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

    // "Version " and the product version of the program's own version
    // resource; FALSE when the version cannot be read.
    static BOOL ReadVersionLine(CText& line);

private:
    CMainWindow* m_mainWindow;
    CFontHandle m_italicFont;
    CFontHandle m_underlinedFont;
    static HWND s_open;
};
