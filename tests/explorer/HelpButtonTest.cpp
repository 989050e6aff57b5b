// The File Types dialog's Help button through the programs' help: the
// dialog's topic in the compiled help when there is no WinHelp file, and a
// word to the user, with nothing marked as open, when there is no help at all.
#include "explorer/FileTypesDialog.h"
#include "resources/explorer/explorer_res.h"
#include "unit/HelpBackendDouble.h"
#include "unit/ModalLoop.h"

#include <htmlhelp.h>

#include <gtest/gtest.h>

TEST(FileTypesDialogHelp, TheHelpButtonOpensTheDialogsTopicOrSaysWhereHelpWasExpected)
{
    const std::string folder = CHelpBackendDouble::ProgramFolder();
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed);
        CHelpBackendDouble help;
        if (installed)
            help.files = {folder + "\\Lintel.chm"};
        std::vector<CDocumentType> catalogue{CDocumentType{"Text Document", 0}};
        CTypeFilter filter;
        CFileTypesDialog dialog(nullptr, nullptr, catalogue, filter);
        HWND window = nullptr;
        DuringModalLoop during([&] {
            window = dialog.Handle();
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPES_HELP, BN_CLICKED), 0);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        dialog.DoModal();
        ASSERT_TRUE(during.Ran());
        ASSERT_EQ(help.calls.size(), 1u);
        EXPECT_EQ(help.calls[0].owner, window);
        if (installed) {
            EXPECT_EQ(help.calls[0].kind, "htmlhelp");
            EXPECT_EQ(help.calls[0].file, folder + "\\Lintel.chm");
            EXPECT_EQ(help.calls[0].command, static_cast<UINT>(HH_HELP_CONTEXT));
            EXPECT_EQ(help.calls[0].data, static_cast<ULONG_PTR>(IDH_FILE_TYPES));
        } else {
            EXPECT_EQ(help.calls[0].kind, "missing");
        }
        EXPECT_EQ(dialog.HelpUsed(), installed);
    }
}
