#include "FolderButton.h"

#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

CFolderButton::CFolderButton(CToolbar* toolbar, CMainApp* application, void* owner)
    : CFileButton(toolbar, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CFOLDERBUTTON, TR_CFOLDERBUTTON, TRUE);
    m_kind = kKindFolder;
}

CFolderButton::~CFolderButton()
{
    if (TraceOn())
        LogMethod(TR_CFOLDERBUTTON, TR_CFOLDERBUTTON_DTOR, TRUE);
}

BOOL CFolderButton::CanAcceptDrops()
{
    CShellFolder folder(m_folderId);
    if (!folder.IsValid())
        return FALSE;
    ULONG attributes = 0;
    return !folder.GetAttributes(m_itemId, attributes) || !(attributes & SFGAO_READONLY);
}

BOOL CFolderButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CFOLDERBUTTON, TR_WRITE);
    // Before 0x20000 the kind goes out as 2, a program button.
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, 2);
        return FALSE;
    }
    CRecordWriter out(stream);
    WriteTarget(out, version);
    // Where the old program record keeps its start-in folder.
    if (version <= kVersion11000)
        out.Text(CText());
    out.Text(m_description);
    if (version >= kVersion11000)
        WriteIconChoice(out);
    out.Long(m_allowDrops);
    out.Long(static_cast<DWORD>(m_showState));
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? 1 : 3);
    return out.Ok();
}

BOOL CFolderButton::Read(IStream* stream, DWORD version, int mode)
{
    // Result codes: 1 read; 2 the record is damaged; 3 no icon for an old record.
    CTraceMethod trace(TR_CFOLDERBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    // Old files hold folders only as program records, which the program
    // button reads; a record of that age read here mirrors what Write wrote.
    if (version <= kVersion11000) {
        CText unused;
        in.Text(unused);
    }
    in.Text(m_description);
    if (version >= kVersion11000) {
        ReadIconChoice(in);
    } else {
        m_defaultIcon = 1;
        m_iconFile = m_fileName;
    }
    in.Flag(m_allowDrops);
    in.ShowState(m_showState);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, 2);
        return FALSE;
    }
    if (!FinishRead(version, mode)) {
        trace.Result(TR_READ_RESULT, 3);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, 1);
    return TRUE;
}
