#include "DocumentType.h"

#include "../common/RegistryKey.h"
#include "../common/TraceLog.h"

std::vector<CDocumentType> BuildDocumentCatalogue(const CText& firstEntry)
{
    Trace("Start");
    std::vector<CDocumentType> catalogue;
    catalogue.push_back(CDocumentType{firstEntry, 0});
    for (DWORD index = 0;; ++index) {
        char name[261]{};
        DWORD length = sizeof name - 1;
        if (RegEnumKeyExA(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (name[0] != '.')
            continue;
        CRegistryKey extension;
        CText className;
        if (!extension.OpenKey(HKEY_CLASSES_ROOT, name, CRegistryKey::kRead) || !extension.GetStringValue("", className)
            || className.IsEmpty())
            continue;
        CRegistryKey typeKey;
        CText description;
        if (!typeKey.OpenKey(HKEY_CLASSES_ROOT, className, CRegistryKey::kRead)
            || !typeKey.GetStringValue("", description) || description.IsEmpty())
            continue;
        bool known = false;
        for (const CDocumentType& entry : catalogue) {
            if (lstrcmpiA(entry.description.c_str(), description.c_str()) == 0) {
                known = true;
                break;
            }
        }
        if (!known)
            catalogue.push_back(CDocumentType{description, 0});
    }
    Trace("End");
    return catalogue;
}
