#include "FoundItem.h"

#include <cstring>
#include <string>
#include <vector>

Companies SplitCompanies(const char* list)
{
    Companies companies;
    if (!list)
        return companies;
    const char* start = list;
    for (;;) {
        const char* end = strchr(start, '\n');
        const size_t length = end ? static_cast<size_t>(end - start) : strlen(start);
        if (length > 0) {
            std::string name(start, length);
            CCompany company;
            company.name = name.c_str();
            companies.push_back(company);
        }
        if (!end)
            break;
        start = end + 1;
    }
    return companies;
}

int SelectedCompanies(const Companies& companies)
{
    int selected = 0;
    for (const CCompany& company : companies)
        selected += company.selected ? 1 : 0;
    return selected;
}

SearchChoice SearchChoice::Of(int mask, const Companies& companies)
{
    SearchChoice choice;
    choice.mask = mask;
    for (const CCompany& company : companies)
        choice.chosen.push_back(company.selected ? 1 : 0);
    return choice;
}

namespace {

// One string of the version block, or null; the pointer lies in block.
const char* VersionString(const std::vector<BYTE>& block, const char* stringBlock, const char* name)
{
    char query[128]{};
    wsprintfA(query, "%s\\%s", stringBlock, name);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query, &value, &length) || !value)
        return nullptr;
    // The length counts characters; a value given empty may come back with
    // none at all, and its text must still end inside the block.
    const auto* text = static_cast<const char*>(value);
    const BYTE* end = block.data() + block.size();
    if (reinterpret_cast<const BYTE*>(text) < block.data() || reinterpret_cast<const BYTE*>(text) >= end)
        return "";
    if (!memchr(text, 0, static_cast<size_t>(end - reinterpret_cast<const BYTE*>(text))))
        return nullptr;
    return text;
}

} // namespace

BOOL ReadCompanyText(const char* path, CText& text)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return FALSE;
    std::vector<BYTE> block(size + 1, 0);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return FALSE;

    WORD language = 0x0409;
    WORD codePage = 0x04E4;
    void* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length) && translation
        && length >= 2 * sizeof(WORD)) {
        const auto* pair = static_cast<const WORD*>(translation);
        if (pair[0])
            language = pair[0];
        if (pair[1])
            codePage = pair[1];
    }
    char stringBlock[64]{};
    wsprintfA(stringBlock, "\\StringFileInfo\\%04x%04x", language, codePage);

    const char* company = VersionString(block, stringBlock, "CompanyName");
    if (!company)
        return FALSE;
    if (*company) {
        text = company;
        return TRUE;
    }
    const char* copyright = VersionString(block, stringBlock, "LegalCopyright");
    if (!copyright)
        return FALSE;
    text = copyright;
    return TRUE;
}

BOOL CompanyMatches(const Companies& companies, const CText& text)
{
    if (companies.empty())
        return FALSE;
    bool anyListed = false;
    for (size_t i = 0; i + 1 < companies.size(); ++i) {
        if (!strstr(text.c_str(), companies[i].name.c_str()))
            continue;
        if (companies[i].selected)
            return TRUE;
        anyListed = true;
    }
    return companies.back().selected && !anyListed;
}
