#include "Text.h"

#include "Error.h"

#include <cstring>
#include <new>

namespace {

char* Allocate(size_t bytes)
{
    char* buffer = new (std::nothrow) char[bytes];
    if (!buffer)
        throw CError("Out of memory");
    return buffer;
}

// lstrcmpi's result is only trusted for its sign, as a 16-bit value.
int Sign(int result)
{
    const short low = static_cast<short>(result);
    return low < 0 ? -1 : (low > 0 ? 1 : 0);
}

// The table only has to be fixed and reversible so that protected texts can be
// compared after substitution; flipping two bits maps every non-zero byte to a
// non-zero byte except 0x81, which is left alone so a text never ends early.
unsigned char SubstituteByte(unsigned char value)
{
    const unsigned char flipped = static_cast<unsigned char>(value ^ 0x81);
    return flipped ? flipped : value;
}

} // namespace

CText::CText() : m_length(0), m_buffer(Allocate(1))
{
    m_buffer[0] = 0;
}

CText::CText(int size) : m_length(size < 0 ? 0 : size), m_buffer(Allocate(static_cast<size_t>(m_length) + 1))
{
    std::memset(m_buffer, 0, static_cast<size_t>(m_length) + 1);
}

CText::CText(const char* text) : m_length(0), m_buffer(nullptr)
{
    Assign(text ? text : "", text ? static_cast<int>(std::strlen(text)) : 0);
}

CText::CText(const CText& other) : m_length(0), m_buffer(nullptr)
{
    Assign(other.m_buffer, other.Length());
}

CText::CText(CText&& other) noexcept : m_length(other.m_length), m_buffer(other.m_buffer)
{
    other.m_length = 0;
    other.m_buffer = nullptr;
}

CText::~CText()
{
    delete[] m_buffer;
}

void CText::Assign(const char* text, int length)
{
    char* buffer = Allocate(static_cast<size_t>(length) + 1);
    std::memcpy(buffer, text, static_cast<size_t>(length));
    buffer[length] = 0;
    delete[] m_buffer;
    m_buffer = buffer;
    m_length = length;
}

int CText::Length() const
{
    return m_buffer ? static_cast<int>(std::strlen(m_buffer)) : 0;
}

CText& CText::operator=(const wchar_t* text)
{
    // An empty name from the shell is an empty text, not an error: raising here
    // would end the program over an unnamed shell item.
    if (!text || !*text) {
        *this = "";
        return *this;
    }
    // The terminating zero is part of what the conversion counts.
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        throw CError(bytes == 1 ? "Empty Unicode string" : "Failed to convert from Unicode");
    char* buffer = Allocate(static_cast<size_t>(bytes));
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, bytes, nullptr, nullptr) <= 0) {
        delete[] buffer;
        throw CError("Failed to convert from Unicode");
    }
    delete[] m_buffer;
    m_buffer = buffer;
    m_length = static_cast<int>(std::strlen(buffer));
    return *this;
}

CText& CText::operator=(const char* text)
{
    if (text == m_buffer)
        return *this;
    Assign(text ? text : "", text ? static_cast<int>(std::strlen(text)) : 0);
    return *this;
}

CText& CText::operator=(const CText& other)
{
    if (this != &other)
        Assign(other.c_str() ? other.c_str() : "", other.Length());
    return *this;
}

CText& CText::operator=(CText&& other) noexcept
{
    if (this != &other) {
        delete[] m_buffer;
        m_buffer = other.m_buffer;
        m_length = other.m_length;
        other.m_buffer = nullptr;
        other.m_length = 0;
    }
    return *this;
}

char* CText::At(int index)
{
    if (!m_buffer || index < 0 || index > Length())
        throw CError("Invalid address");
    return m_buffer + index;
}

CText& CText::operator+=(const char* text)
{
    if (!text || !*text)
        return *this;
    const int ownLength = Length();
    const int addLength = static_cast<int>(std::strlen(text));
    char* buffer = Allocate(static_cast<size_t>(ownLength) + addLength + 1);
    std::memcpy(buffer, m_buffer ? m_buffer : "", static_cast<size_t>(ownLength));
    std::memcpy(buffer + ownLength, text, static_cast<size_t>(addLength) + 1);
    delete[] m_buffer;
    m_buffer = buffer;
    m_length = ownLength + addLength;
    return *this;
}

int CText::Compare(const char* text) const
{
    return Sign(lstrcmpiA(c_str() ? c_str() : "", text ? text : ""));
}

int CText::CompareCase(const char* text) const
{
    return Sign(lstrcmpA(c_str() ? c_str() : "", text ? text : ""));
}

void CText::Left(int count)
{
    const int length = Length();
    if (count < 0 || count >= length)
        return;
    Assign(m_buffer, count);
}

void CText::Right(int count)
{
    const int length = Length();
    if (count < 0 || count >= length)
        return;
    CText copy(m_buffer + (length - count));
    *this = static_cast<CText&&>(copy);
}

void CText::Mid(int start, int count)
{
    const int length = Length();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    if (count < 0)
        count = 0;
    if (count > length - start)
        count = length - start;
    CText copy;
    copy.Assign(m_buffer + start, count);
    *this = static_cast<CText&&>(copy);
}

int CText::Find(char character, int from) const
{
    const int length = Length();
    for (int i = from < 0 ? 0 : from; i < length; ++i) {
        if (m_buffer[i] == character)
            return i;
    }
    return -1;
}

int CText::ReverseFind(char character) const
{
    for (int i = Length() - 1; i >= 0; --i) {
        if (m_buffer[i] == character)
            return i;
    }
    return -1;
}

void CText::Replace(char from, char to)
{
    if (from == to || !m_buffer)
        return;
    // Filter strings rely on replacing inside the whole buffer, terminators
    // created along the way included, so walk the original length.
    for (int i = 0; i < m_length; ++i) {
        if (m_buffer[i] == from)
            m_buffer[i] = to;
    }
}

BOOL CText::LoadString(HINSTANCE instance, UINT id)
{
    char buffer[256];
    const int length = ::LoadStringA(instance, id, buffer, sizeof buffer);
    if (length <= 0)
        return FALSE;
    Assign(buffer, length);
    return TRUE;
}

BOOL CText::ExpandEnvironment()
{
    char small[261];
    DWORD needed = ExpandEnvironmentStringsA(c_str(), small, sizeof small);
    if (needed == 0)
        return FALSE;
    if (needed <= sizeof small) {
        *this = small;
        return TRUE;
    }
    char* large = Allocate(needed);
    DWORD written = ExpandEnvironmentStringsA(c_str(), large, needed);
    if (written == 0 || written > needed) {
        delete[] large;
        return FALSE;
    }
    delete[] m_buffer;
    m_buffer = large;
    m_length = static_cast<int>(std::strlen(large));
    return TRUE;
}

BOOL CText::ToUnicode(wchar_t** out) const
{
    if (!out)
        return FALSE;
    *out = nullptr;
    // The ANSI code page is the one the 8-bit shell and file APIs speak; the OEM
    // page would turn every accented file name into a name that does not exist.
    const int chars = MultiByteToWideChar(CP_ACP, 0, c_str() ? c_str() : "", -1, nullptr, 0);
    if (chars <= 0)
        return FALSE;
    wchar_t* text = new (std::nothrow) wchar_t[static_cast<size_t>(chars)];
    if (!text)
        return FALSE;
    if (MultiByteToWideChar(CP_ACP, 0, c_str() ? c_str() : "", -1, text, chars) <= 0) {
        delete[] text;
        return FALSE;
    }
    *out = text;
    return TRUE;
}

void CText::FreeUnicode(wchar_t* text)
{
    delete[] text;
}

void CText::Substitute()
{
    const int length = Length();
    for (int i = 0; i < length; ++i) {
        m_buffer[i] = static_cast<char>(SubstituteByte(static_cast<unsigned char>(m_buffer[i])));
    }
}

BOOL CText::Read(IStream* stream)
{
    if (!stream)
        return FALSE;
    unsigned char countBytes[2];
    ULONG got = 0;
    if (FAILED(stream->Read(countBytes, 2, &got)) || got != 2)
        return FALSE;
    const unsigned count = countBytes[0] | (countBytes[1] << 8);
    if (count == 0) {
        *this = "";
        return TRUE;
    }
    // The count is at most 65535, so the buffer can never be huge; what a short
    // stream does not deliver is a failure, and the text is left as it was.
    char* buffer = new (std::nothrow) char[count + 1];
    if (!buffer)
        return FALSE;
    if (FAILED(stream->Read(buffer, count, &got)) || got != count) {
        delete[] buffer;
        return FALSE;
    }
    buffer[count] = 0;
    delete[] m_buffer;
    m_buffer = buffer;
    m_length = static_cast<int>(std::strlen(buffer));
    return TRUE;
}

BOOL CText::Write(IStream* stream) const
{
    if (!stream)
        return FALSE;
    const int length = Length();
    if (length + 1 > 0xFFFF)
        return FALSE;   // the count field cannot describe it
    const unsigned count = length ? static_cast<unsigned>(length + 1) : 0;
    const unsigned char countBytes[2] = {static_cast<unsigned char>(count & 0xFF),
                                         static_cast<unsigned char>(count >> 8)};
    ULONG written = 0;
    if (FAILED(stream->Write(countBytes, 2, &written)) || written != 2)
        return FALSE;
    if (count && (FAILED(stream->Write(c_str(), count, &written)) || written != count))
        return FALSE;
    return TRUE;
}

bool operator==(const CText& a, const char* b) { return a.Compare(b) == 0; }
bool operator!=(const CText& a, const char* b) { return a.Compare(b) != 0; }
bool operator<(const CText& a, const char* b) { return a.Compare(b) < 0; }
bool operator>(const CText& a, const char* b) { return a.Compare(b) > 0; }
bool operator<=(const CText& a, const char* b) { return a.Compare(b) <= 0; }
bool operator>=(const CText& a, const char* b) { return a.Compare(b) >= 0; }
