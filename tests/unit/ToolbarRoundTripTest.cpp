// Whole toolbars with program, folder and group buttons, saved and read back
// through real files in every version the program writes.
#include "ButtonTestSupport.h"
#include "driver/CompoundFile.h"
#include "driver/Driver.h"

namespace {

std::unique_ptr<CToolbar> ReadBack(CMainApp* app, const std::string& path)
{
    auto toolbar = std::make_unique<CToolbar>(app, nullptr, nullptr);
    EXPECT_TRUE(toolbar->Open(path.c_str(), 2));
    return toolbar;
}

} // namespace

TEST_F(ButtonTest, ToolbarWithButtonsReadsBackAndWritesTheSameBytes)
{
    const std::string programPath = button_test::CopyEchoProgram(m_folder, "editor.exe");
    CExecButton* editor = AddProgramButton(programPath);
    ASSERT_NE(editor, nullptr);
    editor->SetDescription("Editor");
    editor->SetParameters("/safe \"quoted arg\"");
    editor->SetConvertTo83(TRUE);
    m_toolbar->AddButton(kKindSpace, nullptr);
    ASSERT_TRUE(m_toolbar->AddButtonFromPath(m_folder.c_str()));   // a folder button
    const std::string other = m_folder + "\\other.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(other.c_str(), 0));
    ASSERT_TRUE(m_toolbar->AddButtonFromPath(other.c_str()));      // a group button
    ASSERT_EQ(m_toolbar->Count(), 4);

    struct Case {
        DWORD version;
        int buttons;   // the old format cannot hold the group button
    };
    const Case cases[] = {{0x23000, 4}, {0x11000, 3}, {0x10000, 3}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.version);
        if (entry.version < 0x20000)
            m_toolbar->Remove(3);
        const std::string first = m_folder + "\\first.ltl";
        const std::string second = m_folder + "\\second.ltl";
        ASSERT_TRUE(m_toolbar->WriteToFile(first.c_str(), entry.version));
        auto back = ReadBack(m_app.get(), first);
        ASSERT_EQ(back->Count(), entry.buttons);
        EXPECT_EQ(back->Version(), entry.version);
        auto* program = dynamic_cast<CExecButton*>(back->Button(0));
        ASSERT_NE(program, nullptr);
        EXPECT_STREQ(program->Description().c_str(), "Editor");
        EXPECT_STREQ(program->FileName().c_str(), programPath.c_str());
        EXPECT_TRUE(program->ConvertTo83());
        if (entry.version > 0x11000) {
            EXPECT_STREQ(program->Parameters().c_str(), "/safe \"quoted arg\"");
        }
        EXPECT_EQ(back->Button(1)->Kind(), kKindSpace);
        // Old files know no folder kind: the folder comes back as a program
        // button aimed at the folder.
        EXPECT_EQ(back->Button(2)->Kind(), entry.version < 0x20000 ? kKindProgram : kKindFolder);

        // Written again, the file holds the same bytes in every element.  An
        // old file's folder button comes back as a program button, whose
        // record has one field more: from then on the bytes stay the same.
        ASSERT_TRUE(back->WriteToFile(second.c_str(), 0));
        const std::string third = m_folder + "\\third.ltl";
        ASSERT_TRUE(ReadBack(m_app.get(), second)->WriteToFile(third.c_str(), 0));
        CompoundContent a, b, c;
        ASSERT_TRUE(ReadCompoundFile(first, a));
        ASSERT_TRUE(ReadCompoundFile(second, b));
        ASSERT_TRUE(ReadCompoundFile(third, c));
        EXPECT_EQ(b.streams, c.streams);
        EXPECT_EQ(b.storages, c.storages);
        if (entry.version >= 0x20000) {
            EXPECT_EQ(a.streams, b.streams);
            EXPECT_EQ(a.storages, b.storages);
        }
        if (entry.version == 0x23000) {
            // Current files carry the three icons of every button with a target.
            for (const wchar_t* icon : {L"SMALL", L"NORMAL", L"LARGE"})
                EXPECT_EQ(a.storages[L"BUTTON000"].count(icon), 1u);
        }
    }
}
