#include "win32/dialog.h"

#include "res/dialog_templates.h"
#include "win32/accessible.h"
#include "win32/dpi.h"

#include <vector>

namespace meravel {

namespace {

// The dialog units of a font as the dialog manager reckons them: a quarter
// of the average width of the 52 Latin letters, rounded, and an eighth of the
// font's height.
struct DialogUnits
{
    int baseX;
    int baseY;
    int X(int units) const { return ::MulDiv(units, baseX, 4); }
    int Y(int units) const { return ::MulDiv(units, baseY, 8); }
};

// The template's font at this DPI, and its dialog units; the caller
// deletes the font.
struct ScaledFont
{
    HFONT font;
    DialogUnits units;
};

ScaledFont FontForDpi(HWND dialog, const res::DialogTemplate &layout, UINT dpi)
{
    // The face, charset and weight the dialog manager chose; only the size
    // follows the DPI.
    LOGFONTW face{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof face, &face);
    face.lfHeight = -::MulDiv(layout.pointSize, static_cast<int>(dpi), 72);
    face.lfWidth = 0;
    HFONT font = ::CreateFontIndirectW(&face);

    HDC dc = ::GetDC(dialog);
    HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters{};
    ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    ::SelectObject(dc, previous);
    ::ReleaseDC(dialog, dc);
    return {font, {(letters.cx / 26 + 1) / 2, metrics.tmHeight}};
}

// The window's size at this DPI around the template's client area.
SIZE WindowSizeFor(HWND dialog, const res::DialogTemplate &layout, const DialogUnits &units, UINT dpi)
{
    RECT frame = {0, 0, units.X(layout.cx), units.Y(layout.cy)};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(dialog, GWL_STYLE)), ::GetMenu(dialog) != nullptr,
        static_cast<DWORD>(::GetWindowLongW(dialog, GWL_EXSTYLE)), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// A dialog procedure's answer to a message that returns a value.
bool Answer(HWND window, LRESULT value, LRESULT *result)
{
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, value);
    *result = value;
    return true;
}

} // namespace

CDialog::CDialog(int templateId, HWND parent)
    : m_nTemplateId(templateId)
    , m_hParent(parent)
{
}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), m_hParent,
        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create()
{
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), m_hParent,
               &CDialog::DialogProc, reinterpret_cast<LPARAM>(this))
        != nullptr;
}

CDialog *CDialog::FromHandle(HWND window)
{
    // A dialog window (class atom 32770) whose procedure is this class's:
    // only then is DWLP_USER an object of this class.
    constexpr ULONG_PTR kDialogClassAtom = 0x8002;
    if (!window || ::GetClassLongPtrW(window, GCW_ATOM) != kDialogClassAtom)
        return nullptr;
    if (reinterpret_cast<DLGPROC>(::GetWindowLongPtrW(window, DWLP_DLGPROC)) != &CDialog::DialogProc)
        return nullptr;
    return reinterpret_cast<CDialog *>(::GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog *self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog *>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
        if (const res::DialogTemplate *table = res::DialogTemplateById(self->m_nTemplateId))
            SetAccessibleFacts(hwnd, *table);
        self->m_dpi = WindowDpi(hwnd);
        LeaveDpiChangesToDialog(hwnd);
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CDialog *>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        // The window's last message: the object outlives it.
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        if (self->m_hFont)
            ::DeleteObject(self->m_hFont);
        self->m_hFont = nullptr;
        return FALSE;
    }
    if (LRESULT answer = 0; self->OnDpiMessage(message, wParam, lParam, &answer))
        return TRUE;

    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        // The OK and Cancel commands: Enter, Escape, the close command, an OK
        // button, or a menu command that ends the dialog.
        if (code == BN_CLICKED && id == IDOK) {
            self->OnOK();
            return TRUE;
        }
        if (code == BN_CLICKED && id == IDCANCEL) {
            self->OnCancel();
            return TRUE;
        }
        if (self->OnCommand(code, id))
            return TRUE;
        HWND owner = ::GetWindow(hwnd, GW_OWNER);
        if (code == 1 && owner)
            ::SendMessageW(owner, WM_COMMAND, wParam, lParam);
        return code == 1 && owner;
    }
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        self->OnNotify(static_cast<int>(header->idFrom), header);
        return FALSE;
    }
    default:
        break;
    }
    INT_PTR result = TRUE;
    if (self->OnMessage(message, wParam, lParam, &result))
        return result;
    // Handled, so that it goes no further.
    return message == WM_HELP;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR *)
{
    return false;
}

bool CDialog::OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (message == WM_GETFONT) {
        // The dialog manager answers with the font it made for the first DPI.
        return m_hFont && Answer(m_hWnd, reinterpret_cast<LRESULT>(m_hFont), result);
    }
    const res::DialogTemplate *layout = res::DialogTemplateById(m_nTemplateId);
    if (!layout)
        return false;
    if (message == WM_GETDPISCALEDSIZE) {
        // Windows 10 1703 and later ask first, so that the rectangle they
        // suggest with WM_DPICHANGED has the size the window will take.
        const ScaledFont scaled = FontForDpi(m_hWnd, *layout, LOWORD(wParam));
        *reinterpret_cast<SIZE *>(lParam) = WindowSizeFor(m_hWnd, *layout, scaled.units, LOWORD(wParam));
        ::DeleteObject(scaled.font);
        return Answer(m_hWnd, TRUE, result);
    }
    if (message == WM_DPICHANGED) {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        LayOutForDpi(*layout, HIWORD(wParam), {suggested->left, suggested->top});
        return Answer(m_hWnd, 0, result);
    }
    return false;
}

void CDialog::LayOutForDpi(const res::DialogTemplate &layout, UINT dpi, POINT origin)
{
    const ScaledFont scaled = FontForDpi(m_hWnd, layout, dpi);
    const DialogUnits &units = scaled.units;

    // The controls are the window's children in template order (the order
    // the dialog manager made them in, which is also the tab order).
    HWND child = ::GetWindow(m_hWnd, GW_CHILD);
    for (const res::DialogControl &control : layout.controls) {
        if (!child)
            break;
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled.font), FALSE);
        ::SetWindowPos(child, nullptr, units.X(control.x), units.Y(control.y), units.X(control.cx), units.Y(control.cy),
            SWP_NOZORDER | SWP_NOACTIVATE);
        // An up-down control given its field again moves to the field's
        // edge, which it narrows, as when it was made.
        if (control.kind == res::ControlKind::UpDown)
            ::SendMessageW(child, UDM_SETBUDDY, ::SendMessageW(child, UDM_GETBUDDY, 0, 0), 0);
        child = ::GetWindow(child, GW_HWNDNEXT);
    }

    const SIZE size = WindowSizeFor(m_hWnd, layout, units, dpi);
    ::SetWindowPos(m_hWnd, nullptr, origin.x, origin.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame drawn is not the one this DPI gives (under Wine, whose
    // frame keeps the system's DPI), the client area is set straight.
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int wider = units.X(layout.cx) - client.right;
    const int taller = units.Y(layout.cy) - client.bottom;
    if (wider != 0 || taller != 0)
        ::SetWindowPos(
            m_hWnd, nullptr, 0, 0, size.cx + wider, size.cy + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (m_hFont)
        ::DeleteObject(m_hFont);
    m_hFont = scaled.font;
    m_dpi = dpi;
    OnDpiChanged();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CDialog::OnOK()
{
    ::EndDialog(m_hWnd, IDOK);
}

void CDialog::OnCancel()
{
    ::EndDialog(m_hWnd, IDCANCEL);
}

void CDialog::CenterWindow()
{
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    RECT area{};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring ToUtf16(const std::string &text)
{
    if (text.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string ToUtf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int size
        = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::string WindowTextUtf8(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return ToUtf8(std::wstring(buffer.data(), static_cast<size_t>(copied)));
}

} // namespace meravel
