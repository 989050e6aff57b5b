// Times a search of Lintel Explorer against the bare walk of the same folder
// tree with the shell's folder interfaces alone (enumerating each folder and
// asking each object's attributes), and prints objects per second for both
// and their ratio.  The tree is made in the temporary folder and removed
// afterwards; its documents are of a private type registered for the run.
//
//   bench_explorer [folders] [subfolders] [files]
#include "common/ComPtr.h"
#include "common/ItemId.h"
#include "common/ShellFolder.h"
#include "explorer/ExplorerSearch.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kExtension[] = ".lxbench";
const char kClass[] = "LintelBenchDoc";
const char kDescription[] = "Lintel Benchmark Document";

double Now()
{
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WriteFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    ::WriteFile(file, "bench\r\n", 7, &written, nullptr);
    CloseHandle(file);
    return true;
}

// Returns the number of objects made under root.
unsigned MakeTree(const std::string& root, int folders, int subfolders, int files)
{
    unsigned objects = 0;
    CreateDirectoryA(root.c_str(), nullptr);
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "\\Folder " + std::to_string(f);
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            return 0;
        ++objects;
        for (int s = 0; s < subfolders; ++s) {
            const std::string sub = folder + "\\Sub " + std::to_string(s);
            if (!CreateDirectoryA(sub.c_str(), nullptr))
                return 0;
            ++objects;
            for (int d = 0; d < files; ++d) {
                if (!WriteFile(sub + "\\Document " + std::to_string(d) + kExtension))
                    return 0;
                ++objects;
            }
        }
    }
    return objects;
}

void RemoveTree(const std::string& folder)
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
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// The least a search has to do: every folder enumerated, every object's
// attributes asked, every folder entered.
unsigned BareWalk(IShellFolder* folder)
{
    unsigned objects = 0;
    CComPtr<IEnumIDList> items;
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put()) != S_OK || !items)
        return 0;
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &item, &fetched) == S_OK && item) {
        ++objects;
        LPCITEMIDLIST list = item;
        ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
        if (SUCCEEDED(folder->GetAttributesOf(1, &list, &attributes)) && (attributes & SFGAO_FOLDER)) {
            CComPtr<IShellFolder> child;
            if (SUCCEEDED(folder->BindToObject(item, nullptr, IID_IShellFolder, child.put_void())) && child)
                objects += BareWalk(child.Get());
        }
        CoTaskMemFree(item);
        item = nullptr;
    }
    return objects;
}

// The window's part, done at once on the search thread: nothing is shown.
class CSilentReport : public ISearchReport
{
public:
    void SearchStateChanged() override {}
    void SetImageLists(HIMAGELIST, HIMAGELIST) override {}
    CText RecordRootFolder(const CItemId&) override { return CText(); }
    void ShowStatus(const CText&) override {}
    void ShowProgress(unsigned, unsigned) override {}
    BOOL InsertResult(CSearchResult*) override
    {
        ++listed;
        return TRUE;
    }
    int ListedCount() override { return listed; }
    int listed = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const int folders = argc > 1 ? std::atoi(argv[1]) : 20;
    const int subfolders = argc > 2 ? std::atoi(argv[2]) : 10;
    const int files = argc > 3 ? std::atoi(argv[3]) : 15;
    if (folders <= 0 || subfolders <= 0 || files < 0 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fprintf(stderr, "usage: bench_explorer [folders] [subfolders] [files]\n");
        return 2;
    }
    RegSetValueA(HKEY_CLASSES_ROOT, kExtension, REG_SZ, kClass, sizeof kClass - 1);
    RegSetValueA(HKEY_CLASSES_ROOT, kClass, REG_SZ, kDescription, sizeof kDescription - 1);

    char temp[MAX_PATH]{};
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "lintel-bench-explorer";
    RemoveTree(root);
    const unsigned made = MakeTree(root, folders, subfolders, files);
    CItemId rootId;
    int status = 0;
    if (!made || !rootId.Set(CText(root.c_str()))) {
        std::fprintf(stderr, "bench_explorer: the tree could not be made in %s\n", root.c_str());
        status = 1;
    } else {
        CShellFolder rootFolder(rootId);
        BareWalk(rootFolder.Interface());   // the file system's caches warm up
        double start = Now();
        const unsigned walked = BareWalk(rootFolder.Interface());
        const double bareSeconds = Now() - start;

        CSilentReport report;
        CExplorerSearch search(report);
        SearchRequest request;
        request.type = kSearchRegisteredDocuments;
        request.folder = std::make_unique<CItemId>(rootId);
        request.filter = std::make_unique<CTypeFilter>();
        request.filter->Add(kDescription);
        start = Now();
        search.Start(std::move(request));
        while (search.IsSearching())
            Sleep(1);
        search.Stop();
        const double searchSeconds = Now() - start;

        const double bareRate = bareSeconds > 0 ? walked / bareSeconds : 0;
        const double searchRate = searchSeconds > 0 ? search.ObjectsExamined() / searchSeconds : 0;
        std::printf("tree of %u objects (%d x %d folders, %d documents each)\n", made, folders, subfolders, files);
        std::printf("bare walk: %6u objects in %8.1f ms: %8.0f objects/s\n", walked, bareSeconds * 1000, bareRate);
        std::printf("search:    %6u objects in %8.1f ms: %8.0f objects/s (%d listed)\n", search.ObjectsExamined(),
                    searchSeconds * 1000, searchRate, report.listed);
        std::printf("ratio (search / bare walk): %.2f\n", bareRate > 0 ? searchRate / bareRate : 0.0);
    }
    RemoveTree(root);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtension);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kClass);
    CoUninitialize();
    return status;
}
