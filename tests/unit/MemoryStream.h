// An in-memory OLE stream for the tests of the stream formats: filled from
// bytes, or read back whole after something was written to it.
#pragma once

#include "common/ComPtr.h"

#include <objbase.h>

#include <vector>

namespace testing_support {

class MemoryStream
{
public:
    MemoryStream() { CreateStreamOnHGlobal(nullptr, TRUE, m_stream.put()); }
    explicit MemoryStream(const std::vector<unsigned char>& bytes) : MemoryStream()
    {
        ULONG written = 0;
        if (!bytes.empty())
            m_stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        Rewind();
    }
    IStream* Get() const { return m_stream.Get(); }
    void Rewind()
    {
        LARGE_INTEGER zero{};
        m_stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    }
    ULONGLONG Position() const
    {
        LARGE_INTEGER zero{};
        ULARGE_INTEGER position{};
        m_stream->Seek(zero, STREAM_SEEK_CUR, &position);
        return position.QuadPart;
    }
    // Every byte of the stream; the position ends at the start.
    std::vector<unsigned char> Bytes()
    {
        STATSTG stat{};
        m_stream->Stat(&stat, STATFLAG_NONAME);
        std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
        Rewind();
        ULONG got = 0;
        if (!bytes.empty())
            m_stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
        Rewind();
        return bytes;
    }

private:
    CComPtr<IStream> m_stream;
};

// COM for the tests that reach shell objects, for the length of one test.
class ComScope
{
public:
    ComScope() : m_result(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

} // namespace testing_support
