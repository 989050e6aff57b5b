// CFileTypesDialog: the File Types dialog (115), where the user checks the
// document types that "Registered Documents" searches for.  The checks live
// in the catalogue entries themselves, so they survive from one use of the
// dialog to the next.
#pragma once

#include "DocumentType.h"
#include "TypeFilter.h"
#include "../common/DialogBase.h"
#include "../common/CheckList.h"

class CExplorerWindow;

class CFileTypesDialog : public CDialogBase
{
public:
    // On OK every checked description is appended to filter; Cancel leaves it.
    CFileTypesDialog(CWindowBase* parent, HWND parentHandle, std::vector<CDocumentType>& catalogue,
                     CTypeFilter& filter);

    // Help was opened successfully while the dialog was up (the window then
    // owes WinHelp a HELP_QUIT when it goes).
    bool HelpUsed() const { return m_helpUsed; }

    INT_PTR DialogProc(HWND handle, UINT message, WPARAM first, LPARAM second) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnOK() override;
    BOOL OnCancel() override;

protected:
    // Opens a help topic with the dialog as owner; TRUE when help opened.
    virtual BOOL ShowHelp(UINT topic);

private:
    void Toggle(int index);
    void Reset();
    BOOL OnDrawItem(const DRAWITEMSTRUCT& draw);

    std::vector<CDocumentType>& m_catalogue;
    CTypeFilter& m_filter;
    CCheckList m_list;
    bool m_helpUsed = false;
    std::vector<int> m_checksAtOpen;
};
