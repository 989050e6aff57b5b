#include "ButtonPropertySheet.h"

#include "ButtonDesktopPage.h"
#include "ButtonGeneralPage.h"
#include "ButtonStartupPage.h"
#include "ButtonTargetPage.h"
#include "FileButton.h"
#include "VirtualDesktop.h"
#include "../common/Application.h"
#include "../resources/lintel/resource.h"

#include <new>

CButtonPropertySheet::CButtonPropertySheet(CFileButton* button)
    : CPropertySheetBase(button, button), m_button(button)
{
}

CButtonPropertySheet::~CButtonPropertySheet() = default;

BOOL CButtonPropertySheet::Run()
{
    if (!m_button || CFileButton::PropertiesButton())
        return FALSE;
    // The mark must fall however the sheet ends.
    struct OpenMark {
        explicit OpenMark(CFileButton* button) { CFileButton::SetPropertiesButton(button); }
        ~OpenMark() { CFileButton::SetPropertiesButton(nullptr); }
    } mark(m_button);

    Add(new (std::nothrow) CButtonGeneralPage(m_button));
    Add(new (std::nothrow) CButtonTargetPage(m_button));
    Add(new (std::nothrow) CButtonStartupPage(m_button));
    // The library stays loaded while the sheet is up, for the desktop page,
    // and is freed once it has closed.
    CVirtualDesktop desktops;
    if (desktops.Initialise())
        Add(new (std::nothrow) CButtonDesktopPage(m_button, &desktops));

    // The toolbar stays disabled while the sheet is up, so that the button
    // cannot be cut or removed under its pages.
    struct DisabledToolbar {
        HWND window;
        explicit DisabledToolbar(HWND toolbar) : window(toolbar && IsWindowEnabled(toolbar) ? toolbar : nullptr)
        {
            if (window)
                EnableWindow(window, FALSE);
        }
        ~DisabledToolbar()
        {
            if (window && IsWindow(window))
                EnableWindow(window, TRUE);
        }
    } disabled(m_button->Host() ? m_button->Host()->Window() : nullptr);

    CText caption;
    if (!caption.LoadString(AppInstance(), IDS_BUTTON_PROPERTIES))
        caption = "Button Properties";
    const BOOL shown = Show(caption) != 0;
    Clear();
    if (m_button->Handle())
        InvalidateRect(m_button->Handle(), nullptr, TRUE);
    return shown;
}
