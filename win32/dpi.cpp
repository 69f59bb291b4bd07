#include "win32/dpi.h"

#include "res/resource.h"

namespace meravel {

namespace {

// A function of a loaded system library, or nullptr where this Windows has
// none.
template <typename Function> Function *Lookup(const wchar_t *library, const char *name)
{
    const FARPROC address = ::GetProcAddress(::GetModuleHandleW(library), name);
    // Through the generic function pointer type, which any other converts from.
    return reinterpret_cast<Function *>(reinterpret_cast<void (*)()>(address));
}

UINT SystemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

} // namespace

UINT WindowDpi(HWND window)
{
    static const auto getDpi = Lookup<decltype(::GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi ? dpi : SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi)
{
    static const auto getMetric = Lookup<decltype(::GetSystemMetricsForDpi)>(L"user32.dll", "GetSystemMetricsForDpi");
    if (getMetric)
        return getMetric(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void AdjustWindowRectForDpi(RECT &rect, DWORD style, bool menu, DWORD exStyle, UINT dpi)
{
    static const auto adjust = Lookup<decltype(::AdjustWindowRectExForDpi)>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjust)
        adjust(&rect, style, menu, exStyle, dpi);
    else
        ::AdjustWindowRectEx(&rect, style, menu, exStyle);
}

void LeaveDpiChangesToDialog(HWND dialog)
{
    static const auto setBehavior
        = Lookup<decltype(::SetDialogDpiChangeBehavior)>(L"user32.dll", "SetDialogDpiChangeBehavior");
    if (setBehavior)
        setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

HICON LoadMainIcon(int size)
{
    // Version 6 of the common controls (the manifest's) has it; mingw-w64's
    // import library does not name it.
    static const auto scaleDown = Lookup<decltype(::LoadIconWithScaleDown)>(L"comctl32.dll", "LoadIconWithScaleDown");
    HINSTANCE program = ::GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    if (scaleDown && SUCCEEDED(scaleDown(program, MAKEINTRESOURCEW(IDR_MAIN_ICON), size, size, &icon)))
        return icon;
    return static_cast<HICON>(::LoadImageW(program, MAKEINTRESOURCEW(IDR_MAIN_ICON), IMAGE_ICON, size, size, 0));
}

} // namespace meravel
