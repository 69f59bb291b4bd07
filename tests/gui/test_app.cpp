// The application object: it ignores its command line, Qt's own options
// included, runs the calculator until it closes, and then ends.

#include "qt/risk_app.h"
#include "qt/risk_dialog.h"

#include <QLineEdit>
#include <QProcess>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <cstring>

using meravel::CRiskApp;

namespace {
// This test program's path, to run it again as the program.
const char *g_program = nullptr;
} // namespace

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

    // With no display at all, the program says so in French and in English
    // and exits with status 1, where Qt alone would abort. This test program
    // runs the program's own entry point in a process of its own, with an
    // empty environment.
    void withoutDisplaySaysSoAndExits()
    {
        QProcess program;
        program.setProcessEnvironment(QProcessEnvironment());
        program.start(QString::fromLocal8Bit(g_program), {QStringLiteral("--run-program")});
        QVERIFY(program.waitForFinished(20000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(errors.contains(QStringLiteral("Meravel : pas d'écran où ouvrir la fenêtre")), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("Meravel: no display to open the window on")), qPrintable(errors));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--run-program") == 0)
        return meravel::RunProgram(1, argv);
    g_program = argv[0];
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
