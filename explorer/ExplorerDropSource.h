// CExplorerDropSource: the drop source of an object dragged out of the result
// list.  Escape cancels, releasing the left button drops, and the system's
// cursors show the effect.
#pragma once

#include "../common/ComObject.h"

#include <ole2.h>

class CExplorerDropSource final : public CComObject<CExplorerDropSource, IDropSource>
{
public:
    CExplorerDropSource();

    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

private:
    ~CExplorerDropSource() override = default;
};
