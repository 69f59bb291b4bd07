#include "win32/dialog.h"

#include "res/dialog_templates.h"
#include "win32/accessible.h"

#include <vector>

namespace meravel {

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
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CDialog *>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        // The window's last message: the object outlives it.
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }

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
