// CFoundItem: one object the wizard's search found, named by its parent
// folder's absolute list and its own list relative to that folder, the two
// lists the main program turns into a button.  CCompany: one entry of the
// list of software makers the applications search filters by.
#pragma once

#include "../common/ItemId.h"
#include "../common/Text.h"

#include <memory>
#include <vector>

class CFoundItem
{
public:
    CFoundItem(const CItemId& parent, const CItemId& item, const CText& name, int image)
        : m_parent(parent), m_item(item), m_name(name), m_image(image)
    {
    }

    const CItemId& Parent() const { return m_parent; }
    const CItemId& Item() const { return m_item; }
    const CText& Name() const { return m_name; }
    int Image() const { return m_image; }
    int Checked() const { return m_checked; }
    void SetChecked(int checked) { m_checked = checked ? 1 : 0; }

private:
    CItemId m_parent;
    CItemId m_item;
    CText m_name;
    int m_image;
    int m_checked = 0;
};

using FoundItems = std::vector<std::unique_ptr<CFoundItem>>;

struct CCompany
{
    CText name;
    int selected = 1;
};

using Companies = std::vector<CCompany>;

// The companies of a line-feed separated list; the last stands for every
// maker the list does not name.
Companies SplitCompanies(const char* list);
int SelectedCompanies(const Companies& companies);

// What a search was asked for: the types and which companies were chosen,
// one flag per company in list order.  Two searches of the same choice find
// the same objects.
struct SearchChoice
{
    int mask = 0;
    std::vector<int> chosen;

    static SearchChoice Of(int mask, const Companies& companies);
    bool operator==(const SearchChoice& other) const { return mask == other.mask && chosen == other.chosen; }
    bool operator!=(const SearchChoice& other) const { return !(*this == other); }
};

// The maker text of a program from its version information: "CompanyName",
// or "LegalCopyright" when the company is given empty.  FALSE when there is
// none.
BOOL ReadCompanyText(const char* path, CText& text);
// Whether a maker text passes the chosen companies.  A name counts when it
// occurs in the text exactly as written; the last entry, when chosen, takes
// every text in which no listed name occurs.
BOOL CompanyMatches(const Companies& companies, const CText& text);
