#include "qt/about_dialog.h"

#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "qt/risk_dialog.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/version.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace meravel {

CAboutDialog::CAboutDialog(QWidget *parent)
    : QDialog(parent)
{
    const res::DialogTemplate &dialog = res::kAboutDialog;
    setObjectName(QStringLiteral("IDD_ABOUT"));
    setWindowTitle(QString::fromUtf8(dialog.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setWindowIcon(parent ? parent->windowIcon() : LoadMainIcon());

    auto *client = new QWidget(this);
    client->setFont(DialogFont(dialog));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(client);

    const QHash<int, QWidget *> controls = BuildDialogControls(client, dialog);
    if (auto *ok = qobject_cast<QPushButton *>(controls.value(IDOK))) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        ok->setFocus(Qt::OtherFocusReason);
    }
    // Where a support person looks for the exact build.
    for (QWidget *label : client->findChildren<QWidget *>(QStringLiteral("IDC_ABOUT_TITLE")))
        label->setToolTip(QStringLiteral("Meravel " MERAVEL_VERSION));
}

void RunAboutBox(QWidget *owner)
{
    CAboutDialog about(owner);
    about.exec();
}

void ConnectAboutBox(CRiskDialog &calculator)
{
    QObject::connect(
        &calculator, &CRiskDialog::aboutRequested, &calculator, [&calculator] { RunAboutBox(&calculator); });
}

} // namespace meravel
