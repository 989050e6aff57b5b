#include "RegistryKey.h"

#include "TraceLog.h"

#include <new>

namespace {

REGSAM RightsFor(int access)
{
    switch (access) {
    case CRegistryKey::kRead: return KEY_READ;
    case CRegistryKey::kSetValue: return KEY_SET_VALUE;
    case CRegistryKey::kWrite: return KEY_WRITE;
    case CRegistryKey::kAllAccess: return KEY_ALL_ACCESS;
    default: return 0;
    }
}

void TraceText(const char* format, const char* text)
{
    if (TraceOn())
        LogFormatText(format, text);
}

} // namespace

BOOL CRegistryKey::OpenKey(HKEY root, const CText& subkey, int access)
{
    TraceText(" > OpenKey(%s)", subkey.c_str());
    m_key.Reset();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, RightsFor(access), &key) != ERROR_SUCCESS) {
        Trace(" < OpenKey failed");
        return FALSE;
    }
    m_key.Reset(key);
    Trace(" < OpenKey OK");
    return TRUE;
}

BOOL CRegistryKey::CreateKey(HKEY root, const CText& subkey, BOOL* created, int access)
{
    TraceText(" > CreateKey(%s)", subkey.c_str());
    m_key.Reset();
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, RightsFor(access), nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        Trace(" < CreateKey failed");
        return FALSE;
    }
    m_key.Reset(key);
    if (created)
        *created = disposition == REG_CREATED_NEW_KEY;
    Trace(" < CreateKey OK");
    return TRUE;
}

BOOL CRegistryKey::GetStringValue(const CText& name, CText& value)
{
    TraceText(" > GetStringValue(%s)", name.c_str());
    value = "";
    if (!m_key) {
        Trace(" < GetStringValue fail 1");
        return FALSE;
    }
    DWORD size = 0;
    if (RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        Trace(" < GetStringValue fail 2");
        return FALSE;
    }
    // One zero more than the data, so that a value stored without its
    // terminator (or a number read as text) still ends inside the buffer.
    DWORD bufferSize = size + 1;
    char* buffer = new (std::nothrow) char[bufferSize]();
    if (!buffer) {
        Trace(" < GetStringValue fail 3");
        return FALSE;
    }
    // The value may have grown between the two calls: the read then fails
    // rather than overrunning, since the buffer size is passed.
    DWORD readSize = size;
    if (RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &readSize)
        != ERROR_SUCCESS) {
        delete[] buffer;
        Trace(" < GetStringValue fail 4");
        return FALSE;
    }
    value = buffer;
    delete[] buffer;
    TraceText(" Result=%s", value.c_str());
    Trace(" < GetStringValue OK");
    return TRUE;
}

BOOL CRegistryKey::SetStringValue(const CText& name, const CText& value)
{
    TraceText(" > SetStringValue(%s)", name.c_str());
    TraceText(" Data=%s", value.c_str());
    if (!m_key) {
        Trace(" < SetStringValue fail 1");
        return FALSE;
    }
    if (RegSetValueExA(m_key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.Length() + 1)) != ERROR_SUCCESS) {
        Trace(" < SetStringValue fail 2");
        return FALSE;
    }
    Trace(" < SetStringValue OK");
    return TRUE;
}

BOOL CRegistryKey::GetLongValue(const CText& name, DWORD& number)
{
    TraceText(" > GetLongValue(%s)", name.c_str());
    if (!m_key) {
        Trace(" < GetLongValue fail 1");
        return FALSE;
    }
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size)
        != ERROR_SUCCESS) {
        Trace(" < GetLongValue fail 2");
        return FALSE;
    }
    number = data;
    if (TraceOn())
        LogFormat(" < GetLongValue=%d", number);
    return TRUE;
}

BOOL CRegistryKey::SetLongValue(const CText& name, DWORD number)
{
    TraceText(" > SetLongValue(%s)", name.c_str());
    if (TraceOn())
        LogFormat(" Data=%lu", number);
    if (!m_key) {
        Trace(" < SetLongValue fail 1");
        return FALSE;
    }
    if (RegSetValueExA(m_key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number) != ERROR_SUCCESS) {
        Trace(" < SetLongValue fail 2");
        return FALSE;
    }
    Trace(" < SetLongValue OK");
    return TRUE;
}

BOOL CRegistryKey::GetBinaryValue(const CText& name, void* buffer, DWORD size)
{
    TraceText(" > GetBinaryValue(%s)", name.c_str());
    if (!m_key) {
        Trace(" < GetBinaryValue fail 1");
        return FALSE;
    }
    DWORD readSize = size;
    if (RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer), &readSize)
        != ERROR_SUCCESS) {
        Trace(" < GetBinaryValue fail 2");
        return FALSE;
    }
    Trace(" < GetBinaryValue OK");
    return TRUE;
}

BOOL CRegistryKey::GetBinaryValue(const CText& name, std::vector<BYTE>& data, DWORD maxSize)
{
    TraceText(" > GetBinaryValue(%s)", name.c_str());
    data.clear();
    DWORD type = 0;
    DWORD size = 0;
    if (!m_key || RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_BINARY || size > maxSize) {
        Trace(" < GetBinaryValue fail 1");
        return FALSE;
    }
    data.resize(size);
    // The value may have changed since its size was asked; the second call
    // says how much it really wrote.
    DWORD readSize = size;
    if (RegQueryValueExA(m_key.Get(), name.c_str(), nullptr, &type, size ? data.data() : nullptr, &readSize)
            != ERROR_SUCCESS
        || type != REG_BINARY || readSize > size) {
        data.clear();
        Trace(" < GetBinaryValue fail 2");
        return FALSE;
    }
    data.resize(readSize);
    Trace(" < GetBinaryValue OK");
    return TRUE;
}

BOOL CRegistryKey::SetBinaryValue(const CText& name, const void* buffer, DWORD size)
{
    TraceText(" > SetBinaryValue(%s)", name.c_str());
    if (!m_key) {
        Trace(" < SetBinaryValue fail 1");
        return FALSE;
    }
    if (RegSetValueExA(m_key.Get(), name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(buffer), size)
        != ERROR_SUCCESS) {
        Trace(" < SetBinaryValue fail 2");
        return FALSE;
    }
    Trace(" < SetBinaryValue OK");
    return TRUE;
}
