// The calculator window driven as a user would: keys typed into its fields,
// the formula list and the spin control, and the ways the window ends.

#include "qt/dialog_builder.h"
#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <memory>

using meravel::CRiskDialog;
using meravel::test::Field;
using meravel::test::Text;

namespace {

constexpr const char *kAdvice = "Le risque peut justifier l'amniocentèse";

// A user's action on the window.
enum class Step {
    TypeAge,     // the text replaces the whole age field
    AppendAge,   // keys typed at the end of the age field
    Backspace,   // one key in the age field, caret at the end
    ChooseHecht, // Down on the closed formula list
    ChooseCuckle,
    TypeWeeks, // keys typed over the whole weeks field; each recomputes
    SpinUp,    // the Up key in the weeks field
    SpinDown,
    KeypadUp, // the keypad's Up key (8 without Num Lock) in the weeks field
    KeypadDown,
    WheelFormula,        // the wheel turned down over the list, the age field keeping the focus
    FocusedWheelFormula, // the wheel turned down over the list once it has the focus
    ClickUp,             // the spin control's arrows
    ClickDown,
};

struct Action
{
    Step step;
    QString text;
};

// A click on the weeks spin box's up or down arrow, where the style draws it.
void ClickArrow(const QWidget *window, QStyle::SubControl arrow)
{
    auto *spin = Field<QAbstractSpinBox>(window, "IDC_WEEKS");
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.frame = spin->hasFrame();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect rect = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, spin);
    QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, rect.center());
}

void Perform(CRiskDialog &dialog, const Action &action)
{
    QLineEdit *age = Field(&dialog, "IDC_AGE");
    QLineEdit *weeks = Field(&dialog, "IDC_WEEKS");
    auto *formula = Field<QComboBox>(&dialog, "IDC_FORMULA");
    switch (action.step) {
    case Step::TypeAge:
        age->selectAll();
        if (action.text.isEmpty())
            QTest::keyClick(age, Qt::Key_Delete);
        else
            QTest::keyClicks(age, action.text);
        break;
    case Step::AppendAge:
        age->end(false);
        QTest::keyClicks(age, action.text);
        break;
    case Step::Backspace:
        age->end(false);
        QTest::keyClick(age, Qt::Key_Backspace);
        break;
    case Step::ChooseHecht:
        QTest::keyClick(formula, Qt::Key_Down);
        break;
    case Step::ChooseCuckle:
        QTest::keyClick(formula, Qt::Key_Up);
        break;
    case Step::TypeWeeks:
        weeks->selectAll();
        if (action.text.isEmpty())
            QTest::keyClick(weeks, Qt::Key_Delete);
        else
            QTest::keyClicks(weeks, action.text);
        break;
    case Step::SpinUp:
        QTest::keyClick(weeks, Qt::Key_Up);
        break;
    case Step::SpinDown:
        QTest::keyClick(weeks, Qt::Key_Down);
        break;
    case Step::KeypadUp:
        QTest::keyClick(weeks, Qt::Key_Up, Qt::KeypadModifier);
        break;
    case Step::KeypadDown:
        QTest::keyClick(weeks, Qt::Key_Down, Qt::KeypadModifier);
        break;
    case Step::WheelFormula:
    case Step::FocusedWheelFormula: {
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget *focus = action.step == Step::WheelFormula ? static_cast<QWidget *>(age) : formula;
        focus->setFocus(Qt::OtherFocusReason);
        QVERIFY(focus->hasFocus());
        const QPoint centre = formula->rect().center();
        QWheelEvent wheel(centre, formula->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(formula, &wheel);
        break;
    }
    case Step::ClickUp:
        ClickArrow(&dialog, QStyle::SC_SpinBoxUp);
        break;
    case Step::ClickDown:
        ClickArrow(&dialog, QStyle::SC_SpinBoxDown);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(QList<Action>)

class TestRiskDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CRiskDialog> m_pDialog;
    std::unique_ptr<meravel::test::Watchdog> m_pWatchdog;

private Q_SLOTS:
    void init()
    {
        m_pWatchdog = std::make_unique<meravel::test::Watchdog>();
        m_pDialog = std::make_unique<CRiskDialog>();
        m_pDialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pDialog.get()));
    }

    void cleanup()
    {
        m_pDialog.reset();
        QVERIFY2(!m_pWatchdog->Fired(), "a modal window was left open");
        m_pWatchdog.reset();
    }

    void opensWithFiguresAndAgeSelected()
    {
        QCOMPARE(m_pDialog->windowTitle(), QStringLiteral("Meravel"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_AGE"), QStringLiteral("25"));
        QCOMPARE(Field<QComboBox>(m_pDialog.get(), "IDC_FORMULA")->currentText(), QStringLiteral("Cuckle"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_WEEKS"), QStringLiteral("2"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.07% soit 1/1408"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_GEST_RISK"), QStringLiteral("1/309"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_ADVICE"), QString());

        QLineEdit *age = Field(m_pDialog.get(), "IDC_AGE");
        QCOMPARE(m_pDialog->focusWidget(), age);
        QCOMPARE(age->selectedText(), QStringLiteral("25"));
        // The first key typed replaces the opening age.
        QTest::keyClick(age, Qt::Key_3);
        QCOMPARE(age->text(), QStringLiteral("3"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("Erreur"));
    }

    // Each way the user changes a field reaches the calculator: one row per
    // key, click or wheel. What each change computes is the core's, and is
    // tested there (test_calculator.cpp, test_risk_form.cpp).
    void recalculatesAsTheUserTypes_data()
    {
        QTest::addColumn<QList<Action>>("actions");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("weeks");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("gestational");
        QTest::addColumn<QString>("advice");

        const QString advice = QString::fromUtf8(kAdvice);
        // clang-format off
        QTest::newRow("age typed") << QList<Action>{{Step::TypeAge, "37"}}
            << "37" << "2" << "0.47% soit 1/214" << "1/47" << advice;
        QTest::newRow("age typed char by char") << QList<Action>{{Step::TypeAge, "4"}, {Step::AppendAge, "0"}}
            << "40" << "2" << "1.03% soit 1/97" << "1/21" << advice;
        QTest::newRow("deleting the 5 of 25 reads 2") << QList<Action>{{Step::Backspace, {}}}
            << "2" << "2" << "Erreur" << "" << "";
        QTest::newRow("Down in the list chooses Hecht") << QList<Action>{{Step::TypeAge, "37"}, {Step::ChooseHecht, {}}}
            << "37" << "2" << "0.42% soit 1/239" << "1/52" << advice;
        QTest::newRow("Up in the list chooses Cuckle again") << QList<Action>{{Step::ChooseHecht, {}}, {Step::ChooseCuckle, {}}}
            << "25" << "2" << "0.07% soit 1/1408" << "1/309" << "";
        QTest::newRow("weeks typed") << QList<Action>{{Step::TypeWeeks, "20"}, {Step::TypeAge, "37"}}
            << "37" << "20" << "0.47% soit 1/214" << "1/181" << advice;
        QTest::newRow("Up and Down keys step") << QList<Action>{{Step::SpinUp, {}}, {Step::SpinDown, {}}, {Step::SpinUp, {}}}
            << "25" << "3" << "0.07% soit 1/1408" << "1/429" << "";
        QTest::newRow("keypad arrows step too") << QList<Action>{{Step::KeypadUp, {}}, {Step::KeypadUp, {}}, {Step::KeypadDown, {}}}
            << "25" << "3" << "0.07% soit 1/1408" << "1/429" << "";
        QTest::newRow("spin arrows") << QList<Action>{{Step::ClickUp, {}}, {Step::ClickUp, {}}, {Step::ClickDown, {}}}
            << "25" << "3" << "0.07% soit 1/1408" << "1/429" << "";
        QTest::newRow("a step starts from the typed weeks") << QList<Action>{{Step::TypeWeeks, "50"}, {Step::SpinUp, {}}}
            << "25" << "6" << "0.07% soit 1/1408" << "1/688" << "";
        QTest::newRow("the wheel leaves the unfocused list alone") << QList<Action>{{Step::TypeAge, "37"}, {Step::WheelFormula, {}}}
            << "37" << "2" << "0.47% soit 1/214" << "1/47" << advice;
        QTest::newRow("the wheel turns the focused list") << QList<Action>{{Step::TypeAge, "37"}, {Step::FocusedWheelFormula, {}}}
            << "37" << "2" << "0.42% soit 1/239" << "1/52" << advice;
        // clang-format on
    }

    void recalculatesAsTheUserTypes()
    {
        QFETCH(QList<Action>, actions);
        QFETCH(QString, age);
        QFETCH(QString, weeks);
        QFETCH(QString, term);
        QFETCH(QString, gestational);
        QFETCH(QString, advice);
        for (const Action &action : actions)
            Perform(*m_pDialog, action);
        QCOMPARE(Text(m_pDialog.get(), "IDC_AGE"), age);
        QCOMPARE(Text(m_pDialog.get(), "IDC_WEEKS"), weeks);
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), term);
        QCOMPARE(Text(m_pDialog.get(), "IDC_GEST_RISK"), gestational);
        QCOMPARE(Text(m_pDialog.get(), "IDC_ADVICE"), advice);
    }

    void pasteUndoAndCutRecalculate()
    {
        QLineEdit *age = Field(m_pDialog.get(), "IDC_AGE");
        QApplication::clipboard()->setText(QStringLiteral("37"));
        age->selectAll();
        age->paste();
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.47% soit 1/214"));
        age->undo();
        QCOMPARE(age->text(), QStringLiteral("25"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.07% soit 1/1408"));
        age->selectAll();
        age->cut();
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("Erreur"));
    }

    void pasteUndoAndCutInTheWeeksRecalculate()
    {
        // At 25 Cuckle: 1/309 at the opening 2 weeks, 1/1194 at 20.
        QLineEdit *weeks = Field(m_pDialog.get(), "IDC_WEEKS");
        QApplication::clipboard()->setText(QStringLiteral("20"));
        weeks->selectAll();
        weeks->paste();
        QCOMPARE(Text(m_pDialog.get(), "IDC_GEST_RISK"), QStringLiteral("1/1194"));
        weeks->undo();
        QCOMPARE(weeks->text(), QStringLiteral("2"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_GEST_RISK"), QStringLiteral("1/309"));
        weeks->selectAll();
        weeks->cut();
        QCOMPARE(Text(m_pDialog.get(), "IDC_GEST_RISK"), QString());
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.07% soit 1/1408"));
    }

    void writingResultsLeavesTheAgeCaretAlone()
    {
        QLineEdit *age = Field(m_pDialog.get(), "IDC_AGE");
        QTest::keyClicks(age, QStringLiteral("375"));
        // Caret between "37" and "5": deleting the 5 recomputes, and the
        // caret stays where the user left it.
        age->setCursorPosition(2);
        QTest::keyClick(age, Qt::Key_Delete);
        QCOMPARE(age->text(), QStringLiteral("37"));
        QCOMPARE(age->cursorPosition(), 2);
        QTest::keyClick(age, Qt::Key_Left);
        QTest::keyClicks(age, QStringLiteral("."));
        QCOMPARE(age->text(), QStringLiteral("3.7"));
        QCOMPARE(age->cursorPosition(), 2);
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("Erreur"));
        // Undo still works: the program never rewrote the field.
        age->undo();
        QCOMPARE(age->text(), QStringLiteral("37"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.47% soit 1/214"));
    }

    void tabVisitsTheFieldsInTemplateOrder()
    {
        const QStringList expected = {
            QStringLiteral("IDC_AGE"),
            QStringLiteral("IDC_FORMULA"),
            QStringLiteral("IDC_WEEKS"),
            QStringLiteral("IDC_TERM_RISK"),
            QStringLiteral("IDC_GEST_RISK"),
            QStringLiteral("IDC_ADVICE"),
        };
        m_pDialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_pDialog.get()));
        Field(m_pDialog.get(), "IDC_AGE")->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, expected);
        // and round again
        QCOMPARE(QApplication::focusWidget()->objectName(), expected.first());
    }

    void formulaListIsChooseOnly()
    {
        auto *formula = Field<QComboBox>(m_pDialog.get(), "IDC_FORMULA");
        QVERIFY(!formula->isEditable());
        QCOMPARE(formula->count(), 2);
        QCOMPARE(formula->itemText(0), QStringLiteral("Cuckle"));
        QCOMPARE(formula->itemText(1), QStringLiteral("Hecht"));
        // Letters choose the entry they begin, if any; they never add text.
        QTest::keyClicks(formula, QStringLiteral("h"));
        QCOMPARE(formula->currentText(), QStringLiteral("Hecht"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.07% soit 1/1348"));
        QTest::keyClicks(formula, QStringLiteral("xyz"));
        QCOMPARE(formula->count(), 2);
        QCOMPARE(formula->currentText(), QStringLiteral("Hecht"));
        // Down past the end stays on Hecht; no wrap to Cuckle.
        QTest::keyClick(formula, Qt::Key_Down);
        QTest::keyClick(formula, Qt::Key_Down);
        QCOMPARE(formula->currentText(), QStringLiteral("Hecht"));
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), QStringLiteral("0.07% soit 1/1348"));
    }

    void weeksFieldTakesDigitsOnly()
    {
        QLineEdit *weeks = Field(m_pDialog.get(), "IDC_WEEKS");
        weeks->selectAll();
        QTest::keyClicks(weeks, QStringLiteral("1a-2 .,e3"));
        QCOMPARE(weeks->text(), QStringLiteral("123"));
        weeks->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("12 SA"));
        weeks->paste();
        QCOMPARE(weeks->text(), QStringLiteral("123"));
        QApplication::clipboard()->setText(QStringLiteral("17"));
        weeks->selectAll();
        weeks->paste();
        QCOMPARE(weeks->text(), QStringLiteral("17"));
    }

    void windowIsFixedWithMinimiseAndNoMaximise()
    {
        const Qt::WindowFlags flags = m_pDialog->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(m_pDialog->minimumSize(), m_pDialog->maximumSize());
        // The drawn 16 and 32 pixel images for the window; any other size
        // from the scalable picture.
        const QIcon icon = m_pDialog->windowIcon();
        for (int size : {16, 32}) {
            const QPixmap drawn(QStringLiteral(":/icons/meravel-%1.png").arg(size));
            QCOMPARE(icon.pixmap(size).toImage(), drawn.toImage());
        }
        QCOMPARE(icon.pixmap(QSize(128, 128)).size(), QSize(128, 128));

        auto *menuBar = m_pDialog->findChild<QMenuBar *>();
        QVERIFY(menuBar);
        // Options as it has always been, then the tools.
        const QList<QAction *> menus = menuBar->actions();
        QCOMPARE(menus.size(), 2);
        auto items = [](QAction *menu) {
            QStringList texts{menu->text()};
            for (QAction *item : menu->menu()->actions())
                texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
            return texts;
        };
        QCOMPARE(items(menus[0]),
            (QStringList{QStringLiteral("&Options"), QStringLiteral("&Infos"), QStringLiteral("-"),
                QStringLiteral("&Quitter")}));
        QCOMPARE(items(menus[1]),
            (QStringList{QStringLiteral("O&utils"), QStringLiteral("Â&ge à l'accouchement..."),
                QStringLiteral("&Copier le résumé"), QStringLiteral("Courbe du &risque...")}));
    }

    void layoutFollowsTheTemplate()
    {
        auto rect = [this](const char *name) {
            QWidget *widget = Field<QWidget>(m_pDialog.get(), name);
            return QRect(widget->mapTo(m_pDialog.get(), QPoint(0, 0)), widget->size());
        };
        const QRect age = rect("IDC_AGE"), formula = rect("IDC_FORMULA"), weeks = rect("IDC_WEEKS"),
                    term = rect("IDC_TERM_RISK"), gest = rect("IDC_GEST_RISK"), advice = rect("IDC_ADVICE");
        // Top row: age left, term right, at the same height.
        QCOMPARE(age.top(), term.top());
        QVERIFY(age.right() < term.left());
        // Middle row: formula left, the weeks with their arrows and the
        // gestational figure right.
        QCOMPARE(formula.top(), weeks.top());
        QCOMPARE(weeks.top(), gest.top());
        QVERIFY(age.bottom() < formula.top());
        QVERIFY(weeks.right() < gest.left());
        // The advice line spans the bottom, under everything else.
        QVERIFY(advice.top() > formula.bottom() && advice.top() > gest.bottom());
        QVERIFY(advice.left() <= age.left() && advice.right() >= term.right());
        // The term and gestational fields end on one line (x + cx = 190).
        QCOMPARE(term.right(), gest.right());

        // No control reaches outside the window; no label, title or field
        // text is clipped.
        QVERIFY(meravel::test::TextsFit(m_pDialog.get()));
        QLineEdit *termField = Field(m_pDialog.get(), "IDC_TERM_RISK");
        QTest::keyClicks(Field(m_pDialog.get(), "IDC_AGE"), QStringLiteral("45"));
        QVERIFY(termField->fontMetrics().horizontalAdvance(termField->text()) < termField->width());
    }

    // The texts, places and alignments as drawn, against the values written
    // here: a field or a static is found by its name or its text, its left
    // edge is at its place in dialog units (the offscreen platform's Fusion
    // style adds no room across), and it lies in its group's frame.
    void controlsInPlace_data()
    {
        QTest::addColumn<QString>("control"); // a field's name or a static's text
        QTest::addColumn<int>("x");           // dialog units
        QTest::addColumn<int>("alignment");   // horizontal
        QTest::addColumn<QString>("group");   // the frame's title, or none
        const QString age = QStringLiteral("Age de la mère"), formula = QStringLiteral("Formule"),
                      term = QStringLiteral("Probabilité à terme"),
                      weeks = QStringLiteral("En fonction de l'âge gestationnel");
        const int left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;
        // clang-format off
        QTest::newRow("age group") << age << 5 << left << QString();
        QTest::newRow("formula group") << formula << 5 << left << QString();
        QTest::newRow("term group") << term << 80 << left << QString();
        QTest::newRow("weeks group") << weeks << 80 << left << QString();
        QTest::newRow("ans") << "ans" << 45 << left << age;
        QTest::newRow("age range") << "[18-45]" << 13 << left << age;
        QTest::newRow("reference") << "Valeur de référence = 1/250" << 93 << left << term;
        QTest::newRow("SA") << "SA" << 116 << left << weeks;
        QTest::newRow("age") << "IDC_AGE" << 10 << right << age;
        QTest::newRow("formula") << "IDC_FORMULA" << 9 << left << formula;
        QTest::newRow("weeks") << "IDC_WEEKS" << 85 << right << weeks;
        QTest::newRow("term risk") << "IDC_TERM_RISK" << 85 << centre << term;
        QTest::newRow("gestational risk") << "IDC_GEST_RISK" << 140 << centre << weeks;
        QTest::newRow("advice") << "IDC_ADVICE" << 5 << centre << QString();
        // clang-format on
    }

    void controlsInPlace()
    {
        QFETCH(QString, control);
        QFETCH(int, x);
        QFETCH(int, alignment);
        QFETCH(QString, group);
        auto *client = Field<QWidget>(m_pDialog.get(), "client");
        auto find = [client](const QString &text) -> QWidget * {
            if (text.startsWith(QStringLiteral("IDC_")))
                return client->findChild<QWidget *>(text);
            for (auto *label : client->findChildren<QLabel *>())
                if (label->text() == text)
                    return label;
            for (auto *box : client->findChildren<QGroupBox *>())
                if (box->title() == text)
                    return box;
            return nullptr;
        };
        QWidget *widget = find(control);
        QVERIFY2(widget, qPrintable(control));
        const QRect rect(widget->mapTo(client, QPoint(0, 0)), widget->size());
        QCOMPARE(rect.x(), meravel::DialogUnits(client->font()).X(x));

        Qt::Alignment shown;
        if (auto *label = qobject_cast<QLabel *>(widget))
            shown = label->alignment();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            shown = edit->alignment();
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            shown = box->alignment();
        else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
            shown = spin->alignment();
        else
            shown = Qt::AlignLeft; // a closed list shows its entry from the left
        QCOMPARE(int(shown & Qt::AlignHorizontal_Mask), alignment);

        if (!group.isEmpty()) {
            QWidget *frame = find(group);
            QVERIFY2(frame, qPrintable(group));
            QVERIFY(QRect(frame->mapTo(client, QPoint(0, 0)), frame->size()).contains(rect));
        }
    }

    void enterEndsWithOk_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("age") << "IDC_AGE";
        QTest::newRow("formula") << "IDC_FORMULA";
        QTest::newRow("weeks") << "IDC_WEEKS";
        QTest::newRow("term result") << "IDC_TERM_RISK";
        QTest::newRow("advice") << "IDC_ADVICE";
    }

    void enterEndsWithOk()
    {
        QFETCH(QString, field);
        QSignalSpy finished(m_pDialog.get(), &QDialog::finished);
        QWidget *widget = Field<QWidget>(m_pDialog.get(), qPrintable(field));
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
        QVERIFY(!m_pDialog->isVisible());
    }

    void otherWaysToEnd()
    {
        struct Way
        {
            const char *name;
            std::function<void(CRiskDialog &)> end;
            int result;
        };
        const Way ways[] = {
            {"Quitter", [](CRiskDialog &d) { d.findChild<QAction *>(QStringLiteral("ID_MENU_QUIT"))->trigger(); },
                QDialog::Accepted},
            {"keypad Enter",
                [](CRiskDialog &d) { QTest::keyClick(Field(&d, "IDC_AGE"), Qt::Key_Enter, Qt::KeypadModifier); },
                QDialog::Accepted},
            {"Escape", [](CRiskDialog &d) { QTest::keyClick(Field(&d, "IDC_AGE"), Qt::Key_Escape); },
                QDialog::Rejected},
            {"close box", [](CRiskDialog &d) { d.close(); }, QDialog::Rejected},
        };
        for (const Way &way : ways) {
            CRiskDialog dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QSignalSpy finished(&dialog, &QDialog::finished);
            way.end(dialog);
            QVERIFY2(finished.size() == 1, way.name);
            QVERIFY2(finished.first().first().toInt() == way.result, way.name);
            QVERIFY2(!dialog.isVisible(), way.name);
        }
    }

    void helpAndInfosAskForTheAboutBox()
    {
        QSignalSpy about(m_pDialog.get(), &CRiskDialog::aboutRequested);
        m_pDialog->findChild<QAction *>(QStringLiteral("ID_MENU_INFO"))->trigger();
        QCOMPARE(about.size(), 1);
        m_pDialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_pDialog.get()));
        QTest::keyClick(Field(m_pDialog.get(), "IDC_AGE"), Qt::Key_F1);
        QCOMPARE(about.size(), 2);
        QVERIFY(m_pDialog->isVisible());
    }
};

QTEST_MAIN(TestRiskDialog)
#include "test_risk_dialog.moc"
