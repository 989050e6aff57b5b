#include "SearchTree.h"
#include "Driver.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

namespace driver {

namespace {

int LevelOf(const std::string& relative)
{
    return 1 + static_cast<int>(std::count(relative.begin(), relative.end(), '\\'));
}

bool HasClassesDefault(const char* key)
{
    char value[MAX_PATH]{};
    LONG size = sizeof value;
    return RegQueryValueA(HKEY_CLASSES_ROOT, key, value, &size) == ERROR_SUCCESS && value[0] != 0;
}

} // namespace

bool RemoveFolderTree(const std::string& folder)
{
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

SearchTree::SearchTree(const std::string& name, const std::string& program)
{
    m_base = MakeTempFolder(name);
    m_root = m_base + "\\Root";
    m_outside = m_base + "\\Outside";
    // An earlier run that ended early may have left its tree.
    RemoveFolderTree(m_root);
    RemoveFolderTree(m_outside);
    m_ready = Build(program);
}

SearchTree::~SearchTree()
{
    RemoveFolderTree(m_root);
    RemoveFolderTree(m_outside);
    Unregister();
}

// Wine's HKEY_CLASSES_ROOT shows only the machine's classes: a class under
// HKCU\Software\Classes is neither enumerated there nor used for type names.
bool SearchTree::Register(const char* key, const char* value)
{
    if (!SetRegistryString(HKEY_CLASSES_ROOT, key, "", value))
        return false;
    m_registeredKeys.push_back(key);
    return true;
}

void SearchTree::Unregister()
{
    for (const std::string& key : m_registeredKeys)
        DeleteRegistryTree(HKEY_CLASSES_ROOT, key.c_str());
    m_registeredKeys.clear();
}

bool SearchTree::Folder(const std::string& relative)
{
    if (!CreateDirectoryA((m_root + "\\" + relative).c_str(), nullptr))
        return false;
    m_entries.push_back(Entry{m_root + "\\" + relative, Kind::Folder, LevelOf(relative)});
    return true;
}

bool SearchTree::File(const std::string& relative, Kind kind, const std::string& copyOf)
{
    const std::string path = m_root + "\\" + relative;
    if (copyOf.empty())
        WriteTextFile(path, "Lintel search tree\r\n");
    else if (!CopyFileA(copyOf.c_str(), path.c_str(), FALSE))
        return false;
    if (!FileExists(path))
        return false;
    m_entries.push_back(Entry{path, kind, LevelOf(relative)});
    return true;
}

bool SearchTree::Shortcut(const std::string& relative, const std::string& target)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool saved = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            const std::string path = m_root + "\\" + relative;
            wchar_t widePath[MAX_PATH]{};
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
            saved = SUCCEEDED(file->Save(widePath, TRUE));
            file->Release();
            if (saved)
                m_entries.push_back(Entry{path, Kind::Shortcut, LevelOf(relative)});
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return saved;
}

bool SearchTree::Build(const std::string& program)
{
    // A fresh Wine prefix names no class for .exe files, and their type name
    // is then not the "exefile" description that applications are found by.
    if (!HasClassesDefault(".exe") && !Register(".exe", "exefile"))
        return false;
    if (!Register(kDocumentExtension, kDocumentClass) || !Register(kSecondExtension, kDocumentClass)
        || !Register(kDocumentClass, kDocumentDescription))
        return false;

    if (!CreateDirectoryA(m_root.c_str(), nullptr) || !CreateDirectoryA(m_outside.c_str(), nullptr))
        return false;
    const bool outside = CopyFileA(program.c_str(), (m_outside + "\\Outside.exe").c_str(), FALSE)
                         && CreateDirectoryA((m_outside + "\\Inner").c_str(), nullptr);
    WriteTextFile(m_outside + "\\Outside" + kDocumentExtension, "outside\r\n");
    if (!outside)
        return false;

    return File("Setup.exe", Kind::Program, program) && File("Readme.txt", Kind::Other)
           && Folder("Tools") && File("Tools\\Tool.exe", Kind::Program, program)
           && Folder("Tools\\Nested") && Folder("Tools\\Nested\\Deeper")
           && Folder("Tools\\Nested\\Deeper\\Deepest")
           && File("Tools\\Nested\\Deeper\\Deepest\\Deep.exe", Kind::Program, program)
           && Folder("Tools\\Nested\\Deeper\\Deepest\\Bottom")
           && File(std::string("Tools\\Nested\\Deeper\\Deepest\\Bottom\\Deep report") + kDocumentExtension,
                   Kind::Document)
           && Folder("Documents") && File(std::string("Documents\\Report") + kDocumentExtension, Kind::Document)
           && File("Documents\\Notes.LTXALT", Kind::Document) && File("Documents\\Letter.txt", Kind::Other)
           && Folder("Group A") && Shortcut("Group A\\Tool.lnk", m_root + "\\Tools\\Tool.exe")
           && Shortcut("Group A\\Setup.lnk", m_root + "\\Setup.exe")
           && Shortcut("Outside.lnk", m_outside);
}

bool SearchTree::AddFolderGrid(const std::string& name, int groups, int perGroup)
{
    if (!Folder(name))
        return false;
    for (int group = 0; group < groups; ++group) {
        char groupName[32]{};
        std::snprintf(groupName, sizeof groupName, "\\G%03d", group);
        const std::string groupPath = name + groupName;
        if (!Folder(groupPath))
            return false;
        for (int leaf = 0; leaf < perGroup; ++leaf) {
            char leafName[32]{};
            std::snprintf(leafName, sizeof leafName, "\\F%03d", leaf);
            if (!Folder(groupPath + leafName))
                return false;
        }
    }
    return true;
}

std::vector<std::string> SearchTree::PathsOf(Kind kind) const
{
    std::vector<std::string> paths;
    for (const Entry& entry : m_entries) {
        if (entry.kind == kind)
            paths.push_back(entry.path);
    }
    return paths;
}

unsigned SearchTree::FoldersUpTo(int maxLevel) const
{
    unsigned count = 0;
    for (const Entry& entry : m_entries) {
        if (entry.kind == Kind::Folder && entry.level <= maxLevel)
            ++count;
    }
    return count;
}

} // namespace driver
