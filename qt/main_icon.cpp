#include "qt/main_icon.h"

#include <QIconEngine>
#include <QPainter>

namespace meravel {

namespace {

// QIcon's own engines keep either one image per mode or scale the nearest
// image; this one keeps the two drawn sizes exact and renders the rest from
// the scalable picture, so the icon stays sharp on dense screens.
class MainIconEngine : public QIconEngine
{
public:
    MainIconEngine()
    {
        for (int size : {16, 32})
            m_drawn.append(QPixmap(QStringLiteral(":/icons/meravel-%1.png").arg(size)));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (mode == QIcon::Normal) {
            for (const QPixmap &drawn : std::as_const(m_drawn)) {
                if (drawn.size() == size)
                    return drawn;
            }
        }
        // The scalable picture's engine is a plugin: loaded only when a size
        // other than the drawn ones is wanted, not at every start.
        if (m_scalable.isNull())
            m_scalable = QIcon(QStringLiteral(":/icons/org.meravel.Meravel.svg"));
        // size is in device pixels already.
        return m_scalable.pixmap(size, 1.0, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap image = pixmap(rect.size() * ratio, mode, state);
        image.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, image);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const QPixmap &drawn : std::as_const(m_drawn))
            sizes.append(drawn.size());
        return sizes;
    }

    QIconEngine *clone() const override { return new MainIconEngine(*this); }
    QString key() const override { return QStringLiteral("MainIconEngine"); }

private:
    QIcon m_scalable;
    QList<QPixmap> m_drawn;
};

} // namespace

QIcon LoadMainIcon()
{
    return QIcon(new MainIconEngine);
}

} // namespace meravel
