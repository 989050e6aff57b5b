// The applications search's company filter: the company list of the
// wizard's string table, the maker text read from a program's version
// information, the match of that text against the chosen companies, and the
// shortcut test that puts them together.
#include "driver/Driver.h"
#include "driver/WizardSheet.h"
#include "resources/wizard/wizard_res.h"
#include "wizard/FoundItem.h"
#include "wizard/WizardSearch.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const Companies& companies)
{
    std::vector<std::string> names;
    for (const CCompany& company : companies)
        names.emplace_back(company.name.c_str());
    return names;
}

Companies WizardCompanies()
{
    CText list;
    list.LoadString(GetModuleHandleA(nullptr), IDS_COMPANIES);
    return SplitCompanies(list.c_str());
}

// Only the named companies chosen.
Companies Choosing(const std::vector<std::string>& chosen)
{
    Companies companies = WizardCompanies();
    for (CCompany& company : companies) {
        company.selected = 0;
        for (const std::string& name : chosen)
            company.selected |= company.name == name.c_str() ? 1 : 0;
    }
    return companies;
}

std::string Maker(const char* program) { return driver::ProgramFolder() + "\\" + program + ".exe"; }

} // namespace

TEST(CompanyList, TheStringTableListSplitsAtLineFeedsWithAllOthersLast)
{
    const Companies companies = WizardCompanies();
    EXPECT_EQ(Names(companies),
              (std::vector<std::string>{"Microsoft", "Lotus", "Novell", "Borland", "Symantec", "Corel", "Corvane",
                                        "IBM", "Netscape", "Adobe", "Aldus", "All others"}));
    for (const CCompany& company : companies)
        EXPECT_EQ(company.selected, 1) << company.name.c_str();

    // Empty lines and a trailing line feed give no nameless company.
    EXPECT_EQ(Names(SplitCompanies("A\n\nB\n")), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(SplitCompanies("").empty());
    EXPECT_TRUE(SplitCompanies(nullptr).empty());
}

TEST(CompanyText, CompanyNameElseLegalCopyrightWhenTheNameIsEmpty)
{
    struct Case {
        const char* program;
        bool found;
        const char* text;
    };
    const Case cases[] = {
        {"maker_adobe_systems", true, "Adobe Systems"},
        {"maker_adobe_capitals", true, "ADOBE"},
        {"maker_microsoft", true, "Microsoft Corporation"},
        {"maker_acme", true, "Acme"},
        // No CompanyName at all: the copyright is not looked at.
        {"maker_copyright_only", false, ""},
        {"maker_empty_company", true, "Copyright (C) Lotus Development"},
        // The string block is the one the translation names.
        {"maker_german_corel", true, "Corel Corporation"},
        {"maker_none", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        CText text("untouched");
        EXPECT_EQ(ReadCompanyText(Maker(c.program).c_str(), text) != FALSE, c.found);
        if (c.found) {
            EXPECT_STREQ(text.c_str(), c.text);
        }
    }
    CText text;
    EXPECT_FALSE(ReadCompanyText((driver::ProgramFolder() + "\\no such program.exe").c_str(), text));
}

TEST(CompanyMatch, ChosenNamesMatchExactlyAndAllOthersTakesOnlyUnlistedMakers)
{
    struct Case {
        std::vector<std::string> chosen;
        const char* text;
        bool passes;
    };
    const Case cases[] = {
        {{"Adobe"}, "Adobe Systems", true},
        {{"Adobe"}, "ADOBE", false},                              // letter case counts
        {{"Adobe"}, "Microsoft Corporation", false},
        {{"All others"}, "Acme", true},
        {{"All others"}, "ADOBE", true},                          // no listed name written so
        {{"All others"}, "Microsoft Corporation", false},         // listed, even though not chosen
        {{"All others"}, "Copyright (C) Lotus Development", false},
        {{"Microsoft", "Adobe"}, "Adobe Systems", true},
        {{"Microsoft"}, "Adobe and Microsoft", true},              // any chosen name that occurs
        {{"Lotus", "All others"}, "Acme", true},
        {{"Lotus"}, "Acme", false},
        {{}, "Acme", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(CompanyMatches(Choosing(cases[i].chosen), CText(cases[i].text)) != FALSE, cases[i].passes);
    }
    EXPECT_FALSE(CompanyMatches(Companies{}, CText("Acme")));
}

TEST(SearchChoiceTest, TheSameNumberOfOtherCompaniesIsADifferentSearch)
{
    const SearchChoice first = SearchChoice::Of(1, Choosing({"Microsoft", "Lotus"}));
    EXPECT_EQ(first, SearchChoice::Of(1, Choosing({"Lotus", "Microsoft"})));
    EXPECT_NE(first, SearchChoice::Of(1, Choosing({"Microsoft", "Adobe"})));
    EXPECT_NE(first, SearchChoice::Of(3, Choosing({"Microsoft", "Lotus"})));
    EXPECT_NE(first, SearchChoice::Of(1, Choosing({"Microsoft"})));
}

class ShortcutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_folder = driver::MakeTempFolder("WizardShortcuts");
    }
    void TearDown() override { CoUninitialize(); }

    std::string Link(const std::string& name, const std::string& target)
    {
        const std::string path = m_folder + "\\" + name + ".lnk";
        EXPECT_TRUE(driver::SaveShortcut(path, target)) << path;
        return path;
    }

    std::string m_folder;
};

TEST_F(ShortcutTest, OnlyShortcutsToProgramsOfAChosenMakerPass)
{
    const std::string document = m_folder + "\\notes.txt";
    driver::WriteTextFile(document, "notes");
    const std::string adobe = Link("Adobe", Maker("maker_adobe_systems"));
    const std::string acme = Link("Acme", Maker("maker_acme"));
    const std::string unversioned = Link("None", Maker("maker_none"));
    const std::string notes = Link("Notes", document);

    const Companies all = WizardCompanies();
    // With every company chosen no version information is read at all.
    EXPECT_TRUE(CWizardSearch::ShortcutPasses(adobe.c_str(), all));
    EXPECT_TRUE(CWizardSearch::ShortcutPasses(unversioned.c_str(), all));
    EXPECT_FALSE(CWizardSearch::ShortcutPasses(notes.c_str(), all));

    const Companies adobeOnly = Choosing({"Adobe"});
    EXPECT_TRUE(CWizardSearch::ShortcutPasses(adobe.c_str(), adobeOnly));
    EXPECT_FALSE(CWizardSearch::ShortcutPasses(acme.c_str(), adobeOnly));
    EXPECT_FALSE(CWizardSearch::ShortcutPasses(unversioned.c_str(), adobeOnly));

    // The target is taken with its environment references expanded (a
    // reference after the drive: Wine makes a target that starts with one
    // into a path below the current folder).
    const std::string programs = driver::ProgramFolder();
    ASSERT_TRUE(SetEnvironmentVariableA("LINTEL_WIZARD_MAKERS", programs.substr(3).c_str()));
    const std::string referred =
        Link("Referred", programs.substr(0, 3) + "%LINTEL_WIZARD_MAKERS%\\maker_adobe_systems.exe");
    EXPECT_TRUE(CWizardSearch::ShortcutPasses(referred.c_str(), adobeOnly));
    SetEnvironmentVariableA("LINTEL_WIZARD_MAKERS", nullptr);

    // The program itself is not a shortcut, whatever its maker.
    EXPECT_FALSE(CWizardSearch::ShortcutPasses(Maker("maker_adobe_systems").c_str(), all));
    EXPECT_FALSE(CWizardSearch::ShortcutPasses((m_folder + "\\missing.lnk").c_str(), all));
}

TEST(ShortcutTarget, AnExpansionThatDoesNotFitAPathIsRefusedNotCut)
{
    const std::string root(200, 'r');
    ASSERT_TRUE(SetEnvironmentVariableA("LINTEL_WIZARD_ROOT", ("C:\\" + root).c_str()));
    CText expanded;
    ASSERT_TRUE(CWizardSearch::ExpandTarget("%LINTEL_WIZARD_ROOT%\\tool.exe", expanded));
    EXPECT_STREQ(expanded.c_str(), ("C:\\" + root + "\\tool.exe").c_str());

    // 3 + 200 + 1 + 55 = 259 characters fit with their zero; one more does not.
    const std::string fits(51, 'f');
    ASSERT_TRUE(CWizardSearch::ExpandTarget(("%LINTEL_WIZARD_ROOT%\\" + fits + ".exe").c_str(), expanded));
    EXPECT_EQ(expanded.Length(), 259);
    expanded = "untouched";
    EXPECT_FALSE(CWizardSearch::ExpandTarget(("%LINTEL_WIZARD_ROOT%\\" + fits + "x.exe").c_str(), expanded));
    EXPECT_FALSE(
        CWizardSearch::ExpandTarget("%LINTEL_WIZARD_ROOT%\\%LINTEL_WIZARD_ROOT%\\%LINTEL_WIZARD_ROOT%.exe", expanded));
    SetEnvironmentVariableA("LINTEL_WIZARD_ROOT", nullptr);
}
