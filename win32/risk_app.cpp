#include "win32/risk_app.h"

#include "win32/risk_dialog.h"

#include <objbase.h>

namespace meravel {

bool CRiskApp::InitInstance()
{
    // The common controls of the manifest's version 6: the up-down control,
    // the date pickers and the themed standard controls.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

    // COM, in this thread's apartment: the controls hand their accessible
    // objects to screen readers in other processes through it.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CRiskDialog dialog;
        dialog.DoModal();
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return false;
}

int CRiskApp::Run()
{
    InitInstance();
    return 0;
}

} // namespace meravel
