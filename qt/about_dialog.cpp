#include "qt/about_dialog.h"

#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "qt/risk_dialog.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/version.h"

#include <QPushButton>

namespace meravel {

CAboutDialog::CAboutDialog(QWidget *parent)
    : QDialog(parent)
{
    const QHash<int, QWidget *> controls
        = BuildDialog(this, res::kAboutDialog, "IDD_ABOUT", parent ? parent->windowIcon() : LoadMainIcon());
    if (auto *ok = qobject_cast<QPushButton *>(controls.value(IDOK))) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        ok->setFocus(Qt::OtherFocusReason);
    }
    // Where a support person looks for the exact build.
    for (QWidget *label : findChildren<QWidget *>(QStringLiteral("IDC_ABOUT_TITLE")))
        label->setToolTip(QStringLiteral("Meravel " MERAVEL_VERSION));
}

void RunAboutBox(CRiskDialog &calculator)
{
    CAboutDialog about(&calculator);
    calculator.ShareCommands(about);
    about.exec();
}

void ConnectAboutBox(CRiskDialog &calculator)
{
    QObject::connect(
        &calculator, &CRiskDialog::aboutRequested, &calculator, [&calculator] { RunAboutBox(calculator); });
}

} // namespace meravel
