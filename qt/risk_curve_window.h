#pragma once

// The risk curve, built from the IDD_RISK_CURVE layout table: the odds at
// term against the mother's age for both formulas, the selected one stressed,
// the reference line 1/250 and the calculator's age marked. A modeless window
// owned by the calculator window; it listens to the calculator's figures and
// follows its formula and age. The core lays out the whole picture
// (LayOutRiskCurve), chooses its colours from the palette's (PlotColours) and
// the window's place (PlaceBeside); this window measures its font, paints and
// moves.
//
//   Fermer, Enter, Escape, close box -> the window closes and is deleted

#include "form/calculator.h"

#include <QDialog>

class QLabel;

namespace meravel {

class CRiskCurveWindow : public QDialog, private FiguresListener
{
    Q_OBJECT

public:
    // Placed beside the owner (the calculator window) where the screen has
    // room.
    CRiskCurveWindow(QWidget *owner, Calculator &calculator);
    ~CRiskCurveWindow() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PaintPlot();
    void PlaceBesideOwner(QWidget *owner);
    // FiguresListener
    void OnFiguresChanged() override;

    Calculator &m_calculator;
    QWidget *m_pPlot = nullptr;
    QLabel *m_pCaption = nullptr;
    RiskCurveState m_state;
};

} // namespace meravel
