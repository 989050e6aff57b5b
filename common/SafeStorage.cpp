#include "SafeStorage.h"

#include "ComObject.h"
#include "ComPtr.h"
#include "ScopedHandle.h"
#include "Text.h"
#include "TraceLog.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

// ---------------------------------------------------------------- the container check

constexpr uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr uint32_t kNoEntry = 0xFFFFFFFFu;
constexpr size_t kHeaderSize = 512;
constexpr size_t kEntrySize = 128;
constexpr size_t kHeaderFatSlots = 109;
constexpr size_t kMiniSectorSize = 64;
constexpr BYTE kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
enum : BYTE { kEntryStorage = 1, kEntryStream = 2, kEntryRoot = 5 };

uint32_t Le32(const BYTE* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16
           | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Le16(const BYTE* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// A compound-file image taken apart far enough to know that every walk the
// structured storage makes over it ends: sector chains end at end-of-chain
// without revisiting a sector, and each storage's tree of entries reaches
// only entries that exist, each of them once.
class CCompoundImage
{
public:
    CCompoundImage(const BYTE* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    bool IsSound()
    {
        return ReadHeader() && ReadFat() && ReadDirectory() && ReadMiniFat() && CheckTree();
    }

private:
    // A sector of the file; the last one may be cut short, which the
    // structured storage reads as if padded with zeros.
    uint32_t SectorWord(uint32_t sector, size_t index) const
    {
        const size_t offset = (static_cast<size_t>(sector) + 1) * m_sectorSize + index * 4;
        if (offset + 4 > m_size)
            return 0;
        return Le32(m_bytes + offset);
    }

    bool ReadHeader()
    {
        if (m_size < kHeaderSize || std::memcmp(m_bytes, kSignature, sizeof kSignature) != 0)
            return false;
        if (Le16(m_bytes + 28) != 0xFFFE)
            return false;
        const uint16_t sectorShift = Le16(m_bytes + 30);
        if ((sectorShift != 9 && sectorShift != 12) || Le16(m_bytes + 32) != 6)
            return false;
        m_sectorSize = size_t{1} << sectorShift;
        m_version4 = sectorShift == 12;
        if (m_size <= m_sectorSize)
            return false;
        const size_t body = m_size - m_sectorSize;
        const size_t sectors = (body + m_sectorSize - 1) / m_sectorSize;
        if (sectors >= 0xFFFFFFF0u)
            return false;
        m_sectorCount = static_cast<uint32_t>(sectors);
        m_miniCutoff = Le32(m_bytes + 56);
        return true;
    }

    // Follows a chain through a table.  False when it leaves the table or the
    // sectors that exist, revisits a sector, or ends on anything but the
    // end-of-chain mark.
    bool Chain(uint32_t start, const std::vector<uint32_t>& table, uint32_t limit, std::vector<uint32_t>* sectors)
    {
        if (sectors)
            sectors->clear();
        if (m_visits.size() < table.size())
            m_visits.assign(table.size(), 0);
        if (++m_visitStamp == 0) {
            std::fill(m_visits.begin(), m_visits.end(), 0);
            m_visitStamp = 1;
        }
        uint32_t current = start;
        while (current != kEndOfChain) {
            if (current >= limit || current >= table.size() || m_visits[current] == m_visitStamp)
                return false;
            m_visits[current] = m_visitStamp;
            if (sectors)
                sectors->push_back(current);
            current = table[current];
        }
        return true;
    }

    bool ReadFat()
    {
        const uint32_t fatSectors = Le32(m_bytes + 44);
        if (fatSectors > m_sectorCount)
            return false;
        std::vector<uint32_t> fatSectorList;
        fatSectorList.reserve(fatSectors);
        for (size_t slot = 0; slot < kHeaderFatSlots && fatSectorList.size() < fatSectors; ++slot)
            fatSectorList.push_back(Le32(m_bytes + 76 + slot * 4));
        // The rest of the list stands in a chain of its own sectors, each
        // ending with the number of the next.
        // The structured storage takes the header's count of those sectors
        // at its word: it sizes a table by it and walks that many links
        // before it looks at a single one, so a count no file could hold
        // costs gigabytes before the open fails.  Every sector it counts
        // must exist, once each, even past the ones the table needs.
        const size_t perDifat = m_sectorSize / 4 - 1;
        const uint32_t difatCount = Le32(m_bytes + 72);
        if (difatCount > m_sectorCount)
            return false;
        uint32_t difat = Le32(m_bytes + 68);
        std::vector<bool> seen(m_sectorCount, false);
        for (uint32_t walked = 0; walked < difatCount || fatSectorList.size() < fatSectors; ++walked) {
            if (difat >= m_sectorCount || seen[difat])
                return false;
            seen[difat] = true;
            for (size_t i = 0; i < perDifat && fatSectorList.size() < fatSectors; ++i)
                fatSectorList.push_back(SectorWord(difat, i));
            difat = SectorWord(difat, perDifat);
        }
        const size_t perSector = m_sectorSize / 4;
        m_fat.reserve(fatSectorList.size() * perSector);
        for (uint32_t sector : fatSectorList) {
            if (sector >= m_sectorCount)
                return false;
            for (size_t i = 0; i < perSector; ++i)
                m_fat.push_back(SectorWord(sector, i));
        }
        return true;
    }

    const BYTE* Entry(uint32_t index) const
    {
        const size_t perSector = m_sectorSize / kEntrySize;
        const size_t offset = (static_cast<size_t>(m_directory[index / perSector]) + 1) * m_sectorSize
                              + (index % perSector) * kEntrySize;
        return offset + kEntrySize <= m_size ? m_bytes + offset : nullptr;
    }

    bool ReadDirectory()
    {
        if (!Chain(Le32(m_bytes + 48), m_fat, m_sectorCount, &m_directory) || m_directory.empty())
            return false;
        const size_t entries = m_directory.size() * (m_sectorSize / kEntrySize);
        m_entryCount = entries < kNoEntry ? static_cast<uint32_t>(entries) : kNoEntry - 1;
        const BYTE* root = Entry(0);
        return root && root[66] == kEntryRoot;
    }

    uint64_t StreamSize(const BYTE* entry) const
    {
        // Version 3 files keep only the low half; old writers left rubbish
        // in the high half, which readers ignore.
        const uint64_t low = Le32(entry + 120);
        return m_version4 ? low | static_cast<uint64_t>(Le32(entry + 124)) << 32 : low;
    }

    bool ReadMiniFat()
    {
        std::vector<uint32_t> miniFatSectors;
        // Writers disagree on how to mark a missing mini table; its count says it.
        if (Le32(m_bytes + 64) > m_sectorCount)
            return false;
        if (Le32(m_bytes + 64) != 0 && !Chain(Le32(m_bytes + 60), m_fat, m_sectorCount, &miniFatSectors))
            return false;
        const size_t perSector = m_sectorSize / 4;
        m_miniFat.reserve(miniFatSectors.size() * perSector);
        for (uint32_t sector : miniFatSectors) {
            for (size_t i = 0; i < perSector; ++i)
                m_miniFat.push_back(SectorWord(sector, i));
        }
        // The mini stream is the root entry's stream.
        const BYTE* root = Entry(0);
        std::vector<uint32_t> miniStream;
        if (StreamSize(root) != 0 && !Chain(Le32(root + 116), m_fat, m_sectorCount, &miniStream))
            return false;
        const uint64_t held = static_cast<uint64_t>(miniStream.size()) * (m_sectorSize / kMiniSectorSize);
        m_miniSectorCount = static_cast<uint32_t>(held < kNoEntry ? held : kNoEntry - 1);
        return true;
    }

    // A name's length counts its terminating zero, and the zero must be
    // there: the structured storage's listing of a storage does not end
    // when a name runs on past its length.
    static bool NameIsTerminated(const BYTE* entry)
    {
        const uint16_t length = Le16(entry + 64);
        if (length < 2 || length > 64 || length % 2 != 0)
            return false;
        for (uint16_t offset = 0; offset + 2 < length; offset += 2) {
            if (Le16(entry + offset) == 0)
                return false;
        }
        return Le16(entry + length - 2) == 0;
    }

    bool CheckStream(const BYTE* entry)
    {
        const uint64_t size = StreamSize(entry);
        if (size == 0)
            return true;
        if (size > m_size * uint64_t{2} + kMaxCompoundFileSize)
            return false;
        const uint32_t start = Le32(entry + 116);
        if (size < m_miniCutoff)
            return Chain(start, m_miniFat, m_miniSectorCount, nullptr);
        return Chain(start, m_fat, m_sectorCount, nullptr);
    }

    // Every storage's tree reaches existing storage and stream entries only,
    // and no entry is reached twice (from its own tree or another's).
    bool CheckTree()
    {
        std::vector<bool> reached(m_entryCount, false);
        reached[0] = true;
        std::vector<uint32_t> storages{0};
        std::vector<uint32_t> pending;
        while (!storages.empty()) {
            const uint32_t storage = storages.back();
            storages.pop_back();
            pending.assign(1, Le32(Entry(storage) + 76));
            while (!pending.empty()) {
                const uint32_t index = pending.back();
                pending.pop_back();
                if (index == kNoEntry)
                    continue;
                if (index >= m_entryCount || reached[index])
                    return false;
                reached[index] = true;
                const BYTE* entry = Entry(index);
                if (!entry || !NameIsTerminated(entry))
                    return false;
                const BYTE type = entry[66];
                if (type == kEntryStorage)
                    storages.push_back(index);
                else if (type != kEntryStream || !CheckStream(entry))
                    return false;
                pending.push_back(Le32(entry + 68));
                pending.push_back(Le32(entry + 72));
            }
        }
        return true;
    }

    const BYTE* m_bytes;
    size_t m_size;
    size_t m_sectorSize = 512;
    bool m_version4 = false;
    uint32_t m_sectorCount = 0;
    uint32_t m_miniCutoff = 4096;
    uint32_t m_entryCount = 0;
    uint32_t m_miniSectorCount = 0;
    std::vector<uint32_t> m_fat;
    std::vector<uint32_t> m_miniFat;
    std::vector<uint32_t> m_directory;
    std::vector<uint32_t> m_visits;
    uint32_t m_visitStamp = 0;
};

// ---------------------------------------------------------------- reading the image

using CImage = std::shared_ptr<const std::vector<BYTE>>;
using CParkFlag = std::shared_ptr<std::atomic<bool>>;

// Read-only lock bytes over an image in memory.  Once parked, the next read
// never returns: that is how a walk past its deadline is stopped without
// killing its thread, which might hold a lock of the process.
class CImageLockBytes final : public CComObject<CImageLockBytes, ILockBytes>
{
public:
    CImageLockBytes(CImage image, CParkFlag parked);

    STDMETHODIMP ReadAt(ULARGE_INTEGER offset, void* buffer, ULONG count, ULONG* read) override
    {
        while (m_parked->load())
            Sleep(INFINITE);
        const std::vector<BYTE>& bytes = *m_image;
        ULONG copied = 0;
        if (offset.QuadPart < bytes.size()) {
            const uint64_t left = bytes.size() - offset.QuadPart;
            copied = static_cast<ULONG>(left < count ? left : count);
            std::memcpy(buffer, bytes.data() + offset.QuadPart, copied);
        }
        if (read)
            *read = copied;
        return S_OK;
    }
    STDMETHODIMP WriteAt(ULARGE_INTEGER, const void*, ULONG, ULONG* written) override
    {
        if (written)
            *written = 0;
        return STG_E_ACCESSDENIED;
    }
    STDMETHODIMP Flush() override { return S_OK; }
    STDMETHODIMP SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override
    {
        if (!stat)
            return STG_E_INVALIDPOINTER;
        *stat = STATSTG{};
        stat->type = STGTY_LOCKBYTES;
        stat->cbSize.QuadPart = m_image->size();
        stat->grfMode = STGM_READ;
        return S_OK;
    }

private:
    ~CImageLockBytes() override = default;

    CImage m_image;
    CParkFlag m_parked;
};

const CComInterface kImageLockBytesInterfaces[] = {COM_INTERFACE(CImageLockBytes, ILockBytes)};

CImageLockBytes::CImageLockBytes(CImage image, CParkFlag parked)
    : CComObject(kImageLockBytesInterfaces, {}), m_image(std::move(image)), m_parked(std::move(parked))
{
}

// Opens every element a storage lists, and those of its storages, once: the
// calls a reader of the file will make, made where a deadline can stop them.
constexpr int kMaxDepth = 16;

// No storage of a toolbar file lists more than a few hundred elements; a
// listing that goes on past this bound is one that would never end.
constexpr long kMaxElements = 20000;

void WalkStorage(IStorage* storage, int depth, long& budget)
{
    CComPtr<IEnumSTATSTG> elements;
    if (depth > kMaxDepth || FAILED(storage->EnumElements(0, nullptr, 0, elements.put())))
        return;
    STATSTG stat{};
    while (--budget > 0 && elements->Next(1, &stat, nullptr) == S_OK) {
        if (stat.type == STGTY_STREAM) {
            CComPtr<IStream> stream;
            storage->OpenStream(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put());
        } else if (stat.type == STGTY_STORAGE) {
            CComPtr<IStorage> inner;
            if (SUCCEEDED(storage->OpenStorage(stat.pwcsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                               inner.put())))
                WalkStorage(inner.Get(), depth + 1, budget);
        }
        CoTaskMemFree(stat.pwcsName);
        stat = STATSTG{};
    }
}

// What the worker does, and what it hands back.  Shared by the worker and
// its caller, so that a caller that gave up leaves nothing dangling.
struct CStorageJob {
    CComPtr<ILockBytes> image;     // open this image ...
    CComPtr<IStorage> source;      // ... or copy this storage
    CComPtr<IStorage> result;
    HRESULT hr = E_FAIL;
};

DWORD WINAPI StorageWorker(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CStorageJob>> owner(static_cast<std::shared_ptr<CStorageJob>*>(parameter));
    CStorageJob& job = **owner;
    CComPtr<IStorage> root;
    HRESULT hr = S_OK;
    if (job.image) {
        hr = StgOpenStorageOnILockBytes(job.image.Get(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                        root.put());
    } else {
        CComPtr<ILockBytes> memory;
        hr = CreateILockBytesOnHGlobal(nullptr, TRUE, memory.put());
        if (SUCCEEDED(hr))
            hr = StgCreateDocfileOnILockBytes(memory.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                              root.put());
        if (SUCCEEDED(hr))
            hr = job.source->CopyTo(0, nullptr, nullptr, root.Get());
        if (SUCCEEDED(hr))
            hr = root->Commit(STGC_DEFAULT);
    }
    if (SUCCEEDED(hr)) {
        long budget = kMaxElements;
        WalkStorage(root.Get(), 0, budget);
        if (budget > 0)
            job.result = std::move(root);
        else
            hr = STG_E_DOCFILECORRUPT;
    }
    job.hr = hr;
    return 0;
}

// Runs the job on a worker thread and waits for it up to the deadline.  The
// calling thread pumps no messages meanwhile: nothing may happen to the
// program while one of its files is half read.
HRESULT RunWithDeadline(const std::shared_ptr<CStorageJob>& job, const CParkFlag& parked, DWORD deadline)
{
    auto* handOver = new (std::nothrow) std::shared_ptr<CStorageJob>(job);
    if (!handOver)
        return E_OUTOFMEMORY;
    DWORD threadId = 0;
    CScopedHandle<CKernelHandleTraits> thread(CreateThread(nullptr, 0, StorageWorker, handOver, 0, &threadId));
    if (!thread) {
        delete handOver;
        return HRESULT_FROM_WIN32(GetLastError());
    }
    if (WaitForSingleObject(thread.Get(), deadline) != WAIT_OBJECT_0) {
        // The worker is left to park itself at its next read of the image;
        // a foreign storage cannot be parked, so it at least yields.
        if (parked)
            parked->store(true);
        SetThreadPriority(thread.Get(), THREAD_PRIORITY_IDLE);
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    return job->hr;
}

void LogFailure(HRESULT hr)
{
    if (TraceOn())
        LogHResult(hr);
}

} // namespace

bool CompoundImageIsSound(const void* bytes, size_t size)
{
    if (!bytes)
        return false;
    try {
        CCompoundImage image(static_cast<const BYTE*>(bytes), size);
        return image.IsSound();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HRESULT OpenCompoundImage(std::vector<BYTE> image, IStorage** storage, DWORD deadline)
{
    if (!storage)
        return E_POINTER;
    *storage = nullptr;
    if (!CompoundImageIsSound(image.data(), image.size())) {
        LogFailure(STG_E_DOCFILECORRUPT);
        return STG_E_DOCFILECORRUPT;
    }
    std::shared_ptr<CStorageJob> job;
    CParkFlag parked;
    try {
        auto shared = std::make_shared<const std::vector<BYTE>>(std::move(image));
        parked = std::make_shared<std::atomic<bool>>(false);
        job = std::make_shared<CStorageJob>();
        job->image.Reset(new CImageLockBytes(shared, parked));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = RunWithDeadline(job, parked, deadline);
    if (FAILED(hr)) {
        LogFailure(hr);
        return hr;
    }
    *storage = job->result.Detach();
    return *storage ? S_OK : E_FAIL;
}

HRESULT OpenCompoundFileW(const wchar_t* path, IStorage** storage, DWORD deadline)
{
    if (!storage)
        return E_POINTER;
    *storage = nullptr;
    if (!path || !*path)
        return STG_E_INVALIDNAME;
    CScopedHandle<CFileHandleTraits> file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? STG_E_FILENOTFOUND
               : error == ERROR_PATH_NOT_FOUND ? STG_E_PATHNOTFOUND
                                               : HRESULT_FROM_WIN32(error);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return HRESULT_FROM_WIN32(GetLastError());
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kMaxCompoundFileSize)
        return STG_E_MEDIUMFULL;
    std::vector<BYTE> image;
    try {
        image.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    DWORD got = 0;
    if (!image.empty() && (!ReadFile(file.Get(), image.data(), static_cast<DWORD>(image.size()), &got, nullptr)
                           || got != image.size()))
        return STG_E_READFAULT;
    file.Reset();
    return OpenCompoundImage(std::move(image), storage, deadline);
}

HRESULT OpenCompoundFile(const char* path, IStorage** storage, DWORD deadline)
{
    if (storage)
        *storage = nullptr;
    CText name(path ? path : "");
    wchar_t* wide = nullptr;
    if (name.IsEmpty() || !name.ToUnicode(&wide))
        return STG_E_INVALIDNAME;
    const HRESULT hr = OpenCompoundFileW(wide, storage, deadline);
    CText::FreeUnicode(wide);
    return hr;
}

HRESULT CopyForeignStorage(IStorage* source, IStorage** copy, DWORD deadline)
{
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    if (!source)
        return E_POINTER;
    std::shared_ptr<CStorageJob> job;
    try {
        job = std::make_shared<CStorageJob>();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    source->AddRef();
    job->source.Reset(source);
    const HRESULT hr = RunWithDeadline(job, nullptr, deadline);
    if (FAILED(hr)) {
        LogFailure(hr);
        return hr;
    }
    *copy = job->result.Detach();
    return *copy ? S_OK : E_FAIL;
}

bool ListStorageElements(IStorage* storage, std::vector<StorageElement>& elements)
{
    elements.clear();
    CComPtr<IEnumSTATSTG> enumerator;
    if (!storage || FAILED(storage->EnumElements(0, nullptr, 0, enumerator.put())))
        return false;
    STATSTG stat{};
    bool ok = true;
    long left = kMaxElements;
    while (enumerator->Next(1, &stat, nullptr) == S_OK) {
        if (--left <= 0)
            ok = false;
        try {
            if (stat.pwcsName)
                elements.push_back(StorageElement{stat.pwcsName, stat.type});
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        CoTaskMemFree(stat.pwcsName);
        stat = STATSTG{};
        if (!ok)
            break;
    }
    return ok;
}

bool HasElement(const std::vector<StorageElement>& elements, const wchar_t* name, DWORD type)
{
    for (const StorageElement& element : elements) {
        if (element.type == type && lstrcmpiW(element.name.c_str(), name) == 0)
            return true;
    }
    return false;
}
