// Reads fields of the running calculator window on Windows, for the
// end-to-end tests under Wine:
//
//   meravel_field_probe ID...
//
// prints the text of each control of the window titled "Meravel" whose
// identifier is given, one line each, in UTF-8, as WM_GETTEXT returns it.
// Exit status 1 when there is no such window or control.

#include "win32/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int wmain(int argc, wchar_t **argv)
{
    HWND window = ::FindWindowW(L"#32770", L"Meravel");
    if (!window) {
        std::fputs("no window titled Meravel\n", stderr);
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        HWND control = ::GetDlgItem(window, static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
        if (!control) {
            std::fprintf(stderr, "no control %ls\n", argv[i]);
            return 1;
        }
        const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
        std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
        const LRESULT copied = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        std::string utf8(static_cast<size_t>(copied) * 4 + 1, '\0');
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(copied), utf8.data(),
            static_cast<int>(utf8.size()), nullptr, nullptr);
        utf8.resize(static_cast<size_t>(bytes));
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
