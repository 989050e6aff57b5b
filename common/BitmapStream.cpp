// The bitmap stream format: the colour and mask bitmaps of button icons are
// stored in toolbar files as a BITMAPINFOHEADER, a colour table and the pixel
// rows, exactly as GetDIBits hands them out.
#include "BitmapStream.h"

#include "TraceLog.h"
#include "../resources/common/common_res.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr DWORD kHeaderSize = sizeof(BITMAPINFOHEADER);   // 40 in every stored bitmap
constexpr DWORD kDeepTableSize = 1024;                    // the table formats deeper than 8 bits carry
// Button icons are at most 48 pixels square; the bound only keeps a damaged or
// hostile file from asking for a huge allocation.
constexpr LONG kMaxSide = 1024;

struct CScreenDC
{
    HDC dc = GetDC(nullptr);
    ~CScreenDC()
    {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
};

struct CMemoryDCTraits
{
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::DeleteDC(h); }
};
using CMemoryDC = CScopedHandle<CMemoryDCTraits>;

std::unique_ptr<BYTE[]> ZeroedBuffer(size_t bytes)
{
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[bytes]);
    if (buffer)
        std::memset(buffer.get(), 0, bytes);
    return buffer;
}

bool IsStoredBitCount(WORD bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of colour table stored after the header: 2^bits entries up to 8 bits,
// and 256 entries (bit-field masks or nothing of use) for deeper formats.
DWORD StoredTableSize(WORD bits)
{
    return bits <= 8 ? 4u << bits : kDeepTableSize;
}

DWORD DibRowBytes(LONG width, WORD bits)
{
    return ((static_cast<DWORD>(width) * bits + 31) / 32) * 4;
}

// The two sizes of a pixel block: what the stream holds, and what
// CreateDIBitmap reads for the dimensions (rows padded to 32 bits), whatever
// the header says.  They differ when the header states more than the rows
// need, and when it states nothing: then the block is as long as the writer
// computed it, (height x bits / 8) x (width rounded up to 4), which for some
// narrow bitmaps is less than the rows need.
struct PixelSizes
{
    DWORD stored = 0;
    DWORD rows = 0;
};

// Checks a header against what the format can hold and gives the sizes of
// its pixel block.
bool CheckHeader(const BITMAPINFOHEADER& header, PixelSizes& sizes)
{
    if (header.biSize != kHeaderSize || header.biWidth < 1 || header.biWidth > kMaxSide || header.biHeight < 1
        || header.biHeight > kMaxSide || header.biPlanes != 1 || !IsStoredBitCount(header.biBitCount))
        return false;
    const bool bitFields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(bitFields && (header.biBitCount == 16 || header.biBitCount == 32)))
        return false;
    // The colours in use, and the three masks before them, must lie inside the
    // stored table, or creating the bitmap would read past it.
    const DWORD tableEntries = StoredTableSize(header.biBitCount) / 4;
    if (header.biClrUsed > tableEntries || header.biClrUsed + (bitFields ? 3u : 0u) > tableEntries)
        return false;
    const DWORD height = static_cast<DWORD>(header.biHeight);
    sizes.rows = DibRowBytes(header.biWidth, header.biBitCount) * height;
    if (header.biSizeImage == 0) {
        const DWORD paddedWidth = (static_cast<DWORD>(header.biWidth) + 3) & ~3u;
        sizes.stored = (height * header.biBitCount / 8) * paddedWidth;
        if (TraceOn())
            LogStringIdNumber(TR_CALC_SIZE, sizes.stored);
        return true;
    }
    // A stated size may run past the rows (the rest is skipped), never fall
    // short of them: the rows would be made up.
    if (header.biSizeImage < sizes.rows)
        return false;
    sizes.stored = header.biSizeImage;
    return true;
}

// What is left to read in the stream, or false when the stream cannot tell.
bool BytesLeft(IStream* stream, ULONGLONG& left)
{
    STATSTG stat{};
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return false;
    left = stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
    return true;
}

bool ReadExactly(IStream* stream, void* buffer, DWORD bytes)
{
    ULONG got = 0;
    const HRESULT hr = stream->Read(buffer, bytes, &got);
    if (TraceOn())
        LogHResult(hr);
    return SUCCEEDED(hr) && got == bytes;
}

bool WriteExactly(IStream* stream, const void* buffer, DWORD bytes)
{
    ULONG written = 0;
    const HRESULT hr = stream->Write(buffer, bytes, &written);
    if (TraceOn())
        LogHResult(hr);
    return SUCCEEDED(hr) && written == bytes;
}

// Reads and drops what a stated image size holds beyond the rows, in steps,
// so that a large stated size costs no memory of its own.
bool SkipExactly(IStream* stream, DWORD bytes)
{
    BYTE scratch[4096];
    while (bytes > 0) {
        const DWORD step = bytes < sizeof scratch ? bytes : static_cast<DWORD>(sizeof scratch);
        ULONG got = 0;
        if (FAILED(stream->Read(scratch, step, &got)) || got != step)
            return false;
        bytes -= step;
    }
    return true;
}

// GDI knows no 2-bit bitmaps: their rows are widened to 4 bits, each index
// kept, so the same four-entry table serves.
std::unique_ptr<BYTE[]> WidenTwoBitRows(const BYTE* rows, LONG width, LONG height, DWORD& widenedBytes)
{
    const DWORD fromRow = DibRowBytes(width, 2);
    const DWORD toRow = DibRowBytes(width, 4);
    widenedBytes = toRow * static_cast<DWORD>(height);
    std::unique_ptr<BYTE[]> widened = ZeroedBuffer(widenedBytes);
    if (!widened)
        return widened;
    for (LONG y = 0; y < height; ++y) {
        const BYTE* from = rows + static_cast<size_t>(y) * fromRow;
        BYTE* to = widened.get() + static_cast<size_t>(y) * toRow;
        for (LONG x = 0; x < width; ++x) {
            const BYTE index = static_cast<BYTE>((from[x / 4] >> (6 - 2 * (x % 4))) & 3);
            to[x / 2] |= static_cast<BYTE>(x % 2 ? index : index << 4);
        }
    }
    return widened;
}

// What WriteBitmapToStream reports to the trace: which part of a bitmap with
// or without a colour table could not be written.
enum WriteBitmapResult : unsigned long {
    kBitmapWritten = 0,
    kBitmapUnreadable = 1,
    kTableHeaderFailed = 2,
    kTablePixelsFailed = 3,
    kHeaderFailed = 4,
    kPixelsFailed = 5,
    kBitmapRefused = 6,   // a bitmap the reader would refuse, or no memory for it
};

} // namespace

BOOL WriteBitmapToStream(HBITMAP bitmap, IStream* stream)
{
    // Result codes: 0 written; 1 the bitmap could not be described; 2 and 3
    // header or pixels of a bitmap with a colour table failed to write, 4 and 5
    // the same for deeper bitmaps; 6 the bitmap does not fit the format or its
    // pixels could not be had.
    CTraceMethod trace(TR_SHARED, TR_WRITE_BITMAP);
    CScreenDC screen;
    BITMAPINFOHEADER header{};
    header.biSize = kHeaderSize;
    if (!bitmap || !stream || !screen.dc
        || !GetDIBits(screen.dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)) {
        trace.Result(TR_WRITE_BITMAP_RESULT, kBitmapUnreadable);
        return FALSE;
    }
    // Writing what the reader would refuse would only lose the icon later.
    PixelSizes sizes;
    if (!CheckHeader(header, sizes)) {
        trace.Result(TR_WRITE_BITMAP_RESULT, kBitmapRefused);
        return FALSE;
    }
    const DWORD pixelBytes = sizes.rows;
    const bool hasColourTable = header.biBitCount <= 8;
    if (TraceOn())
        LogStringId(hasColourTable ? TR_BITMAP_256_COLORS : TR_BITMAP_16_24_BIT);
    const DWORD infoBytes = kHeaderSize + StoredTableSize(header.biBitCount);
    std::unique_ptr<BYTE[]> info = ZeroedBuffer(infoBytes);
    std::unique_ptr<BYTE[]> pixels = ZeroedBuffer(pixelBytes);
    if (!info || !pixels) {
        trace.Result(TR_WRITE_BITMAP_RESULT, kBitmapRefused);
        return FALSE;
    }
    std::memcpy(info.get(), &header, kHeaderSize);
    const int rows = GetDIBits(screen.dc, bitmap, 0, static_cast<UINT>(header.biHeight), pixels.get(),
                               reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS);
    if (rows != header.biHeight) {
        trace.Result(TR_WRITE_BITMAP_RESULT, kBitmapRefused);
        return FALSE;
    }
    // The header states the block that follows: a size left at 0 would have
    // a reader compute one that is short of the rows of narrow bitmaps.
    reinterpret_cast<BITMAPINFOHEADER*>(info.get())->biSizeImage = pixelBytes;
    if (!WriteExactly(stream, info.get(), infoBytes)) {
        trace.Result(TR_WRITE_BITMAP_RESULT, hasColourTable ? kTableHeaderFailed : kHeaderFailed);
        return FALSE;
    }
    if (!WriteExactly(stream, pixels.get(), pixelBytes)) {
        trace.Result(TR_WRITE_BITMAP_RESULT, hasColourTable ? kTablePixelsFailed : kPixelsFailed);
        return FALSE;
    }
    trace.Result(TR_WRITE_BITMAP_RESULT, kBitmapWritten);
    return TRUE;
}

BOOL ReadBitmapFromStream(IStream* stream, CBitmapHandle& bitmap)
{
    CTraceMethod trace(TR_SHARED, TR_READ_BITMAP);
    bitmap.Reset();
    auto fail = []() {
        if (TraceOn())
            LogStringId(TR_READ_BITMAP_FAILED);
        return FALSE;
    };
    if (!stream)
        return fail();

    BITMAPINFOHEADER header{};
    PixelSizes sizes;
    if (!ReadExactly(stream, &header, kHeaderSize) || !CheckHeader(header, sizes))
        return fail();
    const DWORD colourCount = StoredTableSize(header.biBitCount) / 4;
    const DWORD tableBytes = colourCount * 4;
    // A stream too short for what the header announces fails before the
    // buffers are taken.
    ULONGLONG left = 0;
    if (BytesLeft(stream, left) && left < static_cast<ULONGLONG>(tableBytes) + sizes.stored)
        return fail();

    // Room for a whole table of the widened format, as GDI reads one when the
    // header names no colour count.
    const DWORD infoTableBytes = header.biBitCount == 2 ? StoredTableSize(4) : tableBytes;
    std::unique_ptr<BYTE[]> info = ZeroedBuffer(kHeaderSize + infoTableBytes);
    // The rows in full even when the stored block is shorter: the rest stays 0.
    const DWORD keptBytes = sizes.stored < sizes.rows ? sizes.stored : sizes.rows;
    std::unique_ptr<BYTE[]> pixels = ZeroedBuffer(sizes.rows);
    if (!info || !pixels)
        return fail();
    if (TraceOn())
        LogStringIdNumber(TR_READING_COLORS, colourCount);
    if (!ReadExactly(stream, info.get() + kHeaderSize, tableBytes))
        return fail();
    if (TraceOn())
        LogStringIdNumber(TR_READING_BITS, sizes.stored);
    if (!ReadExactly(stream, pixels.get(), keptBytes) || !SkipExactly(stream, sizes.stored - keptBytes))
        return fail();

    BITMAPINFOHEADER& created = *reinterpret_cast<BITMAPINFOHEADER*>(info.get());
    created = header;
    created.biSizeImage = sizes.rows;
    if (header.biBitCount == 2) {
        DWORD widenedBytes = 0;
        pixels = WidenTwoBitRows(pixels.get(), header.biWidth, header.biHeight, widenedBytes);
        if (!pixels)
            return fail();
        created.biBitCount = 4;
        created.biSizeImage = widenedBytes;
        if (created.biClrUsed == 0)
            created.biClrUsed = colourCount;
    }

    CScreenDC screen;
    if (!screen.dc)
        return fail();
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.get());
    if (colourCount == 2) {
        // A memory DC starts with a one-by-one monochrome bitmap, so the mask
        // comes out monochrome whatever the screen's format.
        if (TraceOn())
            LogStringId(TR_CREATING_MONOCHROME);
        CMemoryDC memory(CreateCompatibleDC(screen.dc));
        if (memory)
            bitmap.Reset(CreateDIBitmap(memory.Get(), &created, CBM_INIT, pixels.get(), bitmapInfo, DIB_RGB_COLORS));
    } else {
        if (TraceOn())
            LogStringId(TR_CREATING_COLOR);
        bitmap.Reset(CreateDIBitmap(screen.dc, &created, CBM_INIT, pixels.get(), bitmapInfo, DIB_RGB_COLORS));
    }
    if (!bitmap)
        return fail();
    return TRUE;
}
