#include "TypeFilter.h"

#include "../common/RegistryKey.h"

void CTypeFilter::Add(const CText& typeName)
{
    m_names.push_back(typeName);
}

BOOL CTypeFilter::Matches(const char* typeName) const
{
    if (!typeName)
        return FALSE;
    for (const CText& name : m_names) {
        if (lstrcmpiA(name.c_str(), typeName) == 0)
            return TRUE;
    }
    return FALSE;
}

std::unique_ptr<CTypeFilter> CTypeFilter::FromClass(const char* className)
{
    CRegistryKey key;
    CText description;
    if (!key.OpenKey(HKEY_CLASSES_ROOT, className, CRegistryKey::kRead) || !key.GetStringValue("", description))
        return nullptr;
    auto filter = std::make_unique<CTypeFilter>();
    filter->Add(description);
    return filter;
}
