#pragma once

// The About box: title, version, credits and the reference of the
// gestational-age formula, built from the IDD_ABOUT layout table. It closes
// with its OK button, Enter, Escape or the close box.

#include <QDialog>

namespace meravel {

class CAboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget *parent = nullptr);
};

class CRiskDialog;

// Runs the About box modally over the calculator window, where the
// calculator's keys that work from every window work too; the result is of
// no interest.
void RunAboutBox(CRiskDialog &calculator);

// Opens the About box whenever the calculator asks for it (Infos, F1, the
// system menu's item).
void ConnectAboutBox(CRiskDialog &calculator);

} // namespace meravel
