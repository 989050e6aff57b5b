#include "SearchTestSupport.h"

#include "driver/Driver.h"
#include "explorer/FileTypesDialog.h"
#include "resources/explorer/explorer_res.h"
#include "unit/ModalLoop.h"

#include <gtest/gtest.h>

#include <functional>

using namespace explorer_tests;

namespace {

// The dialog with help that never reaches WinHelp (which blocks under Wine
// behind a message box when the help file is missing).
class TestedDialog : public CFileTypesDialog
{
public:
    using CFileTypesDialog::CFileTypesDialog;
    BOOL helpOpens = TRUE;
    std::vector<UINT> helpTopics;

protected:
    BOOL ShowHelp(UINT topic) override
    {
        helpTopics.push_back(topic);
        return helpOpens;
    }
};

std::vector<CDocumentType> Catalogue(std::initializer_list<int> checks)
{
    const char* names[] = {"File Folder", "Lintel Test Document", "Text Document", "Bitmap Image", "Help File",
                           "Shortcut"};
    std::vector<CDocumentType> catalogue;
    auto check = checks.begin();
    for (const char* name : names) {
        catalogue.push_back(CDocumentType{name, check != checks.end() ? *check : 0});
        if (check != checks.end())
            ++check;
    }
    return catalogue;
}

std::vector<int> ChecksOf(const std::vector<CDocumentType>& catalogue)
{
    std::vector<int> checks;
    for (const CDocumentType& entry : catalogue)
        checks.push_back(entry.checked);
    return checks;
}

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A left press and release at x of one item, as the list box gets them.
void ClickItem(HWND list, int index, int x)
{
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(x, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    Pump();
}

// Runs the dialog; the steps see it open, then the button ends it.
INT_PTR RunDialog(TestedDialog& dialog, const std::function<void(HWND dialog, HWND list)>& steps, int endButton)
{
    DuringModalLoop during([&] {
        HWND window = dialog.Handle();
        HWND list = GetDlgItem(window, IDC_FILE_TYPE_LIST);
        steps(window, list);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(endButton, BN_CLICKED), 0);
    });
    const INT_PTR ended = dialog.DoModal();
    EXPECT_TRUE(during.Ran());
    return ended;
}

} // namespace

TEST(FileTypesDialog, ListsTheCatalogueInOrderWithRoomForTheCheckBoxes)
{
    auto catalogue = Catalogue({0, 1});
    CTypeFilter filter;
    TestedDialog dialog(nullptr, nullptr, catalogue, filter);
    RunDialog(dialog, [&](HWND, HWND list) {
        EXPECT_GE(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 13);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(catalogue.size()));
        for (size_t i = 0; i < catalogue.size(); ++i) {
            char text[256]{};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            EXPECT_STREQ(text, catalogue[i].description.c_str());
        }
    }, IDCANCEL);
}

TEST(FileTypesDialog, APressInsideTheCheckBoxTogglesAndSelectsTheItem)
{
    struct Click {
        int item;
        int x;
        bool toggles;
    };
    // The check box lies between x = 2 and x = 15, both excluded.
    const Click clicks[] = {{0, 2, false}, {1, 3, true}, {2, 8, true}, {3, 14, true}, {4, 15, false}, {5, 60, false},
                            {1, 8, true}};
    auto catalogue = Catalogue({});
    CTypeFilter filter;
    TestedDialog dialog(nullptr, nullptr, catalogue, filter);
    RunDialog(dialog, [&](HWND, HWND list) {
        std::vector<int> expected = ChecksOf(catalogue);
        for (size_t i = 0; i < std::size(clicks); ++i) {
            SCOPED_TRACE(i);
            ClickItem(list, clicks[i].item, clicks[i].x);
            if (clicks[i].toggles)
                expected[clicks[i].item] ^= 1;
            EXPECT_EQ(ChecksOf(catalogue), expected);
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), clicks[i].item);
        }
        // The space bar toggles the selected item.
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
        Pump();
        expected[2] ^= 1;
        EXPECT_EQ(ChecksOf(catalogue), expected);
    }, IDCANCEL);
}

TEST(FileTypesDialog, OkAppendsTheCheckedDescriptionsCancelLeavesFilterAndChecks)
{
    struct Case {
        const char* name;
        int endButton;
        bool reset;
        std::vector<std::string> filterAfter;
    };
    const Case cases[] = {
        {"OK", IDOK, false, {"Earlier", "File Folder", "Text Document", "Shortcut"}},
        {"Cancel", IDCANCEL, false, {"Earlier"}},
        {"Reset, then OK", IDOK, true, {"Earlier", "Bitmap Image"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto catalogue = Catalogue({1, 0, 1});
        CTypeFilter filter;
        filter.Add("Earlier");
        const std::vector<int> checksBefore = ChecksOf(catalogue);
        TestedDialog dialog(nullptr, nullptr, catalogue, filter);
        const INT_PTR ended = RunDialog(dialog, [&](HWND window, HWND list) {
            if (c.reset) {
                SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPES_RESET, BN_CLICKED), 0);
                EXPECT_EQ(ChecksOf(catalogue), std::vector<int>(catalogue.size(), 0));
            }
            ClickItem(list, c.reset ? 3 : 5, 8);
        }, c.endButton);
        EXPECT_EQ(ended, c.endButton);
        std::vector<std::string> names;
        for (const CText& name : filter.Names())
            names.push_back(name.c_str());
        EXPECT_EQ(names, c.filterAfter);
        // What the user checked before cancelling is not kept for next time.
        if (c.endButton == IDCANCEL) {
            EXPECT_EQ(ChecksOf(catalogue), checksBefore);
        } else {
            EXPECT_NE(ChecksOf(catalogue), checksBefore);
        }
    }
}

TEST(FileTypesDialog, HelpOpensTopic136AndRemembersThatItOpened)
{
    for (const BOOL opens : {TRUE, FALSE}) {
        SCOPED_TRACE(opens);
        auto catalogue = Catalogue({});
        CTypeFilter filter;
        TestedDialog dialog(nullptr, nullptr, catalogue, filter);
        dialog.helpOpens = opens;
        RunDialog(dialog, [&](HWND window, HWND) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FILE_TYPES_HELP, BN_CLICKED), 0);
        }, IDCANCEL);
        EXPECT_EQ(dialog.helpTopics, std::vector<UINT>{136u});
        EXPECT_EQ(dialog.HelpUsed(), opens == TRUE);
    }
}
