#include "SearchResult.h"

#include "../common/ShellFolder.h"

CSearchResult::CSearchResult(const CItemId& parent, const CItemId& item, const CText& location)
    : m_parent(parent), m_item(item), m_location(location)
{
    if (m_location.IsEmpty()) {
        // An object listed without a walk (a special folder) shows where its
        // parent folder is, as the desktop names it.
        CItemId parentOfParent(m_parent);
        CItemId last;
        if (parentOfParent.Split(&last)) {
            CShellFolder folder(parentOfParent);
            if (folder.IsValid())
                folder.GetDisplayName(last, m_location);
        } else if (!m_parent.IsDesktop()) {
            CShellFolder desktop;
            desktop.GetDisplayName(m_parent, m_location);
        }
    }
}

CItemId CSearchResult::AbsoluteId() const
{
    CItemId id(m_parent);
    id.Append(m_item);
    return id;
}
