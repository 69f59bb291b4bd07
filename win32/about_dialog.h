#pragma once

// The About box on Windows: the dialog template IDD_ABOUT, centred over the
// calculator, which stays disabled while it is open. Its OK button, Enter,
// Escape and the close box end it. The icon is drawn at the size of the
// window's DPI, made smaller where it would reach the title beside it.

#include "win32/dialog.h"

namespace meravel {

class CAboutDialog : public CDialog
{
public:
    explicit CAboutDialog(HWND owner);
    ~CAboutDialog() override;

protected:
    BOOL OnInitDialog() override;
    void OnDpiChanged() override;

private:
    void SetIcon();

    // The program's to destroy.
    HICON m_hIcon = nullptr;
};

} // namespace meravel
