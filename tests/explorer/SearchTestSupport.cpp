#include "SearchTestSupport.h"

#include "common/ShellFolder.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cctype>

namespace explorer_tests {

namespace {

const char kWindowClass[] = "LintelSearchReportTest";

// The shell calls of the tests want COM on the test thread, as the Explorer
// has it on its window's thread.
class ComEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { m_com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        if (SUCCEEDED(m_com))
            CoUninitialize();
    }

private:
    HRESULT m_com = E_FAIL;
};

const ::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

} // namespace

RecordingReport::RecordingReport()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    m_window = CreateWindowA(kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
}

RecordingReport::~RecordingReport()
{
    if (m_window)
        DestroyWindow(m_window);
}

void RecordingReport::Clear()
{
    statuses.clear();
    progress.clear();
    results.clear();
    roots.clear();
    stateSearching.clear();
}

LRESULT CALLBACK RecordingReport::WindowProc(HWND window, UINT message, WPARAM first, LPARAM second)
{
    if (message == WM_APP) {
        (*reinterpret_cast<const std::function<void()>*>(second))();
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

void RecordingReport::OnOwnThread(const std::function<void()>& call)
{
    SendMessageA(m_window, WM_APP, 0, reinterpret_cast<LPARAM>(&call));
}

void RecordingReport::SearchStateChanged()
{
    OnOwnThread([this] { stateSearching.push_back(m_search && m_search->IsSearching()); });
}

void RecordingReport::SetImageLists(HIMAGELIST largeList, HIMAGELIST smallList)
{
    OnOwnThread([&] {
        large = largeList;
        small = smallList;
    });
}

CText RecordingReport::RecordRootFolder(const CItemId& root)
{
    std::string name;
    OnOwnThread([&] {
        name = ParsingName(root);
        roots.push_back(name);
    });
    return CText(name.c_str());
}

void RecordingReport::ShowStatus(const CText& text)
{
    OnOwnThread([&] { statuses.push_back(text.c_str()); });
}

void RecordingReport::ShowProgress(unsigned opened, unsigned total)
{
    OnOwnThread([&] { progress.push_back(Progress{opened, total, statuses.size()}); });
}

BOOL RecordingReport::InsertResult(CSearchResult* result)
{
    OnOwnThread([&] { results.push_back(result); });
    return TRUE;
}

int RecordingReport::ListedCount()
{
    int count = 0;
    OnOwnThread([&] { count = static_cast<int>(results.size()); });
    return count;
}

bool RunToEnd(CExplorerSearch& search, SearchRequest request, DWORD timeoutMs)
{
    if (!search.Start(std::move(request)))
        return false;
    const bool ended = driver::WaitUntil([&] { return !search.IsSearching(); }, timeoutMs);
    search.Stop();
    return ended;
}

SearchRequest Request(int type, const CItemId& folder, std::unique_ptr<CTypeFilter> filter)
{
    SearchRequest request;
    request.type = type;
    request.folder = std::make_unique<CItemId>(folder);
    request.filter = std::move(filter);
    return request;
}

SearchRequest Request(int type, const std::string& folder, std::unique_ptr<CTypeFilter> filter)
{
    CItemId id;
    EXPECT_TRUE(id.Set(CText(folder.c_str()))) << folder;
    return Request(type, id, std::move(filter));
}

std::unique_ptr<CTypeFilter> FilterOf(std::initializer_list<const char*> typeNames)
{
    auto filter = std::make_unique<CTypeFilter>();
    for (const char* name : typeNames)
        filter->Add(name);
    return filter;
}

std::string ParsingName(const CItemId& absolute)
{
    CShellFolder desktop;
    CText name;
    if (!desktop.GetDisplayName(absolute, name))
        return "";
    return name.c_str();
}

std::string TypeNameOf(const std::string& path)
{
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME))
        return "";
    return info.szTypeName;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

ULONG AttributesOf(const CItemId& absolute, ULONG mask)
{
    IShellFolder* parent = nullptr;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(absolute.List(), IID_IShellFolder, reinterpret_cast<void**>(&parent), &last)))
        return 0;
    ULONG attributes = mask;
    if (FAILED(parent->GetAttributesOf(1, &last, &attributes)))
        attributes = 0;
    parent->Release();
    return attributes & mask;
}

std::string ExplorerString(UINT id)
{
    char text[512]{};
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

} // namespace explorer_tests
