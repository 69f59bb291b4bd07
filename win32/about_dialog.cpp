#include "win32/about_dialog.h"

#include "res/resource.h"

namespace meravel {

CAboutDialog::CAboutDialog(HWND owner)
    : CDialog(IDD_ABOUT, owner)
{
}

BOOL CAboutDialog::OnInitDialog()
{
    CenterWindow();
    // The focus goes to OK, the only tab stop.
    return TRUE;
}

} // namespace meravel
