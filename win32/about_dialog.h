#pragma once

// The About box on Windows: the dialog template IDD_ABOUT, centred over the
// calculator, which stays disabled while it is open. Its OK button, Enter,
// Escape and the close box end it.

#include "win32/dialog.h"

namespace meravel {

class CAboutDialog : public CDialog
{
public:
    explicit CAboutDialog(HWND owner);

protected:
    BOOL OnInitDialog() override;
};

} // namespace meravel
