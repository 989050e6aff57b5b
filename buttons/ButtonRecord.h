// Reading and writing the fields of a stored button record.  A record is a
// plain run of fields with no sizes of its own, so the first field that cannot
// be read or written ends the whole record: every later call does nothing and
// Ok() stays false.
#pragma once

#include "../common/ItemId.h"
#include "../common/Text.h"

#include <objidl.h>

class CRecordWriter
{
public:
    explicit CRecordWriter(IStream* stream) : m_stream(stream), m_ok(stream != nullptr) {}

    void Long(DWORD value);
    void Text(const CText& text);
    void Ids(const CItemId& ids);

    BOOL Ok() const { return m_ok; }

private:
    IStream* m_stream;
    BOOL m_ok;
};

// What the record methods of the button kinds report to the trace, in the
// order of their checks.
enum RecordWriteResult : unsigned long {
    kRecordWritten = 1,
    kRecordNoKind = 2,
    kRecordFieldsFailed = 3,
};

enum RecordReadResult : unsigned long {
    kRecordRead = 1,
    kRecordDamaged = 2,
    kRecordNoIcon = 3,   // an old record, whose icon has to come from its target
};

class CRecordReader
{
public:
    explicit CRecordReader(IStream* stream) : m_stream(stream), m_ok(stream != nullptr) {}

    void Long(DWORD& value);
    void Long(int& value);
    // A switch: any value but 0 reads as 1, for files never carry a third state.
    void Flag(int& value);
    void Flag(DWORD& value);
    // A show state (0 minimized, 1 maximized, 2 normal); others read as normal.
    void ShowState(int& value);
    void Text(CText& text);
    void Ids(CItemId& ids);

    // TRUE when every byte of the stream has been read.
    BOOL AtEnd() const;
    BOOL Ok() const { return m_ok; }

private:
    IStream* m_stream;
    BOOL m_ok;
};
