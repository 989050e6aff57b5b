// CText: the 8-bit text of every program, with comparisons that ignore letter
// case, Unicode conversion for OLE and shell calls, string-table loading and the
// counted stream form used by toolbar files, wizard data files and recent lists.
#pragma once

#include <windows.h>
#include <objidl.h>

class CText
{
public:
    CText();
    explicit CText(int size);          // size zero characters
    CText(const char* text);
    CText(const CText& other);
    CText(CText&& other) noexcept;
    ~CText();

    int Length() const;
    BOOL IsEmpty() const { return Length() == 0; }

    CText& operator=(const wchar_t* text);
    CText& operator=(const char* text);
    CText& operator=(const CText& other);
    CText& operator=(CText&& other) noexcept;
    void Set(const char* text) { *this = text; }
    void Set(const CText& other) { *this = other; }

    // Address of one character; an index past the end raises "Invalid address".
    char* At(int index);

    const char* c_str() const { return m_buffer; }

    CText& operator+=(const char* text);
    CText& operator+=(const CText& other) { return *this += other.c_str(); }

    // Case-insensitive, like the shell's own name comparisons.
    int Compare(const char* text) const;
    // Case-sensitive, for sorting.
    int CompareCase(const char* text) const;

    void Left(int count);
    void Right(int count);
    void Mid(int start, int count);
    int Find(char character, int from = 0) const;
    int ReverseFind(char character) const;
    void Replace(char from, char to);

    BOOL LoadString(HINSTANCE instance, UINT id);
    BOOL ExpandEnvironment();

    // A new Unicode copy, to be freed with FreeUnicode.
    BOOL ToUnicode(wchar_t** out) const;
    static void FreeUnicode(wchar_t* text);

    void Substitute();

    BOOL Read(IStream* stream);
    BOOL Write(IStream* stream) const;

private:
    void Assign(const char* text, int length);

    int m_length;
    char* m_buffer;
};

bool operator==(const CText& a, const char* b);
bool operator!=(const CText& a, const char* b);
bool operator<(const CText& a, const char* b);
bool operator>(const CText& a, const char* b);
bool operator<=(const CText& a, const char* b);
bool operator>=(const CText& a, const char* b);
inline bool operator==(const CText& a, const CText& b) { return a == b.c_str(); }
inline bool operator!=(const CText& a, const CText& b) { return a != b.c_str(); }
inline bool operator<(const CText& a, const CText& b) { return a < b.c_str(); }
inline bool operator>(const CText& a, const CText& b) { return a > b.c_str(); }
inline bool operator<=(const CText& a, const CText& b) { return a <= b.c_str(); }
inline bool operator>=(const CText& a, const CText& b) { return a >= b.c_str(); }
