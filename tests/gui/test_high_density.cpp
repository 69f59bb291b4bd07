// The calculator on a screen of twice the usual density: the window doubles
// in device pixels and the icon is drawn from the scalable picture, not
// blown up from a small image.

#include "qt/main_icon.h"
#include "qt/risk_dialog.h"
#include "tests/gui/gui_support.h"

#include <QImage>
#include <QTest>
#include <QWindow>

using meravel::CRiskDialog;

class TestHighDensity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowAndIconScale()
    {
        CRiskDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowHandle()->devicePixelRatio(), 2.0);

        const QPixmap shot = dialog.grab();
        QCOMPARE(shot.size(), dialog.size() * 2);
        QVERIFY(meravel::test::TextsFit(&dialog));

        // A 32-point icon needs 64 device pixels: drawn from the scalable
        // picture, it has more distinct colours than the 16-colour image.
        const QPixmap icon = dialog.windowIcon().pixmap(QSize(32, 32), 2.0);
        QCOMPARE(icon.size(), QSize(64, 64));
        QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        }
        QVERIFY2(colours.size() > 16, qPrintable(QString::number(colours.size())));
    }
};

QTEST_MAIN(TestHighDensity)
#include "test_high_density.moc"
