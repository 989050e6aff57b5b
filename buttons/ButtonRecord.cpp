#include "ButtonRecord.h"

#include "../common/TraceLog.h"

void CRecordWriter::Long(DWORD value)
{
    if (!m_ok)
        return;
    ULONG written = 0;
    const HRESULT hr = m_stream->Write(&value, sizeof value, &written);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    m_ok = SUCCEEDED(hr) && written == sizeof value;
}

void CRecordWriter::Text(const CText& text)
{
    if (m_ok)
        m_ok = text.Write(m_stream);
}

void CRecordWriter::Ids(const CItemId& ids)
{
    if (m_ok)
        m_ok = ids.Write(m_stream);
}

void CRecordReader::Long(DWORD& value)
{
    if (!m_ok)
        return;
    DWORD read = 0;
    ULONG got = 0;
    const HRESULT hr = m_stream->Read(&read, sizeof read, &got);
    if (FAILED(hr) && TraceOn())
        LogHResult(hr);
    m_ok = SUCCEEDED(hr) && got == sizeof read;
    if (m_ok)
        value = read;
}

void CRecordReader::Long(int& value)
{
    DWORD read = 0;
    Long(read);
    if (m_ok)
        value = static_cast<int>(read);
}

void CRecordReader::Flag(int& value)
{
    DWORD read = 0;
    Long(read);
    if (m_ok)
        value = read ? 1 : 0;
}

void CRecordReader::Flag(DWORD& value)
{
    DWORD read = 0;
    Long(read);
    if (m_ok)
        value = read ? 1 : 0;
}

void CRecordReader::ShowState(int& value)
{
    DWORD read = 0;
    Long(read);
    if (m_ok)
        value = read <= 2 ? static_cast<int>(read) : 2;
}

void CRecordReader::Text(CText& text)
{
    if (m_ok)
        m_ok = text.Read(m_stream);
}

void CRecordReader::Ids(CItemId& ids)
{
    if (m_ok)
        m_ok = ids.Read(m_stream);
}

BOOL CRecordReader::AtEnd() const
{
    if (!m_stream)
        return TRUE;
    STATSTG stat{};
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(m_stream->Seek(zero, STREAM_SEEK_CUR, &position)) || FAILED(m_stream->Stat(&stat, STATFLAG_NONAME)))
        return FALSE;
    return position.QuadPart >= stat.cbSize.QuadPart;
}
