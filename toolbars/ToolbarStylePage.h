// The Style page of the toolbar property sheet: button size, border,
// descriptions and button backgrounds, previewed as sample buttons.
#pragma once

#include "ToolbarPage.h"

class CToolbarStylePage : public CToolbarPage
{
public:
    explicit CToolbarStylePage(CToolbar& toolbar);

    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

protected:
    void ReadControls() override;
    void WriteToToolbar(BOOL opening) override;

private:
    struct Values {
        int buttonSize;
        int border;
        BOOL showDescription;
        BOOL showButtonBackground;
    };
    void UpdatePreview() const;

    Values m_opening;
    Values m_edited;
};
