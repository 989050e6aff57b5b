// The file names new toolbars are saved under, made from names that Windows
// would refuse in a file name.
#include "ToolbarFixture.h"
#include "driver/Driver.h"
#include "toolbars/ToolbarFileName.h"

#include <string>

TEST(ToolbarFileName, RefusedCharactersDevicesAndEmptyResults)
{
    struct Case {
        const char* name;
        const char* want;   // "" means the default name stands in
    };
    const Case cases[] = {
        {"Tools", "Tools"},
        {"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"Tab\there", "Tab_here"},
        {"  Leading blanks stay", "  Leading blanks stay"},
        {"Trailing dots...", "Trailing dots"},
        {"Trailing blanks and a dot . ", "Trailing blanks and a dot"},
        {"Version 2.1", "Version 2.1"},
        {"???", ""},
        {"", ""},
        {". . .", ""},
        {"*.", ""},
        {"_", "_"},
        {"CON", "CON_"},
        {"nul", "nul_"},
        {"Aux.old", "Aux_.old"},
        {"PRN .", "PRN_"},
        {"COM1", "COM1_"},
        {"lpt9", "lpt9_"},
        {"COM10", "COM10"},
        {"COM", "COM"},
        {"CONSOLE", "CONSOLE"},
        {"My CON", "My CON"},
        {"CONOUT$", "CONOUT$_"},
        {"NUL?", "NUL_"},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(ToolbarFileBase(entry.name), entry.want);
    }
}

namespace {

class NewToolbarFileTest : public ToolbarTest
{
protected:
    void SetUp() override
    {
        ToolbarTest::SetUp();
        GetCurrentDirectoryA(sizeof m_previous, m_previous);
        m_folder = driver::MakeTempFolder("NewToolbarFileTest");
        SetCurrentDirectoryA(m_folder.c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_previous);
        ToolbarTest::TearDown();
    }

    // A toolbar made and saved the way the wizard's toolbars are.
    CToolbar* NewSavedToolbar(const char* name)
    {
        const int slot = m_set->CreateBlankToolbar(name);
        EXPECT_GE(slot, 0);
        if (slot < 0)
            return nullptr;
        EXPECT_TRUE(m_set->CompleteNewToolbar(slot, TRUE));
        return m_set->Toolbar(slot);
    }

    std::string m_folder;
    char m_previous[MAX_PATH]{};
};

} // namespace

TEST_F(NewToolbarFileTest, ToolbarKeepsItsNameItsFileGetsAFitOne)
{
    const struct {
        const char* name;
        const char* file;
    } toolbars[] = {
        {"Tools: A/B?", "Tools_ A_B_.ltl"},
        {"Tools: A/B?", "Tools_ A_B_ 1.ltl"},
        {"Tools| A\\B*", "Tools_ A_B_ 2.ltl"},
        {"CON", "CON_.ltl"},
        {"<>", "Lintel.ltl"},
    };
    for (const auto& entry : toolbars) {
        SCOPED_TRACE(entry.name);
        CToolbar* toolbar = NewSavedToolbar(entry.name);
        ASSERT_NE(toolbar, nullptr);
        EXPECT_STREQ(toolbar->Name().c_str(), entry.name);
        const std::string path = m_folder + "\\" + entry.file;
        EXPECT_STREQ(toolbar->FileName().c_str(), path.c_str());
        ASSERT_TRUE(driver::FileExists(path));
        // The file holds the name as it was given.
        CToolbar reread(m_app.get(), nullptr, nullptr);
        ASSERT_TRUE(reread.Open(path.c_str(), kReadRecordOnly));
        EXPECT_STREQ(reread.Name().c_str(), entry.name);
    }
}
