// The button properties sheet: General, Target, Startup and, when the
// virtual desktop library is there, Desktop.  Only one is open in the whole
// program at a time.
#pragma once

#include "../common/PropertyPage.h"

class CFileButton;

class CButtonPropertySheet : public CPropertySheetBase
{
public:
    explicit CButtonPropertySheet(CFileButton* button);
    ~CButtonPropertySheet() override;

    // Shows the sheet modally; FALSE at once while another one is open.
    BOOL Run();

private:
    CFileButton* m_button;
};
