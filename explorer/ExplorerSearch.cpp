#include "ExplorerSearch.h"

#include "../common/Application.h"
#include "../common/ComPtr.h"
#include "../common/Error.h"
#include "../common/ShellFolder.h"
#include "../common/ShellItems.h"
#include "../common/TraceLog.h"
#include "../resources/explorer/explorer_res.h"

#include <shlwapi.h>

namespace {

constexpr DWORD kEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
// Only what the walk decides on: asking for every attribute makes the shell
// look inside each folder (SFGAO_HASSUBFOLDER) and touch each file
// (SFGAO_VALIDATE).
constexpr ULONG kWalkAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK;
// Folders of the first three levels below the root move the progress bar.
constexpr unsigned kCountedLevels = 3;
// A tree deeper than this is hostile or loops (a junction to an ancestor);
// the walk's recursion must not run out of stack on it.
constexpr unsigned kMaxDepth = 64;

void TraceNumber(const char* format, unsigned long value)
{
    if (TraceOn())
        LogFormat(format, value);
}

BOOL ParsingName(IShellFolder* folder, const CItemId& item, CText& name)
{
    return ShellDisplayName(folder, item, SHGDN_FORPARSING, name);
}

// The extension of a file-system object's own name, lower case, dot
// included; empty for a name without one.
BOOL ExtensionOf(IShellFolder* folder, const CItemId& item, CText& extension)
{
    CText name;
    if (!ShellDisplayName(folder, item, SHGDN_INFOLDER | SHGDN_FORPARSING, name))
        return FALSE;
    const int dot = name.ReverseFind('.');
    const int slash = name.ReverseFind('\\');
    extension = dot > slash ? name.c_str() + dot : "";
    if (!extension.IsEmpty())
        CharLowerA(extension.At(0));
    return TRUE;
}

// Keeps a folder on the walk's current path for as long as it is searched.
class CPathEntry
{
public:
    CPathEntry(std::vector<const CItemId*>& path, const CItemId& folder) : m_path(path) { m_path.push_back(&folder); }
    ~CPathEntry() { m_path.pop_back(); }
    CPathEntry(const CPathEntry&) = delete;
    CPathEntry& operator=(const CPathEntry&) = delete;

private:
    std::vector<const CItemId*>& m_path;
};

} // namespace

CExplorerSearch::CExplorerSearch(ISearchReport& report) : m_report(report)
{
}

CExplorerSearch::~CExplorerSearch()
{
    Stop();
    DiscardResults();
}

BOOL CExplorerSearch::Start(SearchRequest request)
{
    Trace("Starting search");
    Stop();
    DiscardResults();
    m_request = std::move(request);
    m_objectsExamined = 0;
    m_foldersTotal = 0;
    m_foldersOpened = 0;
    m_lastProgress = 0;
    return StartThread();
}

void CExplorerSearch::DiscardResults()
{
    m_results.clear();
    if (m_largeImages)
        ImageList_Destroy(m_largeImages);
    if (m_smallImages)
        ImageList_Destroy(m_smallImages);
    m_largeImages = nullptr;
    m_smallImages = nullptr;
    m_imageOfSystemIcon.clear();
    m_typeNameOfExtension.clear();
}

void CExplorerSearch::SearchEnded(bool)
{
    m_report.SearchStateChanged();
}

void CExplorerSearch::RunSearch()
{
    m_report.SearchStateChanged();

    // ILC_COLOR32 keeps the alpha channel of modern icons, which a
    // device-dependent list would draw with black edges.
    m_largeImages = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR32, 32, 32);
    m_smallImages = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 32, 32);
    m_report.SetImageLists(m_largeImages, m_smallImages);

    const DWORD started = GetTickCount();
    if (m_request.type < kSearchApplications || m_request.type > kSearchRegisteredDocuments) {
        Trace("Invalid search format");
    } else if (m_request.folder) {
        RunWithoutEscape([this] { Walk(); });
    }
    const DWORD seconds = (GetTickCount() - started) / 1000;

    CText format;
    format.LoadString(AppInstance(), IDS_SEARCH_DONE);
    char status[1024]{};
    wsprintfA(status, format.c_str(), m_report.ListedCount(), static_cast<unsigned long>(m_objectsExamined),
              static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    Report(status, 0);
    Trace("Search complete");
}

void CExplorerSearch::Walk()
{
    m_searchingText.LoadString(AppInstance(), IDS_SEARCHING);
    bool needsFilter = true;
    switch (m_request.type) {
    case kSearchApplications:
    case kSearchProgramGroups:
    case kSearchShortcuts:
        m_scope = FileObjectsOnly;
        break;
    case kSearchRegisteredDocuments:
        m_scope = AnyObject;
        break;
    case kSearchControlPanel:
        m_scope = AnyObject;
        needsFilter = false;
        break;
    case kSearchNonFileObjects:
        m_scope = NonFileObjectsOnly;
        needsFilter = false;
        break;
    default:
        ListSpecialFolders();
        return;
    }
    if (needsFilter && !m_request.filter)
        return;
    if (!IsSearching())
        return;

    const CItemId& root = *m_request.folder;
    const CText location = m_report.RecordRootFolder(root);
    CText initializing;
    initializing.LoadString(AppInstance(), IDS_INITIALIZING);
    Report(initializing, 0);
    m_foldersTotal = 0;
    m_foldersOpened = 0;
    m_lastProgress = 0;

    CShellFolder rootFolder(root);
    if (!rootFolder.IsValid())
        return;
    PreCount(rootFolder.Interface(), 0);
    if (IsSearching())
        SearchFolder(rootFolder.Interface(), root, location, 0);
}

bool CExplorerSearch::EntersFolder(ULONG attributes) const
{
    if (!(attributes & SFGAO_FOLDER))
        return false;
    if (m_scope == NonFileObjectsOnly && (attributes & SFGAO_FILESYSTEM))
        return false;
    // A shortcut that the shell offers as a folder leads to its target, which
    // may lie anywhere outside the folder searched.
    return !(attributes & SFGAO_LINK);
}

bool CExplorerSearch::OnCurrentPath(const CItemId& folder) const
{
    for (const CItemId* ancestor : m_path) {
        if (ancestor->List() && folder.List() && ancestor->Length() == folder.Length()
            && ancestor->Compare(folder) == 0)
            return true;
    }
    return false;
}

void CExplorerSearch::PreCount(IShellFolder* folder, unsigned depth)
{
    Trace("PreSearchFolder...");
    CComPtr<IEnumIDList> items;
    if (folder->EnumObjects(nullptr, kEnumFlags, items.put()) != S_OK || !items)
        return;
    while (IsSearching()) {
        CItemId item;
        if (!NextShellItem(items.Get(), item))
            break;
        LPCITEMIDLIST list = item.List();
        ULONG attributes = kWalkAttributes;
        if (!list || FAILED(folder->GetAttributesOf(1, &list, &attributes)) || !EntersFolder(attributes))
            continue;
        ++m_foldersTotal;
        // The folders of the last counted level are counted here; what lies
        // inside them is not, so they are not opened.
        if (depth + 1 >= kCountedLevels)
            continue;
        CComPtr<IShellFolder> child;
        if (SUCCEEDED(folder->BindToObject(list, nullptr, IID_IShellFolder, child.put_void())) && child)
            PreCount(child.Get(), depth + 1);
    }
}

BOOL CExplorerSearch::MatchesFilter(IShellFolder* folder, const CItemId& item, const CItemId& absolute,
                                    ULONG attributes)
{
    if (!m_request.filter)
        return TRUE;
    // A file's type name follows from its extension alone, and looking it up
    // through the desktop costs a thousand times more than asking its folder
    // for its name: each extension is looked up once per search.  Folders
    // and objects outside the file system are asked one by one.
    CText extension;
    const bool byExtension = (attributes & SFGAO_FILESYSTEM) && !(attributes & SFGAO_FOLDER)
                             && ExtensionOf(folder, item, extension);
    if (byExtension) {
        const auto known = m_typeNameOfExtension.find(extension.c_str());
        if (known != m_typeNameOfExtension.end())
            return m_request.filter->Matches(known->second.c_str());
    }
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.List()), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_TYPENAME))
        return FALSE;
    Trace("Got typename");
    info.szTypeName[sizeof info.szTypeName - 1] = 0;
    if (byExtension)
        m_typeNameOfExtension[extension.c_str()] = info.szTypeName;
    return m_request.filter->Matches(info.szTypeName);
}

void CExplorerSearch::SearchFolder(IShellFolder* folder, const CItemId& folderId, const CText& location,
                                   unsigned depth)
{
    Trace("SearchFolder...");
    TraceNumber("Starting at depth %lu", depth);
    CText status(m_searchingText);
    status += location;
    Report(status, m_foldersOpened);

    CComPtr<IEnumIDList> items;
    // S_FALSE: nothing to list, and possibly no enumerator.
    if (folder->EnumObjects(nullptr, kEnumFlags, items.put()) != S_OK || !items)
        return;
    CPathEntry onPath(m_path, folderId);
    while (IsSearching()) {
        Trace("Getting next element");
        CItemId item;
        if (!NextShellItem(items.Get(), item))
            break;
        LPCITEMIDLIST list = item.List();
        if (!list)
            continue;
        ++m_objectsExamined;
        ULONG attributes = kWalkAttributes;
        if (FAILED(folder->GetAttributesOf(1, &list, &attributes)))
            attributes = 0;
        CItemId absolute(folderId);
        if (!absolute.Append(item))
            continue;

        Trace("Checking search type");
        // The scope is a plain attribute test: asking it first spares the
        // type-name look-up for objects the scope drops anyway.
        const bool inScope = m_scope == AnyObject
                             || (m_scope == FileObjectsOnly && (attributes & SFGAO_FILESYSTEM))
                             || (m_scope == NonFileObjectsOnly && !(attributes & SFGAO_FILESYSTEM));
        if (inScope && MatchesFilter(folder, item, absolute, attributes)) {
            Trace("Search type check complete");
            AddResult(std::make_unique<CSearchResult>(folderId, item, location), folder, item, absolute,
                      (attributes & SFGAO_LINK) != 0);
        }

        Trace("Checking folder");
        if (!EntersFolder(attributes) || !IsSearching())
            continue;
        Trace("Check 2 on folder");
        if (depth >= kMaxDepth || OnCurrentPath(absolute))
            continue;
        CText childLocation;
        ParsingName(folder, item, childLocation);
        if (depth < kCountedLevels)
            ++m_foldersOpened;
        CComPtr<IShellFolder> child;
        const HRESULT hr = folder->BindToObject(list, nullptr, IID_IShellFolder, child.put_void());
        if (FAILED(hr) || !child) {
            TraceResult(hr);
            continue;
        }
        TraceNumber("Opening new folder at %lu", depth + 1);
        SearchFolder(child.Get(), absolute, childLocation, depth + 1);
        TraceNumber("Closing folder at %lu", depth + 1);
    }
    TraceNumber("Searching is %lu", IsSearching() ? 1 : 0);
    TraceNumber("Ending at depth %lu", depth);
}

void CExplorerSearch::ListSpecialFolders()
{
    for (int folderId = 1; folderId <= 21 && IsSearching(); ++folderId) {
        CItemId special(static_cast<LPCITEMIDLIST>(nullptr));
        if (!special.Set(folderId) || special.Length() <= 2)
            continue;
        CItemId parent(special);
        CItemId last;
        parent.Split(&last);   // a one-item list leaves the desktop as parent
        ++m_objectsExamined;
        CShellFolder parentFolder(parent);
        AddResult(std::make_unique<CSearchResult>(parent, last, CText()), parentFolder.Interface(), last, special,
                  false);
    }
}

void CExplorerSearch::AddResult(std::unique_ptr<CSearchResult> result, IShellFolder* folder, const CItemId& item,
                                const CItemId& absolute, bool isLink)
{
    Trace("Adding element");
    SetIcons(*result, folder, item, absolute, isLink);
    CSearchResult* listed = result.get();
    m_results.push_back(std::move(result));
    if (IsSearching()) {
        Trace("Inserting new list item");
        m_report.InsertResult(listed);
    }
}

void CExplorerSearch::SetIcons(CSearchResult& result, IShellFolder* folder, const CItemId& item,
                               const CItemId& absolute, bool isLink)
{
    // The name SHGFI_DISPLAYNAME gives: the object's name within its folder.
    CText name;
    const bool named = folder && ShellDisplayName(folder, item, SHGDN_INFOLDER, name);
    if (named)
        result.SetName(name);
    // Copying an icon into an image list is by far the dearest step of a
    // result, and most results share their icon with others: the first
    // result of each system icon has the shell's icons copied, the rest
    // reuse them.  Shortcuts get the shortcut arrow drawn over the same
    // system icon, so they are kept apart.
    const int systemIcon = folder ? SHMapPIDLToSystemImageListIndex(folder, item.List(), nullptr) : -1;
    const std::pair<int, bool> key(systemIcon, isLink);
    if (systemIcon >= 0) {
        const auto known = m_imageOfSystemIcon.find(key);
        if (known != m_imageOfSystemIcon.end()) {
            result.SetImage(known->second);
            return;
        }
    }

    const auto path = reinterpret_cast<LPCSTR>(absolute.List());
    SHFILEINFOA smallInfo{};
    SHGetFileInfoA(path, 0, &smallInfo, sizeof smallInfo,
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
    CIconHandle small(smallInfo.hIcon);
    if (!named) {
        smallInfo.szDisplayName[sizeof smallInfo.szDisplayName - 1] = 0;
        result.SetName(smallInfo.szDisplayName);
    }
    SHFILEINFOA largeInfo{};
    SHGetFileInfoA(path, 0, &largeInfo, sizeof largeInfo, SHGFI_PIDL | SHGFI_ICON);
    CIconHandle large(largeInfo.hIcon);
    const int image = AddIconPair(large.Get(), small.Get());
    result.SetImage(image);
    if (systemIcon >= 0 && (large || small))
        m_imageOfSystemIcon[key] = image;
}

int CExplorerSearch::AddIconPair(HICON large, HICON small)
{
    HICON forLarge = large ? large : small;
    HICON forSmall = small ? small : large;
    const int largeIndex = forLarge && m_largeImages ? ImageList_AddIcon(m_largeImages, forLarge) : -1;
    const int smallIndex = forSmall && m_smallImages ? ImageList_AddIcon(m_smallImages, forSmall) : -1;
    if (largeIndex >= 0)
        return largeIndex;
    return smallIndex > 0 ? smallIndex : 0;
}

void CExplorerSearch::Report(const CText& status, unsigned opened)
{
    m_report.ShowStatus(status);
    const unsigned total = m_foldersTotal;
    // The bar moves in steps of at least 5 %, and always shows its ends.
    if (opened == 0 || opened + 1 >= total || opened >= m_lastProgress + total / 20) {
        m_lastProgress = opened;
        m_report.ShowProgress(opened, total);
    }
}
