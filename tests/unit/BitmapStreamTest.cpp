#include "MemoryStream.h"
#include "common/BitmapStream.h"

#include <gtest/gtest.h>

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

    // Read back as stored, and with the image size left for the reader to
    // compute: either way the whole block is taken and nothing more.
    for (DWORD statedSize : {header.biSizeImage, 0ul}) {
        SCOPED_TRACE(statedSize);
        Bytes variant = stored;
        std::memcpy(variant.data() + offsetof(BITMAPINFOHEADER, biSizeImage), &statedSize, sizeof statedSize);
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
        {"2 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; h.biSizeImage = 0; }, false},
        {"7 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; h.biSizeImage = 0; }, false},
        {"run-length compressed", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; h.biBitCount = 8; }, false},
        {"bit fields on a mask", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }, false},
        {"image size short of the rows", [](BITMAPINFOHEADER& h) { h.biSizeImage = 32; }, false},
        {"image size one too many", [](BITMAPINFOHEADER& h) { h.biSizeImage = 65; }, false},
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
