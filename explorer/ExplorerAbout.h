// CExplorerAboutDialog: the Explorer's About box (119).  Its "About Lintel"
// button asks the main program, when it runs, to show its own.
#pragma once

#include "../common/DialogBase.h"
#include "../common/Text.h"

class CExplorerAboutDialog : public CDialogBase
{
public:
    explicit CExplorerAboutDialog(CWindowBase* parent);

    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
};

// The program's "ProductVersion" from its own version resource; empty when it
// has none.
CText ProductVersionOf(HMODULE module);
