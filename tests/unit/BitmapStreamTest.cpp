#include "MemoryStream.h"
#include "common/BitmapStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::MemoryStream;

constexpr size_t kHeader = sizeof(BITMAPINFOHEADER);

size_t RowBytes(int width, int bits)
{
    return static_cast<size_t>((width * bits + 31) / 32) * 4;
}

// A DIB section of the given depth with a colour table of distinct colours and
// pixels that differ from row to row and column to column.
CBitmapHandle MakeDib(int width, int height, WORD bits)
{
    std::vector<unsigned char> info(kHeader + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = kHeader;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = bits;
    header->biCompression = BI_RGB;
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + kHeader);
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 37), 0};
    void* pixels = nullptr;
    CBitmapHandle bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                          &pixels, nullptr, 0));
    if (bitmap) {
        auto* bytes = static_cast<unsigned char*>(pixels);
        const size_t row = RowBytes(width, bits);
        for (int y = 0; y < height; ++y)
            for (size_t x = 0; x < row; ++x)
                bytes[y * row + x] = static_cast<unsigned char>(x * 11 + y * 5 + 3);
        GdiFlush();
    }
    return bitmap;
}

// The bitmap as 32-bit pixels, as the screen shows it.
std::vector<DWORD> Pixels32(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = kHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0xCCCCCCCC);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == height ? pixels : std::vector<DWORD>();
}

int ScreenBits()
{
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

BITMAPINFOHEADER HeaderOf(const Bytes& stored)
{
    BITMAPINFOHEADER header{};
    if (stored.size() >= kHeader)
        std::memcpy(&header, stored.data(), kHeader);
    return header;
}

// A 16 by 16 mask: rows of two bytes, as CreateBitmap wants them.
const unsigned char kMaskBits[32] = {0xA5, 0x0F, 0x3C, 0xF0, 0xFF, 0x00, 0x81, 0x7E, 0xA5, 0x0F, 0x3C,
                                     0xF0, 0xFF, 0x00, 0x81, 0x7E, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20,
                                     0x40, 0x80, 0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F};

Bytes StoredMask()
{
    CBitmapHandle mask(CreateBitmap(16, 16, 1, 1, kMaskBits));
    MemoryStream stream;
    if (!mask || !WriteBitmapToStream(mask.Get(), stream.Get()))
        return {};
    return stream.Bytes();
}

} // namespace

TEST(BitmapStream, MaskIsHeaderTwoColoursAndPaddedRows)
{
    const Bytes stored = StoredMask();
    ASSERT_EQ(stored.size(), kHeader + 2 * 4 + 16 * 4);   // rows padded to 32 bits
    const BITMAPINFOHEADER header = HeaderOf(stored);
    EXPECT_EQ(header.biSize, kHeader);
    EXPECT_EQ(header.biWidth, 16);
    EXPECT_EQ(header.biHeight, 16);
    EXPECT_EQ(header.biBitCount, 1);
    // The block is stated, never left for a reader to compute: computed, it
    // would be half the rows of a 16-pixel mask.
    EXPECT_EQ(header.biSizeImage, 16u * 4);

    // Read back, the whole block is taken and nothing more.
    Bytes variant = stored;
    variant.push_back(0x5A);   // whatever the file holds next
    MemoryStream stream(variant);
    CBitmapHandle read;
    ASSERT_TRUE(ReadBitmapFromStream(stream.Get(), read));
    EXPECT_EQ(stream.Position(), stored.size());
    BITMAP info{};
    ASSERT_EQ(GetObjectA(read.Get(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    unsigned char bits[sizeof kMaskBits]{};
    ASSERT_EQ(GetBitmapBits(read.Get(), sizeof bits, bits), static_cast<LONG>(sizeof bits));
    EXPECT_EQ(std::memcmp(bits, kMaskBits, sizeof bits), 0);
}

namespace {

// A stored bitmap put together byte by byte: the header with a stated image
// size, the table the depth carries, and a pixel block of the stated length.
struct Layout {
    const char* what;
    WORD bits;
    DWORD compression;
    LONG width;
    LONG height;
    long stated;        // -1: exactly the rows; otherwise the header's value
    size_t blockBytes;  // bytes of pixels the stream holds
    bool want;
};

constexpr long kRows = -1;

DWORD TableColour(size_t index, WORD bits)
{
    // Black and white for masks, which read back monochrome.
    if (bits == 1)
        return index ? 0x00FFFFFF : 0;
    return static_cast<DWORD>(((index * 67 + 13) & 0xFF) << 16 | ((index * 29 + 101) & 0xFF) << 8 | ((index * 151) & 0xFF));
}

Bytes StoredLayout(const Layout& layout, BITMAPINFOHEADER& header, Bytes& table)
{
    header = BITMAPINFOHEADER{};
    header.biSize = kHeader;
    header.biWidth = layout.width;
    header.biHeight = layout.height;
    header.biPlanes = 1;
    header.biBitCount = layout.bits;
    header.biCompression = layout.compression;
    header.biSizeImage = layout.stated == kRows ? static_cast<DWORD>(RowBytes(layout.width, layout.bits) * layout.height)
                                                : static_cast<DWORD>(layout.stated);
    table.assign(layout.bits <= 8 ? 4u << layout.bits : 1024u, 0);
    for (size_t i = 0; i < table.size() / 4; ++i) {
        const DWORD colour = TableColour(i, layout.bits);
        std::memcpy(table.data() + i * 4, &colour, 4);
    }
    if (layout.compression == BI_BITFIELDS) {
        const DWORD masks16[3] = {0xF800, 0x07E0, 0x001F};
        const DWORD masks32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        std::memcpy(table.data(), layout.bits == 16 ? masks16 : masks32, sizeof masks16);
    }
    Bytes stored(reinterpret_cast<const unsigned char*>(&header),
                 reinterpret_cast<const unsigned char*>(&header) + kHeader);
    stored.insert(stored.end(), table.begin(), table.end());
    for (size_t i = 0; i < layout.blockBytes; ++i)
        stored.push_back(static_cast<unsigned char>(i * 7 + i / 5 + 1));
    return stored;
}

// What the screen shows for the rows: the palette colour of each index for
// the depths with a table, otherwise the same bytes as a DIB section draws them.
std::vector<DWORD> ExpectedPixels(const Layout& layout, const BITMAPINFOHEADER& header, const Bytes& table,
                                  const Bytes& rows)
{
    std::vector<DWORD> pixels(static_cast<size_t>(layout.width) * layout.height);
    const size_t rowBytes = RowBytes(layout.width, layout.bits);
    if (layout.bits <= 8) {
        const unsigned mask = (1u << layout.bits) - 1;
        for (LONG y = 0; y < layout.height; ++y) {
            for (LONG x = 0; x < layout.width; ++x) {
                const size_t bit = static_cast<size_t>(x) * layout.bits;
                const unsigned index = (rows[y * rowBytes + bit / 8] >> (8 - layout.bits - bit % 8)) & mask;
                std::memcpy(&pixels[static_cast<size_t>(y) * layout.width + x], table.data() + index * 4, 4);
            }
        }
        return pixels;
    }
    Bytes info(kHeader + 1024);
    BITMAPINFOHEADER sectionHeader = header;
    sectionHeader.biSizeImage = 0;
    std::memcpy(info.data(), &sectionHeader, kHeader);
    std::memcpy(info.data() + kHeader, table.data(), 1024);
    void* bits = nullptr;
    CBitmapHandle section(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section)
        return {};
    std::memcpy(bits, rows.data(), rows.size());
    GdiFlush();
    pixels = Pixels32(section.Get(), layout.width, layout.height);
    for (DWORD& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

} // namespace

TEST(BitmapStream, EveryLayoutOfTheTableIsRead)
{
    // Row bytes of 13 pixels: 4 at 2 bits, 8 at 4 bits, 16 at 8 bits, 28 at
    // 16 bits, 40 at 24 bits, 52 at 32 bits.
    const Layout layouts[] = {
        {"1 bit, stated", 1, BI_RGB, 16, 16, kRows, 64, true},
        // Left at 0, the block is (height x bits / 8) x (width rounded up to
        // 4): for a 16-pixel mask half its rows, the rest reads as 0.
        {"1 bit, computed short of the rows", 1, BI_RGB, 16, 16, 0, 32, true},
        {"1 bit, computed as the rows", 1, BI_RGB, 32, 32, 0, 128, true},
        {"1 bit, 48 pixels computed", 1, BI_RGB, 48, 48, 0, 288, true},
        {"2 bits, stated", 2, BI_RGB, 13, 7, kRows, 28, true},
        {"2 bits, computed", 2, BI_RGB, 13, 7, 0, 16, true},
        {"2 bits, 48 pixels", 2, BI_RGB, 48, 48, kRows, 12 * 48, true},
        {"4 bits, stated", 4, BI_RGB, 13, 7, kRows, 56, true},
        {"4 bits, stated past the rows", 4, BI_RGB, 13, 7, 66, 66, true},
        {"8 bits, computed", 8, BI_RGB, 13, 7, 0, 112, true},
        {"16 bits", 16, BI_RGB, 13, 7, kRows, 196, true},
        {"16 bits, bit fields", 16, BI_BITFIELDS, 13, 7, kRows, 196, true},
        {"24 bits, computed past the rows", 24, BI_RGB, 13, 7, 0, 336, true},
        {"32 bits", 32, BI_RGB, 13, 7, kRows, 364, true},
        {"32 bits, bit fields, stated past the rows", 32, BI_BITFIELDS, 13, 7, 400, 400, true},
        {"stated one short of the rows", 1, BI_RGB, 16, 16, 63, 63, false},
        {"stated past what the stream holds", 8, BI_RGB, 13, 7, 212, 112, false},
        {"2 bits, stream ends in the pixels", 2, BI_RGB, 13, 7, kRows, 27, false},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.what);
        BITMAPINFOHEADER header{};
        Bytes table;
        Bytes stored = StoredLayout(layout, header, table);
        const size_t blockEnd = stored.size();
        if (layout.want)
            stored.push_back(0x5A);   // whatever the file holds next
        MemoryStream stream(stored);
        CBitmapHandle read;
        ASSERT_EQ(ReadBitmapFromStream(stream.Get(), read) != FALSE, layout.want);
        EXPECT_EQ(static_cast<bool>(read), layout.want);
        if (!layout.want)
            continue;
        EXPECT_EQ(stream.Position(), blockEnd);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(read.Get(), sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, layout.width);
        EXPECT_EQ(info.bmHeight, layout.height);
        EXPECT_EQ(info.bmBitsPixel == 1, layout.bits == 1);
        // A screen of fewer colours would round the colours on the way in.
        if (ScreenBits() < 24)
            continue;
        Bytes rows(RowBytes(layout.width, layout.bits) * layout.height, 0);
        std::memcpy(rows.data(), stored.data() + kHeader + table.size(), std::min(rows.size(), layout.blockBytes));
        const std::vector<DWORD> want = ExpectedPixels(layout, header, table, rows);
        ASSERT_FALSE(want.empty());
        std::vector<DWORD> got = Pixels32(read.Get(), layout.width, layout.height);
        for (DWORD& pixel : got)
            pixel &= 0x00FFFFFF;
        EXPECT_EQ(got, want);
    }
}

TEST(BitmapStream, ColourBitmapsRoundTripWithTheirTables)
{
    struct Case {
        WORD bits;
        size_t tableBytes;
    };
    const Case cases[] = {{4, 64}, {8, 1024}, {24, 1024}};
    const int width = 13;   // rows need padding at every depth
    const int height = 7;
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.bits);
        CBitmapHandle original = MakeDib(width, height, entry.bits);
        ASSERT_TRUE(original);
        MemoryStream stream;
        ASSERT_TRUE(WriteBitmapToStream(original.Get(), stream.Get()));
        const Bytes stored = stream.Bytes();
        EXPECT_EQ(stored.size(), kHeader + entry.tableBytes + RowBytes(width, entry.bits) * height);
        EXPECT_EQ(HeaderOf(stored).biBitCount, entry.bits);

        CBitmapHandle read;
        ASSERT_TRUE(ReadBitmapFromStream(stream.Get(), read));
        EXPECT_EQ(stream.Position(), stored.size());
        BITMAP info{};
        ASSERT_EQ(GetObjectA(read.Get(), sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, width);
        EXPECT_EQ(info.bmHeight, height);
        // A screen of fewer colours would round the colours on the way in.
        if (ScreenBits() >= 24) {
            const std::vector<DWORD> want = Pixels32(original.Get(), width, height);
            ASSERT_FALSE(want.empty());
            EXPECT_EQ(Pixels32(read.Get(), width, height), want);
        }
    }
}

TEST(BitmapStream, MaskAndColourBitmapFollowEachOther)
{
    CBitmapHandle mask(CreateBitmap(16, 16, 1, 1, kMaskBits));
    CBitmapHandle colour = MakeDib(16, 16, 24);
    MemoryStream stream;
    ASSERT_TRUE(WriteBitmapToStream(mask.Get(), stream.Get()));
    ASSERT_TRUE(WriteBitmapToStream(colour.Get(), stream.Get()));
    const size_t total = stream.Bytes().size();

    CBitmapHandle readMask;
    CBitmapHandle readColour;
    ASSERT_TRUE(ReadBitmapFromStream(stream.Get(), readMask));
    ASSERT_TRUE(ReadBitmapFromStream(stream.Get(), readColour));
    EXPECT_EQ(stream.Position(), total);
    BITMAP info{};
    GetObjectA(readMask.Get(), sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    GetObjectA(readColour.Get(), sizeof info, &info);
    EXPECT_GT(info.bmBitsPixel, 1);
}

TEST(BitmapStream, TruncatedStreamGivesNoBitmap)
{
    CBitmapHandle original = MakeDib(13, 7, 8);
    MemoryStream written;
    ASSERT_TRUE(WriteBitmapToStream(original.Get(), written.Get()));
    const Bytes stored = written.Bytes();
    ASSERT_EQ(stored.size(), kHeader + 1024 + 16 * 7);

    for (size_t cut : {size_t{0}, size_t{39}, kHeader, kHeader + 500, kHeader + 1024, kHeader + 1024 + 50,
                       stored.size() - 1}) {
        SCOPED_TRACE(cut);
        MemoryStream stream(Bytes(stored.begin(), stored.begin() + cut));
        CBitmapHandle read(CreateBitmap(1, 1, 1, 1, nullptr));   // an old bitmap does not survive a failure
        EXPECT_FALSE(ReadBitmapFromStream(stream.Get(), read));
        EXPECT_FALSE(read);
    }
}

TEST(BitmapStream, HostileHeadersAreRefusedBeforeAnythingIsTaken)
{
    const Bytes mask = StoredMask();
    ASSERT_EQ(mask.size(), kHeader + 8 + 64);
    const BITMAPINFOHEADER base = HeaderOf(mask);

    struct Case {
        const char* what;
        std::function<void(BITMAPINFOHEADER&)> change;
        bool want;
    };
    const Case cases[] = {
        {"unchanged", [](BITMAPINFOHEADER&) {}, true},
        {"header size 12", [](BITMAPINFOHEADER& h) { h.biSize = 12; }, false},
        {"width 0", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, false},
        {"width negative", [](BITMAPINFOHEADER& h) { h.biWidth = -16; }, false},
        {"width 1025", [](BITMAPINFOHEADER& h) { h.biWidth = 1025; h.biSizeImage = 0; }, false},
        {"height 0", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }, false},
        {"height negative", [](BITMAPINFOHEADER& h) { h.biHeight = -16; }, false},
        {"height huge", [](BITMAPINFOHEADER& h) { h.biHeight = 0x40000000; h.biSizeImage = 0; }, false},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }, false},
        {"0 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }, false},
        {"2 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; h.biSizeImage = 0; }, true},
        {"7 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; h.biSizeImage = 0; }, false},
        {"run-length compressed", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; h.biBitCount = 8; }, false},
        {"bit fields on a mask", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }, false},
        {"image size short of the rows", [](BITMAPINFOHEADER& h) { h.biSizeImage = 32; }, false},
        {"image size past the rows, inside the stream", [](BITMAPINFOHEADER& h) { h.biSizeImage = 65; }, true},
        {"image size enormous", [](BITMAPINFOHEADER& h) { h.biSizeImage = 0x7FFFFFFF; }, false},
        {"more colours than the table", [](BITMAPINFOHEADER& h) { h.biClrUsed = 3; }, false},
        {"colour count that wraps past the masks",
         [](BITMAPINFOHEADER& h) {
             h.biBitCount = 16;
             h.biCompression = BI_BITFIELDS;
             h.biSizeImage = 0;
             h.biClrUsed = 0xFFFFFFFE;
         },
         false},
        {"largest picture, stream of a few bytes",
         [](BITMAPINFOHEADER& h) {
             h.biWidth = 1024;
             h.biHeight = 1024;
             h.biBitCount = 32;
             h.biSizeImage = 0;
         },
         false},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.what);
        BITMAPINFOHEADER header = base;
        entry.change(header);
        Bytes stored(reinterpret_cast<const unsigned char*>(&header),
                     reinterpret_cast<const unsigned char*>(&header) + kHeader);
        stored.insert(stored.end(), mask.begin() + kHeader, mask.end());
        stored.resize(stored.size() + 2048, 0x55);   // room for any small picture the header might describe
        MemoryStream stream(stored);
        CBitmapHandle read;
        EXPECT_EQ(ReadBitmapFromStream(stream.Get(), read) != FALSE, entry.want);
        EXPECT_EQ(static_cast<bool>(read), entry.want);
    }
}

TEST(BitmapStream, WriterRefusesWhatTheReaderWould)
{
    CBitmapHandle wide(CreateBitmap(1100, 1, 1, 1, nullptr));
    ASSERT_TRUE(wide);
    MemoryStream stream;
    EXPECT_FALSE(WriteBitmapToStream(wide.Get(), stream.Get()));
    EXPECT_FALSE(WriteBitmapToStream(nullptr, stream.Get()));
    EXPECT_TRUE(stream.Bytes().empty());
}
