// The About box: opened from the calculator by keyboard, its texts, and the
// calculator untouched and unreachable while it is open.

#include "qt/about_dialog.h"
#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

using meravel::CAboutDialog;
using meravel::CRiskDialog;
using meravel::test::Field;
using meravel::test::Text;

namespace {

enum class Open { InfosByKeyboard, F1 };
enum class Close { OkButton, Enter, Escape, CloseBox };

} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Close)

namespace {

QStringList Snapshot(const QWidget *calculator)
{
    QStringList texts;
    for (const char *name : {"IDC_AGE", "IDC_WEEKS", "IDC_TERM_RISK", "IDC_GEST_RISK", "IDC_ADVICE"})
        texts << Text(calculator, name);
    texts << Field<QComboBox>(calculator, "IDC_FORMULA")->currentText();
    return texts;
}

QStringList LabelTexts(const QWidget *window)
{
    QStringList texts;
    for (auto *label : window->findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensFromTheCalculatorAndCloses_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<Close>("close");
        QTest::newRow("Alt+O, I then OK") << Open::InfosByKeyboard << Close::OkButton;
        QTest::newRow("Alt+O, I then Enter") << Open::InfosByKeyboard << Close::Enter;
        QTest::newRow("Alt+O, I then Escape") << Open::InfosByKeyboard << Close::Escape;
        QTest::newRow("F1 then close box") << Open::F1 << Close::CloseBox;
        QTest::newRow("F1 then Enter") << Open::F1 << Close::Enter;
    }

    void opensFromTheCalculatorAndCloses()
    {
        QFETCH(Open, open);
        QFETCH(Close, close);
        meravel::test::Watchdog watchdog;
        CRiskDialog calculator;
        meravel::ConnectAboutBox(calculator);
        calculator.show();
        QVERIFY(QTest::qWaitForWindowActive(&calculator));

        // Figures other than the opening ones, with the caret mid-field.
        QLineEdit *age = Field(&calculator, "IDC_AGE");
        QTest::keyClicks(age, QStringLiteral("37"));
        QTest::keyClick(Field<QComboBox>(&calculator, "IDC_FORMULA"), Qt::Key_Down);
        QTest::keyClick(Field(&calculator, "IDC_WEEKS"), Qt::Key_Up);
        age->setFocus();
        age->setCursorPosition(1);
        const QStringList before = Snapshot(&calculator);

        bool checked = false;
        meravel::test::WhenModalOpens([&](QWidget *modal) {
            auto *about = qobject_cast<CAboutDialog *>(modal);
            QVERIFY(about);
            QCOMPARE(about->windowTitle(), QStringLiteral("A propos de Meravel"));
            QCOMPARE(about->parentWidget(), &calculator);
            QVERIFY(about->isModal());
            // Keys typed at the calculator go nowhere while the box is open.
            QTest::keyClick(calculator.windowHandle(), Qt::Key_9);
            QCOMPARE(Snapshot(&calculator), before);

            auto *ok = about->findChild<QPushButton *>(QStringLiteral("IDOK"));
            QVERIFY(ok && ok->isDefault());
            checked = true;
            switch (close) {
            case Close::OkButton:
                QTest::mouseClick(ok, Qt::LeftButton);
                break;
            case Close::Enter:
                QTest::keyClick(about, Qt::Key_Return);
                break;
            case Close::Escape:
                QTest::keyClick(about, Qt::Key_Escape);
                break;
            case Close::CloseBox:
                about->close();
                break;
            }
        });

        if (open == Open::F1) {
            QTest::keyClick(age, Qt::Key_F1);
        } else {
            QTest::keyClick(&calculator, Qt::Key_O, Qt::AltModifier);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY2(menu, "Alt+O opens the Options menu");
            QTest::keyClick(menu, Qt::Key_I);
        }

        QVERIFY2(checked, "the About box opened");
        QVERIFY(!watchdog.Fired());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(calculator.isVisible());
        QCOMPARE(Snapshot(&calculator), before);
        QCOMPARE(age->cursorPosition(), 1);
        // The calculator takes keys again, sent the same way as above.
        QTest::keyClick(calculator.windowHandle(), Qt::Key_End);
        QTest::keyClick(calculator.windowHandle(), Qt::Key_9);
        QCOMPARE(age->text(), QStringLiteral("379"));
        QCOMPARE(Text(&calculator, "IDC_TERM_RISK"), QStringLiteral("Erreur"));
    }

    void showsTitleVersionCreditsAndCitation()
    {
        CAboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QStringList texts = LabelTexts(&about);
        QVERIFY(texts.contains(QStringLiteral("Meravel version 1.0")));
        QVERIFY(texts.contains(
            QStringLiteral("Formule de SNIJDERS : RJM et al. Ultrasound Obstet Gynecol 1999;13:167-70")));
        // The full version where a support person looks for it.
        QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("1.0.0.1")));
        QCOMPARE(
            about.findChild<QLabel *>(QStringLiteral("IDC_ABOUT_TITLE"))->toolTip(), QStringLiteral("Meravel 1.0.0.1"));
        // A screening aid, not a diagnosis.
        QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("pas un diagnostic")));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(meravel::test::TextsFit(&about));
    }
};

QTEST_MAIN(TestAboutDialog)
#include "test_about_dialog.moc"
