// CRecentList: up to ten recently used paths, most recent first.  A program
// button keeps its recent documents in one (stored as the "RECENT" stream of
// its record); the toolbar set keeps its recent toolbar files in another
// (stored in the registry).
#pragma once

#include "../common/Text.h"

#include <objidl.h>

#include <memory>

class CRecentList
{
public:
    static constexpr int kMaxEntries = 10;
    // What a program button's hold menu shows of a path at most.
    static constexpr int kHoldMenuText = 50;

    CRecentList() = default;
    CRecentList(const CRecentList&) = delete;
    CRecentList& operator=(const CRecentList&) = delete;

    // Puts the path at the top; one already listed (whatever its case) moves
    // there instead.  With checkExists, a path that names no existing file is
    // refused.  An empty path is never listed.
    BOOL Add(const char* path, BOOL checkExists);
    void Remove(int index);
    void Clear();
    int Count() const { return m_count; }

    // The full path of an entry; FALSE and an empty text for an empty slot.
    BOOL GetEntry(int index, CText& path) const;
    // The entry as a menu shows it: a path longer than maximum keeps its
    // drive and first folder, then "...", then its file name.
    BOOL GetMenuText(int index, CText& text, int maximum) const;

    // The stored form: the count, then the paths as counted strings from the
    // oldest to the newest.  Reading replaces the list.
    BOOL Read(IStream* stream);
    BOOL Write(IStream* stream) const;
    // The "RECENT" stream of a button's storage; an empty list writes none.
    BOOL ReadFromStorage(IStorage* storage);
    BOOL WriteToStorage(IStorage* storage) const;

    // The subkey "Recent" of root\parent: "NumRecent" and "Recent01" to
    // "Recent10".  Paths whose files have gone are left out on reading.
    BOOL ReadFromRegistry(HKEY root, const CText& parent);
    BOOL WriteToRegistry(HKEY root, const CText& parent) const;

private:
    struct Entries {
        CText paths[kMaxEntries];
        CText menuTexts[kMaxEntries];
    };
    int m_count = 0;
    // Made with the first entry: most program buttons never list a document,
    // and a toolbar set holds thousands of them.
    std::unique_ptr<Entries> m_entries;
};

// Whether the path names an existing file (not a folder).  Read from the
// file's attributes, which work for paths of any length.
BOOL RecentFileExists(const char* path);

// The shortened form of a path for a menu (see CRecentList::GetMenuText).
CText ShortenedPath(const char* path, int maximum);
