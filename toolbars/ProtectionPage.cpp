#include "ProtectionPage.h"

// Until protection can be changed from the sheet there is no page for it,
// and nothing to lock the other pages with.
CPropertyPageBase* MakeProtectionPage(CToolbar&)
{
    return nullptr;
}

bool ToolbarPropertiesLocked(const CToolbar&)
{
    return false;
}
