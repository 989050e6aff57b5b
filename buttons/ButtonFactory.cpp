#include "ButtonFactory.h"

#include "ExecButton.h"
#include "FolderButton.h"
#include "GroupButton.h"
#include "UrlButton.h"

#include <new>

std::unique_ptr<CToolButton> NewButtonOfKind(DWORD kind, IButtonHost* host, CApplication* application)
{
    CToolButton* button = nullptr;
    switch (kind) {
    case kKindSpace:
        button = new (std::nothrow) CSpaceButton(host, application, nullptr);
        break;
    case kKindProgram:
        button = new (std::nothrow) CExecButton(host, application, nullptr);
        break;
    case kKindFolder:
        button = new (std::nothrow) CFolderButton(host, application, nullptr);
        break;
    case kKindGroup:
        button = new (std::nothrow) CGroupButton(host, application, nullptr);
        break;
    case kKindUrl:
        button = new (std::nothrow) CUrlButton(host, application, nullptr);
        break;
    default:
        break;
    }
    return std::unique_ptr<CToolButton>(button);
}
