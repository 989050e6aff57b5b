// The Protection page of the toolbar property sheet, and what a toolbar's
// protection takes away from the sheet.
#pragma once

class CPropertyPageBase;
class CToolbar;

// The sheet's Protection page over a toolbar; null leaves the page out.
// The sheet owns the page.
CPropertyPageBase* MakeProtectionPage(CToolbar& toolbar);

// Whether the toolbar's properties are closed to the user: then the sheet
// holds only the General and Protection pages.
bool ToolbarPropertiesLocked(const CToolbar& toolbar);
