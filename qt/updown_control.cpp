#include "qt/updown_control.h"

#include "form/updown.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace meravel {

namespace {

QToolButton *MakeArrow(QWidget *parent, Qt::ArrowType arrow, const QString &name)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return button;
}

} // namespace

UpDownControl::UpDownControl(QWidget *parent)
    : QWidget(parent)
    , m_pUp(MakeArrow(this, Qt::UpArrow, QStringLiteral("Semaine suivante")))
    , m_pDown(MakeArrow(this, Qt::DownArrow, QStringLiteral("Semaine précédente")))
{
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pUp);
    layout->addWidget(m_pDown);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

int UpDownControl::Value() const
{
    if (!m_pState)
        return 0;
    const QByteArray text = m_pBuddy ? m_pBuddy->text().toUtf8() : QByteArray();
    return UpDownState::WholeNumberInRange(
        std::string_view(text.constData(), std::size_t(text.size())), m_pState->Lower(), m_pState->Upper())
        .value_or(m_pState->Pos());
}

void UpDownControl::Step(int delta)
{
    Q_EMIT stepped(delta);
    // The owner has written the new position into the buddy by now.
    if (m_pBuddy && m_pState) {
        QAccessibleValueChangeEvent event(m_pBuddy, Value());
        QAccessible::updateAccessibility(&event);
    }
}

void UpDownControl::AttachBuddy(QLineEdit *buddy, int width)
{
    m_pBuddy = buddy;
    const QRect field = buddy->geometry();
    buddy->setGeometry(field.x(), field.y(), field.width() - width, field.height());
    setGeometry(field.x() + field.width() - width, field.y(), width, field.height());
    buddy->installEventFilter(this);
}

bool UpDownControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                Step(+1);
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                Step(-1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace meravel
