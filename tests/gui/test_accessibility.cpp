// What a screen reader and a keyboard-only user get from the calculator: a
// name for every field, a description for every result, and every command
// within reach of the keyboard.

#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using meravel::CRiskDialog;

namespace {

struct Node
{
    QAccessible::Role role;
    QString name;
    QString description;
    QString objectName;
    bool readOnly;
};

void Walk(QAccessibleInterface *node, QList<Node> &nodes)
{
    if (!node || !node->isValid())
        return;
    const QObject *object = node->object();
    nodes.append({node->role(), node->text(QAccessible::Name), node->text(QAccessible::Description),
        object ? object->objectName() : QString(), bool(node->state().readOnly)});
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), nodes);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFieldIsNamedAndEveryResultDescribed()
    {
        CRiskDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QList<Node> nodes;
        Walk(QAccessible::queryAccessibleInterface(&dialog), nodes);
        QCOMPARE(nodes.first().name, QStringLiteral("Meravel"));

        QStringList inputs, results;
        for (const Node &node : std::as_const(nodes)) {
            const bool field = node.role == QAccessible::EditableText || node.role == QAccessible::ComboBox
                || node.role == QAccessible::SpinBox;
            if (!field)
                continue;
            QVERIFY2(!node.name.trimmed().isEmpty(), qPrintable(node.objectName + " has no accessible name"));
            if (node.readOnly) {
                QVERIFY2(!node.description.trimmed().isEmpty(),
                    qPrintable(node.objectName + " has no accessible description"));
                results << node.objectName;
            } else {
                inputs << node.objectName;
            }
        }
        // The tree reaches every field, the result fields as read-only.
        QCOMPARE(inputs,
            (QStringList{QStringLiteral("IDC_AGE"), QStringLiteral("IDC_FORMULA"), QStringLiteral("IDC_WEEKS")}));
        QCOMPARE(results,
            (QStringList{
                QStringLiteral("IDC_TERM_RISK"), QStringLiteral("IDC_GEST_RISK"), QStringLiteral("IDC_ADVICE")}));
        // The spin arrows say what they do.
        for (const Node &node : std::as_const(nodes)) {
            if (node.role == QAccessible::Button)
                QVERIFY2(!node.name.isEmpty(), "unnamed button");
        }
    }

    void everyCommandHasAKey()
    {
        CRiskDialog dialog;
        auto *menuBar = dialog.findChild<QMenuBar *>();
        QVERIFY(menuBar);
        // Each menu and each item carries a mnemonic of its own, so Alt and a
        // letter reach every command.
        QList<QChar> menuKeys;
        for (QAction *menu : menuBar->actions()) {
            const QString text = menu->text();
            QVERIFY2(text.count(QLatin1Char('&')) == 1, qPrintable(text));
            menuKeys << text.at(text.indexOf(QLatin1Char('&')) + 1).toLower();
            QList<QChar> itemKeys;
            for (QAction *item : menu->menu()->actions()) {
                if (item->isSeparator())
                    continue;
                const int amp = item->text().indexOf(QLatin1Char('&'));
                QVERIFY2(amp >= 0, qPrintable(item->text()));
                const QChar key = item->text().at(amp + 1).toLower();
                QVERIFY2(!itemKeys.contains(key), qPrintable(item->text()));
                itemKeys << key;
            }
        }
        QCOMPARE(QSet<QChar>(menuKeys.begin(), menuKeys.end()).size(), menuKeys.size());
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
