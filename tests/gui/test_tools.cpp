// The Outils menu of the calculator driven as a user would: the age at the
// expected date of delivery from two dates, the summary copied with
// Ctrl+Shift+C, and the risk curve that follows the calculator. Figures
// beyond the published tables were worked out separately from the published
// formulas (36.52 years by Cuckle: 1/241).

#include "qt/risk_curve_window.h"
#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <memory>

using meravel::CRiskCurveWindow;
using meravel::CRiskDialog;
using meravel::test::Field;
using meravel::test::Text;

namespace {

constexpr const char *kOpeningTerm = "0.07% soit 1/1408";
constexpr const char *kAgeRange = "L'âge à la date prévue d'accouchement doit être compris entre 10 et 60 ans.";

// Counts the paint events of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget)
        : QObject(widget)
    {
        widget->installEventFilter(this);
    }

    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CRiskDialog> m_pDialog;
    std::unique_ptr<meravel::test::Watchdog> m_pWatchdog;

    // Alt+U, then the item's mnemonic, in the calculator given the focus
    // (not merely active: a window counts as active while its own curve
    // window has the focus).
    bool ChooseTool(Qt::Key mnemonic)
    {
        QWindow *window = m_pDialog->windowHandle();
        window->requestActivate();
        if (!QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window; }))
            return false;
        QTest::keyClick(m_pDialog.get(), Qt::Key_U, Qt::AltModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        QTest::keyClick(menu, mnemonic);
        return true;
    }

    void TypeAge(const QString &text)
    {
        QLineEdit *age = Field(m_pDialog.get(), "IDC_AGE");
        age->selectAll();
        QTest::keyClicks(age, text);
    }

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

    // The dates it opens on are the core's (test_calculator.cpp).
    void deliveryAgeWindowOpens()
    {
        bool checked = false;
        meravel::test::WhenModalOpens([&](QWidget *modal) {
            checked = true;
            QCOMPARE(modal->objectName(), QStringLiteral("IDD_DELIVERY_AGE"));
            QCOMPARE(modal->windowTitle(), QStringLiteral("Âge à la date prévue d'accouchement"));
            QCOMPARE(Field<QDateEdit>(modal, "IDC_BIRTH_DATE")->displayFormat(), QStringLiteral("dd/MM/yyyy"));
            QVERIFY(Field<QPushButton>(modal, "IDOK")->isEnabled());
            QVERIFY(Field<QPushButton>(modal, "IDOK")->isDefault());
            // The delivery 140 days ahead: 287 - 140 days of amenorrhoea.
            QCOMPARE(Text(modal, "IDC_DELIVERY_TERM"), QStringLiteral("21 SA + 0 j"));
            QVERIFY(meravel::test::TextsFit(modal));
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QVERIFY(ChooseTool(Qt::Key_G));
        QVERIFY2(checked, "Alt+U, G opens the window of the two dates");
        QCOMPARE(Text(m_pDialog.get(), "IDC_AGE"), QStringLiteral("25"));
    }

    void deliveryAgeGoesIntoTheAgeField_data()
    {
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QDate>("delivery");
        QTest::addColumn<int>("key");         // then pressed in the date of birth
        QTest::addColumn<QString>("shown");   // the age in the window
        QTest::addColumn<QString>("message"); // the window's message
        QTest::addColumn<QString>("age");     // the calculator's age field afterwards
        QTest::addColumn<QString>("term");    // and its term figure

        const QString range = QString::fromUtf8(kAgeRange);
        const QString opening = QString::fromUtf8(kOpeningTerm);
        // clang-format off
        QTest::newRow("37th birthday, Enter") << QDate(1990, 1, 1) << QDate(2027, 1, 1) << int(Qt::Key_Return)
            << "37.00" << "" << "37.00" << "0.47% soit 1/214";
        QTest::newRow("190 days after, Enter") << QDate(1990, 1, 1) << QDate(2026, 7, 10) << int(Qt::Key_Return)
            << "36.52" << "" << "36.52" << "0.41% soit 1/241";
        QTest::newRow("accepted, Escape") << QDate(1990, 1, 1) << QDate(2026, 7, 10) << int(Qt::Key_Escape)
            << "36.52" << "" << "25" << opening;
        QTest::newRow("delivery before birth") << QDate(1990, 1, 1) << QDate(1989, 12, 31) << int(Qt::Key_Return)
            << "" << "La date prévue d'accouchement précède la date de naissance." << "25" << opening;
        QTest::newRow("under 10") << QDate(2017, 1, 1) << QDate(2026, 12, 31) << int(Qt::Key_Return)
            << "" << range << "25" << opening;
        QTest::newRow("over 60") << QDate(1960, 1, 1) << QDate(2021, 1, 1) << int(Qt::Key_Return)
            << "" << range << "25" << opening;
        // clang-format on
    }

    void deliveryAgeGoesIntoTheAgeField()
    {
        QFETCH(QDate, birth);
        QFETCH(QDate, delivery);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        QFETCH(QString, age);
        QFETCH(QString, term);

        bool checked = false;
        meravel::test::WhenModalOpens([&](QWidget *modal) {
            checked = true;
            auto *birthDate = Field<QDateEdit>(modal, "IDC_BIRTH_DATE");
            birthDate->setDate(birth);
            Field<QDateEdit>(modal, "IDC_DELIVERY_DATE")->setDate(delivery);
            QCOMPARE(Text(modal, "IDC_DELIVERY_AGE"), shown);
            QCOMPARE(Field<QLabel>(modal, "IDC_DELIVERY_MESSAGE")->text(), message);
            QCOMPARE(Field<QPushButton>(modal, "IDOK")->isEnabled(), message.isEmpty());
            QVERIFY(meravel::test::TextsFit(modal));
            QTest::keyClick(birthDate, Qt::Key(key));
            if (modal->isVisible()) {
                // Refused dates: Enter does nothing, Escape closes.
                QVERIFY(!message.isEmpty());
                QTest::keyClick(birthDate, Qt::Key_Escape);
            }
        });
        QVERIFY(ChooseTool(Qt::Key_G));
        QVERIFY(checked);
        QCOMPARE(Text(m_pDialog.get(), "IDC_AGE"), age);
        QCOMPARE(Text(m_pDialog.get(), "IDC_TERM_RISK"), term);
    }

    // Ctrl+Shift+C wherever the focus is in the calculator; what the
    // summary says is the core's (test_calculator.cpp, test_tools.cpp).
    void copiesTheSummaryFromAnyField_data()
    {
        QTest::addColumn<QString>("focus");
        for (const char *field : {"IDC_AGE", "IDC_FORMULA", "IDC_WEEKS", "IDC_TERM_RISK", "IDC_ADVICE"})
            QTest::newRow(field) << field;
    }

    void copiesTheSummaryFromAnyField()
    {
        QFETCH(QString, focus);
        QVERIFY(QTest::qWaitForWindowActive(m_pDialog.get()));
        TypeAge(QStringLiteral("37"));
        QApplication::clipboard()->setText(QStringLiteral("not the summary"));
        QWidget *target = Field<QWidget>(m_pDialog.get(), qPrintable(focus));
        target->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text().toStdString(), m_pDialog->Calc().Summary());
        QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("Âge maternel 37 ans · Cuckle")));
        // The fields are as they were: copying changes nothing.
        QCOMPARE(Text(m_pDialog.get(), "IDC_AGE"), QStringLiteral("37"));
    }

    void riskCurveFollowsTheCalculator_data()
    {
        QTest::addColumn<QString>("age");         // typed once the curve is open; empty: none
        QTest::addColumn<bool>("hecht");          // then Hecht chosen
        QTest::addColumn<QDate>("birth");         // then the dates tool, to the 37th birthday
        QTest::addColumn<QString>("description"); // the end of the plot's description

        // clang-format off
        QTest::newRow("opening age") << "" << false << QDate() << "repère : 25 ans, 1/1408";
        QTest::newRow("age 37") << "37" << false << QDate() << "repère : 37 ans, 1/214";
        QTest::newRow("Hecht") << "" << true << QDate() << "repère : 25 ans, 1/1348";
        QTest::newRow("37 then Hecht") << "37" << true << QDate() << "repère : 37 ans, 1/239";
        QTest::newRow("age 17") << "17" << false << QDate() << "aucun âge valide saisi";
        QTest::newRow("dates tool") << "" << false << QDate(1990, 1, 1) << "repère : 37.00 ans, 1/214";
        // clang-format on
    }

    void riskCurveFollowsTheCalculator()
    {
        QFETCH(QString, age);
        QFETCH(bool, hecht);
        QFETCH(QDate, birth);
        QFETCH(QString, description);

        QVERIFY(ChooseTool(Qt::Key_R));
        QPointer<CRiskCurveWindow> curve = m_pDialog->findChild<CRiskCurveWindow *>();
        QVERIFY2(curve, "Alt+U, R opens the curve");
        QVERIFY(QTest::qWaitForWindowExposed(curve));
        QCOMPARE(curve->windowTitle(), QStringLiteral("Courbe du risque à terme"));
        QVERIFY(!curve->isModal());
        QVERIFY(meravel::test::TextsFit(curve));
        QWidget *plot = Field<QWidget>(curve, "IDC_RISK_CURVE");
        QCOMPARE(plot->accessibleName(), QStringLiteral("Courbe du risque à terme"));
        QVERIFY2(plot->accessibleDescription().endsWith(QStringLiteral("repère : 25 ans, 1/1408")),
            qPrintable(plot->accessibleDescription()));

        const QImage before = plot->grab().toImage();
        auto *paints = new PaintCounter(plot);
        if (!age.isEmpty())
            TypeAge(age);
        if (hecht)
            QTest::keyClick(Field<QComboBox>(m_pDialog.get(), "IDC_FORMULA"), Qt::Key_Down);
        if (birth.isValid()) {
            meravel::test::WhenModalOpens([&](QWidget *modal) {
                Field<QDateEdit>(modal, "IDC_BIRTH_DATE")->setDate(birth);
                Field<QDateEdit>(modal, "IDC_DELIVERY_DATE")->setDate(birth.addYears(37));
                QTest::keyClick(modal, Qt::Key_Return);
            });
            QVERIFY(ChooseTool(Qt::Key_G));
        }
        QVERIFY2(plot->accessibleDescription().endsWith(description), qPrintable(plot->accessibleDescription()));
        if (!age.isEmpty() || hecht || birth.isValid()) {
            // Drawn anew, and differently.
            QTRY_VERIFY(paints->count > 0);
            QVERIFY(plot->grab().toImage() != before);
        }

        // The menu brings the same window back rather than a second one.
        QVERIFY(ChooseTool(Qt::Key_R));
        QCOMPARE(m_pDialog->findChildren<CRiskCurveWindow *>().size(), 1);
        QTRY_COMPARE(QGuiApplication::focusWindow(), curve->windowHandle());
        QTest::keyClick(curve, Qt::Key_Escape);
        QTRY_VERIFY(!curve);
        QVERIFY(m_pDialog->isVisible());
    }
};

QTEST_MAIN(TestTools)
#include "test_tools.moc"
