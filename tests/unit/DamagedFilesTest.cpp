// Corpora of damaged toolbar files, made from good ones by seeded
// generators.  Stream damage: truncated and missing elements, lying counts
// and sizes, random byte flips.  Container damage: broken directory links,
// allocation chains that loop or leave the file, lying header fields, files
// cut short - the damage that could keep the structured storage going round
// for ever.  Reading any of them may fail, but never crash, hang or take
// unbounded memory, and a container that opens gives up all that is whole.
#include "common/ComPtr.h"
#include "common/SafeStorage.h"
#include "driver/CompoundDamage.h"
#include "driver/Driver.h"
#include "driver/Random.h"
#include "driver/StreamDamage.h"
#include "driver/ToolbarFiles.h"
#include "HugeDifatCountImage.h"
#include "app/MainApp.h"
#include "toolbars/Toolbar.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

size_t PeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage > counters.PeakWorkingSetSize ? counters.PeakPagefileUsage
                                                                    : counters.PeakWorkingSetSize;
}

std::string CorpusFolder()
{
    return driver::MakeTempFolder("damaged-corpus");
}

} // namespace

TEST(DamagedFiles, ThousandsOfDamagedFilesReadWithoutHarm)
{
    OleInitialize(nullptr);
    const std::vector<CompoundContent> templates = DamagedFileTemplates();
    Random random(0x1badf11e);
    int opened = 0;
    const int cases = 3000;
    for (int i = 0; i < cases; ++i) {
        CompoundContent content = templates[static_cast<size_t>(i) % templates.size()];
        for (uint32_t damages = 1 + random.Below(3); damages > 0; --damages)
            DamageStreams(content, random);
        // In memory: the file system adds nothing the reader sees, and the
        // check command below reads damaged files from disk.
        IStorage* storage = MemoryCompound(content);
        ASSERT_NE(storage, nullptr) << i;
        // No program object: a toolbar read on its own shows no boxes.
        CToolbar toolbar(nullptr, nullptr, nullptr);
        const BOOL read = toolbar.Read(storage, 2);
        storage->Release();
        if (read) {
            ++opened;
            ASSERT_LE(toolbar.Count(), CToolbar::kMaxButtons) << i;
            ASSERT_GE(toolbar.Settings().buttonsPerLine, 1) << i;
            ASSERT_LE(toolbar.Settings().buttonsPerLine, 16) << i;
        }
    }
    // Some damage is harmless, some fatal: both kinds must have been seen.
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, cases);
    EXPECT_LT(PeakMemory(), 256u * 1024 * 1024);
    OleUninitialize();
}

TEST(DamagedFiles, CheckCommandSurvivesTheCorpus)
{
    OleInitialize(nullptr);
    const std::vector<CompoundContent> templates = DamagedFileTemplates();
    const std::string folder = CorpusFolder();
    Random random(0x5eed);
    std::string arguments = "check";
    const int files = 150;
    for (int i = 0; i < files; ++i) {
        CompoundContent content = templates[static_cast<size_t>(i) % templates.size()];
        DamageStreams(content, random);
        const std::string path = folder + "\\case" + std::to_string(i) + ".ltl";
        ASSERT_TRUE(WriteCompoundFile(path, content));
        arguments += " \"" + path + "\"";
    }
    OleUninitialize();

    const std::string output = folder + "\\check.txt";
    driver::Process tool;
    ASSERT_TRUE(tool.Start(driver::ProgramFolder() + "\\ltltool.exe", arguments, folder));
    ASSERT_TRUE(tool.WaitForExit(60000));
    // 0: every file read, 1: some could not be; anything else is a crash.
    EXPECT_LE(tool.ExitCode(), 1u);
}

namespace {

// A good toolbar file and the image StgCreateDocfile made of it.
struct ContainerTemplate {
    CompoundContent content;
    std::vector<uint8_t> image;
};
using ContainerTemplates = std::vector<ContainerTemplate>;

std::shared_ptr<const ContainerTemplates> MakeContainerTemplates()
{
    std::vector<CompoundContent> contents = DamagedFileTemplates();
    // A stream above the mini-stream cutoff has a chain in the file's own
    // FAT, where the small ones live in the miniFAT.
    CompoundContent large = contents[0];
    large.storages[L"BUTTON002"][L"NORMAL"] = std::vector<uint8_t>(9000, 0x5A);
    contents.push_back(large);
    // Past 109 FAT sectors (about 7 MB) the FAT is found through DIFAT
    // sectors as well as the header.
    CompoundContent huge = contents[0];
    huge.storages[L"BUTTON001"][L"LARGE"] = std::vector<uint8_t>(7600000, 0xA5);
    contents.push_back(huge);

    auto templates = std::make_shared<ContainerTemplates>();
    for (CompoundContent& content : contents) {
        std::vector<uint8_t> image = CompoundImage(content);
        templates->push_back({std::move(content), std::move(image)});
    }
    return templates;
}

// Mostly the small files; the one with DIFAT sectors now and then, as its
// image is a thousand times bigger.
size_t TemplateFor(const ContainerTemplates& templates, int index)
{
    if (index % 97 == 96)
        return templates.size() - 1;
    return static_cast<size_t>(index) % (templates.size() - 1);
}

// One container damage of each kind in turn, and now and then a second one
// of any kind on top.
std::string DamageInTurn(std::vector<uint8_t>& image, int index, Random& random)
{
    const auto kind = static_cast<ContainerDamage>(index % static_cast<int>(ContainerDamage::kCount));
    std::string done = DamageContainer(image, kind, random);
    if (random.Below(4) == 0)
        done += "; " + DamageContainer(image, random);
    return done;
}

bool IsButtonName(const std::wstring& name)
{
    return name.size() == 9 && name.compare(0, 6, L"BUTTON") == 0;
}

int ButtonCount(const CompoundContent& content)
{
    int count = 0;
    for (const auto& entry : content.streams)
        count += IsButtonName(entry.first);
    for (const auto& entry : content.storages)
        count += IsButtonName(entry.first);
    return count;
}

std::string HrText(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(hr));
    return text;
}

// No toolbar file has anywhere near this many elements in one storage: an
// enumeration that goes past it is one that never ends (the structured
// storage hands out an entry whose name lacks its terminator again and again).
constexpr size_t kListingLimit = 1000;

// The elements a storage lists, counted out here rather than by the code
// under test; false when the listing does not end.
bool ListToTheEnd(IStorage* storage, std::vector<StorageElement>& elements)
{
    elements.clear();
    CComPtr<IEnumSTATSTG> enumerator;
    if (FAILED(storage->EnumElements(0, nullptr, 0, enumerator.put())))
        return true;
    STATSTG stat{};
    while (enumerator->Next(1, &stat, nullptr) == S_OK) {
        if (stat.pwcsName)
            elements.push_back(StorageElement{stat.pwcsName, stat.type});
        CoTaskMemFree(stat.pwcsName);
        stat = STATSTG{};
        if (elements.size() > kListingLimit)
            return false;
    }
    return true;
}

// A listed stream's bytes, up to one more than a whole one would have;
// false when it is not listed or cannot be opened.
bool ReadListed(IStorage* storage, const std::vector<StorageElement>& elements, const wchar_t* name,
                size_t wholeSize, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    CComPtr<IStream> stream;
    if (!HasElement(elements, name, STGTY_STREAM)
        || FAILED(storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put())))
        return false;
    bytes.resize(wholeSize + 1);
    ULONG got = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got)))
        got = 0;
    bytes.resize(got);
    return true;
}

// What of a good file an opened storage still gives, read element by
// element as the storage lists them.
struct WholeParts {
    bool record = false;    // the version and the toolbar record as written
    int buttons = 0;        // button elements as written
    bool exact = true;      // false when a changed button element might still read as some button
    std::string endless;    // the storage whose listing never ends, if any
};

WholeParts FindWholeParts(IStorage* root, const CompoundContent& good)
{
    WholeParts whole;
    std::vector<StorageElement> elements;
    if (!ListToTheEnd(root, elements)) {
        whole.endless = "the root";
        return whole;
    }
    auto same = [](IStorage* storage, const std::vector<StorageElement>& listed, const wchar_t* name,
                   const std::vector<uint8_t>& wanted, bool* changedButReadable) {
        std::vector<uint8_t> bytes;
        const bool present = ReadListed(storage, listed, name, wanted.size(), bytes);
        if (changedButReadable)
            *changedButReadable = present && bytes != wanted && bytes.size() >= 4;
        return present && bytes == wanted;
    };
    const auto version = good.streams.find(L"VERSION");
    const bool versionWhole = version == good.streams.end()
                                  ? !HasElement(elements, L"VERSION", STGTY_STREAM)
                                  : same(root, elements, L"VERSION", version->second, nullptr);
    whole.record = versionWhole && same(root, elements, L"TOOLBAR", good.streams.at(L"TOOLBAR"), nullptr);

    for (int i = 0; i < ButtonCount(good); ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"BUTTON%03d", i);
        bool changed = false;
        const auto storage = good.storages.find(name);
        if (storage == good.storages.end()) {
            whole.buttons += same(root, elements, name, good.streams.at(name), &changed);
        } else {
            CComPtr<IStorage> button;
            std::vector<StorageElement> inner;
            if (HasElement(elements, name, STGTY_STORAGE)
                && SUCCEEDED(root->OpenStorage(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                               button.put()))) {
                if (!ListToTheEnd(button.Get(), inner)) {
                    whole.endless = std::string(name, name + 9);
                    return whole;
                }
                whole.buttons += same(button.Get(), inner, L"DATA", storage->second.at(L"DATA"), &changed);
            }
        }
        if (changed)
            whole.exact = false;
    }
    return whole;
}

const HRESULT kTimedOut = HRESULT_FROM_WIN32(ERROR_TIMEOUT);

// One damaged image read as the program reads it, and what went wrong.
struct CaseResult {
    HRESULT opened = E_FAIL;
    bool read = false;
    bool recordWhole = false;
    std::string fault;
};

void ReadDamagedImage(const ContainerTemplate& good, std::vector<uint8_t> image, CaseResult& result)
{
    CComPtr<IStorage> storage;
    result.opened = OpenCompoundImage(std::move(image), storage.put());
    if (FAILED(result.opened)) {
        if (storage.Get())
            result.fault = "a storage despite HR=" + HrText(result.opened);
        return;
    }
    const WholeParts whole = FindWholeParts(storage.Get(), good.content);
    if (!whole.endless.empty()) {
        // Reading it would go round for ever where the listing does.
        result.fault = "opened, but the listing of " + whole.endless + " never ends";
        return;
    }
    // No program object: a toolbar read on its own shows no boxes.
    CToolbar toolbar(nullptr, nullptr, nullptr);
    result.read = toolbar.Read(storage.Get(), 2) != FALSE;
    result.recordWhole = whole.record;
    if (result.read && toolbar.Count() > CToolbar::kMaxButtons)
        result.fault = std::to_string(toolbar.Count()) + " buttons";
    else if (whole.record && !result.read)
        result.fault = "the whole record was not read";
    else if (whole.record && whole.exact && toolbar.Count() != whole.buttons)
        result.fault = std::to_string(toolbar.Count()) + " buttons read of " + std::to_string(whole.buttons)
                       + " whole";
}

// What one case of a corpus did, kept where a case that hangs cannot
// leave it dangling.
struct CorpusCase {
    std::string damage;
    CaseResult result;
};

// A generous bound for one file: a case that goes past it is reported as a
// hang rather than stalling the whole run.
constexpr DWORD kCaseBound = kStorageDeadline + 20000;

struct Watch {
    std::function<void(int)> runCase;
    int count = 0;
    std::atomic<int> current{-1};
    std::atomic<DWORD> since{0};
};

DWORD WINAPI RunWatchedCases(void* parameter)
{
    std::unique_ptr<std::shared_ptr<Watch>> owner(static_cast<std::shared_ptr<Watch>*>(parameter));
    Watch& watch = **owner;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 0; i < watch.count; ++i) {
        watch.since = GetTickCount();
        watch.current = i;
        watch.runCase(i);
    }
    CoUninitialize();
    return 0;
}

// Runs the cases one after another on a thread of their own (a thread costs
// Wine some 15 ms, too much to spend on each case), watched from here.
// Returns the case that went past the bound, -1 when all ended.  A case
// that hangs is left running: whatever it uses must be owned by runCase.
int RunWatched(int count, std::function<void(int)> runCase)
{
    auto watch = std::make_shared<Watch>();
    watch->runCase = std::move(runCase);
    watch->count = count;
    auto handOver = std::make_unique<std::shared_ptr<Watch>>(watch);
    HANDLE thread = CreateThread(nullptr, 0, RunWatchedCases, handOver.get(), 0, nullptr);
    // A thread that cannot start is a first case that never ends.
    if (!thread)
        return 0;
    handOver.release();
    int hung = -1;
    while (WaitForSingleObject(thread, 250) == WAIT_TIMEOUT) {
        if (GetTickCount() - watch->since > kCaseBound) {
            hung = watch->current;
            break;
        }
    }
    CloseHandle(thread);
    return hung;
}

// Faults of a corpus: a count, and the first ones in full.
class Faults
{
public:
    void Add(const std::string& fault)
    {
        if (m_faults.size() < 20)
            m_faults.push_back(fault);
        ++m_count;
    }
    bool Empty() const { return m_count == 0; }
    std::string Report() const
    {
        std::string report = std::to_string(m_count) + " faults, the first ones:";
        for (const std::string& fault : m_faults)
            report += "\n  " + fault;
        return report;
    }

private:
    std::vector<std::string> m_faults;
    int m_count = 0;
};

void WriteImage(const std::string& path, const std::vector<uint8_t>& image)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

} // namespace

TEST(DamagedContainers, GoodImagesOpenWhole)
{
    OleInitialize(nullptr);
    const auto templates = MakeContainerTemplates();
    for (size_t i = 0; i < templates->size(); ++i) {
        SCOPED_TRACE(i);
        const ContainerTemplate& good = (*templates)[i];
        ASSERT_FALSE(good.image.empty());
        EXPECT_TRUE(CompoundImageIsSound(good.image.data(), good.image.size()));
        CComPtr<IStorage> storage;
        ASSERT_EQ(OpenCompoundImage(good.image, storage.put()), S_OK);
        CToolbar toolbar(nullptr, nullptr, nullptr);
        ASSERT_TRUE(toolbar.Read(storage.Get(), 2));
        EXPECT_STREQ(toolbar.Name().c_str(), "Template");
        EXPECT_EQ(toolbar.Count(), ButtonCount(good.content));
    }
    // The biggest has FAT sectors that only DIFAT sectors find.
    CompoundLayout layout;
    ASSERT_TRUE(ParseCompoundImage(templates->back().image, layout));
    EXPECT_FALSE(layout.difatSectors.empty());
    OleUninitialize();
}

TEST(DamagedContainers, ButtonsCutOffFromTheDirectoryAreRefusedAtOnce)
{
    OleInitialize(nullptr);
    const std::vector<uint8_t> image = ButtonsCutOffToolbar("Broken links");
    ASSERT_FALSE(image.empty());
    EXPECT_FALSE(CompoundImageIsSound(image.data(), image.size()));
    const std::string path = driver::MakeTempFolder("broken-links") + "\\Broken links.ltl";
    WriteImage(path, image);
    // The bare structured storage spins for ever on this file.
    struct Outcome {
        HRESULT opened = S_OK;
        BOOL read = TRUE;
    };
    auto outcome = std::make_shared<Outcome>();
    ASSERT_EQ(RunWatched(1, [outcome, path](int) {
                  CComPtr<IStorage> storage;
                  outcome->opened = OpenCompoundFile(path.c_str(), storage.put());
                  CToolbar toolbar(nullptr, nullptr, nullptr);
                  outcome->read = toolbar.Open(path.c_str(), 2);
              }),
              -1);
    EXPECT_EQ(outcome->opened, STG_E_DOCFILECORRUPT);
    EXPECT_FALSE(outcome->read);
    OleUninitialize();
}

// Each container damage in turn, in some fifteen hundred files: read here as the
// program reads a file, and the same files handed to "ltltool check" in
// batches.  Every file opens with all that is whole in it or not at all, and
// the command gives every file a verdict, the one it gets here.
TEST(DamagedContainers, CorpusOpensWholeOrNotAtAllAndTheCheckCommandAgrees)
{
    OleInitialize(nullptr);
    const auto templates = MakeContainerTemplates();
    const std::string folder = driver::MakeTempFolder("damaged-containers");
    const std::string tool = driver::ProgramFolder() + "\\ltltool.exe";
    auto random = std::make_shared<Random>(0xc0a7a1e5);
    const int batches = 6;
    const int filesPerBatch = 250;
    const int files = batches * filesPerBatch;
    auto outcomes = std::make_shared<std::vector<CorpusCase>>(files);
    auto nameOf = [](int index) { return "c" + std::to_string(index) + ".ltl"; };
    Faults faults;
    for (int batch = 0; batch < batches; ++batch) {
        SCOPED_TRACE(batch);
        const int first = batch * filesPerBatch;
        const int hung = RunWatched(filesPerBatch, [templates, random, outcomes, folder, first, nameOf](int i) {
            const int index = first + i;
            const size_t which = TemplateFor(*templates, index);
            CorpusCase& outcome = (*outcomes)[static_cast<size_t>(index)];
            std::vector<uint8_t> image;
            if (index == 0) {
                image = ButtonsCutOffToolbar("Broken links");
                outcome.damage = "the file that hung the program";
            } else {
                image = (*templates)[which].image;
                outcome.damage = DamageInTurn(image, index, *random);
            }
            WriteImage(folder + "\\" + nameOf(index), image);
            ReadDamagedImage((*templates)[which], std::move(image), outcome.result);
        });
        ASSERT_EQ(hung, -1) << nameOf(first + hung) << ", " << (*outcomes)[static_cast<size_t>(first + hung)].damage;

        std::string arguments = "check";
        DWORD waited = 0;
        for (int index = first; index < first + filesPerBatch; ++index) {
            const CorpusCase& outcome = (*outcomes)[static_cast<size_t>(index)];
            if (!outcome.result.fault.empty())
                faults.Add(nameOf(index) + ", " + outcome.damage + ": " + outcome.result.fault);
            waited += outcome.result.opened == kTimedOut;
            arguments += " " + nameOf(index);
        }
        const std::string output = folder + "\\verdicts" + std::to_string(batch) + ".txt";
        driver::Process check;
        ASSERT_TRUE(check.StartWithOutput(tool, arguments, folder, output));
        // Only a file that waits for the deadline may take long; the rest of
        // a batch takes a few seconds.
        if (!check.WaitForExit(waited * kStorageDeadline + 20000)) {
            check.Kill();
            FAIL() << "ltltool check did not end; " << waited << " files had to wait for the deadline; "
                   << faults.Report();
        }
        EXPECT_LE(check.ExitCode(), 1u);

        // A file named twice would read "okok" and the like.
        std::map<std::string, std::string> verdicts;
        std::ifstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const size_t space = line.find(' ');
            if (space != std::string::npos)
                verdicts[line.substr(space + 1)] += line.substr(0, space);
        }
        for (int index = first; index < first + filesPerBatch; ++index) {
            const CorpusCase& outcome = (*outcomes)[static_cast<size_t>(index)];
            const std::string name = nameOf(index) + ", " + outcome.damage;
            const auto got = verdicts.find(nameOf(index));
            // Unknown for a file that waited for the deadline here, or whose
            // reading here is a fault already.
            const bool known = outcome.result.opened != kTimedOut && outcome.result.fault.empty();
            const char* want = outcome.result.read ? "ok" : "bad";
            if (got == verdicts.end())
                faults.Add(name + ": no verdict");
            else if (got->second != "ok" && got->second != "bad")
                faults.Add(name + ": verdict \"" + got->second + "\"");
            else if (known && got->second != want)
                faults.Add(name + ": " + got->second + ", read here: " + want);
        }
        if (batch == 0) {
            EXPECT_EQ(verdicts[nameOf(0)], "bad");
        }
    }

    constexpr int kinds = static_cast<int>(ContainerDamage::kCount);
    struct Tally {
        int opened = 0, refused = 0, timedOut = 0;
    };
    Tally tally[kinds];
    int wholeReads = 0;
    for (int index = 1; index < files; ++index) {
        const CaseResult& result = (*outcomes)[static_cast<size_t>(index)].result;
        Tally& kind = tally[index % kinds];
        ++(SUCCEEDED(result.opened) ? kind.opened : result.opened == kTimedOut ? kind.timedOut : kind.refused);
        wholeReads += result.read && result.recordWhole;
    }
    std::string summary = "damage: opened/refused/timed out\n";
    for (int k = 0; k < kinds; ++k) {
        summary += std::string("  ") + ContainerDamageName(static_cast<ContainerDamage>(k)) + ": "
                   + std::to_string(tally[k].opened) + "/" + std::to_string(tally[k].refused) + "/"
                   + std::to_string(tally[k].timedOut) + "\n";
    }
    std::printf("%s", summary.c_str());
    EXPECT_TRUE(faults.Empty()) << faults.Report();
    // Some damage is harmless, some fatal: both kinds must have been seen.
    EXPECT_GT(wholeReads, 0) << summary;
    EXPECT_LT(wholeReads, files) << summary;
    EXPECT_LT(PeakMemory(), 256u * 1024 * 1024);
    OleUninitialize();
}

// The header's sector counts are checked against the sectors the image has
// before the structured storage sees them: it sizes its tables by them.
TEST(DamagedContainers, SectorCountsBeyondTheImageAreRefusedWithoutTakingMemory)
{
    OleInitialize(nullptr);
    PROCESS_MEMORY_COUNTERS before{};
    before.cb = sizeof before;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);

    const std::vector<BYTE> kept(std::begin(kHugeDifatCountImage), std::end(kHugeDifatCountImage));
    EXPECT_FALSE(CompoundImageIsSound(kept.data(), kept.size()));
    CComPtr<IStorage> storage;
    EXPECT_EQ(OpenCompoundImage(kept, storage.put()), STG_E_DOCFILECORRUPT);
    const std::string path = driver::MakeTempFolder("huge-difat-count") + "\\Huge count.ltl";
    WriteImage(path, std::vector<uint8_t>(kept.begin(), kept.end()));
    CToolbar toolbar(nullptr, nullptr, nullptr);
    EXPECT_FALSE(toolbar.Open(path.c_str(), 2));

    PROCESS_MEMORY_COUNTERS after{};
    after.cb = sizeof after;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    // A refusal costs a few pages; unmended, the open took some 900 MB.
    const SIZE_T allowed = std::max(before.PeakPagefileUsage, before.PagefileUsage + 64u * 1024 * 1024);
    EXPECT_LE(after.PeakPagefileUsage, allowed);

    // The same counts written into a good file.
    const auto templates = MakeContainerTemplates();
    const std::vector<uint8_t>& good = templates->front().image;
    const uint32_t sectors = static_cast<uint32_t>((good.size() - 1) / 512);
    struct Case {
        const char* what;
        size_t offset;
        uint32_t count;
    } cases[] = {
        {"allocation-table list sectors, as kept", 72, 3017645290u},
        {"allocation-table list sectors, one past the image", 72, sectors + 1},
        {"mini table sectors, one past the image", 64, sectors + 1},
        {"mini table sectors, all ones but the marks", 64, 0xFFFFFFFAu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> image = good;
        for (int i = 0; i < 4; ++i)
            image[c.offset + i] = static_cast<uint8_t>(c.count >> (8 * i));
        EXPECT_FALSE(CompoundImageIsSound(image.data(), image.size()));
    }
    OleUninitialize();
}
