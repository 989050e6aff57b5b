// Toolbars on monitors of more than 96 dpi: every size is the 96-dpi size
// scaled, icons come at the image lists' sides from the files' own images,
// a change of monitor lays the toolbar out again, and the file keeps the
// 96-dpi sizes and icons.
#include "ButtonTestSupport.h"
#include "common/Dpi.h"
#include "common/ShellItems.h"
#include "driver/Driver.h"
#include "toolbars/ToolbarDock.h"
#include "toolbars/ToolbarGrid.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

const int kDpis[] = {96, 120, 144, 192};

// Each image of the test icon file is one colour of its own, so a list
// entry shows which image it was made from.
const int kIconFileSides[] = {16, 20, 24, 32, 40, 48, 60, 64, 72, 96};

DWORD ColourOfSide(int side)
{
    return 0x00000000u | static_cast<DWORD>(side * 2) << 16 | static_cast<DWORD>(255 - side) << 8
           | static_cast<DWORD>((side * 37) & 0xFF);
}

void PutWord(std::vector<char>& out, WORD value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutLong(std::vector<char>& out, DWORD value)
{
    PutWord(out, static_cast<WORD>(value & 0xFFFF));
    PutWord(out, static_cast<WORD>(value >> 16));
}

// An .ico file with a 32-bit, fully opaque image of each side.
bool WriteSidesIcon(const std::string& path)
{
    const int count = static_cast<int>(sizeof kIconFileSides / sizeof kIconFileSides[0]);
    std::vector<std::vector<char>> images;
    for (int side : kIconFileSides) {
        std::vector<char> image;
        PutLong(image, 40);
        PutLong(image, static_cast<DWORD>(side));
        PutLong(image, static_cast<DWORD>(2 * side));   // colour and mask rows
        PutWord(image, 1);
        PutWord(image, 32);
        for (int i = 0; i < 6; ++i)
            PutLong(image, 0);
        for (int pixel = 0; pixel < side * side; ++pixel)
            PutLong(image, ColourOfSide(side) | 0xFF000000u);
        const int maskRow = ((side + 31) / 32) * 4;
        image.insert(image.end(), static_cast<size_t>(maskRow * side), '\0');
        images.push_back(image);
    }
    std::vector<char> file;
    PutWord(file, 0);
    PutWord(file, 1);
    PutWord(file, static_cast<WORD>(count));
    DWORD offset = 6 + 16 * static_cast<DWORD>(count);
    for (int i = 0; i < count; ++i) {
        file.push_back(static_cast<char>(kIconFileSides[i]));
        file.push_back(static_cast<char>(kIconFileSides[i]));
        file.push_back(0);
        file.push_back(0);
        PutWord(file, 1);
        PutWord(file, 32);
        PutLong(file, static_cast<DWORD>(images[static_cast<size_t>(i)].size()));
        PutLong(file, offset);
        offset += static_cast<DWORD>(images[static_cast<size_t>(i)].size());
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());
    std::ofstream out(path, std::ios::binary);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return out.good();
}

// The colour in the middle of an entry as the list draws it.
DWORD EntryColour(HIMAGELIST list, int index)
{
    int side = 0;
    int height = 0;
    ImageList_GetIconSize(list, &side, &height);
    const std::vector<DWORD> pixels = button_test::IconPixels(list, index, side);
    return pixels.empty() ? 0xFFFFFFFFu : pixels[static_cast<size_t>(side / 2 * side + side / 2)];
}

int ListSide(HIMAGELIST list)
{
    int side = 0;
    int height = 0;
    ImageList_GetIconSize(list, &side, &height);
    return side;
}

// The side of an icon and the colour in its middle.
struct IconLook {
    int side = 0;
    DWORD middle = 0xFFFFFFFFu;
};

IconLook LookOf(HICON icon)
{
    IconLook look;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return look;
    BITMAP shape{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof shape, &shape);
    look.side = shape.bmWidth;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    CImageListHandle list(ImageList_Create(look.side, look.side, ILC_COLOR32 | ILC_MASK, 1, 1));
    if (look.side > 0 && ImageList_AddIcon(list.Get(), icon) == 0) {
        const std::vector<DWORD> pixels = button_test::IconPixels(list.Get(), 0, look.side);
        if (!pixels.empty())
            look.middle = pixels[static_cast<size_t>(look.side / 2 * look.side + look.side / 2)];
    }
    return look;
}

SIZE WindowSize(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SendDpiChange(CToolbar* toolbar, int dpi, const RECT* suggested)
{
    RECT rect{};
    if (suggested)
        rect = *suggested;
    else
        GetWindowRect(toolbar->Handle(), &rect);
    SendMessageA(toolbar->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
}

FrameMetrics Metrics()
{
    FrameMetrics metrics;
    metrics.cxFrame = 4;
    metrics.cyFrame = 4;
    metrics.caption = 19;
    metrics.smallCaption = 15;
    metrics.cxSize = 18;
    return metrics;
}

class ToolbarDpiTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        m_iconFile = m_folder + "\\sides.ico";
        ASSERT_TRUE(WriteSidesIcon(m_iconFile));
        m_program = button_test::CopyEchoProgram(m_folder, "tool.exe");
    }

    CExecButton* AddIconButton()
    {
        CExecButton* button = AddProgramButton(m_program);
        if (!button)
            return nullptr;
        button->SetDefaultIcon(FALSE);
        button->SetIconFile(m_iconFile.c_str());
        button->SetIconIndex(0);
        EXPECT_TRUE(button->UpdateIcon(m_toolbar->ButtonSize(), TRUE));
        return button;
    }

    // Each list's entry of the button shows the file's image of the list's side.
    void ExpectImagesOfTheListSides(const CToolButton* button, int dpi)
    {
        const int sides[3] = {16, 32, 48};
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            HIMAGELIST list = m_toolbar->ImageList(sizeIndex);
            const int side = Dpi::Scale(sides[sizeIndex], dpi);
            EXPECT_EQ(ListSide(list), side) << "size index " << sizeIndex;
            EXPECT_EQ(EntryColour(list, button->ImageIndex()), ColourOfSide(side))
                << "size index " << sizeIndex << ": not the file's " << side << "-pixel image";
        }
    }

    std::string m_iconFile;
    std::string m_program;
};

} // namespace

TEST(ToolbarDpi, GridSizesAndDockingReachScaleFromTheirNinetySixDpiSizes)
{
    // Border 3, menu buttons, a docked vertical toolbar; the frame metrics
    // stay fixed so that only the toolbar's own sizes move.
    ToolbarSettings settings;
    settings.border = 3;
    settings.showMenuButtons = TRUE;
    settings.docked = TRUE;
    settings.orientation = kVertical;
    settings.buttonsPerLine = 1;
    const struct {
        int dpi;
        int emptySlot;      // normal size
        SIZE frame;         // docked, vertical
        POINT firstSlot;    // below the menu buttons
        bool docksTwoPixelsIn;
    } cases[] = {
        {96, 42, {12, 25}, {3, 18}, false},
        {120, 53, {14, 30}, {4, 23}, true},
        {144, 63, {16, 36}, {5, 28}, true},
        {192, 84, {18, 44}, {6, 36}, true},
    };
    const RECT work{0, 0, 1024, 738};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        GridContext context;
        context.dpi = c.dpi;
        EXPECT_EQ(EmptySlot(1, c.dpi), c.emptySlot);
        const SIZE empty = GridButtonArea({}, 1, kVertical, 1, c.dpi);
        EXPECT_EQ(empty.cx, c.emptySlot);
        const SIZE frame = GridFrameSize(settings, context, true, Metrics());
        EXPECT_EQ(frame.cx, c.frame.cx);
        EXPECT_EQ(frame.cy, c.frame.cy);
        const std::vector<GridCell> cells(2, GridCell{SIZE{c.emptySlot, c.emptySlot}, GridCell::kButton});
        const POINT slot = GridSlotPosition(cells, 0, settings, c.dpi);
        EXPECT_EQ(slot.x, c.firstSlot.x);
        EXPECT_EQ(slot.y, c.firstSlot.y);
        // The window is the two buttons plus the frame, whatever the DPI.
        const GridWindow window = GridWindowSize(cells, settings, context, SIZE{1024, 738}, Metrics());
        EXPECT_EQ(window.size.cx, c.emptySlot + c.frame.cx);
        EXPECT_EQ(window.size.cy, 2 * c.emptySlot + c.frame.cy);
        // A toolbar dragged to 2 pixels inside the corner docks only where
        // the docking reach has grown beyond 2 pixels.
        const RECT dragged{2, 2, 102, 52};
        EXPECT_EQ(DragDockCorner(dragged, work, c.dpi) == kCornerTopLeft, c.docksTwoPixelsIn);
    }
}

TEST_F(ToolbarDpiTest, ButtonsAndImageListsTakeTheMonitorsSizes)
{
    TestButton* button = AddTestButton(m_toolbar);
    ASSERT_NE(button, nullptr);
    const struct {
        int dpi;
        int plain[3];       // small, normal, large: square without descriptions
        int described[3];   // widths with descriptions
    } cases[] = {
        {96, {26, 42, 58}, {106, 74, 106}},
        {120, {33, 53, 73}, {133, 93, 133}},
        {144, {39, 63, 87}, {159, 111, 159}},
        {192, {52, 84, 116}, {212, 148, 212}},
    };
    const int iconSides[3] = {16, 32, 48};
    for (const auto& c : cases) {
        SendDpiChange(m_toolbar, c.dpi, nullptr);
        ASSERT_EQ(m_toolbar->ScreenDpi(), c.dpi);
        for (int size = 0; size < 3; ++size) {
            for (BOOL described : {FALSE, TRUE}) {
                SCOPED_TRACE(std::to_string(c.dpi) + " dpi, size " + std::to_string(size)
                             + (described ? ", described" : ""));
                m_toolbar->ChangeSettings([&](ToolbarSettings& settings) {
                    settings.buttonSize = size;
                    settings.showDescription = described;
                });
                // Below a normal or large icon the text makes the button square again.
                const SIZE expected{described ? c.described[size] : c.plain[size],
                                    described && size != 0 ? c.described[size] : c.plain[size]};
                const SIZE window = WindowSize(button->Handle());
                EXPECT_EQ(window.cx, expected.cx);
                EXPECT_EQ(window.cy, expected.cy);
                EXPECT_EQ(ListSide(m_toolbar->ImageList(size)), Dpi::Scale(iconSides[size], c.dpi));
                // The settings keep their 96-dpi values.
                EXPECT_EQ(m_toolbar->Settings().border, 3);
                EXPECT_EQ(button->IconSize(), iconSides[size]);
            }
        }
    }
}

TEST_F(ToolbarDpiTest, MovingToAnotherMonitorLaysTheToolbarOutAgain)
{
    CExecButton* first = AddIconButton();
    CExecButton* second = AddIconButton();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ExpectImagesOfTheListSides(first, 96);
    const SIZE before = WindowSize(m_toolbar->Handle());

    // The suggested rectangle's place is taken; the size is the toolbar's own.
    const RECT suggested{300, 200, 310, 210};
    SendDpiChange(m_toolbar, 144, &suggested);
    RECT window{};
    GetWindowRect(m_toolbar->Handle(), &window);
    EXPECT_EQ(window.left, 300);
    EXPECT_EQ(window.top, 200);
    RECT client{};
    GetClientRect(m_toolbar->Handle(), &client);
    for (CExecButton* button : {first, second}) {
        SCOPED_TRACE(button == first ? "first" : "second");
        RECT inToolbar{};
        GetWindowRect(button->Handle(), &inToolbar);
        MapWindowPoints(nullptr, m_toolbar->Handle(), reinterpret_cast<POINT*>(&inToolbar), 2);
        EXPECT_EQ(inToolbar.right - inToolbar.left, 63);
        // Nothing of a button is cut off by the toolbar's edge.
        EXPECT_GE(inToolbar.left, 0);
        EXPECT_GE(inToolbar.top, 0);
        EXPECT_LE(inToolbar.right, client.right);
        EXPECT_LE(inToolbar.bottom, client.bottom);
        ExpectImagesOfTheListSides(button, 144);
    }

    // Back on a 96-dpi monitor everything is as it was.
    SendDpiChange(m_toolbar, 96, nullptr);
    const SIZE after = WindowSize(m_toolbar->Handle());
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);
    ExpectImagesOfTheListSides(second, 96);
}

TEST_F(ToolbarDpiTest, FileKeepsNinetySixDpiIconsAndLargerMonitorsTakeTheFilesImages)
{
    ASSERT_NE(AddIconButton(), nullptr);
    SendDpiChange(m_toolbar, 144, nullptr);
    const std::string path = m_folder + "\\Dpi.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));

    // What the file holds is what a 96-dpi toolbar would have written.
    {
        button_test::MemoryStorage storage;
        CToolButton* button = m_toolbar->Button(0);
        const int sides[3] = {16, 32, 48};
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            SCOPED_TRACE(sizeIndex);
            ASSERT_TRUE(button->WriteIconToFile(sizeIndex, storage.Get()));
            CBitmapHandle colour;
            CBitmapHandle mask;
            ASSERT_TRUE(button->ReadIconBitmapsFromFile(sizeIndex, storage.Get(), colour, mask));
            BITMAP shape{};
            ASSERT_EQ(GetObjectA(colour.Get(), sizeof shape, &shape), static_cast<int>(sizeof shape));
            EXPECT_EQ(shape.bmWidth, sides[sizeIndex]);
            EXPECT_EQ(shape.bmHeight, sides[sizeIndex]);
        }
    }

    // At 192 dpi the stored icons are all too small for the normal list:
    // the icon file gives its own 64-pixel image.
    SendDpiChange(m_toolbar, 192, nullptr);
    ASSERT_TRUE(m_toolbar->Open(path.c_str(), kReadButtonsOnly));
    ASSERT_EQ(m_toolbar->Count(), 1);
    ExpectImagesOfTheListSides(m_toolbar->Button(0), 192);

    // Without the icon file the stored icons stand in: each list takes the
    // smallest stored icon that is not smaller than its side, else the
    // largest.  Saved at 144 dpi, the stored 32-pixel icon came from the
    // 48-pixel entry and the 48-pixel icon from the 72-pixel one.
    ASSERT_TRUE(DeleteFileA(m_iconFile.c_str()));
    ASSERT_TRUE(m_toolbar->Open(path.c_str(), kReadButtonsOnly));
    ASSERT_EQ(m_toolbar->Count(), 1);
    const CToolButton* button = m_toolbar->Button(0);
    EXPECT_TRUE(button->IsTargetOk());
    EXPECT_EQ(EntryColour(m_toolbar->ImageList(0), button->ImageIndex()), ColourOfSide(48));
    EXPECT_EQ(EntryColour(m_toolbar->ImageList(1), button->ImageIndex()), ColourOfSide(72));
    EXPECT_EQ(EntryColour(m_toolbar->ImageList(2), button->ImageIndex()), ColourOfSide(72));
}

TEST_F(ToolbarDpiTest, ShellIconsComeAtTheListSidesOfEveryDpi)
{
    // Where a button's icon is the shell's, each list of the monitor's DPI
    // gets an icon of at least its side: a document whose type's icon file
    // has that size gives exactly its image of that size, a folder the
    // shell's list of the next size up.  The shell's plain large and small
    // icons are 32 and 16 pixels whatever the toolbar's DPI.
    const std::string document = m_folder + "\\notes.lintdpi";
    driver::WriteTextFile(document, "text");
    ASSERT_TRUE(m_classes.Set(".lintdpi", "LintelTest.DpiDocument"));
    ASSERT_TRUE(m_classes.Set("LintelTest.DpiDocument\\DefaultIcon", m_iconFile + ",0"));
    const int stored[3] = {16, 32, 48};
    for (int dpi : {96, 144, 192}) {
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            const int side = Dpi::Scale(stored[sizeIndex], dpi);
            SCOPED_TRACE(std::to_string(dpi) + " dpi, side " + std::to_string(side));
            CIconHandle fromType(ShellIconAtSide(nullptr, document.c_str(), side));
            const IconLook type = LookOf(fromType.Get());
            EXPECT_EQ(type.side, side);
            EXPECT_EQ(type.middle, ColourOfSide(side)) << "not the icon file's " << side << "-pixel image";

            CItemId folderList;
            ASSERT_TRUE(folderList.Set(CText(m_folder.c_str())));
            CIconHandle fromFolder(ShellIconAtSide(folderList.List(), nullptr, side));
            EXPECT_GE(LookOf(fromFolder.Get()).side, side);
        }
    }
    // An item the shell does not know has no icon at all.
    const std::string gone = m_folder + "\\gone.lintdpi";
    EXPECT_EQ(ShellIconAtSide(nullptr, gone.c_str(), 32), nullptr);
}

TEST_F(ToolbarDpiTest, ProgramWithoutItsOwnIconTakesTheShellsIconAtEachSide)
{
    // The test program has no icon the shell's extractor gives, so the
    // button falls back on the shell's icon of the file.  At 192 dpi each
    // list gets it at its own side, not the shell's plain 16- and 32-pixel
    // icons stretched.
    CExecButton* button = AddProgramButton(m_program);
    ASSERT_NE(button, nullptr);
    SendDpiChange(m_toolbar, 192, nullptr);
    auto pixelsOf = [](HICON icon, int side) {
        CImageListHandle list(ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 1, 1));
        ImageList_AddIcon(list.Get(), icon);
        return button_test::IconPixels(list.Get(), 0, side);
    };
    SHFILEINFOA large{};
    ASSERT_TRUE(SHGetFileInfoA(m_program.c_str(), 0, &large, sizeof large, SHGFI_ICON | SHGFI_LARGEICON));
    CIconHandle plainLarge(large.hIcon);
    const int stored[3] = {16, 32, 48};
    for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
        const int side = Dpi::Scale(stored[sizeIndex], 192);
        SCOPED_TRACE("side " + std::to_string(side));
        const std::vector<DWORD> entry = button_test::IconPixels(m_toolbar->ImageList(sizeIndex), button->ImageIndex(), side);
        CIconHandle shell(ShellIconAtSide(nullptr, m_program.c_str(), side));
        ASSERT_TRUE(shell);
        EXPECT_TRUE(entry == pixelsOf(shell.Get(), side)) << "not the shell's icon taken at the list's side";
        if (side > 32) {
            EXPECT_FALSE(entry == pixelsOf(plainLarge.Get(), side)) << "the shell's 32-pixel icon stretched";
        }
    }
    m_toolbar->ChangeSettings([](ToolbarSettings& settings) { settings.buttonSize = 2; });
    ShowWindow(m_toolbar->Handle(), SW_SHOWNA);
    SetWindowPos(m_toolbar->Handle(), HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(m_toolbar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    driver::Screenshot("dpi-192-shell-icon-button");
}
