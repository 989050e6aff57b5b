#include "ExtensionClasses.h"

#include "ExplorerCommand.h"
#include "ToolbarMenu.h"

#include <iterator>

const CLSID CLSID_LintelToolbarMenu = {0xC43D4080, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const CLSID CLSID_LintelExplorerCommand = {0xC43D4081, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

const CExtensionClass kClasses[] = {
    {&CLSID_LintelToolbarMenu, &CToolbarMenu::Create},
    {&CLSID_LintelExplorerCommand, &CExplorerCommand::Create},
};

} // namespace

const CExtensionClass* FindExtensionClass(REFCLSID clsid)
{
    for (const CExtensionClass& entry : kClasses) {
        if (IsEqualCLSID(*entry.clsid, clsid))
            return &entry;
    }
    return nullptr;
}
