// CRecentFolders: the ten folders searched last, newest in slot 0.  They fill
// the Explorer's folder combo and are kept in the registry as the raw bytes of
// their item id lists.  Only the window's thread touches them: the search
// thread asks the window to record its root.
#pragma once

#include "../common/ItemId.h"

#include <memory>

class CRegistryKey;

class CRecentFolders
{
public:
    static constexpr int kSlots = 10;

    int Count() const { return m_count; }
    // Null for an empty slot or an index out of range.
    const CItemId* At(int slot) const;
    // Moves an equal list to the front, or puts a copy there (the oldest
    // falls out when all ten are taken).
    void Add(const CItemId& folder);
    void Clear();

    // The folder combo's text of a slot: the folder's parsing name within its
    // parent; empty for an empty slot.
    CText DisplayName(int slot) const;

    // "NumRecent" and "Recent01".."Recent10" under the given key.  A stored
    // value is a list from a file anyone can edit: one whose items do not walk
    // to a terminator inside the value is dropped.
    void Read(CRegistryKey& key, UINT countNameId, UINT valueFormatId);
    void Write(CRegistryKey& key, UINT countNameId, UINT valueFormatId) const;

    // The Windows folder, My Documents and the program files folder, so that
    // the combo is never empty.
    void AddDefaults(UINT programFilesNameId, UINT windowsKeyId);

private:
    std::unique_ptr<CItemId> m_slots[kSlots];
    int m_count = 0;
};
