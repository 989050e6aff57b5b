// The toolbar's drop target and the drop source of a dragged button.
#include "DropTarget.h"

#include "DataObject.h"
#include "Toolbar.h"

#include "../buttons/ToolButton.h"
#include "../common/IdListArray.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"

#include <shellapi.h>

namespace {

bool IsProgram(const char* path)
{
    SHFILEINFOA info{};
    return path && *path && SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_EXETYPE) != 0;
}

} // namespace

// ---------------------------------------------------------------- CDropTarget

namespace {

const CComInterface kDropTargetInterfaces[] = {COM_INTERFACE(CDropTarget, IDropTarget)};
const CComTraceTexts kDropTargetTexts = {nullptr, "AddRef called on droptarget", "Release called on droptarget",
                                         "Releasing drop target"};

} // namespace

CDropTarget::CDropTarget(CToolbar* toolbar) : CComObject(kDropTargetInterfaces, kDropTargetTexts), m_toolbar(toolbar)
{
}

CToolButton* CDropTarget::ButtonAt(POINTL point) const
{
    if (!m_toolbar || !m_toolbar->Handle())
        return nullptr;
    POINT client{point.x, point.y};
    ScreenToClient(m_toolbar->Handle(), &client);
    HWND child = ChildWindowFromPointEx(m_toolbar->Handle(), client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == m_toolbar->Handle())
        return nullptr;
    for (int i = 0; i < m_toolbar->Count(); ++i) {
        CToolButton* button = m_toolbar->Button(i);
        if (button && button->Handle() == child)
            return button;
    }
    return nullptr;
}

CToolButton* CDropTarget::CurrentButton() const
{
    if (!m_toolbar || !m_buttonWindow)
        return nullptr;
    for (int i = 0; i < m_toolbar->Count(); ++i) {
        CToolButton* button = m_toolbar->Button(i);
        if (button && button->Handle() == m_buttonWindow)
            return button;
    }
    return nullptr;
}

void CDropTarget::ComputeAllowedEffects()
{
    m_allowedEffects = DROPEFFECT_NONE;
    m_allPrograms = FALSE;
    switch (m_dropKind) {
    case kFormatButton:
        Trace("Is private button");
        m_allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        break;
    case kFormatIdList: {
        Trace("Is shell object");
        FORMATETC format = TransferFormatEtc(kFormatIdList);
        STGMEDIUM medium{};
        if (FAILED(m_data->GetData(&format, &medium)))
            break;
        if (medium.tymed == TYMED_HGLOBAL) {
            CIdListArray array(medium.hGlobal);
            CItemId folderId(static_cast<LPCITEMIDLIST>(nullptr));
            if (array.Count() > 0 && array.GetItem(0, folderId)) {
                CShellFolder folder(folderId);
                DWORD effects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
                BOOL allPrograms = TRUE;
                for (UINT i = 1; i <= array.Count() && folder.IsValid(); ++i) {
                    CItemId item(static_cast<LPCITEMIDLIST>(nullptr));
                    ULONG attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
                    if (!array.GetItem(i, item) || !folder.GetAttributes(item, attributes)) {
                        effects = DROPEFFECT_NONE;
                        allPrograms = FALSE;
                        break;
                    }
                    if (!(attributes & SFGAO_CANCOPY))
                        effects &= ~DROPEFFECT_COPY;
                    if (!(attributes & SFGAO_CANMOVE))
                        effects &= ~DROPEFFECT_MOVE;
                    if (!(attributes & SFGAO_CANLINK))
                        effects &= ~DROPEFFECT_LINK;
                    CText path;
                    if (!folder.GetDisplayName(item, path) || !IsProgram(path.c_str()))
                        allPrograms = FALSE;
                }
                m_allowedEffects = folder.IsValid() ? effects : DROPEFFECT_NONE;
                m_allPrograms = folder.IsValid() && allPrograms;
            }
        }
        ReleaseStgMedium(&medium);
        break;
    }
    case kFormatHdrop: {
        Trace("Is hdrop");
        FORMATETC format = TransferFormatEtc(kFormatHdrop);
        STGMEDIUM medium{};
        if (FAILED(m_data->GetData(&format, &medium)))
            break;
        std::vector<std::string> files;
        // Names with no 8-bit form are still taken, to be refused with a
        // word at the drop rather than by a bare no-entry cursor.
        size_t unwritable = 0;
        if (medium.tymed == TYMED_HGLOBAL && ReadDropFileList(medium.hGlobal, files, &unwritable)
            && (!files.empty() || unwritable)) {
            m_allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            BOOL allPrograms = !files.empty();
            for (const std::string& file : files) {
                const DWORD attributes = GetFileAttributesA(file.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                    m_allowedEffects &= ~DROPEFFECT_MOVE;
                if (!IsProgram(file.c_str()))
                    allPrograms = FALSE;
            }
            m_allPrograms = allPrograms;
        }
        ReleaseStgMedium(&medium);
        break;
    }
    default:
        Trace("No drop");
        break;
    }
}

void CDropTarget::EnterTarget(DWORD keys, POINTL point, DWORD* effect)
{
    if (!m_toolbar)
        return;
    if (CToolButton* button = CurrentButton())
        button->DragEnter(m_data.Get(), keys, point, m_dropKind, m_allowedEffects, m_allPrograms, effect);
    else
        m_toolbar->OnDragEnter(m_data.Get(), keys, point, m_dropKind, effect);
}

void CDropTarget::LeaveTarget()
{
    if (!m_toolbar)
        return;
    if (CToolButton* button = CurrentButton()) {
        button->DragLeave();
        button->SetDropHighlight(FALSE);
    }
    m_toolbar->OnDragLeave();
}

STDMETHODIMP CDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    m_data.Reset();
    m_buttonWindow = nullptr;
    m_dropKind = kFormatNone;
    if (!data || !m_toolbar) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    data->AddRef();
    m_data.Reset(data);
    m_dropKind = m_toolbar->CanAcceptDrag(data);
    ComputeAllowedEffects();
    if (m_dropKind == kFormatNone) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    if (CToolButton* button = ButtonAt(point))
        m_buttonWindow = button->Handle();
    EnterTarget(keys, point, effect);
    return S_OK;
}

STDMETHODIMP CDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (!m_data || !m_toolbar || m_dropKind == kFormatNone) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    CToolButton* button = ButtonAt(point);
    HWND window = button ? button->Handle() : nullptr;
    if (window != m_buttonWindow) {
        // The drag moved onto another target: the old one hears it leave.
        const DWORD allowed = *effect;
        if (CToolButton* old = CurrentButton()) {
            old->DragLeave();
            old->SetDropHighlight(FALSE);
        } else {
            m_toolbar->OnDragLeave();
        }
        m_buttonWindow = window;
        *effect = allowed;
        EnterTarget(keys, point, effect);
        return S_OK;
    }
    if (button)
        button->DragOver(keys, point, effect);
    else
        m_toolbar->OnDragOver(keys, point, effect);
    return S_OK;
}

STDMETHODIMP CDropTarget::DragLeave()
{
    LeaveTarget();
    m_data.Reset();
    m_buttonWindow = nullptr;
    m_dropKind = kFormatNone;
    return S_OK;
}

STDMETHODIMP CDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (!m_data || !m_toolbar) {
        *effect = DROPEFFECT_NONE;
        return E_FAIL;
    }
    // The object OLE hands to Drop is the one that entered.
    IDataObject* dropped = data ? data : m_data.Get();
    BOOL handled = FALSE;
    if (m_dropKind == kFormatNone) {
        *effect = DROPEFFECT_NONE;
    } else {
        // The target is the one under the drop point, even when no DragOver
        // came after the last move.
        CToolButton* button = ButtonAt(point);
        HWND window = button ? button->Handle() : nullptr;
        if (window != m_buttonWindow) {
            const DWORD allowed = *effect;
            DWORD ignored = allowed;
            if (CToolButton* old = CurrentButton()) {
                old->DragLeave();
                old->SetDropHighlight(FALSE);
            } else {
                m_toolbar->OnDragLeave();
            }
            m_buttonWindow = window;
            EnterTarget(keys, point, &ignored);
            *effect = allowed;
        }
        if (button)
            handled = button->Drop(dropped, keys, point, effect);
        else
            handled = m_toolbar->OnDrop(dropped, keys, point, effect, nullptr);
    }
    // The toolbar may be gone after the drop only if it was closed by it,
    // which no drop does.
    DragLeave();
    return handled ? S_OK : E_FAIL;
}

// ---------------------------------------------------------------- CDropSource

namespace {

const CComInterface kDropSourceInterfaces[] = {COM_INTERFACE(CDropSource, IDropSource)};
const CComTraceTexts kDropSourceTexts = {nullptr, "AddRef called", "Release called", "Deleting drop source"};

} // namespace

CDropSource::CDropSource(CToolbar* toolbar) : CComObject(kDropSourceInterfaces, kDropSourceTexts), m_toolbar(toolbar)
{
}

STDMETHODIMP CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keys)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP CDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
