// The calculator and the dates' window under every style installed
// (Fusion, Windows, and those of the desktop themes: Adwaita, its dark and
// high-contrast variants), at the scale factors 1, 1.5 and 2: the dialog font
// at the size MERAVEL_DIALOG_POINTS says, no control crosses a group box's
// frame, no text is cut, and the labels beside the fields and the dates sit
// on their text baseline. ctest runs it offscreen, where the desktop names no
// font (8 points), and on an X server with GTK's font set to 14 points
// (tests/gui/desktop-14pt), read by Qt's GTK platform theme.

#include "qt/delivery_age_dialog.h"
#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <functional>

using meravel::CRiskDialog;
using meravel::test::Field;

namespace {

QRect InWindow(const QWidget *widget, const QWidget *window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// The lowest row of a widget's text, in the window's logical pixels: the
// window drawn with the text and without it, compared.
int TextBottom(QWidget *window, const QWidget *widget, const std::function<void(bool)> &showText)
{
    const QImage with = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    showText(false);
    const QImage without = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    showText(true);
    const qreal ratio = with.devicePixelRatio();
    const QRect area = InWindow(widget, window);
    const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
    for (int y = pixels.bottom(); y >= pixels.top(); --y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QRgb a = with.pixel(x, y), b = without.pixel(x, y);
            const int difference = std::max(
                {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            if (difference > 96)
                return qRound(y / ratio);
        }
    }
    return -1;
}

QLabel *Label(const QWidget *window, const QString &text)
{
    for (auto *label : window->findChildren<QLabel *>()) {
        if (label->text() == text)
            return label;
    }
    qFatal("no label %s", qPrintable(text));
}

} // namespace

class TestStyles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowFitsTheStyle_data()
    {
        QTest::addColumn<QString>("style");
        const QStringList styles = QStyleFactory::keys();
        QVERIFY(styles.contains(QStringLiteral("Fusion")));
        QVERIFY(styles.contains(QStringLiteral("Windows")));
        for (const QString &style : styles)
            QTest::newRow(qPrintable(style)) << style;
    }

    void windowFitsTheStyle()
    {
        QFETCH(QString, style);
        QApplication::setStyle(style);
        CRiskDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // The longest figures and the advice shown.
        Field(&dialog, "IDC_AGE")->setText(QStringLiteral("45"));
        Field(&dialog, "IDC_WEEKS")->setText(QStringLiteral("12"));
        QVERIFY(!Field(&dialog, "IDC_ADVICE")->text().isEmpty());

        const auto *client = Field<QWidget>(&dialog, "client");
        QCOMPARE(client->font().pointSize(), qEnvironmentVariableIntValue("MERAVEL_DIALOG_POINTS"));
        const QList<QWidget *> controls = client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QGroupBox *group : client->findChildren<QGroupBox *>()) {
            // Every control that reaches into the frame lies inside its
            // content area: none crosses the frame or its title.
            const QRect frame = InWindow(group, client);
            const QRect content = group->contentsRect().translated(frame.topLeft());
            for (const QWidget *control : controls) {
                const QRect rect = InWindow(control, client);
                if (control != group && !qobject_cast<const QGroupBox *>(control) && rect.intersects(frame))
                    QVERIFY2(content.contains(rect),
                        qPrintable(QStringLiteral("%1 crosses %2").arg(control->objectName(), group->title())));
            }
            // The title as the style draws it, given all the room it wants,
            // fits in the frame.
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.rect = QRect(0, 0, group->width() * 4, group->height());
            option.text = group->title();
            option.textAlignment = group->alignment();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title
                = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
            QVERIFY2(title.right() < group->width(), qPrintable(group->title()));
        }

        // Each formula's name whole in the closed list.
        auto *formula = Field<QComboBox>(&dialog, "IDC_FORMULA");
        QStyleOptionComboBox box;
        box.initFrom(formula);
        box.rect = formula->rect();
        box.editable = false;
        box.frame = true;
        const QRect shown
            = formula->style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, formula);
        for (int i = 0; i < formula->count(); ++i)
            QVERIFY2(formula->fontMetrics().horizontalAdvance(formula->itemText(i)) <= shown.width(),
                qPrintable(formula->itemText(i)));

        // Each field's text whole: as wide and as high as its text area.
        for (const QLineEdit *edit : client->findChildren<QLineEdit *>()) {
            QStyleOptionFrame frame;
            frame.initFrom(edit);
            frame.rect = edit->rect();
            frame.lineWidth
                = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit) : 0;
            const QRect text = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit);
            QVERIFY2(text.height() - 2 >= edit->fontMetrics().height(), qPrintable(edit->objectName()));
            QVERIFY2(
                edit->fontMetrics().horizontalAdvance(edit->text()) < text.width(), qPrintable(edit->objectName()));
        }
        QVERIFY(meravel::test::TextsFit(&dialog));

        // The dates' window with both its messages, the age's on two lines.
        meravel::CDeliveryAgeDialog dates(nullptr, {{1960, 1, 1}, {2021, 1, 1}, {2026, 12, 9}});
        dates.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dates));
        QVERIFY(meravel::test::TextsFit(&dates));

        // "ans" and "SA" on the baseline of the age and the weeks, the date's
        // label on the date's.
        struct Beside
        {
            QWidget *window;
            const char *field;
            const char *label;
        };
        for (const Beside &pair : {Beside{&dialog, "IDC_AGE", "ans"}, Beside{&dialog, "IDC_WEEKS", "SA"},
                 Beside{&dates, "IDC_DELIVERY_DATE", "Date prévue d'accouchement :"}}) {
            // The window active: some styles draw an inactive window's texts
            // too faint to measure.
            pair.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(pair.window));
            QLineEdit *edit = Field(pair.window, pair.field);
            const QString value = edit->text();
            const int field
                = TextBottom(pair.window, edit, [&](bool show) { edit->setText(show ? value : QString()); });
            // The label showing the field's text, whose letters reach as low.
            QLabel *label = Label(pair.window, QString::fromUtf8(pair.label));
            label->setText(value);
            const int beside
                = TextBottom(pair.window, label, [&](bool show) { label->setText(show ? value : QString()); });
            QVERIFY2(field > 0 && std::abs(field - beside) <= 1,
                qPrintable(
                    QStringLiteral("%1 at %2, %3 at %4").arg(pair.field).arg(field).arg(pair.label).arg(beside)));
        }
    }
};

// Qt reads the scale factor once, at start: the test runs again in a process
// of its own for each.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        QCoreApplication parent(argc, argv);
        int failed = 0;
        for (const char *scale : {"1", "1.5", "2"}) {
            QProcess run;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
            run.setProcessEnvironment(environment);
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
            if (!run.waitForFinished(100000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
                std::fprintf(stderr, "failed at the scale factor %s\n", scale);
                ++failed;
            }
        }
        return failed;
    }
    QApplication app(argc, argv);
    TestStyles test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_styles.moc"
