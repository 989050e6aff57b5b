#include "ButtonFactory.h"

#include <new>

CToolButton* NewButtonOfKind(DWORD kind, CToolbar* toolbar)
{
    CMainApp* app = toolbar ? toolbar->App() : nullptr;
    switch (kind) {
    case kKindSpace:
        return new (std::nothrow) CSpaceButton(toolbar, app, toolbar ? toolbar->Parent() : nullptr);
    default:
        return nullptr;
    }
}
