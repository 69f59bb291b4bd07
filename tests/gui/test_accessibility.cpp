// What a screen reader and a keyboard-only user get from the calculator: a
// name for every field, a description for every result, the labels that tie
// to each field, the weeks spin as one spin button that announces its steps,
// and every command within reach of the keyboard.

#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using meravel::CRiskDialog;
using meravel::test::Field;
using meravel::test::Text;

namespace {

QStringList LabelsOf(QWidget *field)
{
    QStringList labels;
    const auto relations = QAccessible::queryAccessibleInterface(field)->relations(QAccessible::Label);
    for (const auto &[label, relation] : relations)
        labels << label->text(QAccessible::Name);
    labels.sort();
    return labels;
}

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
        inputs.sort();
        results.sort();
        QCOMPARE(inputs,
            (QStringList{QStringLiteral("IDC_AGE"), QStringLiteral("IDC_FORMULA"), QStringLiteral("IDC_WEEKS")}));
        QCOMPARE(results,
            (QStringList{
                QStringLiteral("IDC_ADVICE"), QStringLiteral("IDC_GEST_RISK"), QStringLiteral("IDC_TERM_RISK")}));
        // The spin arrows are part of the weeks spin button, not controls apart.
        for (const Node &node : std::as_const(nodes))
            QVERIFY2(node.role != QAccessible::Button, qPrintable(node.name));
    }

    void everyFieldIsLabelledByWhatIsWrittenBesideIt_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("role");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("description");
        QTest::newRow("age") << "IDC_AGE" << int(QAccessible::EditableText)
                             << QStringList{"Age de la mère", "[18-45]", "ans"} << "De 18 à 45 ans";
        QTest::newRow("formula") << "IDC_FORMULA" << int(QAccessible::ComboBox) << QStringList{"Formule"} << "";
        QTest::newRow("weeks") << "IDC_WEEKS" << int(QAccessible::SpinBox)
                               << QStringList{"En fonction de l'âge gestationnel", "SA"} << "";
        QTest::newRow("term") << "IDC_TERM_RISK" << int(QAccessible::EditableText)
                              << QStringList{"Probabilité à terme", "Valeur de référence = 1/250"} << "1 sur N";
        QTest::newRow("gestational") << "IDC_GEST_RISK" << int(QAccessible::EditableText)
                                     << QStringList{"En fonction de l'âge gestationnel"} << "1 sur N";
        QTest::newRow("advice") << "IDC_ADVICE" << int(QAccessible::EditableText) << QStringList{} << "1/250";
    }

    void everyFieldIsLabelledByWhatIsWrittenBesideIt()
    {
        QFETCH(QString, field);
        QFETCH(int, role);
        QFETCH(QStringList, labels);
        QFETCH(QString, description);
        CRiskDialog dialog;
        auto *widget = Field<QWidget>(&dialog, qPrintable(field));
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(int(node->role()), role);
        QCOMPARE(LabelsOf(widget), labels);
        QVERIFY2(node->text(QAccessible::Description).contains(description),
            qPrintable(node->text(QAccessible::Description)));
    }

    void theFormulaListIsNamedFormuleItsFormulaBeingItsValue()
    {
        CRiskDialog dialog;
        auto *combo = Field<QComboBox>(&dialog, "IDC_FORMULA");
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(combo);
        combo->setCurrentIndex(1);
        QCOMPARE(node->text(QAccessible::Name), QStringLiteral("Formule"));
        QCOMPARE(node->text(QAccessible::Value), QStringLiteral("Hecht"));
        QCOMPARE(node->childCount(), 1);
        QCOMPARE(node->child(0)->object(), combo->view());
    }

    // Its announcements are checked over AT-SPI (tests/e2e/atspi_check.py):
    // offscreen, Qt passes no accessibility event on.
    void theWeeksSpinButtonHasAValueThatSteps()
    {
        CRiskDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit *weeks = Field(&dialog, "IDC_WEEKS");
        QAccessibleInterface *spin = QAccessible::queryAccessibleInterface(Field<QWidget>(&dialog, "IDC_WEEKS"));
        QCOMPARE(spin->role(), QAccessible::SpinBox);
        QAccessibleValueInterface *value = spin->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->minimumValue().toInt(), 1);
        QCOMPARE(value->maximumValue().toInt(), 42);
        QCOMPARE(value->currentValue().toInt(), 2);

        const QString gestational = Text(&dialog, "IDC_GEST_RISK");
        weeks->setFocus();
        QTest::keyClick(weeks, Qt::Key_Up);
        QCOMPARE(value->currentValue().toInt(), 3);
        QVERIFY(Text(&dialog, "IDC_GEST_RISK") != gestational);
        // Typed text the spin takes up, and keeps over a number it cannot;
        // a value asked for by a screen reader is stepped to.
        weeks->setText(QStringLiteral("41"));
        QCOMPARE(value->currentValue().toInt(), 41);
        weeks->setText(QStringLiteral("50"));
        QCOMPARE(value->currentValue().toInt(), 41);
        value->setCurrentValue(10);
        QCOMPARE(weeks->text(), QStringLiteral("10"));
        QCOMPARE(value->currentValue().toInt(), 10);
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
