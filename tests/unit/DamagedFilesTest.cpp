// A corpus of damaged toolbar files, made from good ones by a seeded
// generator: truncated and missing elements, lying counts and sizes, and
// random byte flips.  Reading any of them may fail, but never crash, hang or
// take unbounded memory.
#include "driver/Driver.h"
#include "driver/ToolbarFiles.h"
#include "app/MainApp.h"
#include "toolbars/Toolbar.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A small deterministic generator, so that a failing case can be found again.
class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t Below(uint32_t limit) { return limit ? Next() % limit : 0; }

private:
    uint32_t m_state;
};

std::vector<CompoundContent> Templates()
{
    std::vector<CompoundContent> templates;
    RecordValues values;
    values.name = "Template";
    values.isProtected = 1;
    values.passwordRequired = 1;
    values.password = "secret";
    templates.push_back(FileWith(values, 0x23000, 6));
    templates.push_back(FileWith(values, 0x21000, 4));
    templates.push_back(FileWith(values, 0x11000, 5));
    templates.push_back(FileWith(values, 0x10000, 3));
    return templates;
}

std::vector<uint8_t>* PickStream(CompoundContent& content, Random& random)
{
    std::vector<std::vector<uint8_t>*> streams;
    for (auto& entry : content.streams)
        streams.push_back(&entry.second);
    for (auto& storage : content.storages) {
        for (auto& entry : storage.second)
            streams.push_back(&entry.second);
    }
    return streams.empty() ? nullptr : streams[random.Below(static_cast<uint32_t>(streams.size()))];
}

// One damage of a kind chosen by the generator.
void Damage(CompoundContent& content, Random& random)
{
    std::vector<uint8_t>* stream = PickStream(content, random);
    switch (random.Below(7)) {
    case 0:   // cut short
        if (stream)
            stream->resize(random.Below(static_cast<uint32_t>(stream->size() + 1)));
        break;
    case 1:   // a few bytes flipped
        if (stream && !stream->empty()) {
            for (uint32_t flips = 1 + random.Below(4); flips > 0; --flips)
                (*stream)[random.Below(static_cast<uint32_t>(stream->size()))] ^= static_cast<uint8_t>(1 + random.Below(255));
        }
        break;
    case 2:   // a lying 32-bit value (counts, kinds, sizes)
        if (stream && stream->size() >= 4) {
            const size_t at = random.Below(static_cast<uint32_t>(stream->size() - 3));
            const uint32_t lies[] = {0xFFFFFFFF, 0x7FFFFFFF, 300, 257, 256, 0, 4, 0x80000000u, random.Next()};
            const uint32_t lie = lies[random.Below(sizeof lies / sizeof lies[0])];
            for (int i = 0; i < 4; ++i)
                (*stream)[at + i] = static_cast<uint8_t>(lie >> (8 * i));
        }
        break;
    case 3:   // a lying 16-bit count (texts, item lists)
        if (stream && stream->size() >= 2) {
            const size_t at = random.Below(static_cast<uint32_t>(stream->size() - 1));
            const uint16_t lie = random.Below(2) ? 0xFFFF : static_cast<uint16_t>(random.Next());
            (*stream)[at] = static_cast<uint8_t>(lie);
            (*stream)[at + 1] = static_cast<uint8_t>(lie >> 8);
        }
        break;
    case 4:   // an element missing
        if (!content.storages.empty() && random.Below(2)) {
            auto it = content.storages.begin();
            std::advance(it, random.Below(static_cast<uint32_t>(content.storages.size())));
            content.storages.erase(it);
        } else if (!content.streams.empty()) {
            auto it = content.streams.begin();
            std::advance(it, random.Below(static_cast<uint32_t>(content.streams.size())));
            content.streams.erase(it);
        }
        break;
    case 5:   // garbage appended
        if (stream) {
            for (uint32_t extra = random.Below(64); extra > 0; --extra)
                stream->push_back(static_cast<uint8_t>(random.Next()));
        }
        break;
    default:  // emptied
        if (stream)
            stream->clear();
        break;
    }
}

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
    const std::vector<CompoundContent> templates = Templates();
    Random random(0x1badf11e);
    int opened = 0;
    const int cases = 3000;
    for (int i = 0; i < cases; ++i) {
        CompoundContent content = templates[static_cast<size_t>(i) % templates.size()];
        for (uint32_t damages = 1 + random.Below(3); damages > 0; --damages)
            Damage(content, random);
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
            ASSERT_GE(toolbar.ButtonsPerLine(), 1) << i;
            ASSERT_LE(toolbar.ButtonsPerLine(), 16) << i;
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
    const std::vector<CompoundContent> templates = Templates();
    const std::string folder = CorpusFolder();
    Random random(0x5eed);
    std::string arguments = "check";
    const int files = 150;
    for (int i = 0; i < files; ++i) {
        CompoundContent content = templates[static_cast<size_t>(i) % templates.size()];
        Damage(content, random);
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
