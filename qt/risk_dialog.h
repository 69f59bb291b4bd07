#pragma once

// The calculator window. It is built from the IDD_MAIN layout table, keeps
// the form (RiskForm) that turns the age, the formula and the weeks into the
// shown figures, and serves as the form's platform: data exchange between the
// fields and the form's text values, the formula list's selection and the
// weeks spin control's position.
//
//   age edited        -> OnChangeAge        -> ComputeTermRisk
//   formula chosen    -> OnSelchangeFormula -> ComputeTermRisk
//   weeks edited      -> OnChangeWeeks      -> ComputeGestationalRisk
//   spin step         -> OnVScroll          -> ComputeGestationalRisk
//   Quitter, Enter    -> OK                 -> the window ends (accepted)
//   Escape, close box -> Cancel             -> the window ends (rejected)
//   Infos, F1, the system menu's About item -> aboutRequested()
//   Outils > Âge à l'accouchement -> OnToolsDeliveryAge: the age from two
//                                    dates, written into the age field
//   Outils > Copier le résumé, Ctrl+Shift+C -> OnToolsCopySummary: the
//                                    summary for the patient record, to the clipboard
//   Outils > Courbe du risque      -> OnToolsRiskCurve: the curve window, kept
//                                    up to date after each ComputeTermRisk

#include "form/risk_form.h"
#include "form/updown.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

class QComboBox;
class QLineEdit;
class QMenuBar;

namespace meravel {

class CRiskCurveWindow;
class UpDownControl;

class CRiskDialog : public QDialog, private FormPlatform
{
    Q_OBJECT

public:
    explicit CRiskDialog(QWidget *parent = nullptr);
    ~CRiskDialog() override;

    const QIcon &Icon() const { return m_hIcon; }

Q_SIGNALS:
    // The About box is asked for: menu Infos, F1 or the system menu's item.
    void aboutRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OnInitDialog();
    QMenuBar *CreateMenuBar();

    void OnChangeAge();
    void OnSelchangeFormula();
    void OnChangeWeeks();
    void OnVScroll(int delta);
    void OnMenuQuit();
    void OnMenuInfo();
    void OnToolsDeliveryAge();
    void OnToolsCopySummary();
    void OnToolsRiskCurve();
    void OnOK();

    // Shows the current formula and age in the curve window, when it is open.
    void UpdateRiskCurve();

    // FormPlatform
    void ReadFields(FormTexts &texts) override;
    void WriteFields(const FormTexts &texts) override;
    int FormulaSelection() override;
    void SelectFormula(int index) override;
    int WeeksPosition() override;
    void SetUpWeeksSpin(int lower, int upper, int position) override;

    void SetFieldText(QLineEdit *field, const std::string &text);
    // Centres the window's frame, title bar included, on its screen.
    void CentreFrame();

    QIcon m_hIcon;
    UpDownState m_spinWeeks;
    RiskForm m_form;

    UpDownControl *m_pSpinWeeks = nullptr;
    QComboBox *m_comboFormula = nullptr;
    QLineEdit *m_pAge = nullptr;
    QLineEdit *m_pTermRisk = nullptr;
    QLineEdit *m_pGestRisk = nullptr;
    QLineEdit *m_pWeeks = nullptr;
    QLineEdit *m_pAdvice = nullptr;
    // Open from Outils > Courbe du risque until it is closed.
    QPointer<CRiskCurveWindow> m_pRiskCurve;

    // True while the form writes its values into the fields or sets the
    // controls itself: the notifications raised meanwhile are not the user's.
    bool m_bExchanging = false;
    // True until the window manager has framed the window once.
    bool m_bCentring = false;
};

} // namespace meravel
