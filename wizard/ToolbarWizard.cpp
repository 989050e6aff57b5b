#include "ToolbarWizard.h"

#include "WizardPages.h"
#include "../common/Application.h"
#include "../common/ControlMessages.h"
#include "../common/Help.h"
#include "../common/PropertyPage.h"
#include "../common/TraceLog.h"
#include "../resources/wizard/wizard_res.h"

#include <new>

CToolbarWizard::CToolbarWizard(CApplication* application) : CWindowBase(application, nullptr)
{
    m_answers.name.LoadString(AppInstance(), IDS_DEFAULT_NAME);
    if (m_answers.name.IsEmpty())
        m_answers.name = "Lintel";
    CText list;
    list.LoadString(AppInstance(), IDS_COMPANIES);
    m_companies = SplitCompanies(list.c_str());
    m_images = ImageList_Create(16, 16, ILC_MASK | ILC_COLORDDB, 16, 16);
}

CToolbarWizard::~CToolbarWizard()
{
    m_found.clear();
    if (m_images)
        ImageList_Destroy(m_images);
}

BOOL CToolbarWizard::RegisterClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.cbWndExtra = kExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_WIZARD));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = LINTEL_WIZARD_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL CToolbarWizard::Create()
{
    CText title;
    title.LoadString(AppInstance(), IDS_WIZARD_CAPTION);
    return CWindowBase::Create(0, LINTEL_WIZARD_CLASS, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

BOOL CToolbarWizard::OnCreate(HWND)
{
    // The wizard's toolbar is built by the main program: without it there is
    // nothing to hand the answers to.
    if (!FindWindowA(LINTEL_MAIN_CLASS, "Lintel")) {
        Message(nullptr, IDS_MSG_NO_LINTEL, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    PostMessageA(Handle(), UM_RUN_WIZARD, 0, 0);
    return TRUE;
}

BOOL CToolbarWizard::OnDestroy()
{
    PostQuitMessage(0);
    return TRUE;
}

LRESULT CToolbarWizard::WindowProc(UINT message, WPARAM first, LPARAM second)
{
    switch (message) {
    case UM_RUN_WIZARD:
        RunWizard();
        return 0;
    case WM_CLOSE:
        DestroyWindow(Handle());
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return DefaultProc(message, first, second);
    }
}

void CToolbarWizard::RunWizard()
{
    const auto alive = AliveToken();
    {
        CPropertySheetBase sheet(this, this);
        AddWizardPages(sheet, *this);
        sheet.Show(CText(""), PSH_WIZARD);
    }
    if (!*alive)
        return;
    if (m_finished && !HandOverToolbar(m_answers, m_found))
        Message(nullptr, IDS_MSG_BUILD_FAILED, MB_OK | MB_ICONINFORMATION);
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

int CToolbarWizard::Message(HWND owner, UINT textId, UINT style) const
{
    CApplication* application = Application() ? Application() : TheApplication();
    if (!application)
        return IDOK;
    return application->DisplayMessage(owner, textId, MAKEINTRESOURCEA(IDS_WIZARD_CAPTION), style, kCaptionFromId);
}

BOOL CToolbarWizard::ShowHelp(HWND owner, UINT context) const
{
    CText helpFile;
    if (!helpFile.LoadString(AppInstance(), IDS_HELP_FILE))
        return FALSE;
    return ::ShowHelp(owner, helpFile.c_str(), HELP_CONTEXT, context);
}

bool CToolbarWizard::SameAsLastSearch() const
{
    return m_searched && m_lastSearch == SearchChoice::Of(m_searchMask, m_companies);
}

void CToolbarWizard::RecordSearch()
{
    m_searched = true;
    m_lastSearch = SearchChoice::Of(m_searchMask, m_companies);
}

void CToolbarWizard::SelectAllCompanies()
{
    for (CCompany& company : m_companies)
        company.selected = 1;
}
