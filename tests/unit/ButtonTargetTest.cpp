// Where a program button's target comes from: a path, a pair of item
// identifier lists or a shortcut; and when a target counts as usable.
#include "ButtonTestSupport.h"
#include "common/ShellFolder.h"
#include "driver/Driver.h"

#include <commdlg.h>
#include <shlobj.h>

class ButtonTargetTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        m_program = button_test::CopyEchoProgram(m_folder, "target.exe");
        ASSERT_FALSE(m_program.empty());
    }

    std::string m_program;
};

TEST_F(ButtonTargetTest, PathGivesTargetStartInDescriptionAndIcon)
{
    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->FileName().c_str(), m_program.c_str());
    EXPECT_STREQ(button->StartIn().c_str(), m_folder.c_str());
    char title[MAX_PATH]{};
    ASSERT_EQ(GetFileTitleA(m_program.c_str(), title, sizeof title), 0);
    EXPECT_STREQ(button->Description().c_str(), title);
    EXPECT_TRUE(button->IsDefaultIcon());
    EXPECT_STREQ(button->IconFile().c_str(), m_program.c_str());
    EXPECT_GE(button->ImageIndex(), 2);
    EXPECT_TRUE(button->IsFileSystem());
    EXPECT_TRUE(button->AllowsDrops()) << "a program takes dropped documents";
    EXPECT_TRUE(button->IsTargetOk());

    EXPECT_EQ(button_test::PathOfTarget(*button), m_program) << "the two lists joined name the file";
    for (int pixels : {16, 32, 48}) {
        CIconHandle icon(button->GetTargetIcon(pixels));
        ASSERT_TRUE(icon) << pixels;
    }
}

TEST_F(ButtonTargetTest, PathMustBeAFolderOrOfARegisteredType)
{
    const std::string unregistered = m_folder + "\\notes.lintnone";
    driver::WriteTextFile(unregistered, "text");
    const std::string registered = m_folder + "\\notes.lintknown";
    driver::WriteTextFile(registered, "text");
    ASSERT_TRUE(m_classes.Set(".lintknown", "LintelTest.Known"));
    struct Case {
        std::string path;
        BOOL created;
    };
    const Case cases[] = {
        {unregistered, FALSE},
        {m_folder + "\\no extension", FALSE},
        {registered, TRUE},
        {m_folder, TRUE},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        auto button = NewButton(kKindProgram);
        EXPECT_EQ(button->Create(entry.path.c_str(), Data(), 2), entry.created);
        EXPECT_EQ(button->IsTargetOk(), entry.created);
    }
}

TEST_F(ButtonTargetTest, ItemIdPairNamesTheTarget)
{
    CItemId folderList;
    ASSERT_TRUE(folderList.Set(CText(m_folder.c_str())));
    CShellFolder folder(folderList);
    ASSERT_TRUE(folder.IsValid());
    CItemId item;
    ASSERT_TRUE(folder.ParseDisplayName("target.exe", item));

    auto button = NewButton(kKindProgram);
    ASSERT_TRUE(button->Create(folderList.List(), item.List(), Data(), 2));
    auto* program = static_cast<CExecButton*>(button.get());
    EXPECT_STREQ(button->FileName().c_str(), m_program.c_str());
    EXPECT_STREQ(program->StartIn().c_str(), m_folder.c_str());
    EXPECT_TRUE(button->IsFileSystem());
    EXPECT_FALSE(button->Description().IsEmpty());
    EXPECT_GE(button->ImageIndex(), 2);

    // The whole list alone gives the same target.
    CItemId full(folderList);
    ASSERT_TRUE(full.Append(item));
    auto fromList = NewButton(kKindProgram);
    ASSERT_TRUE(fromList->Create(full.List(), Data(), 2));
    EXPECT_EQ(fromList->FolderId().Compare(folderList), 0);
    EXPECT_EQ(fromList->ItemId().Compare(item), 0);
    EXPECT_STREQ(fromList->FileName().c_str(), m_program.c_str());
}

TEST_F(ButtonTargetTest, ShortcutGivesTargetArgumentsFolderAndIcon)
{
    char windows[MAX_PATH]{};
    GetWindowsDirectoryA(windows, sizeof windows);
    char system[MAX_PATH]{};
    GetSystemDirectoryA(system, sizeof system);
    SetEnvironmentVariableA("LINTEL_LINK_DIR", m_folder.c_str());
    struct Case {
        const char* name;
        const char* iconLocation;
        int iconIndex;
        BOOL defaultIcon;
        std::string iconFile;
    };
    const Case cases[] = {
        {"full path", "%SystemRoot%\\system32\\shell32.dll", 3, FALSE, std::string(system) + "\\shell32.dll"},
        // A bare name counts only when the Windows folder has that file.
        {"bare name in the Windows folder", "notepad.exe", 0, FALSE, std::string(windows) + "\\notepad.exe"},
        {"bare name elsewhere", "nowhere.dll", 1, TRUE, ""},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        const std::string linkPath = m_folder + "\\My shortcut.lnk";
        {
            CComPtr<IShellLinkA> link;
            ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()),
                      S_OK);
            link->SetPath(m_program.c_str());
            link->SetArguments("-from-link");
            link->SetWorkingDirectory("%LINTEL_LINK_DIR%");
            link->SetIconLocation(entry.iconLocation, entry.iconIndex);
            CComPtr<IPersistFile> file;
            ASSERT_EQ(link->QueryInterface(IID_IPersistFile, file.put_void()), S_OK);
            CText path(linkPath.c_str());
            wchar_t* wide = nullptr;
            ASSERT_TRUE(path.ToUnicode(&wide));
            ASSERT_EQ(file->Save(wide, TRUE), S_OK);
            CText::FreeUnicode(wide);
        }
        CComPtr<IShellLinkA> loaded;
        ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, loaded.put_void()),
                  S_OK);
        CComPtr<IPersistFile> file;
        ASSERT_EQ(loaded->QueryInterface(IID_IPersistFile, file.put_void()), S_OK);
        CText path(linkPath.c_str());
        wchar_t* wide = nullptr;
        ASSERT_TRUE(path.ToUnicode(&wide));
        ASSERT_EQ(file->Load(wide, STGM_READ), S_OK);
        CText::FreeUnicode(wide);

        auto button = NewButton(kKindProgram);
        ASSERT_TRUE(button->Create(loaded.Get(), Data(), 2));
        auto* program = static_cast<CExecButton*>(button.get());
        EXPECT_STREQ(button->FileName().c_str(), m_program.c_str());
        EXPECT_STREQ(button->Description().c_str(), "My shortcut");
        EXPECT_STREQ(program->Parameters().c_str(), "-from-link") << "a program takes the arguments";
        EXPECT_STREQ(program->StartIn().c_str(), m_folder.c_str());
        EXPECT_FALSE(button->AllowsDrops());
        EXPECT_EQ(button->IsDefaultIcon(), entry.defaultIcon);
        if (!entry.defaultIcon) {
            EXPECT_EQ(CText(button->IconFile()), CText(entry.iconFile.c_str())) << button->IconFile().c_str();
            EXPECT_EQ(button->IconIndex(), entry.iconIndex);
        }
        EXPECT_GE(button->ImageIndex(), 2);
    }
    SetEnvironmentVariableA("LINTEL_LINK_DIR", nullptr);
}

TEST_F(ButtonTargetTest, ShortcutShowCommandGivesTheShowState)
{
    // Wine keeps no show command in a saved shortcut, so these are never saved.
    struct Case {
        int showCommand;
        int state;
    };
    const Case cases[] = {{SW_SHOWMINIMIZED, kShowMinimized},
                          {SW_MINIMIZE, kShowMinimized},
                          {SW_SHOWMAXIMIZED, kShowMaximized},
                          {SW_SHOWMINNOACTIVE, kShowNormal},
                          {SW_SHOWNORMAL, kShowNormal}};
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.showCommand);
        CComPtr<IShellLinkA> link;
        ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()),
                  S_OK);
        link->SetPath(m_program.c_str());
        link->SetShowCmd(entry.showCommand);
        auto button = NewButton(kKindProgram);
        ASSERT_TRUE(button->Create(link.Get(), Data(), 2));
        EXPECT_EQ(button->GetShowState(), entry.state);
        // An unsaved shortcut has no name of its own: the target's stands in.
        EXPECT_FALSE(button->Description().IsEmpty());
    }
}

TEST_F(ButtonTargetTest, CheckFileOkWantsATargetAndAnExistingStartInFolder)
{
    struct Case {
        const char* name;
        std::string file;
        std::string startIn;
        BOOL ok;
    };
    const Case cases[] = {
        {"program, its folder", m_program, m_folder, TRUE},
        {"no start-in", m_program, "", TRUE},
        {"start-in missing", m_program, m_folder + "\\missing", FALSE},
        {"start-in is a file", m_program, m_program, FALSE},
        {"no file name", "", m_folder, FALSE},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto button = NewButton(kKindProgram);
        auto* program = static_cast<CExecButton*>(button.get());
        program->SetFile(entry.file.c_str());
        program->SetStartIn(entry.startIn.c_str());
        EXPECT_EQ(program->CheckFileOk(), entry.ok);
        EXPECT_EQ(program->IsTargetOk(), entry.ok) << "the start-in setter checks the target";
    }
}

TEST_F(ButtonTargetTest, NewFileReplacesTheOldTarget)
{
    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    button->SetModified(FALSE);
    // A name the shell cannot find leaves no identifiers of the old target.
    const std::string missing = m_folder + "\\missing.exe";
    ASSERT_TRUE(button->SetFile(missing.c_str()));
    EXPECT_TRUE(button->IsModified());
    EXPECT_STREQ(button->FileName().c_str(), missing.c_str());
    EXPECT_TRUE(button->ItemId().IsDesktop());
}

TEST(FolderOfPath, IsThePathUpToItsLastBackslash)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Tools\\Sub\\app.exe", "C:\\Tools\\Sub"},
        {"C:\\app.exe", "C:\\"},   // the drive's root, not its current folder
        {"app.exe", ""},
        {"\\app.exe", ""},
        {"", ""},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.path);
        EXPECT_STREQ(FolderOfPath(entry.path).c_str(), entry.folder);
    }
}
