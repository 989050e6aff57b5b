// Buttons made for shell objects and paths.
#include "Toolbar.h"

#include "ToolbarSet.h"
#include "../buttons/ButtonFactory.h"
#include "../buttons/FileButton.h"
#include "../common/ItemId.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"

#include <memory>
#include <new>

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
    std::unique_ptr<CToolButton> button(NewButtonOfKind(kind, this, App()));
    auto* fileButton = dynamic_cast<CFileButton*>(button.get());
    if (!fileButton)
        return FALSE;
    CreationData data;
    StoreCreationData(data);
    if (!fileButton->Create(folderList, itemList, data, ButtonCreationMode()))
        return FALSE;
    if (!InsertNewButton(std::move(button), nullptr))
        return FALSE;
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
    std::unique_ptr<CToolButton> button(NewButtonOfKind(kind, this, App()));
    if (!button)
        return FALSE;
    CreationData data;
    StoreCreationData(data);
    if (!button->Create(path, data, ButtonCreationMode()) || !InsertNewButton(std::move(button), nullptr))
        return FALSE;
    m_dirty = 1;
    return TRUE;
}

// ---------------------------------------------------------------- group targets

namespace {

// A toolbar of the set: it may be closed while a group button's menu or box
// is up, and is asked again before each use.
class COpenGroupTarget final : public IGroupTarget
{
public:
    COpenGroupTarget(CToolbarSet* set, CToolbar* toolbar) : m_set(set), m_toolbar(toolbar) {}
    int Count() const override { return StillThere() ? m_toolbar->Count() : 0; }
    CToolButton* Button(int index) const override { return StillThere() ? m_toolbar->Button(index) : nullptr; }
    bool StillThere() const override
    {
        int slot = -1;
        return m_set->FindToolbar(m_toolbar, slot) != FALSE;
    }

private:
    CToolbarSet* m_set;
    CToolbar* m_toolbar;
};

// A toolbar read from its file without a window, for as long as the group
// button needs its buttons.
class CReadGroupTarget final : public IGroupTarget
{
public:
    explicit CReadGroupTarget(std::unique_ptr<CToolbar> toolbar) : m_toolbar(std::move(toolbar)) {}
    int Count() const override { return m_toolbar->Count(); }
    CToolButton* Button(int index) const override { return m_toolbar->Button(index); }
    bool StillThere() const override { return true; }

private:
    std::unique_ptr<CToolbar> m_toolbar;
};

} // namespace

std::unique_ptr<IGroupTarget> CToolbar::OpenGroupTarget(const char* fileName)
{
    if (!fileName || !*fileName)
        return nullptr;
    int index = -1;
    if (m_set && m_set->FindByFile(fileName, index) && m_set->Toolbar(index))
        return std::make_unique<COpenGroupTarget>(m_set, m_set->Toolbar(index));
    std::unique_ptr<CToolbar> target(new (std::nothrow) CToolbar(App(), m_set, m_host));
    // Read without a window, the toolbar is never shown.
    if (!target || !target->Open(fileName, kReadButtonsOnly))
        return nullptr;
    return std::make_unique<CReadGroupTarget>(std::move(target));
}
