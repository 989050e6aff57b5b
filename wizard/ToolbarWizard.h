// CToolbarWizard: Lintel Wizard's hidden window and the answers the wizard
// collects.  The window owns the modal wizard sheet; when the sheet closes
// with Finish it hands the toolbar to the main program, then closes itself.
#pragma once

#include "FoundItem.h"
#include "WizardData.h"
#include "../common/WindowBase.h"

#include <commctrl.h>

class CToolbarWizard : public CWindowBase
{
public:
    explicit CToolbarWizard(CApplication* application);
    ~CToolbarWizard() override;

    static BOOL RegisterClass(HINSTANCE instance);
    BOOL Create();

    BOOL OnCreate(HWND handle) override;
    BOOL OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    // Shows the sheet; returns once it has closed.
    void RunWizard();

    // A message box of the wizard (caption "New Toolbar Wizard").
    int Message(HWND owner, UINT textId, UINT style) const;
    BOOL ShowHelp(HWND owner, UINT context) const;

    WizardAnswers& Answers() { return m_answers; }
    int& SearchMask() { return m_searchMask; }
    Companies& CompanyList() { return m_companies; }
    FoundItems& Found() { return m_found; }
    HIMAGELIST Images() const { return m_images; }
    void SetFinished() { m_finished = 1; }

    // What the search-types page last sent to a search: the mask and which
    // companies were chosen.  Forgotten when that search was stopped.
    bool SameAsLastSearch() const;
    void RecordSearch();
    void ForgetSearch() { m_searched = false; }

    // Every company chosen again (the "Applications" type was switched on).
    void SelectAllCompanies();

private:
    WizardAnswers m_answers;
    int m_searchMask = 1;
    Companies m_companies;
    FoundItems m_found;
    HIMAGELIST m_images = nullptr;
    int m_finished = 0;
    bool m_searched = false;
    SearchChoice m_lastSearch;
};
