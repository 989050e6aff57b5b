// The Position page of the toolbar property sheet: orientation, always on
// top, docking with its corner and autohide, previewed on a small screen,
// and the screen strip a toolbar docked along an edge may keep.
#pragma once

#include "ToolbarPage.h"

class CToolbarPositionPage : public CToolbarPage
{
public:
    explicit CToolbarPositionPage(CToolbar& toolbar);

    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

protected:
    void ReadControls() override;
    void WriteToToolbar(BOOL opening) override;

private:
    struct Values {
        BOOL docked;
        BOOL alwaysOnTop;
        int orientation;
        int dockCorner;
        int buttonsPerLine;
        BOOL autohide;
        BOOL screenStrip;
    };
    void ShowValues(const Values& values) const;
    void UpdatePreview() const;
    void EnableCorners() const;
    void EnableScreenStrip() const;

    Values m_opening;
    Values m_edited;
    // Where a floating toolbar stood when the sheet opened.
    RECT m_openingRect{};
};
