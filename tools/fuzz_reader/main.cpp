// The long run of damaged toolbar files: case after case made by the
// damaged-file generators (stream damage and container damage in turn) and
// read as the program reads a file, in a build whose undefined behaviour
// traps.  A case that crashes, runs past its bound or takes unbounded
// memory stops the run and is kept as a file for the suite's fixtures.
//
//   fuzz_reader [cases] [first case] [folder for failing cases]
//
// Each case is made from its number alone, so "fuzz_reader 1 N" runs case N
// again.
#include "common/ComPtr.h"
#include "common/SafeStorage.h"
#include "driver/CompoundDamage.h"
#include "driver/StreamDamage.h"
#include "toolbars/Toolbar.h"

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Far past what one file takes, even under load: past it a case is a hang.
constexpr DWORD kCaseBound = kStorageDeadline + 20000;
constexpr SIZE_T kMemoryBound = 512u * 1024 * 1024;

std::string g_failures = ".";
std::atomic<long> g_case{-1};
std::atomic<DWORD> g_caseStart{0};
// The bytes of the case being read, kept for the failure's file.
std::vector<uint8_t> g_caseImage;
CompoundContent g_caseContent;
bool g_caseIsImage = false;

void KeepCase(const char* why)
{
    const std::string path = g_failures + "\\fuzz-case-" + std::to_string(g_case.load()) + ".ltl";
    if (g_caseIsImage) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(g_caseImage.data()), static_cast<std::streamsize>(g_caseImage.size()));
    } else {
        WriteCompoundFile(path, g_caseContent);
    }
    std::printf("case %ld %s: kept as %s\n", g_case.load(), why, path.c_str());
    std::fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception)
{
    char why[64];
    std::snprintf(why, sizeof why, "crashed (exception %08lx)",
                  static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    KeepCase(why);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI WatchCases(void*)
{
    for (;;) {
        Sleep(500);
        const long current = g_case.load();
        if (current >= 0 && GetTickCount() - g_caseStart.load() > kCaseBound) {
            KeepCase("ran past its bound");
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

SIZE_T PeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage > counters.PeakWorkingSetSize ? counters.PeakPagefileUsage
                                                                    : counters.PeakWorkingSetSize;
}

struct Tally {
    long read = 0;
    long refused = 0;
    long notOpened = 0;
};

void RunCase(long index, const std::vector<CompoundContent>& templates, const std::vector<std::vector<uint8_t>>& images,
             Tally& tally)
{
    Random random(0x5eed0000u ^ static_cast<uint32_t>(index * 2654435761u));
    const size_t which = static_cast<size_t>(index) % templates.size();
    CComPtr<IStorage> storage;
    g_caseIsImage = index % 2 == 1;
    if (g_caseIsImage) {
        g_caseImage = images[which];
        DamageContainer(g_caseImage, random);
        if (random.Below(4) == 0)
            DamageContainer(g_caseImage, random);
        if (FAILED(OpenCompoundImage(g_caseImage, storage.put()))) {
            ++tally.notOpened;
            return;
        }
    } else {
        g_caseContent = templates[which];
        for (uint32_t damages = 1 + random.Below(3); damages > 0; --damages)
            DamageStreams(g_caseContent, random);
        storage.Reset(MemoryCompound(g_caseContent));
        if (!storage) {
            ++tally.notOpened;
            return;
        }
    }
    // No program object: a toolbar read on its own shows no boxes.
    CToolbar toolbar(nullptr, nullptr, nullptr);
    if (!toolbar.Read(storage.Get(), 2)) {
        ++tally.refused;
        return;
    }
    ++tally.read;
    if (toolbar.Count() > CToolbar::kMaxButtons) {
        KeepCase("read more buttons than a toolbar holds");
        std::exit(5);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const long cases = argc > 1 ? std::atol(argv[1]) : 3000;
    const long first = argc > 2 ? std::atol(argv[2]) : 0;
    if (argc > 3)
        g_failures = argv[3];
    if (cases <= 0 || first < 0 || FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "usage: fuzz_reader [cases] [first case] [folder for failing cases]\n");
        return 2;
    }
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    const std::vector<CompoundContent> templates = DamagedFileTemplates();
    std::vector<std::vector<uint8_t>> images;
    for (const CompoundContent& content : templates) {
        images.push_back(CompoundImage(content));
        if (images.back().empty()) {
            std::fprintf(stderr, "fuzz_reader: a good file could not be made\n");
            return 1;
        }
    }
    HANDLE watch = CreateThread(nullptr, 0, WatchCases, nullptr, 0, nullptr);
    if (watch)
        CloseHandle(watch);
    Tally tally;
    const DWORD start = GetTickCount();
    for (long i = first; i < first + cases; ++i) {
        g_caseStart = GetTickCount();
        g_case = i;
        RunCase(i, templates, images, tally);
        // After every case, so that the case kept is the one that took it.
        if (PeakMemory() > kMemoryBound) {
            KeepCase("took unbounded memory");
            return 6;
        }
        if ((i - first) % 10000 == 9999) {
            std::printf("%ld cases, %lu s\n", i - first + 1, static_cast<unsigned long>((GetTickCount() - start) / 1000));
            std::fflush(stdout);
        }
    }
    g_case = -1;
    std::printf("%ld cases from %ld in %lu ms: %ld read, %ld refused by the reader, %ld not opened; "
                "peak memory %lu MB; no crash, no hang\n",
                cases, first, static_cast<unsigned long>(GetTickCount() - start), tally.read, tally.refused,
                tally.notOpened, static_cast<unsigned long>(PeakMemory() / (1024 * 1024)));
    OleUninitialize();
    return 0;
}
