#pragma once

// A dialog from a template of the program's resources, the way the platform
// has always run them: DialogBoxParamW (modal) or CreateDialogParamW
// (modeless) with a dialog procedure that finds its object from the window
// (DWLP_USER) and hands each message to a typed handler: OnInitDialog,
// OnCommand (menus, accelerators, controls' notifications), OnNotify (common
// controls), OnMessage (the rest). The default OK and Cancel actions end the
// modal run; Enter, Escape and the close command reach them through the
// dialog manager. A modeless dialog overrides them to destroy its window.
//
// Windows passes what a window leaves unhandled on to its owner; two such
// messages are settled here for every dialog. F1 (WM_HELP) stops at the
// window it was pressed in unless OnMessage takes it: in a window the
// calculator owns it would otherwise open the calculator's About box a second
// time, over a modal one. An accelerator's command (code 1) that OnCommand
// does not take goes to the owner: the calculator's keys that work from
// every window arrive there.
//
// Moved to a monitor of another DPI, the window lays itself out again from
// its layout table (res/dialog_templates.h) as the dialog manager laid it out
// when it was created: the template's font at the new DPI, each control on
// its rectangle in that font's dialog units, the client area to the
// template's size; then OnDpiChanged reloads what is drawn for a DPI.

#include "win32/win32.h"

#include <string>

namespace meravel {

namespace res {
struct DialogTemplate;
}

class CDialog
{
public:
    explicit CDialog(int templateId, HWND parent = nullptr);
    virtual ~CDialog() = default;
    CDialog(const CDialog &) = delete;
    CDialog &operator=(const CDialog &) = delete;

    // Creates the window, runs it until it ends; IDOK or IDCANCEL.
    INT_PTR DoModal();
    // Creates the window and returns at once: a modeless dialog, which lives
    // until DestroyWindow. False when the window could not be created.
    bool Create();

    // The window, or nullptr before it is created and once it is destroyed.
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The DPI the window is laid out for.
    UINT Dpi() const { return m_dpi; }

    // The object of a dialog window made by this class; nullptr for any other
    // window, so that any window of the thread may be asked.
    static CDialog *FromHandle(HWND window);

protected:
    // True gives the focus to the first tab stop, its text selected.
    virtual BOOL OnInitDialog() { return TRUE; }
    // WM_COMMAND but IDOK and IDCANCEL: a menu command (code 0), an
    // accelerator (code 1) or a control's notification; true when handled.
    virtual bool OnCommand(int /*code*/, int /*id*/) { return false; }
    // WM_NOTIFY from a common control; the control acts on the header's
    // changes once this returns.
    virtual void OnNotify(int /*id*/, NMHDR * /*header*/) { }
    // Any other message; true when handled, with the result stored in *result
    // for the messages that return one.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result);
    virtual void OnOK();
    virtual void OnCancel();
    // The window was laid out again for Dpi(): the images drawn for a DPI
    // (icons) are to be loaded again.
    virtual void OnDpiChanged() { }

    // Centres the window over its owner, or on the screen without one.
    void CenterWindow();

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The messages of DPI changes and of the font they bring; true when
    // handled, with the message's result in *result.
    bool OnDpiMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    // The window laid out again at this DPI, its top-left corner at origin.
    void LayOutForDpi(const res::DialogTemplate &layout, UINT dpi, POINT origin);

    int m_nTemplateId;
    HWND m_hParent;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    // The font of the controls once the window was laid out again; the
    // object's to delete.
    HFONT m_hFont = nullptr;
};

// UTF-8 in the core, UTF-16 on the window.
std::wstring ToUtf16(const std::string &text);
std::string ToUtf8(const std::wstring &text);
// The text of a window or control, in UTF-8.
std::string WindowTextUtf8(HWND window);

} // namespace meravel
