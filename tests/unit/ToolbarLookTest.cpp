// A toolbar opened from its file puts the stored icon bitmaps into its image
// lists as they are; it must look exactly as when each stored icon was made
// into an icon and drawn into the lists.  The fixture's icons have
// transparent holes, half-transparent pixels and colour under the holes, and
// the toolbar has a gradient that shows through them.
#include "ButtonTestSupport.h"
#include "common/BitmapStream.h"
#include "common/ComPtr.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

const int kSides[3] = {16, 32, 48};

// A DIB section of 32-bit pixels, each picked by the function.
template <class Pixel>
HBITMAP MakeColour(int side, Pixel pixel)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        auto* row = static_cast<uint32_t*>(bits);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                row[y * side + x] = pixel(x, y);
    }
    return bitmap;
}

// A monochrome mask, 1 (transparent) where the function says so.
template <class Hole>
HBITMAP MakeMask(int side, Hole hole)
{
    const int stride = (side + 15) / 16 * 2;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (hole(x, y))
                rows[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    return CreateBitmap(side, side, 1, 1, rows.data());
}

// An icon's two bitmaps by one recipe: style 0 opaque colour with
// transparent corners (black under them, as icon editors leave it), style 1
// the same with colour left under the corners, style 2 an alpha ramp over a
// mask with a hole in the middle.
void MakeIconBitmaps(int side, int style, CBitmapHandle& colourOut, CBitmapHandle& maskOut)
{
    auto corner = [side](int x, int y) { return x + y < side / 3 || (side - x) + (side - y) < side / 2; };
    HBITMAP colour = nullptr;
    HBITMAP mask = nullptr;
    if (style == 2) {
        colour = MakeColour(side, [side](int x, int y) {
            const uint32_t alpha = static_cast<uint32_t>(255 * x / (side - 1));
            return (alpha << 24) | ((alpha * (y * 255 / side) / 255) << 8) | (alpha * 200 / 255);
        });
        mask = MakeMask(side, [side](int x, int y) {
            return x > side / 3 && x < 2 * side / 3 && y > side / 3 && y < 2 * side / 3;
        });
    } else {
        colour = MakeColour(side, [&](int x, int y) -> uint32_t {
            if (style == 0 && corner(x, y))
                return 0;
            return ((x * 255 / side) << 16) | ((y * 255 / side) << 8) | 0x40;
        });
        mask = MakeMask(side, corner);
    }
    colourOut.Reset(colour);
    maskOut.Reset(mask);
}

// The pixels of a window as they are on the screen.
std::vector<uint32_t> WindowPixels(HWND window, SIZE& size)
{
    MSG message;
    for (int round = 0; round < 3; ++round) {
        UpdateWindow(window);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(50);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (picture && bits) {
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, size.cx, size.cy, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const uint32_t*>(bits);
        pixels.assign(first, first + static_cast<size_t>(size.cx) * size.cy);
        for (uint32_t& pixel : pixels)
            pixel &= 0x00FFFFFF;
        SelectObject(memory, old);
        DeleteObject(picture);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

class ToolbarLookTest : public ButtonTest
{
protected:
    // A toolbar file of five program buttons on a gradient that shows
    // through the icons' holes: two with icons of this test program, three
    // whose stored icons are the made ones, as a file from elsewhere has them.
    void WriteFixtureFile(const std::string& path)
    {
        char self[MAX_PATH]{};
        GetModuleFileNameA(nullptr, self, sizeof self);
        const std::string program = button_test::CopyEchoProgram(m_folder, "tool.exe");
        for (int i = 0; i < 5; ++i) {
            CExecButton* button = AddProgramButton(program);
            ASSERT_NE(button, nullptr);
            button->SetDefaultIcon(FALSE);
            button->SetIconFile(self);
            button->SetIconIndex(i % 2);
            ASSERT_TRUE(button->UpdateIcon(m_toolbar->ButtonSize(), TRUE));
        }
        m_toolbar->ChangeSettings([](ToolbarSettings& s) {
            s.autohide = FALSE;
            s.startIsSystem = s.endIsSystem = FALSE;
            s.useGradient = TRUE;
            s.startColour = RGB(255, 255, 0);
            s.endColour = RGB(0, 0, 160);
            s.orientation = kHorizontal;
            s.buttonsPerLine = 1;
            s.showButtonBackground = FALSE;
        });
        ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));

        const std::wstring widePath(path.begin(), path.end());
        CComPtr<IStorage> file;
        ASSERT_TRUE(SUCCEEDED(StgOpenStorage(widePath.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                             nullptr, 0, file.put())));
        const wchar_t* names[3] = {L"SMALL", L"NORMAL", L"LARGE"};
        for (int style = 0; style < 3; ++style) {
            wchar_t name[16];
            wsprintfW(name, L"BUTTON%03d", 2 + style);
            CComPtr<IStorage> stored;
            ASSERT_TRUE(SUCCEEDED(file->OpenStorage(name, nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                                    stored.put())));
            for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
                CBitmapHandle colour;
                CBitmapHandle mask;
                MakeIconBitmaps(kSides[sizeIndex], style, colour, mask);
                CComPtr<IStream> stream;
                ASSERT_TRUE(SUCCEEDED(stored->CreateStream(names[sizeIndex],
                                                           STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                                           stream.put())));
                const LONG hotspot[2] = {kSides[sizeIndex] / 2, kSides[sizeIndex] / 2};
                ASSERT_TRUE(SUCCEEDED(stream->Write(hotspot, sizeof hotspot, nullptr)));
                ASSERT_TRUE(WriteBitmapToStream(mask.Get(), stream.Get()));
                ASSERT_TRUE(WriteBitmapToStream(colour.Get(), stream.Get()));
            }
            ASSERT_TRUE(SUCCEEDED(stored->Commit(STGC_DEFAULT)));
        }
        ASSERT_TRUE(SUCCEEDED(file->Commit(STGC_DEFAULT)));
    }

    static CComPtr<IStorage> OpenFile(const std::string& path)
    {
        const std::wstring widePath(path.begin(), path.end());
        CComPtr<IStorage> file;
        StgOpenStorage(widePath.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, file.put());
        return file;
    }

    static CComPtr<IStorage> OpenButtonStorage(IStorage* file, int index)
    {
        wchar_t name[16];
        wsprintfW(name, L"BUTTON%03d", index);
        CComPtr<IStorage> stored;
        if (file)
            file->OpenStorage(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, stored.put());
        return stored;
    }
};

} // namespace

TEST_F(ToolbarLookTest, StoredIconsLookAsTheIconsTheyMake)
{
    const std::string path = m_folder + "\\Look.ltl";
    WriteFixtureFile(path);
    if (HasFatalFailure())
        return;
    CToolbar* opened = MakeToolbar("Look");
    ASSERT_TRUE(opened->Open(path.c_str(), kReadAndShow));
    ASSERT_EQ(opened->Count(), 5);
    ShowWindow(m_toolbar->Handle(), SW_HIDE);
    SetCursorPos(0, 0);

    // The same entries again, each stored icon made into an icon first, as
    // the toolbar used to fill its lists.
    auto drawAsIcons = [&] {
        CComPtr<IStorage> file = OpenFile(path);
        ASSERT_TRUE(file);
        for (int i = 0; i < opened->Count(); ++i) {
            CComPtr<IStorage> stored = OpenButtonStorage(file.Get(), i);
            ASSERT_TRUE(stored);
            CToolButton* button = opened->Button(i);
            for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
                HICON icon = nullptr;
                ASSERT_TRUE(button->ReadIconFromFile(sizeIndex, stored.Get(), icon));
                CIconHandle owned(icon);
                ASSERT_TRUE(owned);
                ASSERT_EQ(ImageList_ReplaceIcon(opened->ImageList(sizeIndex), button->ImageIndex(), icon),
                          button->ImageIndex());
            }
            InvalidateRect(button->Handle(), nullptr, TRUE);
        }
    };

    std::vector<uint32_t> asStored[3];
    SIZE sizes[3]{};
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            drawAsIcons();
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            SCOPED_TRACE("icons of " + std::to_string(kSides[sizeIndex]) + " pixels");
            opened->ChangeSettings([&](ToolbarSettings& s) { s.buttonSize = sizeIndex; });
            SetWindowPos(opened->Handle(), HWND_TOPMOST, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            SIZE size{};
            const std::vector<uint32_t> pixels = WindowPixels(opened->Handle(), size);
            ASSERT_FALSE(pixels.empty());
            driver::Screenshot(std::string(pass ? "look-as-icons-" : "look-as-stored-") + std::to_string(sizeIndex));
            if (pass == 0) {
                asStored[sizeIndex] = pixels;
                sizes[sizeIndex] = size;
                continue;
            }
            ASSERT_EQ(size.cx, sizes[sizeIndex].cx);
            ASSERT_EQ(size.cy, sizes[sizeIndex].cy);
            int differing = 0;
            int firstX = -1;
            int firstY = -1;
            for (size_t p = 0; p < pixels.size(); ++p) {
                if (pixels[p] == asStored[sizeIndex][p])
                    continue;
                if (differing++ == 0) {
                    firstX = static_cast<int>(p % static_cast<size_t>(size.cx));
                    firstY = static_cast<int>(p / static_cast<size_t>(size.cx));
                }
            }
            EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY;
        }
    }
}

TEST_F(ToolbarLookTest, SavedIconsAreTheBytesOfTheIconsTakenOutOfTheLists)
{
    const std::string fixture = m_folder + "\\Fixture.ltl";
    WriteFixtureFile(fixture);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(m_toolbar->Open(fixture.c_str(), kReadButtonsOnly));
    ASSERT_EQ(m_toolbar->Count(), 5);
    const std::string path = m_folder + "\\Bytes.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(path.c_str(), kVersionCurrent));
    CComPtr<IStorage> file = OpenFile(path);
    ASSERT_TRUE(file);
    const wchar_t* names[3] = {L"SMALL", L"NORMAL", L"LARGE"};
    for (int i = 0; i < m_toolbar->Count(); ++i) {
        CComPtr<IStorage> stored = OpenButtonStorage(file.Get(), i);
        ASSERT_TRUE(stored);
        button_test::MemoryStorage expected;
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            SCOPED_TRACE("button " + std::to_string(i) + ", icons of " + std::to_string(kSides[sizeIndex]));
            // Outside a toolbar's save the button takes an icon out of the
            // list and writes its bitmaps.
            ASSERT_TRUE(m_toolbar->Button(i)->WriteIconToFile(sizeIndex, expected.Get()));
            CComPtr<IStream> stream;
            ASSERT_TRUE(SUCCEEDED(
                stored->OpenStream(names[sizeIndex], nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put())));
            STATSTG stat{};
            ASSERT_TRUE(SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)));
            std::vector<unsigned char> saved(static_cast<size_t>(stat.cbSize.QuadPart));
            ULONG read = 0;
            ASSERT_TRUE(SUCCEEDED(stream->Read(saved.data(), static_cast<ULONG>(saved.size()), &read)));
            const std::vector<unsigned char> plain = expected.StreamBytes(names[sizeIndex]);
            ASSERT_EQ(saved.size(), plain.size());
            size_t first = 0;
            while (first < saved.size() && saved[first] == plain[first])
                ++first;
            EXPECT_EQ(first, saved.size()) << "first difference at byte " << first;
        }
    }
}
