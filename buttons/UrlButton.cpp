#include "UrlButton.h"

#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

CUrlButton::CUrlButton(IButtonHost* host, CApplication* application, void* owner)
    : CFileButton(host, application, owner)
{
    if (TraceOn())
        LogMethod(TR_CURLBUTTON, TR_CURLBUTTON, TRUE);
    m_kind = kKindUrl;
}

CUrlButton::~CUrlButton()
{
    if (TraceOn())
        LogMethod(TR_CURLBUTTON, TR_CURLBUTTON_DTOR, TRUE);
}

BOOL CUrlButton::CanAcceptDrops()
{
    return FALSE;
}

BOOL CUrlButton::Write(IStream* stream, DWORD version)
{
    CTraceMethod trace(TR_CURLBUTTON, TR_WRITE);
    if (!CToolButton::Write(stream, version)) {
        trace.Result(TR_WRITE_RESULT, kRecordNoKind);
        return FALSE;
    }
    // An address record has its icon fields in every version and no drop
    // switch.
    CRecordWriter out(stream);
    WriteTarget(out, version);
    out.Text(m_description);
    WriteIconChoice(out);
    out.Long(static_cast<DWORD>(m_showState));
    WriteDesktop(out, version);
    trace.Result(TR_WRITE_RESULT, out.Ok() ? kRecordWritten : kRecordFieldsFailed);
    return out.Ok();
}

BOOL CUrlButton::Read(IStream* stream, DWORD version, int mode)
{
    CTraceMethod trace(TR_CURLBUTTON, TR_READ);
    CRecordReader in(stream);
    ReadTarget(in, version);
    in.Text(m_description);
    ReadIconChoice(in);
    in.ShowState(m_showState);
    ReadDesktop(in, version);
    if (!in.Ok()) {
        trace.Result(TR_READ_RESULT, kRecordDamaged);
        return FALSE;
    }
    if (!FinishRead(version, mode)) {
        trace.Result(TR_READ_RESULT, kRecordNoIcon);
        return FALSE;
    }
    trace.Result(TR_READ_RESULT, kRecordRead);
    return TRUE;
}
