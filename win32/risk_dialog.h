#pragma once

// The calculator window on Windows: the dialog template IDD_MAIN with the
// real up-down control beside the weeks field. It shows what the core
// (Calculator) decides: it hands each field's change notification and each
// command to it, and serves it as its window: data exchange between the
// fields and the form's text values, the formula list's selection, and the
// dialogs, clipboard and sound the commands ask for.
//
//   age edited         EN_CHANGE     -> OnChangeAge
//   formula chosen     CBN_SELCHANGE -> OnSelchangeFormula
//   weeks edited       EN_CHANGE     -> OnChangeWeeks
//   spin step          UDN_DELTAPOS  -> OnDeltaposWeeks (where the control is to move)
//                      WM_VSCROLL    -> OnVScroll (the field and the figure)
//   menus, accelerators, Enter (IDOK), F1 (WM_HELP), the system menu's
//   About item                       -> OnCommand, with the command's identifier
//   Escape, close box  IDCANCEL      -> the window ends
//
// A modal dialog's loop has no room for an accelerator table or for another
// window's keys: while the window runs, a message filter hook of the thread
// (WH_MSGFILTER) translates its accelerators (Ctrl+Shift+C) for it, those
// of the commands that work from every window (Calculator::
// WorksFromEveryWindow) for the windows it owns, which pass the command on
// to it (CDialog), and hands the curve window's keys to that window's dialog
// manager. F1 in a window it owns stops there (CDialog).

#include "form/calculator.h"
#include "win32/dialog.h"

#include <memory>

namespace meravel {

class CRiskCurveWindow;

class CRiskDialog : public CDialog, private FormPlatform, private CalculatorWindow
{
public:
    explicit CRiskDialog(HWND parent = nullptr);
    ~CRiskDialog() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int code, int id) override;
    void OnNotify(int id, NMHDR *header) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result) override;
    void OnOK() override;
    void OnCancel() override;

private:
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);
    // A message of the thread's modal loops whose top-level window is `root`;
    // true when it was handled here and is not to be dispatched.
    bool PreTranslateMessage(HWND root, MSG *msg);
    void OnDestroy();

    void AddAboutItemToSystemMenu();
    // The caption's and task bar's icons, drawn for the window's DPI.
    void SetIcons();
    void OnDpiChanged() override;
    bool OnPaint();

    // FormPlatform
    void ReadFields(FormTexts &texts) override;
    void WriteFields(const FormTexts &texts) override;
    int FormulaSelection() override;
    void SelectFormula(int index) override;
    void SetUpWeeksSpin(int lower, int upper, int position) override;

    // CalculatorWindow
    void EndAccepted() override;
    void RunAboutBox() override;
    CalendarDate Today() override;
    std::optional<DeliveryAgeCheck> RunDeliveryAge(const DeliveryAgeDates &opening) override;
    void TypeAge(const std::string &text) override;
    void TypeWeeks(const std::string &text) override;
    bool CopyToClipboard(const std::string &text) override;
    void Beep() override;
    void Announce(const std::string &text) override;
    void ShowStatus(const std::string &text) override;
    void ShowRiskCurve() override;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string ItemText(int id) const { return WindowTextUtf8(Item(id)); }
    void SetItemText(int id, const std::string &text);
    void TypeOver(int id, const std::string &text);
    // The curve window closes before the calculator, which hides at once.
    void CloseCurve();

    // The program's to destroy.
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    Calculator m_calculator;

    HWND m_hAnnouncer = nullptr;
    HACCEL m_hAccelerators;
    // Those of the commands that work from every window; the program's to
    // destroy.
    HACCEL m_hSharedAccelerators = nullptr;
    HHOOK m_hMessageFilter = nullptr;
    // True while the hook hands a message to the curve window's dialog
    // manager, which calls the hook again.
    bool m_bFiltering = false;
    std::unique_ptr<CRiskCurveWindow> m_curve;
};

} // namespace meravel
