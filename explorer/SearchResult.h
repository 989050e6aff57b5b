// CSearchResult: one object the search listed.  The list view item's
// parameter points to it; the search's result list owns it.  Everything is
// filled in when it is made, on the search thread, and never changed after:
// the window's thread reads it while later results are still being found.
#pragma once

#include "../common/ItemId.h"

class CSearchResult
{
public:
    // location empty: computed from the parent (its parsing name).
    CSearchResult(const CItemId& parent, const CItemId& item, const CText& location);
    CSearchResult(const CSearchResult&) = delete;
    CSearchResult& operator=(const CSearchResult&) = delete;

    const CItemId& Parent() const { return m_parent; }
    const CItemId& Item() const { return m_item; }
    // The parent joined with the item, as the desktop names the object.
    CItemId AbsoluteId() const;
    int Image() const { return m_image; }
    void SetImage(int image) { m_image = image; }
    const CText& Name() const { return m_name; }
    void SetName(const CText& name) { m_name = name; }
    const CText& Location() const { return m_location; }

private:
    CItemId m_parent;
    CItemId m_item;
    int m_image = -1;
    CText m_name;
    CText m_location;
};
