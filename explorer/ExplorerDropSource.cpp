#include "ExplorerDropSource.h"

namespace {
const CComInterface kInterfaces[] = {COM_INTERFACE(CExplorerDropSource, IDropSource)};
} // namespace

CExplorerDropSource::CExplorerDropSource() : CComObject(kInterfaces, CComTraceTexts{nullptr, nullptr, nullptr, nullptr})
{
}

STDMETHODIMP CExplorerDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keys)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP CExplorerDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
