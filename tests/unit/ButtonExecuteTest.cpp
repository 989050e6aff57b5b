// Starting a program button's target: the program with its parameters, a
// document handed to the program as its expected Windows version wants it, a
// document with parameters through its associated program, and failures.
#include "ButtonTestSupport.h"
#include "ModalLoop.h"
#include "buttons/OpenWithParametersDialog.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

using button_test::CopyEchoProgram;
using button_test::EchoedArguments;
using button_test::ForgetEcho;

namespace {

std::string ShortName(const std::string& path)
{
    char shortName[MAX_PATH]{};
    const DWORD length = GetShortPathNameA(path.c_str(), shortName, sizeof shortName);
    return length > 0 && length < sizeof shortName ? std::string(shortName) : std::string();
}

} // namespace

TEST_F(ButtonTest, ProgramGetsDocumentsAsItsWindowsVersionExpects)
{
    const std::string document = m_folder + "\\my long document.txt";
    driver::WriteTextFile(document, "text");
    const std::string shortDocument = ShortName(document);
    ASSERT_FALSE(shortDocument.empty());
    ASSERT_NE(shortDocument, document) << "a name with blanks has a short form of its own";

    struct Case {
        const char* name;
        WORD version;
        const char* parameters;
        BOOL convertTo83;
        bool withDocument;
        std::string want;
    };
    const Case cases[] = {
        {"parameters only", 0x400, "-a -b", FALSE, false, "-a -b"},
        {"Windows 4.0: quoted", 0x400, "-p", FALSE, true, "-p \"" + document + "\""},
        {"Windows 3.1: as it is", 0x30A, "-p", FALSE, true, "-p " + document},
        {"later Windows: quoted", 0x600, "-p", FALSE, true, "-p \"" + document + "\""},
        {"8.3 asked for", 0x400, "-p", TRUE, true, "-p " + shortDocument},
        {"no parameters: still the blank", 0x30A, "", FALSE, true, " " + document},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        const std::string program = CopyEchoProgram(m_folder, "prog" + std::to_string(entry.version) + ".exe",
                                                    entry.version);
        ASSERT_FALSE(program.empty());
        CExecButton* button = AddProgramButton(program);
        ASSERT_NE(button, nullptr);
        ASSERT_EQ(button->ExpectedWindowsVersion(), entry.version);
        button->SetParameters(entry.parameters);
        button->SetConvertTo83(entry.convertTo83);
        ForgetEcho(program);
        EXPECT_TRUE(button->Execute(entry.withDocument ? document.c_str() : nullptr));
        EXPECT_EQ(EchoedArguments(program), entry.want);
        EXPECT_STREQ(button_test::EchoedFolder(program).c_str(), m_folder.c_str()) << "it starts in its folder";
        EXPECT_TRUE(button->IsTargetOk());
        m_toolbar->Remove(button);
    }
}

TEST_F(ButtonTest, ClickStartsTheProgramOnTheChosenDesktopWithoutTheLibrary)
{
    const std::string program = CopyEchoProgram(m_folder, "click.exe");
    CExecButton* button = AddProgramButton(program);
    ASSERT_NE(button, nullptr);
    button->SetParameters("--clicked");
    // Without the virtual desktop library the target opens where the user is.
    button->SetUseCurrentDesktop(FALSE);
    button->SetDesktop(1, 1);
    ForgetEcho(program);
    button->Activate(0);
    EXPECT_EQ(EchoedArguments(program), "--clicked");
}

TEST_F(ButtonTest, DocumentWithParametersGoesThroughItsProgram)
{
    const std::string program = CopyEchoProgram(m_folder, "viewer.exe");
    ASSERT_TRUE(m_classes.Set(".lintecho", "LintelTest.Echo"));
    ASSERT_TRUE(m_classes.Set("LintelTest.Echo\\shell\\open\\command", "\"" + program + "\" \"%1\""));
    const std::string plain = m_folder + "\\letter.lintecho";
    const std::string blanks = m_folder + "\\long letter.lintecho";
    driver::WriteTextFile(plain, "letter");
    driver::WriteTextFile(blanks, "letter");

    struct Case {
        const char* name;
        std::string document;
        const char* parameters;
        std::string want;
    };
    const Case cases[] = {
        {"parameters, a blank, the file", plain, "/p", "/p " + plain},
        // A name with a blank must stay one argument.
        {"name with a blank", blanks, "/p", "/p \"" + blanks + "\""},
        // Without parameters the shell opens the document itself.
        {"no parameters", plain, "", "\"" + plain + "\""},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        CExecButton* button = AddProgramButton(entry.document);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->ExpectedWindowsVersion(), 0) << "a document is no program";
        button->SetParameters(entry.parameters);
        ForgetEcho(program);
        EXPECT_TRUE(button->Execute());
        EXPECT_EQ(EchoedArguments(program), entry.want);
        m_toolbar->Remove(button);
    }
}

TEST_F(ButtonTest, MissingTargetShowsItsMessageAndTheBrokenMark)
{
    const std::string program = CopyEchoProgram(m_folder, "vanishing.exe");
    CExecButton* button = AddProgramButton(program);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(DeleteFileA(program.c_str()));

    BOOL started = TRUE;
    const std::string text = AnswerBoxDuring([&] { started = button->Execute(); }, program.c_str(), IDOK);
    EXPECT_EQ(text, "The specified file could not be found.");
    EXPECT_FALSE(started);
    EXPECT_FALSE(button->IsTargetOk());

    // Back in place, the next start clears the mark.
    ASSERT_EQ(CopyEchoProgram(m_folder, "vanishing.exe"), program);
    ForgetEcho(program);
    EXPECT_TRUE(button->Execute());
    EXPECT_NE(EchoedArguments(program), "<not started>");
    EXPECT_TRUE(button->IsTargetOk());

    // A blank button has nothing to start: the program's name is the caption.
    auto blank = NewButton(kKindProgram);
    const std::string blankText =
        AnswerBoxDuring([&] { started = static_cast<CExecButton*>(blank.get())->Execute(); }, "Lintel", IDOK);
    EXPECT_EQ(blankText, "An error occured while trying to start the application.");
    EXPECT_FALSE(started);
}

TEST_F(ButtonTest, OpenWithParametersRunsOnceAndKeepsTheStoredParameters)
{
    const std::string program = CopyEchoProgram(m_folder, "withparams.exe");
    CExecButton* button = AddProgramButton(program);
    ASSERT_NE(button, nullptr);
    button->SetParameters("stored");
    ForgetEcho(program);

    std::string shown;
    DuringModalLoop step([&] {
        HWND dialog = FindWindowA("#32770", "Open with parameters");
        if (!dialog)
            return;
        char text[64]{};
        GetDlgItemTextA(dialog, IDC_OPEN_WITH_EDIT, text, sizeof text);
        shown = text;
        SetDlgItemTextA(dialog, IDC_OPEN_WITH_EDIT, "just this once");
        driver::PressButton(dialog, IDOK);
    });
    button->OpenWithParameters();
    ASSERT_TRUE(step.Ran());
    EXPECT_EQ(shown, "stored");
    EXPECT_EQ(EchoedArguments(program), "just this once");
    EXPECT_STREQ(button->Parameters().c_str(), "stored");
}

TEST(OpenWithParameters, BrowsedFileIsAddedAsTheProgramReadsNames)
{
    const std::string folder = driver::MakeTempFolder("browsed");
    const std::string file = folder + "\\a long file name.txt";
    driver::WriteTextFile(file, "text");
    const std::string shortFile = ShortName(file);
    struct Case {
        const char* before;
        WORD version;
        std::string after;
    };
    const Case cases[] = {
        {"", 0x400, "\"" + file + "\""},
        {"-a", 0x350, "-a \"" + file + "\""},
        {"-a ", 0x400, "-a \"" + file + "\""},
        {"-a", 0x30A, "-a " + shortFile},
        {"-a", 0x600, "-a \"" + file + "\""},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << entry.before << "\" " << std::hex << entry.version);
        CText parameters(entry.before);
        COpenWithParametersDialog::AppendFile(parameters, file.c_str(), entry.version);
        EXPECT_STREQ(parameters.c_str(), entry.after.c_str());
    }
}
