// The progress box shown while toolbars open: its bar skips positions that
// come faster than it is worth drawing, never the ends.
#include "ToolbarFixture.h"
#include "resources/lintel/resource.h"
#include "toolbars/OpenProgressDialog.h"

#include <commctrl.h>

namespace {

int BarPosition(const COpenProgressDialog& progress)
{
    return static_cast<int>(SendDlgItemMessageA(progress.Handle(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

} // namespace

// The fixture registers the dialog's window class.
TEST_F(ToolbarTest, OpenProgressBarAlwaysShowsTheFirstAndLastPlaceOfABurst)
{
    COpenProgressDialog progress(nullptr);
    ASSERT_TRUE(progress.Create(nullptr));
    // A full toolbar read in one go, then a second file (a new range) and a
    // three-step job, each position given back to back.
    const int ranges[] = {256, 40, 3};
    for (int range : ranges) {
        SCOPED_TRACE(range);
        progress.SetRange(range);
        progress.SetPosition(0);
        EXPECT_EQ(BarPosition(progress), 0);
        for (int position = 1; position < range; ++position)
            progress.SetPosition(position);
        EXPECT_EQ(BarPosition(progress), range - 1);
    }
    // A position that comes after a pause is shown, ends or not.
    progress.SetRange(256);
    progress.SetPosition(0);
    progress.SetPosition(1);
    Sleep(200);
    progress.SetPosition(100);
    EXPECT_EQ(BarPosition(progress), 100);
    progress.Destroy();
}
