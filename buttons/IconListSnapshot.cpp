#include "IconListSnapshot.h"

#include "../common/BitmapStream.h"
#include "../common/ComPtr.h"
#include "../common/ScopedHandle.h"

#include <cstring>

namespace {

thread_local CIconListSnapshot* t_current = nullptr;

DWORD RowBytes(int width, int bits)
{
    return ((static_cast<DWORD>(width) * static_cast<DWORD>(bits) + 31) / 32) * 4;
}

// A whole bitmap's rows, bottom-up, at the depth asked for (1 or 32 bits).
bool ReadRows(HBITMAP bitmap, int bits, int& width, int& height, std::vector<BYTE>& rows)
{
    BITMAP shape{};
    if (!bitmap || GetObjectA(bitmap, sizeof shape, &shape) != sizeof shape || shape.bmWidth <= 0
        || shape.bmHeight <= 0)
        return false;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = shape.bmWidth;
    info.header.biHeight = shape.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    width = shape.bmWidth;
    height = shape.bmHeight;
    rows.assign(static_cast<size_t>(RowBytes(width, bits)) * static_cast<size_t>(height), 0);
    HDC screen = GetDC(nullptr);
    const int read = screen ? GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows.data(),
                                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)
                            : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return read == height;
}

} // namespace

CIconListSnapshot::CIconListSnapshot() : m_outer(t_current)
{
    HDC screen = GetDC(nullptr);
    if (screen) {
        CBitmapHandle probe(CreateCompatibleBitmap(screen, 1, 1));
        BITMAP shape{};
        if (probe && GetObjectA(probe.Get(), sizeof shape, &shape) == sizeof shape)
            m_screenBits = shape.bmBitsPixel;
        ReleaseDC(nullptr, screen);
    }
    t_current = this;
}

CIconListSnapshot::~CIconListSnapshot()
{
    t_current = m_outer;
}

CIconListSnapshot* CIconListSnapshot::Current()
{
    return t_current;
}

CIconListSnapshot::List* CIconListSnapshot::Find(HIMAGELIST list)
{
    for (List& known : m_lists) {
        if (known.list == list)
            return &known;
    }
    List made;
    made.list = list;
    IMAGEINFO info{};
    int height = 0;
    // Only the depth an icon's colour bitmap has on this screen copies
    // straight; any other list takes the icon route.
    made.usable = m_screenBits == 32 && ImageList_GetIconSize(list, &made.side, &height) && made.side == height
                  && ImageList_GetImageCount(list) > 0 && ImageList_GetImageInfo(list, 0, &info) && info.hbmMask
                  && ReadRows(info.hbmImage, 32, made.colour.width, made.colour.height, made.colour.rows)
                  && ReadRows(info.hbmMask, 1, made.mask.width, made.mask.height, made.mask.rows);
    made.colour.bits = 32;
    made.mask.bits = 1;
    m_lists.push_back(std::move(made));
    return &m_lists.back();
}

const std::vector<BYTE>* CIconListSnapshot::PrefixFor(int side, int bits)
{
    for (const Prefix& known : m_prefixes) {
        if (known.side == side && known.bits == bits)
            return &known.bytes;
    }
    // The hotspot, header and table come from an icon made of bitmaps of the
    // same kind as an image list's icon has, written the ordinary way.
    Prefix made;
    made.side = side;
    made.bits = bits;
    HDC screen = GetDC(nullptr);
    CBitmapHandle colour(screen ? CreateCompatibleBitmap(screen, side, side) : nullptr);
    if (screen)
        ReleaseDC(nullptr, screen);
    CBitmapHandle mask(CreateBitmap(side, side, 1, 1, nullptr));
    ICONINFO made_info{};
    made_info.fIcon = TRUE;
    made_info.hbmColor = colour.Get();
    made_info.hbmMask = mask.Get();
    CIconHandle icon(colour && mask ? CreateIconIndirect(&made_info) : nullptr);
    ICONINFO parts{};
    if (icon && GetIconInfo(icon.Get(), &parts)) {
        CBitmapHandle partMask(parts.hbmMask);
        CBitmapHandle partColour(parts.hbmColor);
        CComPtr<IStream> stream;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))
            && WriteBitmapToStream(bits == 1 ? partMask.Get() : partColour.Get(), stream.Get())) {
            STATSTG stat{};
            const DWORD rowsBytes = RowBytes(side, bits) * static_cast<DWORD>(side);
            LARGE_INTEGER start{};
            if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize.QuadPart > rowsBytes
                && SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
                const size_t prefixBytes = static_cast<size_t>(stat.cbSize.QuadPart) - rowsBytes;
                made.bytes.resize(2 * sizeof(LONG) + prefixBytes);
                const LONG hotspot[2] = {static_cast<LONG>(parts.xHotspot), static_cast<LONG>(parts.yHotspot)};
                std::memcpy(made.bytes.data(), hotspot, sizeof hotspot);
                ULONG read = 0;
                if (FAILED(stream->Read(made.bytes.data() + sizeof hotspot, static_cast<ULONG>(prefixBytes), &read))
                    || read != prefixBytes)
                    made.bytes.clear();
            }
        }
    }
    m_prefixes.push_back(std::move(made));
    return m_prefixes.back().bytes.empty() ? nullptr : &m_prefixes.back().bytes;
}

bool CIconListSnapshot::EntryBytes(HIMAGELIST list, int index, std::vector<BYTE>& bytes)
{
    bytes.clear();
    if (!list || index < 0 || index >= ImageList_GetImageCount(list))
        return false;
    List* known = Find(list);
    IMAGEINFO info{};
    if (!known || !known->usable || !ImageList_GetImageInfo(list, index, &info))
        return false;
    const int side = known->side;
    const RECT& at = info.rcImage;
    if (at.right - at.left != side || at.bottom - at.top != side || at.left < 0 || at.top < 0
        || at.right > known->colour.width || at.bottom > known->colour.height || at.right > known->mask.width
        || at.bottom > known->mask.height || at.left % 8 != 0)
        return false;
    const std::vector<BYTE>* maskPrefix = PrefixFor(side, 1);
    const std::vector<BYTE>* colourPrefix = PrefixFor(side, 32);
    if (!maskPrefix || !colourPrefix)
        return false;

    // Bottom-up rows: the entry's lowest row comes first.
    auto append = [&](const Bitmap& whole) {
        const DWORD wholeRow = RowBytes(whole.width, whole.bits);
        const DWORD entryRow = RowBytes(side, whole.bits);
        const DWORD used = static_cast<DWORD>(side * whole.bits + 7) / 8;
        const DWORD offset = static_cast<DWORD>(at.left * whole.bits) / 8;
        size_t to = bytes.size();
        bytes.resize(to + static_cast<size_t>(entryRow) * side, 0);
        const int firstRow = whole.height - at.bottom;
        for (int y = 0; y < side; ++y, to += entryRow)
            std::memcpy(bytes.data() + to, whole.rows.data() + static_cast<size_t>(firstRow + y) * wholeRow + offset,
                        used);
    };
    // The hotspot longs lead the mask's prefix; the colour's own copy of them
    // is left out.
    bytes.reserve(maskPrefix->size() + colourPrefix->size() + RowBytes(side, 1) * side + RowBytes(side, 32) * side);
    bytes.insert(bytes.end(), maskPrefix->begin(), maskPrefix->end());
    append(known->mask);
    bytes.insert(bytes.end(), colourPrefix->begin() + 2 * sizeof(LONG), colourPrefix->end());
    append(known->colour);
    return true;
}
