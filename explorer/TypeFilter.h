// CTypeFilter: the shell type names a search lists.  An object matches when
// its type name (SHGetFileInfo's SHGFI_TYPENAME) equals one entry, letter case
// aside.  Type names rather than extensions keep the search working in every
// language of Windows.
#pragma once

#include "../common/Text.h"

#include <memory>
#include <vector>

class CTypeFilter
{
public:
    void Add(const CText& typeName);
    BOOL Matches(const char* typeName) const;
    bool IsEmpty() const { return m_names.empty(); }
    const std::vector<CText>& Names() const { return m_names; }

    // A one-entry filter holding the description of a class of
    // HKEY_CLASSES_ROOT ("exefile", "Directory", "lnkfile"); null when the
    // class or its description cannot be read.
    static std::unique_ptr<CTypeFilter> FromClass(const char* className);

private:
    std::vector<CText> m_names;
};
