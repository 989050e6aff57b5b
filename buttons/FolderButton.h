// CFolderButton: a button that stands for a folder of the shell's name space.
// A click opens the folder in a shell window; press-and-hold drops down a
// cascading menu of the folder's contents, whose sub-folders are read only
// when the user points at them.
#pragma once

#include "FileButton.h"

#include <memory>
#include <vector>

class CFolderButton : public CFileButton
{
public:
    // Command identifiers of the contents menu run from here up to (not
    // including) the limit; one menu level shows at most kMaxMenuItems items.
    static constexpr UINT kFirstEntryCommand = 1001;
    static constexpr UINT kCommandLimit = 32000;
    static constexpr int kMaxMenuItems = 251;

    CFolderButton(IButtonHost* host, CApplication* application, void* owner);
    ~CFolderButton() override;

    // Made from identifier lists, the button takes drops when the folder can.
    BOOL GetObjectData(const CreationData& data) override;

    BOOL OnHold() override;
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;
    BOOL Read(IStream* stream, DWORD version, int mode) override;
    BOOL Write(IStream* stream, DWORD version) override;
    BOOL CanAcceptDrops() override;

    // The contents menu in the steps OnHold takes, so that it can also be
    // looked at without being tracked.  BuildContentsMenu starts a new entry
    // list (null and message 39 when it cannot); the list lasts until
    // EndContentsMenu.
    CMenuHandle BuildContentsMenu();
    // Fills the submenu at a position of a menu the first time it is pointed
    // at; FALSE when it has been filled before or is no sub-folder of ours.
    BOOL FillSubmenu(HMENU menu, UINT position);
    // Opens the entry of a chosen command; message 24 when the shell refuses.
    BOOL OpenEntry(UINT command);
    void EndContentsMenu();
    BOOL HasContentsMenu() const { return m_entries != nullptr; }

private:
    // One item of the contents menu: its parent folder's list and its own id
    // (the folder itself has an empty own id).  Sub-folders have no command.
    struct Entry
    {
        CItemId parent;
        CItemId item;
        UINT command = 0;
    };
    using EntryList = std::vector<std::unique_ptr<Entry>>;

    void FillMenu(HMENU menu, const CItemId& folderList);
    Entry* AddEntry(const CItemId& parent, const CItemId& item, UINT command);

    std::unique_ptr<EntryList> m_entries;
    UINT m_nextCommand = kFirstEntryCommand;
};
