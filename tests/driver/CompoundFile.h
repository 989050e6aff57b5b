// Building and inspecting compound files byte by byte, for tests of the
// toolbar file format.
#pragma once

#include <objbase.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Little-endian fields in the order a record stores them.
class RecordBytes
{
public:
    RecordBytes& U8(uint8_t value)
    {
        m_bytes.push_back(value);
        return *this;
    }
    RecordBytes& U16(uint16_t value) { return U8(value & 0xFF).U8(value >> 8); }
    RecordBytes& U32(uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
    // The counted text: length with its terminator, then the bytes and the zero.
    RecordBytes& Text(const std::string& text)
    {
        if (text.empty())
            return U16(0);
        U16(static_cast<uint16_t>(text.size() + 1));
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return U8(0);
    }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// The elements of a compound file: streams by name, and storages holding streams.
struct CompoundContent {
    std::map<std::wstring, std::vector<uint8_t>> streams;
    std::map<std::wstring, std::map<std::wstring, std::vector<uint8_t>>> storages;
};

bool WriteCompoundFile(const std::string& path, const CompoundContent& content);
bool WriteCompoundStorage(IStorage* root, const CompoundContent& content);
// A compound file in memory holding the content (the caller releases it).
IStorage* MemoryCompound(const CompoundContent& content);
bool ReadCompoundFile(const std::string& path, CompoundContent& content);
std::vector<uint8_t> ReadWholeFile(const std::string& path);
std::string TempPath(const std::string& name);
