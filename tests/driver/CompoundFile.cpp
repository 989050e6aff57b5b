#include "CompoundFile.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

bool PutStream(IStorage* storage, const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    IStream* stream = nullptr;
    if (FAILED(storage->CreateStream(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, &stream)))
        return false;
    ULONG written = 0;
    const bool ok = bytes.empty()
                    || (SUCCEEDED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written))
                        && written == bytes.size());
    stream->Release();
    return ok;
}

bool GetStreams(IStorage* storage, std::map<std::wstring, std::vector<uint8_t>>& streams,
                std::map<std::wstring, std::map<std::wstring, std::vector<uint8_t>>>* storages)
{
    IEnumSTATSTG* elements = nullptr;
    if (FAILED(storage->EnumElements(0, nullptr, 0, &elements)))
        return false;
    STATSTG stat{};
    bool ok = true;
    while (ok && elements->Next(1, &stat, nullptr) == S_OK) {
        const std::wstring name = stat.pwcsName;
        CoTaskMemFree(stat.pwcsName);
        if (stat.type == STGTY_STREAM) {
            IStream* stream = nullptr;
            ok = SUCCEEDED(storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
            if (ok) {
                std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
                ULONG got = 0;
                if (!bytes.empty())
                    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
                streams[name] = bytes;
                stream->Release();
            }
        } else if (stat.type == STGTY_STORAGE && storages) {
            IStorage* inner = nullptr;
            ok = SUCCEEDED(storage->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                                &inner));
            if (ok) {
                ok = GetStreams(inner, (*storages)[name], nullptr);
                inner->Release();
            }
        }
    }
    elements->Release();
    return ok;
}

} // namespace

bool WriteCompoundStorage(IStorage* root, const CompoundContent& content)
{
    bool ok = true;
    for (const auto& [name, bytes] : content.streams)
        ok = ok && PutStream(root, name, bytes);
    for (const auto& [name, streams] : content.storages) {
        IStorage* inner = nullptr;
        ok = ok && SUCCEEDED(root->CreateStorage(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0,
                                                 &inner));
        for (const auto& [streamName, bytes] : streams)
            ok = ok && PutStream(inner, streamName, bytes);
        if (inner)
            inner->Release();
    }
    return ok;
}

bool WriteCompoundFile(const std::string& path, const CompoundContent& content)
{
    IStorage* root = nullptr;
    if (FAILED(StgCreateDocfile(Wide(path).c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, &root)))
        return false;
    const bool ok = WriteCompoundStorage(root, content);
    root->Release();
    return ok;
}

IStorage* MemoryCompound(const CompoundContent& content)
{
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes)))
        return nullptr;
    IStorage* root = nullptr;
    const HRESULT hr =
        StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, &root);
    bytes->Release();
    if (FAILED(hr))
        return nullptr;
    if (!WriteCompoundStorage(root, content)) {
        root->Release();
        return nullptr;
    }
    return root;
}

bool ReadCompoundFile(const std::string& path, CompoundContent& content)
{
    IStorage* root = nullptr;
    if (FAILED(StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &root)))
        return false;
    content = CompoundContent{};
    const bool ok = GetStreams(root, content.streams, &content.storages);
    root->Release();
    return ok;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name)
{
    char folder[MAX_PATH]{};
    GetTempPathA(sizeof folder, folder);
    std::string dir = std::string(folder) + "lintel-files";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + name;
}
