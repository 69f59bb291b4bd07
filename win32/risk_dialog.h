#pragma once

// The calculator window on Windows: the dialog template IDD_MAIN, the real
// up-down control beside the weeks field, and the form (RiskForm) that turns
// the age, the formula and the weeks into the shown figures. The window is
// the form's platform: data exchange between the fields and the form's text
// values, the formula list's selection and the weeks spin control's position.
//
//   age edited         EN_CHANGE     -> OnChangeAge        -> ComputeTermRisk
//   formula chosen     CBN_SELCHANGE -> OnSelchangeFormula -> ComputeTermRisk
//   weeks edited       EN_CHANGE     -> OnChangeWeeks      -> ComputeGestationalRisk
//   spin step          WM_VSCROLL    -> OnVScroll          -> ComputeGestationalRisk
//   Quitter, Enter     IDOK          -> OnOK               -> the window ends
//   Escape, close box  IDCANCEL      -> OnCancel           -> the window ends
//   Infos, F1, the system menu's About item                -> the About box
//   Outils: Âge à l'accouchement...   -> the dates' dialog  -> the age field, as typed
//   Outils: Copier le résumé, Ctrl+Shift+C                   -> the clipboard
//   Outils: Courbe du risque...       -> the curve window, which then follows
//                                        each recalculation of the term figure
//
// A modal dialog's loop has no room for an accelerator table or for another
// window's keys: while the window runs, a message filter hook of the thread
// (WH_MSGFILTER) translates Ctrl+Shift+C for it and hands the curve window's
// keys to that window's dialog manager.

#include "form/risk_form.h"
#include "form/updown.h"
#include "win32/dialog.h"

#include <memory>

namespace meravel {

class CRiskCurveWindow;

class CRiskDialog : public CDialog, private FormPlatform
{
public:
    explicit CRiskDialog(HWND parent = nullptr);
    ~CRiskDialog() override;

protected:
    BOOL OnInitDialog() override;
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
    bool OnCommand(WPARAM wParam);
    bool OnSysCommand(WPARAM command);
    bool OnPaint();

    void OnChangeAge();
    void OnSelchangeFormula();
    void OnChangeWeeks();
    void OnDeltaposWeeksSpin(NMUPDOWN *change);
    void OnVScroll();
    void OnMenuQuit();
    void OnMenuInfo();
    void OnToolsDeliveryAge();
    void OnToolsCopySummary();
    void OnToolsRiskCurve();
    // After each recalculation: the curve shows the new age and formula.
    void UpdateCurve();

    // FormPlatform
    void ReadFields(FormTexts &texts) override;
    void WriteFields(const FormTexts &texts) override;
    int FormulaSelection() override;
    void SelectFormula(int index) override;
    int WeeksPosition() override;
    void SetUpWeeksSpin(int lower, int upper, int position) override;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string ItemText(int id) const { return WindowTextUtf8(Item(id)); }
    void SetItemText(int id, const std::string &text);

    HICON m_hIcon;
    HICON m_hSmallIcon;
    // The weeks position by the same rule as on every platform; the up-down
    // control is steered to it at each step.
    UpDownState m_spinWeeks;
    RiskForm m_form;

    HACCEL m_hAccelerators;
    HHOOK m_hMessageFilter = nullptr;
    // True while the hook hands a message to the curve window's dialog
    // manager, which calls the hook again.
    bool m_bFiltering = false;
    std::unique_ptr<CRiskCurveWindow> m_curve;

    // True while the form writes its values into the fields or sets the
    // controls itself: the notifications raised meanwhile are not the user's.
    bool m_bExchanging = false;
};

} // namespace meravel
