#include "ButtonFactory.h"

#include "ExecButton.h"
#include "FolderButton.h"
#include "GroupButton.h"
#include "UrlButton.h"

#include <new>

CToolButton* NewButtonOfKind(DWORD kind, CToolbar* toolbar)
{
    CMainApp* app = toolbar ? toolbar->App() : nullptr;
    void* owner = toolbar ? toolbar->Parent() : nullptr;
    switch (kind) {
    case kKindSpace:
        return new (std::nothrow) CSpaceButton(toolbar, app, owner);
    case kKindProgram:
        return new (std::nothrow) CExecButton(toolbar, app, owner);
    case kKindFolder:
        return new (std::nothrow) CFolderButton(toolbar, app, owner);
    case kKindGroup:
        return new (std::nothrow) CGroupButton(toolbar, app, owner);
    case kKindUrl:
        return new (std::nothrow) CUrlButton(toolbar, app, owner);
    default:
        return nullptr;
    }
}
