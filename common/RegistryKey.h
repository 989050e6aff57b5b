// CRegistryKey: one open registry key with text, number and binary values.
// Every registry access of the programs goes through it; it reports success as
// a boolean and never shows a message, so callers substitute their defaults.
#pragma once

#include "ScopedHandle.h"
#include "Text.h"

#include <vector>

class CRegistryKey
{
public:
    // Access codes, mapped to the system's rights.
    enum Access { kRead = 0, kSetValue = 1, kWrite = 2, kAllAccess = 3 };

    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    BOOL OpenKey(HKEY root, const CText& subkey, int access);
    BOOL CreateKey(HKEY root, const CText& subkey, BOOL* created, int access);

    BOOL GetStringValue(const CText& name, CText& value);
    BOOL SetStringValue(const CText& name, const CText& value);
    BOOL GetLongValue(const CText& name, DWORD& number);
    BOOL SetLongValue(const CText& name, DWORD number);
    BOOL GetBinaryValue(const CText& name, void* buffer, DWORD size);
    BOOL SetBinaryValue(const CText& name, const void* buffer, DWORD size);
    // A binary value of any length up to maxSize, as it is stored; FALSE for a
    // value of another type or a longer one.
    BOOL GetBinaryValue(const CText& name, std::vector<BYTE>& data, DWORD maxSize);

    void Close() { m_key.Reset(); }
    bool IsOpen() const { return m_key.IsValid(); }

private:
    CRegKeyHandle m_key;
};
