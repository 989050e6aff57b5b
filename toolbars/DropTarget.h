// CDropTarget, the IDropTarget a shown toolbar registers with OLE, and
// CDropSource, the IDropSource of a button being dragged.  The drop target
// decides what is being dragged and hands each call to the button under the
// cursor, or to the toolbar itself over free space.
#pragma once

#include "../common/ComObject.h"
#include "../common/ComPtr.h"

#include <oleidl.h>

class CToolbar;
class CToolButton;

class CDropTarget final : public CComObject<CDropTarget, IDropTarget>
{
public:
    explicit CDropTarget(CToolbar* toolbar);

    // IDropTarget
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

    // The toolbar is going away: later calls from OLE find nothing to tell.
    void Detach() { m_toolbar = nullptr; }

private:
    ~CDropTarget() override = default;
    // The button whose window is under the screen point, or null.
    CToolButton* ButtonAt(POINTL point) const;
    CToolButton* CurrentButton() const;
    void ComputeAllowedEffects();
    void EnterTarget(DWORD keys, POINTL point, DWORD* effect);
    void LeaveTarget();

    CToolbar* m_toolbar;
    // The button is remembered by its window, so a button removed meanwhile
    // is simply not found again.
    HWND m_buttonWindow = nullptr;
    CComPtr<IDataObject> m_data;
    int m_dropKind = -1;
    DWORD m_allowedEffects = DROPEFFECT_NONE;
    BOOL m_allPrograms = FALSE;
};

class CDropSource final : public CComObject<CDropSource, IDropSource>
{
public:
    explicit CDropSource(CToolbar* toolbar);

    // IDropSource
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

private:
    ~CDropSource() override = default;

    CToolbar* m_toolbar;
};
