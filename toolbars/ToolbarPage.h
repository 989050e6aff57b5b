// CToolbarPage: what every page of the toolbar property sheet shares.  A
// page copies the toolbar's fields it shows when the sheet is built, writes
// the edited values on Apply and, on Cancel, writes the copies back, but
// only when an Apply has changed the toolbar: a sheet cancelled before any
// Apply leaves the toolbar as it was, not even marked changed.
#pragma once

#include "../common/PropertyPage.h"

class CToolbar;

class CToolbarPage : public CPropertyPageBase
{
public:
    // helpIds: the page's control and help id pairs, ending in zeros.
    CToolbarPage(UINT templateId, UINT titleId, CToolbar& toolbar, const DWORD* helpIds);

    BOOL OnHelp(HELPINFO* helpInfo) override;
    // The wizard buttons of the base have no place on a property sheet.
    BOOL OnSetActive() override;
    BOOL OnApply() override;
    BOOL OnReset() override;

    CToolbar& Toolbar() const { return m_toolbar; }
    BOOL Applied() const { return m_applied; }

protected:
    // Reads the controls into the edited values (the page is on screen).
    virtual void ReadControls() {}
    // Writes the edited values into the toolbar, or the opening ones.
    virtual void WriteToToolbar(BOOL opening) = 0;

    void Check(int control, BOOL checked) const;
    BOOL IsChecked(int control) const;
    void Enable(int control, BOOL enabled) const;

    CToolbar& m_toolbar;

private:
    const DWORD* m_helpIds;
    BOOL m_applied = FALSE;
};
