// Damage to the container of a compound file, made byte by byte in a whole
// image: its directory tree, allocation tables, sector chains and header -
// what the structured storage itself walks before any stream is read.  (The
// corpus of damaged stream contents works on CompoundContent instead.)
#pragma once

#include "CompoundFile.h"
#include "Random.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ContainerDamage {
    // Directory entries.
    LinkToSelf,
    LinkToAncestor,
    LinkToRandomEntry,
    LinkOutOfRange,
    LinkToFreeEntry,
    EntryType,
    NameLength,
    StartSector,
    StreamSize,
    // Allocation tables (the FAT, or the miniFAT for a small stream's chain).
    ChainLoop,
    ChainPastEnd,
    ChainFreeInMiddle,
    ChainEndsEarly,
    Difat,
    // Header.
    DirectoryStart,
    MiniFatStart,
    SectorCounts,
    // The file itself.
    Truncated,
    kCount
};

const char* ContainerDamageName(ContainerDamage kind);

constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kNoEntry = 0xFFFFFFFF;

constexpr uint8_t kEntryFree = 0;
constexpr uint8_t kEntryStorage = 1;
constexpr uint8_t kEntryStream = 2;
constexpr uint8_t kEntryRoot = 5;

struct DirectoryEntry {
    std::wstring name;
    uint8_t type = kEntryFree;
    uint32_t left = kNoEntry;
    uint32_t right = kNoEntry;
    uint32_t child = kNoEntry;
    uint32_t start = kEndOfChain;
    uint64_t size = 0;
    // The entry whose link reaches this one in the tree under the root
    // (kNoEntry for the root and for entries the tree does not reach).
    uint32_t parent = kNoEntry;
};

// What the header and tables of an image say, read without trusting them:
// chains stop at a loop or at a sector outside the file.
struct CompoundLayout {
    uint32_t sectorSize = 512;
    uint32_t miniSectorSize = 64;
    uint32_t miniCutoff = 4096;
    // Sectors after the header that the image holds, the last perhaps in part.
    uint32_t sectorCount = 0;
    std::vector<uint32_t> fatSectors;
    std::vector<uint32_t> difatSectors;
    std::vector<uint32_t> fat;
    std::vector<uint32_t> miniFat;
    std::vector<uint32_t> directoryChain;
    std::vector<uint32_t> miniFatChain;
    std::vector<uint32_t> miniStreamChain;
    std::vector<DirectoryEntry> entries;

    size_t SectorOffset(uint32_t sector) const { return (static_cast<size_t>(sector) + 1) * sectorSize; }
    // Offsets in the image, 0 where the tables do not place the entry.
    size_t EntryOffset(uint32_t entry) const;
    size_t FatEntryOffset(uint32_t sector) const;
    size_t MiniFatEntryOffset(uint32_t sector) const;
    // A used entry of that name, or kNoEntry.
    uint32_t Find(const std::wstring& name) const;
    std::vector<uint32_t> Chain(uint32_t start, bool mini) const;
};

bool ParseCompoundImage(const std::vector<uint8_t>& image, CompoundLayout& layout);

// The bytes of a compound file holding the content, as StgCreateDocfile
// writes it on disk (empty when it cannot be written).
std::vector<uint8_t> CompoundImage(const CompoundContent& content);

// One damage of the kind; the generator makes every choice within it.
// Returns what was done, for failure messages.
std::string DamageContainer(std::vector<uint8_t>& image, ContainerDamage kind, Random& random);
// One damage of a kind chosen by the generator.
std::string DamageContainer(std::vector<uint8_t>& image, Random& random);

// Turns the directory link that leads to the named entry back to the top of
// the tree it hangs in: the entry and everything below it drop out of the
// directory, and a look-up by any of their names goes round for ever.
bool CutFromDirectory(std::vector<uint8_t>& image, const std::wstring& name);

// The damaged toolbar file that hung the program at start-up: a current
// toolbar of four spaces whose directory no longer reaches BUTTON001 to
// BUTTON003, with a cycle in their place.
std::vector<uint8_t> ButtonsCutOffToolbar(const std::string& toolbarName);
