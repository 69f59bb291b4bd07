#pragma once

// What depends on the DPI a window is shown at. The functions Windows 10
// added for it are looked up when the program runs, so that it still starts
// on older systems, where every window has the system's DPI.

#include "win32/win32.h"

namespace meravel {

// The DPI of the monitor the window is on (the system's before Windows 10
// version 1607).
UINT WindowDpi(HWND window);
// GetSystemMetrics (SM_CXICON, SM_CXSMICON...) as it is at this DPI.
int SystemMetricForDpi(int index, UINT dpi);
// The window rectangle around this client rectangle at this DPI.
void AdjustWindowRectForDpi(RECT &rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);
// Tells the dialog manager of Windows 10 version 1703 and later to leave a
// DPI change to the dialog: CDialog lays itself out again.
void LeaveDpiChangesToDialog(HWND dialog);
// The program's icon at size x size pixels: the icon file's image of that
// size, or a larger one scaled down, never one scaled up. The caller
// destroys it (DestroyIcon).
HICON LoadMainIcon(int size);

} // namespace meravel
