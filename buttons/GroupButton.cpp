#include "GroupButton.h"

#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

CGroupButton::CGroupButton(CToolbar* toolbar, CMainApp* application, void* owner)
    : CFileButton(toolbar, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CGROUPBUTTON, TR_CGROUPBUTTON, TRUE);
    m_kind = kKindGroup;
}

CGroupButton::~CGroupButton()
{
    if (TraceOn())
        LogMethod(TR_CGROUPBUTTON, TR_CGROUPBUTTON_DTOR, TRUE);
}

BOOL CGroupButton::CanAcceptDrops()
{
    return FALSE;
}

void CGroupButton::SetDropHighlight(BOOL)
{
    CToolButton::SetDropHighlight(m_startEvery);
}

void CGroupButton::SetStartEvery(BOOL startEvery)
{
    m_startEvery = startEvery ? 1 : 0;
    m_modified = 1;
    SetDropHighlight(m_startEvery);
}

BOOL CGroupButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CGROUPBUTTON, TR_WRITE);
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, 2);
        return FALSE;
    }
    CRecordWriter out(stream);
    WriteTarget(out, version);
    out.Text(m_description);
    if (version >= kVersion11000)
        WriteIconChoice(out);
    out.Long(m_allowDrops);
    out.Long(static_cast<DWORD>(m_showState));
    out.Long(m_startEvery);
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? 1 : 3);
    return out.Ok();
}

BOOL CGroupButton::Read(IStream* stream, DWORD version, int mode)
{
    // Result codes: 1 read; 2 the record is damaged; 3 no icon for an old record.
    CTraceMethod trace(TR_CGROUPBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    in.Text(m_description);
    if (version >= kVersion11000) {
        ReadIconChoice(in);
    } else {
        m_defaultIcon = 1;
        m_iconFile = m_fileName;
    }
    in.Flag(m_allowDrops);
    in.ShowState(m_showState);
    in.Flag(m_startEvery);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, 2);
        return FALSE;
    }
    SetDropHighlight(m_startEvery);
    if (!FinishRead(version, mode)) {
        trace.Result(TR_READ_RESULT, 3);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, 1);
    return TRUE;
}
