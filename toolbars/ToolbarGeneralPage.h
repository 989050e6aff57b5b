// The General page of the toolbar property sheet: the toolbar's name, its
// file and how many buttons it has.
#pragma once

#include "ToolbarPage.h"

class CToolbarGeneralPage : public CToolbarPage
{
public:
    explicit CToolbarGeneralPage(CToolbar& toolbar);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

protected:
    void ReadControls() override;
    void WriteToToolbar(BOOL opening) override;

private:
    CText m_opening;
    CText m_edited;
};
