#include "SearchTestSupport.h"

#include "common/ShellFolder.h"
#include "driver/Driver.h"
#include "driver/SearchTree.h"
#include "resources/explorer/explorer_res.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>

using driver::SearchTree;
using namespace explorer_tests;

namespace {

using Kind = SearchTree::Kind;

std::vector<std::string> Sorted(std::vector<std::string> paths)
{
    for (std::string& path : paths)
        path = Lower(path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> ResultPaths(const RecordingReport& report)
{
    std::vector<std::string> paths;
    for (const CSearchResult* result : report.results)
        paths.push_back(ParsingName(result->AbsoluteId()));
    return Sorted(paths);
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// The final status line begins with the counts.
std::string CountsLine(int found, unsigned examined)
{
    return std::to_string(found) + " objects found out of " + std::to_string(examined) + " objects. Search time: ";
}

std::vector<std::string> SearchedLocations(const RecordingReport& report)
{
    const std::string searching = ExplorerString(IDS_SEARCHING);
    std::vector<std::string> locations;
    for (const std::string& status : report.statuses) {
        if (StartsWith(status, searching))
            locations.push_back(status.substr(searching.size()));
    }
    return locations;
}

class ExplorerSearch : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        tree = new SearchTree("explorer-search", driver::ProgramFolder() + "\\echo_args.exe");
    }
    static void TearDownTestSuite()
    {
        delete tree;
        tree = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(tree->IsReady());
        report.Watch(&search);
    }

    static SearchTree* tree;
    RecordingReport report;
    CExplorerSearch search{report};
};

SearchTree* ExplorerSearch::tree = nullptr;

TEST_F(ExplorerSearch, EachFilterTypeListsItsObjectsFromTheWholeTreeAndNothingOutside)
{
    struct Case {
        const char* name;
        int type;
        std::function<std::unique_ptr<CTypeFilter>()> filter;
        Kind kind;
    };
    const std::string folderType = TypeNameOf(tree->Root());
    const Case cases[] = {
        {"applications", kSearchApplications, [] { return CTypeFilter::FromClass("exefile"); }, Kind::Program},
        {"program groups", kSearchProgramGroups, [&] { return FilterOf({folderType.c_str()}); }, Kind::Folder},
        {"shortcuts", kSearchShortcuts, [] { return CTypeFilter::FromClass("lnkfile"); }, Kind::Shortcut},
        {"registered documents", kSearchRegisteredDocuments, [] { return FilterOf({"Lintel Test Document"}); },
         Kind::Document},
        {"type name in other case", kSearchRegisteredDocuments, [] { return FilterOf({"lINTEL test DOCUMENT"}); },
         Kind::Document},
    };
    const std::string outside = Lower(tree->Outside());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.Clear();
        auto filter = c.filter();
        ASSERT_TRUE(filter);
        ASSERT_TRUE(RunToEnd(search, Request(c.type, tree->Root(), std::move(filter))));

        EXPECT_EQ(ResultPaths(report), Sorted(tree->PathsOf(c.kind)));
        for (const CSearchResult* result : report.results) {
            const std::string path = ParsingName(result->AbsoluteId());
            EXPECT_EQ(Lower(result->Location().c_str()), Lower(FolderOf(path))) << path;
            SHFILEINFOA info{};
            SHGetFileInfoA(reinterpret_cast<LPCSTR>(result->AbsoluteId().List()), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_DISPLAYNAME);
            EXPECT_STREQ(result->Name().c_str(), info.szDisplayName) << path;
            EXPECT_GE(result->Image(), 0) << path;
            EXPECT_LT(result->Image(), ImageList_GetImageCount(report.large)) << path;
        }
        for (const std::string& location : SearchedLocations(report))
            EXPECT_FALSE(StartsWith(Lower(location), outside)) << location;

        // Every object under the root was looked at, the deepest ones too.
        EXPECT_EQ(search.ObjectsExamined(), tree->Entries().size());
        ASSERT_EQ(report.roots.size(), 1u);
        EXPECT_EQ(Lower(report.roots[0]), Lower(tree->Root()));
        ASSERT_FALSE(report.statuses.empty());
        EXPECT_TRUE(StartsWith(report.statuses.back(),
                               CountsLine(static_cast<int>(tree->PathsOf(c.kind).size()), search.ObjectsExamined())))
            << report.statuses.back();
        EXPECT_EQ(report.stateSearching, (std::vector<bool>{true, false}));
        EXPECT_FALSE(search.IsRunning());
    }
}

TEST_F(ExplorerSearch, AnUnreadableFilterOrABadRequestFindsNothingAndStillEnds)
{
    struct Case {
        const char* name;
        int type;
        bool folder;
        std::function<std::unique_ptr<CTypeFilter>()> filter;
        bool walks;   // the root is searched (and every object looked at)
    };
    const Case cases[] = {
        {"class without description", kSearchApplications, true,
         [] { return CTypeFilter::FromClass("LintelNoSuchClass"); }, false},
        {"program groups, no filter", kSearchProgramGroups, true, [] { return nullptr; }, false},
        {"documents, nothing checked", kSearchRegisteredDocuments, true, [] { return FilterOf({}); }, true},
        {"type 0", 0, true, [] { return nullptr; }, false},
        {"type 8", 8, true, [] { return FilterOf({"Application"}); }, false},
        {"no folder chosen", kSearchApplications, false, [] { return FilterOf({"Application"}); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.Clear();
        SearchRequest request = Request(c.type, tree->Root(), c.filter());
        if (!c.folder)
            request.folder.reset();
        ASSERT_TRUE(RunToEnd(search, std::move(request)));

        EXPECT_TRUE(report.results.empty());
        EXPECT_EQ(report.roots.size(), c.walks ? 1u : 0u);
        EXPECT_EQ(search.ObjectsExamined(), c.walks ? tree->Entries().size() : 0u);
        ASSERT_FALSE(report.statuses.empty());
        EXPECT_TRUE(StartsWith(report.statuses.back(), CountsLine(0, search.ObjectsExamined())))
            << report.statuses.back();
        EXPECT_EQ(report.stateSearching, (std::vector<bool>{true, false}));
    }
}

TEST_F(ExplorerSearch, ControlPanelListsWhatTheControlPanelEnumerates)
{
    const CItemId controls(CSIDL_CONTROLS);
    ASSERT_TRUE(controls.List());
    std::vector<std::string> expected;
    {
        CShellFolder folder(controls);
        std::unique_ptr<CEnumIdList> items;
        ASSERT_TRUE(folder.EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items));
        CItemId item;
        while (items->Next(item)) {
            CItemId absolute(controls);
            absolute.Append(item);
            expected.push_back(ParsingName(absolute));
        }
    }
    ASSERT_FALSE(expected.empty());

    ASSERT_TRUE(RunToEnd(search, Request(kSearchControlPanel, controls, nullptr)));
    EXPECT_EQ(ResultPaths(report), Sorted(expected));
    for (const CSearchResult* result : report.results)
        EXPECT_EQ(result->Parent().Compare(controls), 0);
}

TEST_F(ExplorerSearch, SpecialFoldersAreTheShellsFoldersOneToTwentyOneInOrder)
{
    std::vector<std::string> expected;
    for (int id = 1; id <= 21; ++id) {
        CItemId special(static_cast<LPCITEMIDLIST>(nullptr));
        if (special.Set(id) && special.Length() > 2)
            expected.push_back(ParsingName(special));
    }
    ASSERT_FALSE(expected.empty());

    // The folder chosen plays no part in this type.
    ASSERT_TRUE(RunToEnd(search, Request(kSearchSpecialFolders, tree->Root(), nullptr)));
    std::vector<std::string> listed;
    for (const CSearchResult* result : report.results) {
        listed.push_back(ParsingName(result->AbsoluteId()));
        EXPECT_FALSE(result->Name().IsEmpty()) << listed.back();
        EXPECT_GE(result->Image(), 0) << listed.back();
    }
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(report.roots.empty());
    EXPECT_EQ(search.ObjectsExamined(), expected.size());
    EXPECT_TRUE(StartsWith(report.statuses.back(), CountsLine(static_cast<int>(expected.size()), expected.size())));
}

// Under Wine the desktop reaches the host's whole file system ("/", and Z:
// inside My Computer): only a search that never enters a file-system folder
// ends here at all.
TEST_F(ExplorerSearch, NonFileObjectsFromTheDesktopNeverEnterAFileSystemFolder)
{
    ASSERT_TRUE(RunToEnd(search, Request(kSearchNonFileObjects, CItemId(), nullptr), 60000));

    EXPECT_FALSE(report.results.empty());
    for (const CSearchResult* result : report.results) {
        const CItemId absolute = result->AbsoluteId();
        EXPECT_EQ(AttributesOf(absolute, SFGAO_FILESYSTEM), 0u) << ParsingName(absolute);
        if (!result->Parent().IsDesktop()) {
            EXPECT_EQ(AttributesOf(result->Parent(), SFGAO_FILESYSTEM), 0u) << ParsingName(result->Parent());
        }
    }
    const std::vector<std::string> locations = SearchedLocations(report);
    ASSERT_FALSE(locations.empty());
    for (size_t i = 1; i < locations.size(); ++i) {
        const std::string& location = locations[i];
        const bool drivePath = location.size() >= 2 && isalpha(static_cast<unsigned char>(location[0]))
                               && location[1] == ':';
        EXPECT_FALSE(drivePath || StartsWith(location, "/") || StartsWith(location, "\\")) << location;
    }
}

// Copies of one program share one icon: the image lists hold each distinct
// icon once (a shortcut's carries the arrow), and every result shows what the
// shell shows for it.
TEST_F(ExplorerSearch, ResultsShowTheShellsIcons)
{
    const std::string folderType = TypeNameOf(tree->Root());
    auto filter = FilterOf({"Lintel Test Document", folderType.c_str()});
    filter->Add(CTypeFilter::FromClass("exefile")->Names().front());
    filter->Add(CTypeFilter::FromClass("lnkfile")->Names().front());
    ASSERT_TRUE(RunToEnd(search, Request(kSearchRegisteredDocuments, tree->Root(), std::move(filter))));
    ASSERT_FALSE(report.results.empty());
    ASSERT_EQ(ImageList_GetImageCount(report.large), ImageList_GetImageCount(report.small));

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 32;
    format.bmiHeader.biHeight = -32;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, canvas);
    auto pixelsOf = [&](HICON icon, int size) {
        RECT all{0, 0, 32, 32};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const auto* start = static_cast<const DWORD*>(bits);
        return std::vector<DWORD>(start, start + 32 * 32);
    };

    std::map<std::pair<int, bool>, int> imageOfIcon;
    for (const CSearchResult* result : report.results) {
        const CItemId absolute = result->AbsoluteId();
        const std::string path = ParsingName(absolute);
        SCOPED_TRACE(path);
        const struct {
            HIMAGELIST list;
            UINT flags;
            int size;
        } views[] = {{report.large, 0, 32}, {report.small, SHGFI_SMALLICON, 16}};
        for (const auto& view : views) {
            SHFILEINFOA info{};
            ASSERT_TRUE(SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.List()), 0, &info, sizeof info,
                                       SHGFI_PIDL | SHGFI_ICON | view.flags));
            HICON ours = ImageList_GetIcon(view.list, result->Image(), ILD_NORMAL);
            ASSERT_TRUE(ours);
            EXPECT_EQ(pixelsOf(ours, view.size), pixelsOf(info.hIcon, view.size));
            DestroyIcon(ours);
            DestroyIcon(info.hIcon);
        }
        SHFILEINFOA index{};
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.List()), 0, &index, sizeof index,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX);
        const bool isLink = AttributesOf(absolute, SFGAO_LINK) != 0;
        const auto known = imageOfIcon.emplace(std::make_pair(index.iIcon, isLink), result->Image());
        EXPECT_EQ(known.first->second, result->Image());
    }
    EXPECT_EQ(static_cast<size_t>(ImageList_GetImageCount(report.large)), imageOfIcon.size());

    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// The bar moves in steps of a twentieth of the folders on the first three
// levels; deeper folders are searched but not counted.
TEST_F(ExplorerSearch, ProgressMovesInTwentiethsOfTheFirstThreeLevels)
{
    SearchTree grid("explorer-progress", driver::ProgramFolder() + "\\echo_args.exe");
    ASSERT_TRUE(grid.IsReady());
    ASSERT_TRUE(grid.AddFolderGrid("Grid", 6, 12));
    ASSERT_TRUE(RunToEnd(search, Request(kSearchApplications, grid.Root(), CTypeFilter::FromClass("exefile"))));

    const unsigned total = grid.FoldersUpTo(3);
    ASSERT_LT(total, grid.FoldersUpTo(99));
    EXPECT_EQ(search.FoldersTotal(), total);
    EXPECT_EQ(search.FoldersOpened(), total);
    const unsigned step = total / 20;

    // The drawings of the walk: after "Initializing..." and before the
    // final line.
    std::vector<unsigned> drawn;
    for (const auto& shown : report.progress) {
        if (shown.total != 0 && shown.afterStatus < report.statuses.size())
            drawn.push_back(shown.opened);
        if (shown.total != 0) {
            EXPECT_EQ(shown.total, total);
        }
    }
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn.front(), 0u);
    EXPECT_EQ(drawn.back(), total);
    for (size_t i = 1; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        if (drawn[i] + 1 >= total)
            continue;
        EXPECT_EQ(drawn[i], drawn[i - 1] + step);
    }
    EXPECT_EQ(report.progress.back().opened, 0u);
}

TEST_F(ExplorerSearch, StartingAgainStopsTheRunningSearchFirst)
{
    ASSERT_TRUE(search.Start(Request(kSearchApplications, tree->Root(), CTypeFilter::FromClass("exefile"))));
    ASSERT_TRUE(search.Start(Request(kSearchShortcuts, tree->Root(), CTypeFilter::FromClass("lnkfile"))));
    // The second thread cannot have been answered yet: all that was served
    // belongs to the first search, which has ended.
    ASSERT_FALSE(report.stateSearching.empty());
    EXPECT_FALSE(report.stateSearching.back());
    ASSERT_FALSE(report.statuses.empty());
    EXPECT_NE(report.statuses.back().find(" objects found out of "), std::string::npos) << report.statuses.back();
    report.Clear();

    ASSERT_TRUE(driver::WaitUntil([&] { return !search.IsSearching(); }, 60000));
    search.Stop();
    EXPECT_EQ(ResultPaths(report), Sorted(tree->PathsOf(Kind::Shortcut)));
    EXPECT_EQ(report.stateSearching, (std::vector<bool>{true, false}));
}

TEST_F(ExplorerSearch, StartsAndStopsInQuickSuccessionNeverHang)
{
    const DWORD began = GetTickCount();
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(search.Start(Request(kSearchApplications, tree->Root(), CTypeFilter::FromClass("exefile"))));
        if (round % 2)
            search.Stop();
    }
    search.Stop();
    // A Stop before the thread's first step is not lost: the search ends.
    ASSERT_TRUE(search.Start(Request(kSearchApplications, tree->Root(), CTypeFilter::FromClass("exefile"))));
    search.Stop();
    EXPECT_FALSE(search.IsRunning());
    EXPECT_FALSE(search.IsSearching());
    EXPECT_LT(GetTickCount() - began, 20000u);
    ASSERT_FALSE(report.stateSearching.empty());
    EXPECT_FALSE(report.stateSearching.back());
}

class ExplorerSearchStop : public ExplorerSearch
{
protected:
    static void SetUpTestSuite()
    {
        ExplorerSearch::SetUpTestSuite();
        wide = tree->AddFolderGrid("Wide", 40, 50);
    }
    static bool wide;
};

bool ExplorerSearchStop::wide = false;

TEST_F(ExplorerSearchStop, StopDuringALongSearchEndsItAtOnce)
{
    ASSERT_TRUE(wide);
    ASSERT_GE(tree->FoldersUpTo(99), 2000u);
    const std::string initializing = ExplorerString(IDS_INITIALIZING);
    struct Case {
        const char* name;
        std::function<bool()> ready;
        bool walked;
    };
    const Case cases[] = {
        {"while counting the folders",
         [&] { return !report.statuses.empty() && report.statuses.back() == initializing; }, false},
        {"while searching them", [&] { return SearchedLocations(report).size() >= 30; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        report.Clear();
        ASSERT_TRUE(search.Start(Request(kSearchApplications, tree->Root(), CTypeFilter::FromClass("exefile"))));
        ASSERT_TRUE(driver::WaitUntil(c.ready, 60000));
        const DWORD asked = GetTickCount();
        search.Stop();
        const DWORD took = GetTickCount() - asked;
        std::printf("[ stop     ] %s: stopped in %lu ms\n", c.name, static_cast<unsigned long>(took));
        EXPECT_LT(took, 5000u);

        EXPECT_FALSE(search.IsRunning());
        EXPECT_EQ(!SearchedLocations(report).empty(), c.walked);
        EXPECT_LT(search.ObjectsExamined(), tree->Entries().size());
        EXPECT_TRUE(StartsWith(report.statuses.back(),
                               CountsLine(static_cast<int>(report.results.size()), search.ObjectsExamined())))
            << report.statuses.back();
        EXPECT_EQ(report.stateSearching, (std::vector<bool>{true, false}));
    }
}

} // namespace
