// The eight pages of the wizard sheet and the companies dialog.  Each page
// edits the answers held by CToolbarWizard; going back and forth keeps them.
#pragma once

#include "../common/CheckList.h"
#include "WizardSearch.h"
#include "../common/DialogBase.h"
#include "../common/PropertyPage.h"
#include "../common/ScopedHandle.h"

class CToolbarWizard;

// The most buttons a toolbar holds, less the one the main program keeps free.
constexpr int kMostCheckedItems = 255;

class CWizardPage : public CPropertyPageBase
{
public:
    CWizardPage(UINT templateId, UINT titleId, UINT pictureId, UINT helpContext, CToolbarWizard& wizard);

    BOOL OnInitDialog() override;
    BOOL OnHelpButton() override;

protected:
    CToolbarWizard& m_wizard;
    UINT m_pictureId;
    UINT m_helpContext;
    CBitmapHandle m_picture;
};

// A page whose answers are the checks of one owner-drawn list: the list's
// drawing, its refills and its check flips reach the page's own handlers.
class CCheckListPage : public CWizardPage
{
public:
    CCheckListPage(UINT templateId, UINT titleId, UINT pictureId, UINT helpContext, CToolbarWizard& wizard,
                   int listId);
    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;

protected:
    void AttachList(int minimumHeight);
    // itemID may be -1 (an empty list showing its focus).
    virtual void DrawItem(const DRAWITEMSTRUCT& draw) = 0;
    virtual void Fill() = 0;
    virtual void Toggle(int index) = 0;

    CCheckList m_list;

private:
    int m_listId;
};

class CNamePage : public CWizardPage
{
public:
    explicit CNamePage(CToolbarWizard& wizard);
    BOOL OnSetActive() override;
    BOOL OnWizardNext(int& target) override;
};

class CPositionPage : public CWizardPage
{
public:
    explicit CPositionPage(CToolbarWizard& wizard);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnWizardNext(int& target) override;
    BOOL OnWizardBack(int& target) override;

    // Where the toolbar picture lies on the 100x100 screen picture.
    static POINT PreviewSpot(int position, bool vertical);

private:
    void ReadChoice();
    void DrawPreview();

    int m_position = 0;
    int m_vertical = 1;
    CBitmapHandle m_preview;
};

class CStylePage : public CWizardPage
{
public:
    explicit CStylePage(CToolbarWizard& wizard);
    BOOL OnSetActive() override;
    BOOL OnWizardNext(int& target) override;
    BOOL OnWizardBack(int& target) override;

private:
    void Store();
};

class CSearchTypesPage : public CCheckListPage
{
public:
    explicit CSearchTypesPage(CToolbarWizard& wizard);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnWizardNext(int& target) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& draw) override;
    void Fill() override;
    void Toggle(int index) override;
    void ShowDescription();
};

class CSearchingPage : public CWizardPage, private ISearchProgress
{
public:
    explicit CSearchingPage(CToolbarWizard& wizard);
    ~CSearchingPage() override;
    INT_PTR PageProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnSetActive() override;
    BOOL OnWizardBack(int& target) override;

private:
    void StartSearch();
    void StopSearch();
    void SearchEnded(bool completed);
    void ShowStatus(UINT textId) override;
    void ShowProgress(unsigned percent) override;
    void ShowFound(unsigned found) override;

    CWizardSearch m_search;
};

class CChoosePage : public CCheckListPage
{
public:
    explicit CChoosePage(CToolbarWizard& wizard);
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnWizardNext(int& target) override;
    BOOL OnWizardBack(int& target) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& draw) override;
    void Fill() override;
    void Toggle(int index) override;
    void ShowCount();
};

class CFinishedPage : public CWizardPage
{
public:
    explicit CFinishedPage(CToolbarWizard& wizard);
    BOOL OnWizardFinish() override;
};

class CCompaniesDialog : public CDialogBase
{
public:
    CCompaniesDialog(HWND owner, CToolbarWizard& wizard);
    INT_PTR DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

private:
    CToolbarWizard& m_wizard;
    CCheckList m_list;
};

// The pages in their order, added to the sheet (which owns them).
void AddWizardPages(CPropertySheetBase& sheet, CToolbarWizard& wizard);
