// The pixels of a toolbar's image lists, read once while a toolbar is saved.
//
// A button stores each icon as the mask and colour bitmaps that an icon taken
// out of the image list carries.  Making that icon and taking it apart again
// costs far more than writing the bytes; with a snapshot alive on the thread,
// a button copies its rows out of the lists' bitmaps instead, with header and
// colour table exactly as the icon's bitmaps give them.  Lists whose
// bitmaps are not of the screen's depth are left to the icon route.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <deque>
#include <vector>

class CIconListSnapshot
{
public:
    // The snapshot of the thread while this object lives; lists are read
    // when a button first asks for one of their entries.
    CIconListSnapshot();
    ~CIconListSnapshot();
    CIconListSnapshot(const CIconListSnapshot&) = delete;
    CIconListSnapshot& operator=(const CIconListSnapshot&) = delete;

    static CIconListSnapshot* Current();

    // The whole icon stream of the entry: the hotspot, then its mask and
    // colour bitmaps in the bitmap stream format; false when the entry
    // cannot be had this way.
    bool EntryBytes(HIMAGELIST list, int index, std::vector<BYTE>& bytes);

private:
    struct Bitmap {
        int width = 0;
        int height = 0;
        int bits = 0;
        std::vector<BYTE> rows;   // bottom-up, rows padded to 32 bits
    };
    struct List {
        HIMAGELIST list = nullptr;
        bool usable = false;
        int side = 0;
        Bitmap colour;
        Bitmap mask;
    };
    // The header and colour table an icon's bitmap of the side and depth
    // carries, read once from a bitmap made the same way.
    struct Prefix {
        int side = 0;
        int bits = 0;
        std::vector<BYTE> bytes;
    };

    List* Find(HIMAGELIST list);
    const std::vector<BYTE>* PrefixFor(int side, int bits);

    // Deques: what a lookup hands out stays where it is as others are added.
    std::deque<List> m_lists;
    std::deque<Prefix> m_prefixes;
    int m_screenBits = 0;
    CIconListSnapshot* m_outer = nullptr;
};
