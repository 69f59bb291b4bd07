#pragma once

// Shared pieces of the window tests: finding fields by identifier and a
// watchdog that closes any modal window left open, so that a stray modal
// window fails the test instead of hanging it.

#include <QAbstractSpinBox>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace meravel::test {

// The control of that name; for a spin box asked as a line edit, the field
// inside it where the text is typed.
template <typename Widget = QLineEdit> Widget *Field(const QWidget *window, const char *objectName)
{
    auto *widget = window->findChild<Widget *>(QString::fromLatin1(objectName));
    if (auto *spin = window->findChild<QAbstractSpinBox *>(QString::fromLatin1(objectName)); !widget && spin)
        widget = spin->findChild<Widget *>();
    if (!widget)
        qFatal("no control named %s", objectName);
    return widget;
}

inline QString Text(const QWidget *window, const char *objectName)
{
    return Field<QLineEdit>(window, objectName)->text();
}

class Watchdog
{
public:
    explicit Watchdog(int milliseconds = 10000)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            m_bFired = true;
            while (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            for (QWidget *popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
                popup->close();
        });
        m_timer.start(milliseconds);
    }

    // Checked by the test: true when a window had to be closed.
    bool Fired() const { return m_bFired; }

private:
    QTimer m_timer;
    bool m_bFired = false;
};

// True when every label's and group title's text shows whole within its
// control, and every control lies inside the window; reports the first that
// does not.
inline bool TextsFit(const QWidget *window)
{
    const QRect client = window->rect();
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        // What shows nothing cannot be cut.
        if (!widget->isVisible() || widget->isWindow() || widget->size().isEmpty())
            continue;
        const QString what = widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className();
        const QRect rect(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (!client.contains(rect)) {
            qWarning("outside the window: %s", qPrintable(what));
            return false;
        }
        if (const auto *label = qobject_cast<const QLabel *>(widget); label && !label->text().isEmpty()) {
            const QRect needed = label->fontMetrics().boundingRect(
                label->contentsRect(), int(Qt::TextWordWrap | label->alignment()), label->text());
            if (!label->contentsRect().contains(needed)) {
                qWarning("clipped: %s", qPrintable(label->text()));
                return false;
            }
        }
        if (const auto *group = qobject_cast<const QGroupBox *>(widget);
            group && group->fontMetrics().horizontalAdvance(group->title()) >= group->width()) {
            qWarning("clipped: %s", qPrintable(group->title()));
            return false;
        }
    }
    return true;
}

// Runs check once the next modal window has opened (from inside its own
// event loop), then lets the test go on.
template <typename Check> void WhenModalOpens(Check check)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            check(modal);
        }
    });
    poll->start();
}

} // namespace meravel::test
