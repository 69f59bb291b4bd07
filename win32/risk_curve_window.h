#pragma once

// The risk curve on Windows: the dialog template IDD_RISK_CURVE, a modeless
// window owned by the calculator window, placed beside it where the core says
// (PlaceBeside). Its owner-drawn static IDC_RISK_CURVE is painted with GDI,
// double-buffered, from the picture the core lays out for the dialog's font
// (LayOutRiskCurve), in the roles' colours the core makes from the system
// colours (PlotColours); while the window is open it listens to the
// calculator's figures and follows them. The static's text is the plot's
// one-line description, the name a screen reader gives it.
//
//   Fermer, Enter, Escape, close box  -> DestroyWindow; the object stays, and
//                                        Show opens a new window
//
// The calculator runs a modal loop, which does not know this window: it hands
// the window's keyboard messages to PreTranslateMessage.

#include "form/calculator.h"
#include "win32/dialog.h"

#include <string>

namespace meravel {

class CRiskCurveWindow : public CDialog, private FiguresListener
{
public:
    CRiskCurveWindow(HWND owner, Calculator &calculator);
    ~CRiskCurveWindow() override;

    // Opens the window, or brings it to the front when it is open.
    void Show();
    // Destroys the window when it is open.
    void Close();
    bool IsOpen() const { return m_hWnd != nullptr; }

    // The dialog manager's keys (Tab, Enter, Escape...) for a message to this
    // window or one of its controls; true when the message was handled.
    bool PreTranslateMessage(MSG *msg);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void PlaceBesideOwner();
    void UpdateDescription();
    void Draw(const DRAWITEMSTRUCT &item);
    // FiguresListener: redrawn when the formula or the age changed.
    void OnFiguresChanged() override;

    Calculator &m_calculator;
    RiskCurveState m_state;
};

} // namespace meravel
