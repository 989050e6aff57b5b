// The Background page of the toolbar property sheet: one colour or a
// gradient, each colour chosen from the named colours, "Default" (the
// system's button face) or "Custom" (the colour dialog).
#pragma once

#include "ToolbarPage.h"

class CToolbarBackgroundPage : public CToolbarPage
{
public:
    explicit CToolbarBackgroundPage(CToolbar& toolbar);

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
        BOOL useGradient;
        BOOL startIsSystem;
        COLORREF startColour;
        BOOL endIsSystem;
        COLORREF endColour;
    };
    void FillList(int control, COLORREF colour, BOOL isSystem) const;
    void ReadList(int control, BOOL& isSystem, COLORREF& colour) const;
    void ChooseCustom(int control) const;
    void UpdatePreview() const;
    void DrawEntry(const DRAWITEMSTRUCT& item) const;

    Values m_opening;
    Values m_edited;
};
