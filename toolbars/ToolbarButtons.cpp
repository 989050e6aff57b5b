// Buttons made for shell objects and paths.
#include "Toolbar.h"

#include "../buttons/ButtonFactory.h"
#include "../buttons/FileButton.h"
#include "../common/ItemId.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"

#include <memory>

namespace {

bool HasToolbarExtension(const char* path)
{
    CText name(path ? path : "");
    const int dot = name.ReverseFind('.');
    if (dot < 0 || dot < name.ReverseFind('\\'))
        return false;
    name.Right(name.Length() - dot);
    return name == ".ltl" || name == ".qld";
}

} // namespace

BOOL CToolbar::AddButtonFromItemIds(const CItemId& folder, const CItemId& item)
{
    LPITEMIDLIST folderList = nullptr;
    LPITEMIDLIST itemList = nullptr;
    // The desktop is a folder without a list of its own.
    CItemId desktop;
    if (!item.Get(&itemList) || (!folder.Get(&folderList) && !desktop.Get(&folderList)))
        return FALSE;

    DWORD kind = kKindProgram;
    CShellFolder shellFolder(folder);
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    CText name;
    if (shellFolder.IsValid() && shellFolder.GetAttributes(item, attributes)) {
        shellFolder.GetDisplayName(item, name);
        if (attributes & SFGAO_FOLDER)
            kind = kKindFolder;
        else if ((attributes & SFGAO_FILESYSTEM) && HasToolbarExtension(name.c_str()))
            kind = kKindGroup;
    }
    std::unique_ptr<CToolButton> button(NewButtonOfKind(kind, this));
    auto* fileButton = dynamic_cast<CFileButton*>(button.get());
    if (!fileButton)
        return FALSE;
    CreationData data;
    StoreCreationData(data);
    if (!fileButton->Create(folderList, itemList, data, ButtonCreationMode()))
        return FALSE;
    if (!InsertAfter(button.get(), nullptr))
        return FALSE;
    button.release();
    m_dirty = 1;
    return TRUE;
}

BOOL CToolbar::AddButtonFromPath(const char* path)
{
    if (!path || !*path)
        return FALSE;
    const DWORD attributes = GetFileAttributesA(path);
    DWORD kind = kKindProgram;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        kind = kKindFolder;
    else if (HasToolbarExtension(path))
        kind = kKindGroup;
    std::unique_ptr<CToolButton> button(NewButtonOfKind(kind, this));
    if (!button)
        return FALSE;
    CreationData data;
    StoreCreationData(data);
    if (!button->Create(path, data, ButtonCreationMode()) || !InsertAfter(button.get(), nullptr))
        return FALSE;
    button.release();
    m_dirty = 1;
    return TRUE;
}
