#pragma once

// The calculator window. It is built from the IDD_MAIN layout table and shows
// what the core (Calculator) decides: it hands each field's change and each
// command to it, and serves it as its window: data exchange between the
// fields and the form's text values, the formula list's selection, and the
// windows, clipboard and sound the commands ask for.
//
//   age edited        -> OnChangeAge
//   formula chosen    -> OnSelchangeFormula
//   weeks edited      -> OnChangeWeeks
//   spin step         -> OnSpinStep
//   Enter, the menus and their keys (F1, Ctrl+Q, Ctrl+Shift+C)
//                     -> OnCommand, with the command's identifier
//   Escape, close box -> the window ends (rejected)
//
// The About box is asked for with aboutRequested(), for the application to
// run it. The keys of the commands that work from every window
// (Calculator::WorksFromEveryWindow) are given to the program's other windows
// with ShareCommands; F1 is the calculator's alone.

#include "form/calculator.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <QTimer>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;

namespace meravel {

class Announcer;
class CRiskCurveWindow;
class UpDownSpinBox;

class CRiskDialog : public QDialog, private FormPlatform, private CalculatorWindow
{
    Q_OBJECT

public:
    explicit CRiskDialog(QWidget *parent = nullptr);
    ~CRiskDialog() override;

    const QIcon &Icon() const { return m_hIcon; }
    Calculator &Calc() { return m_calculator; }
    // The keys of the commands that work from every window work in this
    // window of the program too.
    void ShareCommands(QWidget &window) const;

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

    void SetFieldText(QLineEdit *field, const std::string &text);
    // Types over the whole field: Ctrl+Z in it brings the former text back.
    static void TypeOver(QLineEdit *field, const std::string &text);
    // Centres the window's frame, title bar included, on its screen.
    void CentreFrame();

    QIcon m_hIcon;
    Calculator m_calculator;

    QComboBox *m_comboFormula = nullptr;
    QLineEdit *m_pAge = nullptr;
    QLineEdit *m_pTermRisk = nullptr;
    QLineEdit *m_pGestRisk = nullptr;
    UpDownSpinBox *m_pWeeks = nullptr;
    QLineEdit *m_pAdvice = nullptr;
    QLabel *m_pStatus = nullptr;
    Announcer *m_pAnnouncer = nullptr;
    // Clears the status line.
    QTimer m_statusTimer;
    // The menu's actions whose keys work in every window.
    QList<QAction *> m_sharedActions;
    // Open from Outils > Courbe du risque until it is closed.
    QPointer<CRiskCurveWindow> m_pRiskCurve;

    // True until the window manager has framed the window once.
    bool m_bCentring = false;
};

} // namespace meravel
