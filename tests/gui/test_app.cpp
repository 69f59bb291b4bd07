// The application object: it ignores its command line, Qt's own options
// included, runs the calculator until it closes, and then ends.

#include "qt/risk_app.h"
#include "qt/risk_dialog.h"

#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QTimer>

using meravel::CRiskApp;

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ignoresTheCommandLineAndEndsWithTheWindow()
    {
        char program[] = "meravel";
        char reverse[] = "-reverse";
        char style[] = "-style";
        char styleName[] = "windows";
        char age[] = "37";
        char *argv[] = {program, reverse, style, styleName, age, nullptr};
        CRiskApp app(5, argv);

        QCOMPARE(QApplication::arguments(), QStringList{QStringLiteral("meravel")});
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QVERIFY(QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0);

        QString openingAge;
        int windowsSeen = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            auto *calculator = qobject_cast<meravel::CRiskDialog *>(QApplication::activeModalWidget());
            if (!calculator || !calculator->isVisible())
                return;
            ++windowsSeen;
            openingAge = calculator->findChild<QLineEdit *>(QStringLiteral("IDC_AGE"))->text();
            calculator->close();
        });
        poll.start(10);
        // A watchdog: the run must end once the window is closed.
        QTimer::singleShot(10000, &app, [] { QApplication::exit(1); });

        QCOMPARE(app.Run(), 0);
        QCOMPARE(windowsSeen, 1);
        QCOMPARE(openingAge, QStringLiteral("25"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty()
            || std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                [](QWidget *w) { return w->isVisible(); }));
    }
};

QTEST_APPLESS_MAIN(TestApp)
#include "test_app.moc"
