#include "CompoundDamage.h"

#include "ToolbarFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr size_t kHeaderFatCount = 0x2C;
constexpr size_t kHeaderDirectoryStart = 0x30;
constexpr size_t kHeaderMiniCutoff = 0x38;
constexpr size_t kHeaderMiniFatStart = 0x3C;
constexpr size_t kHeaderMiniFatCount = 0x40;
constexpr size_t kHeaderDifatStart = 0x44;
constexpr size_t kHeaderDifatCount = 0x48;
constexpr size_t kHeaderDifat = 0x4C;
constexpr size_t kHeaderDifatEntries = 109;

constexpr size_t kEntrySize = 128;
constexpr size_t kEntryNameLength = 0x40;
constexpr size_t kEntryType = 0x42;
constexpr size_t kEntryLeft = 0x44;
constexpr size_t kEntryRight = 0x48;
constexpr size_t kEntryChild = 0x4C;
constexpr size_t kEntryStart = 0x74;
constexpr size_t kEntrySizeField = 0x78;

const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        return kFreeSector;
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8
           | static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint16_t Get16(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        return 0xFFFF;
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Writes that would fall outside the image are dropped: an offset of 0 marks
// a place the tables do not have, and the header is never written through it.
void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    if (at == 0 || at + 4 > bytes.size())
        return;
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    if (at == 0 || at + 2 > bytes.size())
        return;
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

std::vector<uint32_t> Follow(uint32_t start, const std::vector<uint32_t>& table, uint32_t limit)
{
    std::vector<uint32_t> chain;
    std::vector<bool> seen(table.size());
    for (uint32_t sector = start; sector < table.size() && sector < limit && !seen[sector]; sector = table[sector]) {
        seen[sector] = true;
        chain.push_back(sector);
    }
    return chain;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

template <class... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

template <class T, size_t N>
T PickFrom(Random& random, const T (&values)[N])
{
    return values[random.Below(N)];
}

uint32_t PickFrom(Random& random, const std::vector<uint32_t>& values)
{
    return values.empty() ? 0 : values[random.Below(static_cast<uint32_t>(values.size()))];
}

struct LinkField {
    size_t offset;
    const char* name;
};
const LinkField kLinks[] = {{kEntryLeft, "left"}, {kEntryRight, "right"}, {kEntryChild, "child"}};

std::vector<uint32_t> EntriesWhere(const CompoundLayout& layout, bool (*wanted)(const DirectoryEntry&))
{
    std::vector<uint32_t> found;
    for (uint32_t i = 0; i < layout.entries.size(); ++i) {
        if (wanted(layout.entries[i]))
            found.push_back(i);
    }
    return found;
}

bool IsUsed(const DirectoryEntry& entry)
{
    return entry.type != kEntryFree;
}

bool IsFree(const DirectoryEntry& entry)
{
    return entry.type == kEntryFree;
}

bool HasParent(const DirectoryEntry& entry)
{
    return entry.type != kEntryFree && entry.parent != kNoEntry;
}

bool HasData(const DirectoryEntry& entry)
{
    return entry.type == kEntryStream || entry.type == kEntryRoot;
}

std::string EntryText(const CompoundLayout& layout, uint32_t entry)
{
    return Format("entry %u (%s)", entry, Narrow(layout.entries[entry].name).c_str());
}

// Sets one link of an entry; a stream has only sibling links.
std::string SetLink(std::vector<uint8_t>& image, const CompoundLayout& layout, uint32_t entry, uint32_t target,
                    Random& random)
{
    const bool hasChild = layout.entries[entry].type == kEntryStorage || layout.entries[entry].type == kEntryRoot;
    const LinkField& link = kLinks[random.Below(hasChild ? 3 : 2)];
    Put32(image, layout.EntryOffset(entry) + link.offset, target);
    return Format("%s %s -> %u", EntryText(layout, entry).c_str(), link.name, target);
}

// A sector chain in the FAT or, for a small stream, in the miniFAT.
struct SectorChain {
    bool mini;
    std::vector<uint32_t> sectors;
    std::string what;
};

std::vector<SectorChain> Chains(const CompoundLayout& layout)
{
    std::vector<SectorChain> chains;
    auto add = [&](bool mini, std::vector<uint32_t> sectors, const std::string& what) {
        if (!sectors.empty())
            chains.push_back({mini, std::move(sectors), what});
    };
    add(false, layout.directoryChain, "directory");
    add(false, layout.miniFatChain, "miniFAT");
    add(false, layout.miniStreamChain, "mini stream");
    for (const DirectoryEntry& entry : layout.entries) {
        if (entry.type != kEntryStream)
            continue;
        const bool mini = entry.size < layout.miniCutoff;
        add(mini, layout.Chain(entry.start, mini), Narrow(entry.name));
    }
    return chains;
}

std::string SetNext(std::vector<uint8_t>& image, const CompoundLayout& layout, const SectorChain& chain, size_t at,
                    uint32_t next)
{
    const uint32_t sector = chain.sectors[at];
    Put32(image, chain.mini ? layout.MiniFatEntryOffset(sector) : layout.FatEntryOffset(sector), next);
    return Format("%s chain of %s, link %u of %u: %u -> %08x", chain.mini ? "miniFAT" : "FAT", chain.what.c_str(),
                  static_cast<unsigned>(at), static_cast<unsigned>(chain.sectors.size()), sector, next);
}

// A sector number that is wrong for a header field in one of the ways a
// reader can stumble on.
uint32_t WrongSector(const CompoundLayout& layout, uint32_t current, Random& random)
{
    const std::vector<uint32_t> candidates = {
        layout.sectorCount + random.Below(64),
        kFreeSector,
        kEndOfChain,
        kFatSector,
        layout.fatSectors.empty() ? 0 : layout.fatSectors[0],
        PickFrom(random, layout.directoryChain),
        PickFrom(random, layout.miniFatChain),
        PickFrom(random, layout.miniStreamChain),
        random.Below(layout.sectorCount + 1),
        random.Next(),
    };
    uint32_t value = current;
    for (int attempt = 0; attempt < 8 && value == current; ++attempt)
        value = PickFrom(random, candidates);
    return value == current ? current + 1 : value;
}

std::string Truncate(std::vector<uint8_t>& image, const CompoundLayout& layout, Random& random)
{
    if (image.size() < 2)
        return "too short to truncate";
    const size_t unit = layout.sectorSize ? layout.sectorSize : 512;
    const size_t units = (image.size() + unit - 1) / unit;
    const size_t start = random.Below(static_cast<uint32_t>(units)) * unit;
    const size_t length = std::min(unit, image.size() - start);
    const size_t cut = length > 1 ? start + 1 + random.Below(static_cast<uint32_t>(length - 1)) : start;
    const std::string text = Format("cut from %u to %u bytes", static_cast<unsigned>(image.size()),
                                    static_cast<unsigned>(cut));
    image.resize(cut);
    return text;
}

std::string DamageDirectory(std::vector<uint8_t>& image, const CompoundLayout& layout, ContainerDamage kind,
                            Random& random)
{
    const std::vector<uint32_t> used = EntriesWhere(layout, IsUsed);
    if (used.empty())
        return Truncate(image, layout, random);
    const uint32_t entry = PickFrom(random, used);
    const uint32_t entryCount = static_cast<uint32_t>(layout.entries.size());
    const size_t at = layout.EntryOffset(entry);
    switch (kind) {
    case ContainerDamage::LinkToSelf:
        return SetLink(image, layout, entry, entry, random);
    case ContainerDamage::LinkToAncestor: {
        const std::vector<uint32_t> below = EntriesWhere(layout, HasParent);
        if (below.empty())
            return SetLink(image, layout, entry, entry, random);
        const uint32_t lower = PickFrom(random, below);
        std::vector<uint32_t> ancestors;
        for (uint32_t up = layout.entries[lower].parent; up != kNoEntry && ancestors.size() < entryCount;
             up = layout.entries[up].parent)
            ancestors.push_back(up);
        return SetLink(image, layout, lower, PickFrom(random, ancestors), random);
    }
    case ContainerDamage::LinkToRandomEntry:
        return SetLink(image, layout, entry, random.Below(entryCount), random);
    case ContainerDamage::LinkToFreeEntry: {
        const std::vector<uint32_t> free = EntriesWhere(layout, IsFree);
        if (!free.empty())
            return SetLink(image, layout, entry, PickFrom(random, free), random);
        return "no free entry: " + SetLink(image, layout, entry, entryCount + random.Below(16), random);
    }
    case ContainerDamage::LinkOutOfRange: {
        const uint32_t targets[] = {entryCount, entryCount + 1 + random.Below(1000), 0xFFFFFFFA, kEndOfChain,
                                    0x7FFFFFFF, 0x80000000};
        return SetLink(image, layout, entry, PickFrom(random, targets), random);
    }
    case ContainerDamage::EntryType: {
        const uint32_t any = random.Below(4) ? entry : random.Below(entryCount);
        const uint8_t types[] = {kEntryFree, kEntryStorage, kEntryStream, 3, 4, kEntryRoot, 0x42, 0xFF};
        uint8_t type = layout.entries[any].type;
        while (type == layout.entries[any].type)
            type = PickFrom(random, types);
        if (const size_t anyAt = layout.EntryOffset(any); anyAt && anyAt + kEntryType < image.size())
            image[anyAt + kEntryType] = type;
        return Format("%s type %u -> %u", EntryText(layout, any).c_str(), layout.entries[any].type, type);
    }
    case ContainerDamage::NameLength: {
        const uint16_t real = static_cast<uint16_t>((layout.entries[entry].name.size() + 1) * 2);
        if (random.Below(5) == 0) {
            // The terminator gone, and the length telling the truth about it.
            for (size_t i = real - 2; i < 64 && at + i < image.size(); i += 2)
                image[at + i] = 'X';
            return EntryText(layout, entry) + " name without its terminator";
        }
        const uint16_t lengths[] = {0, 1, 3, static_cast<uint16_t>(real - 2), static_cast<uint16_t>(real + 2),
                                    63, 64, 66, 0x80, 0xFFFF};
        const uint16_t length = PickFrom(random, lengths);
        Put16(image, at + kEntryNameLength, length);
        return Format("%s name length %u -> %u", EntryText(layout, entry).c_str(), real, length);
    }
    case ContainerDamage::StartSector: {
        const std::vector<uint32_t> withData = EntriesWhere(layout, HasData);
        const uint32_t target = withData.empty() ? entry : PickFrom(random, withData);
        const DirectoryEntry& data = layout.entries[target];
        const bool mini = data.type == kEntryStream && data.size < layout.miniCutoff;
        const uint32_t limit = mini ? static_cast<uint32_t>(layout.miniFat.size()) : layout.sectorCount;
        const uint32_t starts[] = {limit + random.Below(64), kEndOfChain, kFreeSector, kFatSector,
                                   random.Below(limit + 1), data.start + 1, random.Next()};
        const uint32_t start = PickFrom(random, starts);
        Put32(image, layout.EntryOffset(target) + kEntryStart, start);
        return Format("%s start %u -> %u", EntryText(layout, target).c_str(), data.start, start);
    }
    case ContainerDamage::StreamSize: {
        const std::vector<uint32_t> withData = EntriesWhere(layout, HasData);
        const uint32_t target = withData.empty() ? entry : PickFrom(random, withData);
        const uint32_t size = static_cast<uint32_t>(layout.entries[target].size);
        const uint32_t sizes[] = {0, size + 1, size * 2 + 4096, layout.miniCutoff - 1, layout.miniCutoff,
                                  0x7FFFFFFF, 0xFFFFFFFF, random.Next()};
        const size_t sizeAt = layout.EntryOffset(target) + kEntrySizeField;
        if (random.Below(6) == 0) {
            // The high half, which a version-3 file leaves zero.
            Put32(image, sizeAt + 4, 1 + random.Below(0xFFFF));
            return EntryText(layout, target) + " size above 4 GB";
        }
        const uint32_t lie = PickFrom(random, sizes);
        Put32(image, sizeAt, lie);
        return Format("%s size %u -> %u", EntryText(layout, target).c_str(), size, lie);
    }
    default:
        return Truncate(image, layout, random);
    }
}

std::string DamageChain(std::vector<uint8_t>& image, const CompoundLayout& layout, ContainerDamage kind,
                        Random& random)
{
    const std::vector<SectorChain> chains = Chains(layout);
    if (chains.empty())
        return Truncate(image, layout, random);
    std::vector<const SectorChain*> longer;
    for (const SectorChain& chain : chains) {
        if (chain.sectors.size() > 1)
            longer.push_back(&chain);
    }
    const bool needsLength = kind == ContainerDamage::ChainEndsEarly || kind == ContainerDamage::ChainFreeInMiddle;
    const SectorChain& chain = needsLength && !longer.empty()
                                   ? *longer[random.Below(static_cast<uint32_t>(longer.size()))]
                                   : chains[random.Below(static_cast<uint32_t>(chains.size()))];
    const uint32_t length = static_cast<uint32_t>(chain.sectors.size());
    // Not the last link, where the chain has more than one.
    const size_t middle = length > 1 ? random.Below(length - 1) : 0;
    const size_t any = random.Below(length);
    const uint32_t limit = chain.mini ? static_cast<uint32_t>(layout.miniFat.size()) : layout.sectorCount;
    switch (kind) {
    case ContainerDamage::ChainLoop:
        return SetNext(image, layout, chain, any, chain.sectors[random.Below(static_cast<uint32_t>(any + 1))]);
    case ContainerDamage::ChainPastEnd: {
        const uint32_t targets[] = {limit, limit + 1 + random.Below(1000), 0xFFFFFFFA, 0x7FFFFFFF, kFatSector,
                                    kDifatSector};
        return SetNext(image, layout, chain, any, PickFrom(random, targets));
    }
    case ContainerDamage::ChainFreeInMiddle:
        return SetNext(image, layout, chain, middle, kFreeSector);
    case ContainerDamage::ChainEndsEarly:
        return SetNext(image, layout, chain, middle, kEndOfChain);
    default:
        return Truncate(image, layout, random);
    }
}

std::string DamageDifat(std::vector<uint8_t>& image, const CompoundLayout& layout, Random& random)
{
    const uint32_t fatCount = static_cast<uint32_t>(layout.fatSectors.size());
    const uint32_t wrong[] = {kFreeSector,
                              kEndOfChain,
                              layout.sectorCount + random.Below(64),
                              layout.directoryChain.empty() ? 0 : layout.directoryChain[0],
                              fatCount ? layout.fatSectors[random.Below(fatCount)] + 1 : 1,
                              random.Next()};
    switch (random.Below(layout.difatSectors.empty() ? 2 : 3)) {
    case 0: {
        // Mostly a FAT sector in use; sometimes the first slot past them.
        uint32_t slot = random.Below(fatCount ? fatCount : 1);
        if (random.Below(4) == 0 && fatCount < kHeaderDifatEntries)
            slot = fatCount;
        const uint32_t value = PickFrom(random, wrong);
        Put32(image, kHeaderDifat + 4 * slot, value);
        return Format("header DIFAT slot %u -> %08x", slot, value);
    }
    case 1: {
        const uint32_t start = WrongSector(layout, Get32(image, kHeaderDifatStart), random);
        Put32(image, kHeaderDifatStart, start);
        if (Get32(image, kHeaderDifatCount) == 0)
            Put32(image, kHeaderDifatCount, 1 + random.Below(3));
        return Format("first DIFAT sector -> %08x", start);
    }
    default: {
        const uint32_t sector = PickFrom(random, layout.difatSectors);
        const uint32_t perSector = layout.sectorSize / 4;
        const size_t at = layout.SectorOffset(sector);
        if (random.Below(2)) {
            Put32(image, at + 4 * (perSector - 1), sector);
            return Format("DIFAT sector %u linked to itself", sector);
        }
        const uint32_t slot = random.Below(perSector - 1);
        const uint32_t value = PickFrom(random, wrong);
        Put32(image, at + 4 * slot, value);
        return Format("DIFAT sector %u slot %u -> %08x", sector, slot, value);
    }
    }
}

std::string DamageHeader(std::vector<uint8_t>& image, const CompoundLayout& layout, ContainerDamage kind,
                         Random& random)
{
    if (kind == ContainerDamage::DirectoryStart || kind == ContainerDamage::MiniFatStart) {
        const size_t at = kind == ContainerDamage::DirectoryStart ? kHeaderDirectoryStart : kHeaderMiniFatStart;
        const uint32_t current = Get32(image, at);
        const uint32_t start = WrongSector(layout, current, random);
        Put32(image, at, start);
        return Format("%s start %u -> %08x", kind == ContainerDamage::DirectoryStart ? "directory" : "miniFAT",
                      current, start);
    }
    struct Field {
        size_t offset;
        int bytes;
        const char* name;
        std::vector<uint32_t> values;
    };
    const uint32_t fatCount = Get32(image, kHeaderFatCount);
    const uint32_t miniFatCount = Get32(image, kHeaderMiniFatCount);
    const uint32_t difatCount = Get32(image, kHeaderDifatCount);
    const Field fields[] = {
        {kHeaderFatCount, 4, "FAT sectors", {0, fatCount + 1, fatCount + 109, 110, 0xFFFFFFFF, 0x80000000, random.Next()}},
        {kHeaderMiniFatCount, 4, "miniFAT sectors", {0, miniFatCount + 1, 0xFFFFFFFF, random.Next()}},
        {kHeaderDifatCount, 4, "DIFAT sectors", {difatCount + 1, 0xFFFFFFFF, random.Next()}},
        {0x28, 4, "directory sectors", {1, 0xFFFFFFFF, random.Next()}},
        {0x1E, 2, "sector shift", {0, 7, 12, 16, 31, 0xFFFF}},
        {0x20, 2, "mini sector shift", {0, 9, 12, 31}},
        {kHeaderMiniCutoff, 4, "mini stream cutoff", {0, 64, 0xFFFFFFFF}},
    };
    const Field& field = fields[random.Below(static_cast<uint32_t>(std::size(fields)))];
    const uint32_t value = PickFrom(random, field.values);
    if (field.bytes == 2)
        Put16(image, field.offset, static_cast<uint16_t>(value));
    else
        Put32(image, field.offset, value);
    return Format("%s -> %u", field.name, value);
}

} // namespace

const char* ContainerDamageName(ContainerDamage kind)
{
    static const char* const names[] = {
        "link to self", "link to ancestor", "link to random entry", "link out of range", "link to free entry",
        "entry type", "name length", "start sector", "stream size", "chain loop", "chain past end",
        "chain free in middle", "chain ends early", "DIFAT", "directory start", "miniFAT start", "sector counts",
        "truncated"};
    static_assert(std::size(names) == static_cast<size_t>(ContainerDamage::kCount), "a name for every kind");
    const auto index = static_cast<size_t>(kind);
    return index < std::size(names) ? names[index] : "?";
}

size_t CompoundLayout::EntryOffset(uint32_t entry) const
{
    const uint32_t perSector = sectorSize / kEntrySize;
    const uint32_t index = entry / perSector;
    if (index >= directoryChain.size())
        return 0;
    return SectorOffset(directoryChain[index]) + (entry % perSector) * kEntrySize;
}

size_t CompoundLayout::FatEntryOffset(uint32_t sector) const
{
    const uint32_t perSector = sectorSize / 4;
    const uint32_t index = sector / perSector;
    if (index >= fatSectors.size() || fatSectors[index] >= sectorCount)
        return 0;
    return SectorOffset(fatSectors[index]) + (sector % perSector) * 4;
}

size_t CompoundLayout::MiniFatEntryOffset(uint32_t sector) const
{
    const uint32_t perSector = sectorSize / 4;
    const uint32_t index = sector / perSector;
    if (index >= miniFatChain.size())
        return 0;
    return SectorOffset(miniFatChain[index]) + (sector % perSector) * 4;
}

uint32_t CompoundLayout::Find(const std::wstring& name) const
{
    for (uint32_t i = 0; i < entries.size(); ++i) {
        if (entries[i].type != kEntryFree && entries[i].name == name)
            return i;
    }
    return kNoEntry;
}

std::vector<uint32_t> CompoundLayout::Chain(uint32_t start, bool mini) const
{
    return mini ? Follow(start, miniFat, static_cast<uint32_t>(miniFat.size())) : Follow(start, fat, sectorCount);
}

bool ParseCompoundImage(const std::vector<uint8_t>& image, CompoundLayout& layout)
{
    layout = CompoundLayout{};
    if (image.size() < 512 || std::memcmp(image.data(), kSignature, sizeof kSignature) != 0)
        return false;
    const uint16_t shift = Get16(image, 0x1E);
    const uint16_t miniShift = Get16(image, 0x20);
    if ((shift != 9 && shift != 12) || miniShift >= shift)
        return false;
    layout.sectorSize = 1u << shift;
    layout.miniSectorSize = 1u << miniShift;
    layout.miniCutoff = Get32(image, kHeaderMiniCutoff);
    layout.sectorCount = image.size() > layout.sectorSize
                             ? static_cast<uint32_t>((image.size() - 1) / layout.sectorSize)
                             : 0;
    const uint32_t perSector = layout.sectorSize / 4;

    const uint32_t fatCount = Get32(image, kHeaderFatCount);
    for (size_t i = 0; i < kHeaderDifatEntries && layout.fatSectors.size() < fatCount; ++i)
        layout.fatSectors.push_back(Get32(image, kHeaderDifat + 4 * i));
    std::vector<bool> seen(layout.sectorCount);
    for (uint32_t difat = Get32(image, kHeaderDifatStart);
         layout.fatSectors.size() < fatCount && difat < layout.sectorCount && !seen[difat];
         difat = Get32(image, layout.SectorOffset(difat) + 4 * (perSector - 1))) {
        seen[difat] = true;
        layout.difatSectors.push_back(difat);
        for (uint32_t i = 0; i + 1 < perSector && layout.fatSectors.size() < fatCount; ++i)
            layout.fatSectors.push_back(Get32(image, layout.SectorOffset(difat) + 4 * i));
    }
    for (uint32_t sector : layout.fatSectors) {
        for (uint32_t i = 0; i < perSector; ++i)
            layout.fat.push_back(sector < layout.sectorCount ? Get32(image, layout.SectorOffset(sector) + 4 * i)
                                                             : kFreeSector);
    }

    layout.directoryChain = layout.Chain(Get32(image, kHeaderDirectoryStart), false);
    layout.miniFatChain = layout.Chain(Get32(image, kHeaderMiniFatStart), false);
    for (uint32_t sector : layout.miniFatChain) {
        for (uint32_t i = 0; i < perSector; ++i)
            layout.miniFat.push_back(Get32(image, layout.SectorOffset(sector) + 4 * i));
    }

    const uint32_t entryCount = static_cast<uint32_t>(layout.directoryChain.size() * (layout.sectorSize / kEntrySize));
    for (uint32_t i = 0; i < entryCount; ++i) {
        const size_t at = layout.EntryOffset(i);
        DirectoryEntry entry;
        const uint16_t nameBytes = Get16(image, at + kEntryNameLength);
        for (size_t c = 0; c + 2 < nameBytes && c < 62; c += 2)
            entry.name.push_back(static_cast<wchar_t>(Get16(image, at + c)));
        entry.type = at + kEntryType < image.size() ? image[at + kEntryType] : kEntryFree;
        entry.left = Get32(image, at + kEntryLeft);
        entry.right = Get32(image, at + kEntryRight);
        entry.child = Get32(image, at + kEntryChild);
        entry.start = Get32(image, at + kEntryStart);
        entry.size = Get32(image, at + kEntrySizeField) | static_cast<uint64_t>(Get32(image, at + kEntrySizeField + 4)) << 32;
        layout.entries.push_back(entry);
    }
    if (layout.entries.empty())
        return true;
    layout.miniStreamChain = layout.Chain(layout.entries[0].start, false);

    // The tree from the root, each entry reached once at most.
    std::vector<bool> reached(layout.entries.size());
    std::vector<uint32_t> pending = {0};
    reached[0] = true;
    while (!pending.empty()) {
        const uint32_t from = pending.back();
        pending.pop_back();
        const DirectoryEntry& entry = layout.entries[from];
        for (uint32_t to : {entry.left, entry.right, entry.child}) {
            if (to < layout.entries.size() && !reached[to]) {
                reached[to] = true;
                layout.entries[to].parent = from;
                pending.push_back(to);
            }
        }
    }
    return true;
}

std::vector<uint8_t> CompoundImage(const CompoundContent& content)
{
    const std::string path = TempPath("image-" + std::to_string(GetCurrentProcessId()) + ".tmp");
    std::vector<uint8_t> image;
    if (WriteCompoundFile(path, content))
        image = ReadWholeFile(path);
    DeleteFileA(path.c_str());
    return image;
}

std::string DamageContainer(std::vector<uint8_t>& image, ContainerDamage kind, Random& random)
{
    CompoundLayout layout;
    std::string done;
    if (!ParseCompoundImage(image, layout)) {
        done = Truncate(image, layout, random);
    } else {
        switch (kind) {
        case ContainerDamage::LinkToSelf:
        case ContainerDamage::LinkToAncestor:
        case ContainerDamage::LinkToRandomEntry:
        case ContainerDamage::LinkOutOfRange:
        case ContainerDamage::LinkToFreeEntry:
        case ContainerDamage::EntryType:
        case ContainerDamage::NameLength:
        case ContainerDamage::StartSector:
        case ContainerDamage::StreamSize:
            done = DamageDirectory(image, layout, kind, random);
            break;
        case ContainerDamage::ChainLoop:
        case ContainerDamage::ChainPastEnd:
        case ContainerDamage::ChainFreeInMiddle:
        case ContainerDamage::ChainEndsEarly:
            done = DamageChain(image, layout, kind, random);
            break;
        case ContainerDamage::Difat:
            done = DamageDifat(image, layout, random);
            break;
        case ContainerDamage::DirectoryStart:
        case ContainerDamage::MiniFatStart:
        case ContainerDamage::SectorCounts:
            done = DamageHeader(image, layout, kind, random);
            break;
        default:
            done = Truncate(image, layout, random);
            break;
        }
    }
    return std::string(ContainerDamageName(kind)) + ": " + done;
}

std::string DamageContainer(std::vector<uint8_t>& image, Random& random)
{
    return DamageContainer(image, static_cast<ContainerDamage>(random.Below(static_cast<uint32_t>(ContainerDamage::kCount))),
                           random);
}

bool CutFromDirectory(std::vector<uint8_t>& image, const std::wstring& name)
{
    CompoundLayout layout;
    if (!ParseCompoundImage(image, layout))
        return false;
    const uint32_t target = layout.Find(name);
    if (target == kNoEntry || layout.entries[target].parent == kNoEntry)
        return false;
    const uint32_t parent = layout.entries[target].parent;
    // Climb the sibling links to the top of the tree: it is the entry its
    // storage reaches by its child link.
    uint32_t top = target;
    for (size_t steps = 0; steps < layout.entries.size(); ++steps) {
        const uint32_t up = layout.entries[top].parent;
        if (up == kNoEntry || layout.entries[up].child == top)
            break;
        top = up;
    }
    // When the entry is the top itself, its storage takes the link instead.
    const uint32_t back = top == target ? parent : top;
    for (const LinkField& link : kLinks) {
        const size_t at = layout.EntryOffset(parent) + link.offset;
        if (Get32(image, at) == target) {
            Put32(image, at, back);
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> ButtonsCutOffToolbar(const std::string& toolbarName)
{
    RecordValues values;
    values.name = toolbarName;
    std::vector<uint8_t> image = CompoundImage(FileWith(values, 0x23000, 4));
    if (image.empty() || !CutFromDirectory(image, L"BUTTON001"))
        return {};
    return image;
}
