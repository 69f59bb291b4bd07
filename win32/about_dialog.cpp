#include "win32/about_dialog.h"

#include "res/resource.h"
#include "win32/dpi.h"

#include <algorithm>

namespace meravel {

CAboutDialog::CAboutDialog(HWND owner)
    : CDialog(IDD_ABOUT, owner)
{
}

CAboutDialog::~CAboutDialog()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

BOOL CAboutDialog::OnInitDialog()
{
    SetIcon();
    CenterWindow();
    // The focus goes to OK, the only tab stop.
    return TRUE;
}

void CAboutDialog::OnDpiChanged()
{
    SetIcon();
}

void CAboutDialog::SetIcon()
{
    HWND image = ::GetDlgItem(m_hWnd, IDC_ABOUT_ICON);
    RECT icon{};
    RECT title{};
    ::GetWindowRect(image, &icon);
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_ABOUT_TITLE), &title);
    // The large icon's size at this DPI, within the room left of the title
    // and a dialog unit's gap.
    RECT gap = {0, 0, 1, 1};
    ::MapDialogRect(m_hWnd, &gap);
    const int room = title.left - icon.left - gap.right;
    HICON loaded = LoadMainIcon(std::min(SystemMetricForDpi(SM_CXICON, Dpi()), room));
    // The control takes the icon's size.
    ::SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(loaded), 0);
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = loaded;
}

} // namespace meravel
