// A prepared folder tree for the Explorer's searches: programs, shortcuts,
// documents of a private registered type and folders nested past the third
// level, under a root in the test prefix's C: drive, with a folder beside it
// that a search of the root must never reach.  The private type is
// registered under HKEY_CLASSES_ROOT while the tree exists.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

class SearchTree
{
public:
    enum class Kind { Folder, Program, Shortcut, Document, Other };

    struct Entry {
        std::string path;
        Kind kind;
        int level;   // 1: directly in the root
    };

    // The private document type: two extensions of one class.
    static constexpr const char* kDocumentClass = "LintelTestDoc";
    static constexpr const char* kDocumentDescription = "Lintel Test Document";
    static constexpr const char* kDocumentExtension = ".ltxdoc";
    static constexpr const char* kSecondExtension = ".ltxalt";

    // Builds the tree in a new folder of that name under the test run's
    // temporary folder.  The programs are copies of `program` (any .exe).
    SearchTree(const std::string& name, const std::string& program);
    // Removes the tree, the folder beside it and what was registered.
    ~SearchTree();
    SearchTree(const SearchTree&) = delete;
    SearchTree& operator=(const SearchTree&) = delete;

    // Everything was made as described.
    bool IsReady() const { return m_ready; }
    const std::string& Root() const { return m_root; }
    const std::string& Outside() const { return m_outside; }

    // Adds root\<name>\G<i>\F<j> for groups x perGroup folders (empty), for
    // searches that must last a while.
    bool AddFolderGrid(const std::string& name, int groups, int perGroup);

    // Every object made under the root, in the order made.
    const std::vector<Entry>& Entries() const { return m_entries; }
    std::vector<std::string> PathsOf(Kind kind) const;
    // Folders on levels 1 to maxLevel.
    unsigned FoldersUpTo(int maxLevel) const;

private:
    bool Build(const std::string& program);
    bool Folder(const std::string& relative);
    bool File(const std::string& relative, Kind kind, const std::string& copyOf = "");
    bool Shortcut(const std::string& relative, const std::string& target);
    bool Register(const char* key, const char* value);
    void Unregister();

    std::string m_base;
    std::string m_root;
    std::string m_outside;
    std::vector<Entry> m_entries;
    std::vector<std::string> m_registeredKeys;
    bool m_ready = false;
};

// Deletes a folder with everything in it; true when it is gone.
bool RemoveFolderTree(const std::string& folder);

} // namespace driver
