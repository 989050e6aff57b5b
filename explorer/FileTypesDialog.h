// CFileTypesDialog: the File Types dialog (115), where the user checks the
// document types that "Registered Documents" searches for.
#pragma once

#include "DocumentType.h"
#include "TypeFilter.h"
#include "../common/DialogBase.h"

class CExplorerWindow;

class CFileTypesDialog : public CDialogBase
{
public:
    // On OK every checked description is appended to filter; Cancel leaves it.
    CFileTypesDialog(CWindowBase* parent, HWND parentHandle, std::vector<CDocumentType>& catalogue,
                     CTypeFilter& filter);
    // The dialog's Help button opened help.
    BOOL HelpUsed() const;
    // (the rest is the dialog's own)
};
