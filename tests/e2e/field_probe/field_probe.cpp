// Reads the running calculator on Windows, for the end-to-end tests under
// Wine:
//
//   meravel_field_probe [--window TITLE] ID...
//   meravel_field_probe --clipboard
//   meravel_field_probe --msaa [--window TITLE]
//   meravel_field_probe --layout [--window TITLE]
//
// The first prints the text of each control whose identifier is given, one
// line each, in UTF-8, as WM_GETTEXT returns it, from the dialog window
// titled "Meravel" or TITLE. The second prints the clipboard's text
// (CF_UNICODETEXT) in UTF-8, followed by a newline. The third prints what a
// screen reader gets over MSAA from each control of the window, in the
// window's order, a line each: identifier, role, name, value and
// description, separated by tabs. The fourth prints the window's rectangle,
// its client area's, then each visible control's, in screen pixels, a line
// each:
//
//   window LEFT TOP RIGHT BOTTOM
//   client LEFT TOP RIGHT BOTTOM
//   control ID CLASS STYLE LEFT TOP RIGHT BOTTOM   (STYLE in hexadecimal)
//
// Exit status 1 when there is no such window or control, or no text on the
// clipboard.

#include "win32/win32.h"

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

void PrintUtf8Line(const wchar_t *text, size_t length)
{
    std::string utf8(length * 4 + 1, '\0');
    const int bytes = ::WideCharToMultiByte(
        CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<size_t>(bytes));
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
}

int PrintClipboard()
{
    if (!::OpenClipboard(nullptr)) {
        std::fputs("cannot open the clipboard\n", stderr);
        return 1;
    }
    int status = 1;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *text = static_cast<const wchar_t *>(::GlobalLock(data))) {
            // Up to the terminating null, within the block's size.
            const size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
            size_t length = 0;
            while (length < capacity && text[length] != L'\0')
                ++length;
            PrintUtf8Line(text, length);
            ::GlobalUnlock(data);
            status = 0;
        }
    }
    ::CloseClipboard();
    if (status != 0)
        std::fputs("no text on the clipboard\n", stderr);
    return status;
}

// A BSTR answer, empty when there is none.
template <typename Query> std::wstring Answer(Query query)
{
    BSTR text = nullptr;
    if (FAILED(query(&text)) || !text)
        return {};
    std::wstring out(text, ::SysStringLen(text));
    ::SysFreeString(text);
    // A line of the listing: no tabs or line breaks inside a field.
    for (wchar_t &c : out) {
        if (c == L'\t' || c == L'\n' || c == L'\r')
            c = L' ';
    }
    return out;
}

int PrintAccessibility(HWND window)
{
    ::CoInitialize(nullptr);
    for (HWND control = ::GetWindow(window, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        IAccessible *object = nullptr;
        const HRESULT found = ::AccessibleObjectFromWindow(
            control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&object));
        if (FAILED(found)) {
            std::fprintf(stderr, "control %d: no accessible object (0x%08lx)\n", ::GetDlgCtrlID(control) & 0xFFFF,
                static_cast<unsigned long>(found));
            continue;
        }
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT role{};
        object->get_accRole(self, &role);
        std::wstring line = std::to_wstring(::GetDlgCtrlID(control) & 0xFFFF) + L"\t"
            + std::to_wstring(role.vt == VT_I4 ? role.lVal : 0) + L"\t"
            + Answer([&](BSTR *out) { return object->get_accName(self, out); }) + L"\t"
            + Answer([&](BSTR *out) { return object->get_accValue(self, out); }) + L"\t"
            + Answer([&](BSTR *out) { return object->get_accDescription(self, out); });
        PrintUtf8Line(line.c_str(), line.size());
        object->Release();
    }
    ::CoUninitialize();
    return 0;
}

int PrintLayout(HWND window)
{
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&rect), 2);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    std::printf("window %ld %ld %ld %ld\nclient %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom,
        rect.left, rect.top, rect.right, rect.bottom);
    for (HWND control = ::GetWindow(window, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        ::GetClassNameW(control, name, static_cast<int>(std::size(name)));
        ::GetWindowRect(control, &rect);
        if (::IsWindowVisible(control))
            std::printf("control %d %ls %lx %ld %ld %ld %ld\n", ::GetDlgCtrlID(control), name,
                static_cast<unsigned long>(::GetWindowLongW(control, GWL_STYLE)), rect.left, rect.top, rect.right,
                rect.bottom);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 2 && std::wcscmp(argv[1], L"--clipboard") == 0)
        return PrintClipboard();

    int first = 1;
    const bool msaa = argc >= 2 && std::wcscmp(argv[1], L"--msaa") == 0;
    const bool layout = argc >= 2 && std::wcscmp(argv[1], L"--layout") == 0;
    if (msaa || layout)
        first = 2;
    const wchar_t *title = L"Meravel";
    if (argc >= first + 2 && std::wcscmp(argv[first], L"--window") == 0) {
        title = argv[first + 1];
        first += 2;
    }
    HWND window = ::FindWindowW(L"#32770", title);
    if (!window) {
        std::fprintf(stderr, "no window titled %ls\n", title);
        return 1;
    }
    if (msaa)
        return PrintAccessibility(window);
    if (layout)
        return PrintLayout(window);
    for (int i = first; i < argc; ++i) {
        HWND control = ::GetDlgItem(window, static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
        if (!control) {
            std::fprintf(stderr, "no control %ls\n", argv[i]);
            return 1;
        }
        const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
        std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
        const LRESULT copied = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        PrintUtf8Line(text.data(), static_cast<size_t>(copied));
    }
    return 0;
}
