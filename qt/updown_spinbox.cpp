#include "qt/updown_spinbox.h"

#include "form/updown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include <algorithm>

namespace meravel {

UpDownSpinBox::UpDownSpinBox(QWidget *parent)
    : QAbstractSpinBox(parent)
{
}

int UpDownSpinBox::Value() const
{
    if (!m_pState)
        return 0;
    const QByteArray text = lineEdit()->text().toUtf8();
    return m_pState->PositionFor(std::string_view(text.constData(), std::size_t(text.size())));
}

void UpDownSpinBox::SetValue(int value)
{
    if (m_pState && value != Value())
        stepBy(value - Value());
}

int UpDownSpinBox::Minimum() const
{
    return m_pState ? m_pState->Lower() : 0;
}

int UpDownSpinBox::Maximum() const
{
    return m_pState ? m_pState->Upper() : 0;
}

void UpDownSpinBox::stepBy(int steps)
{
    // The owner writes the new position into the field; QAbstractSpinBox
    // announces each change of the field's text as a new value.
    Q_EMIT stepped(steps);
}

QValidator::State UpDownSpinBox::validate(QString &input, int &) const
{
    // Typed and pasted text alike: decimal digits 0 to 9 or nothing.
    const bool digits = std::all_of(
        input.cbegin(), input.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    return digits ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled UpDownSpinBox::stepEnabled() const
{
    // As the Windows up-down control: both arrows always, a step at an end
    // of the range staying there.
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

void UpDownSpinBox::keyPressEvent(QKeyEvent *event)
{
    // One week at a time, as the Windows up-down control steps.
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->ignore();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void UpDownSpinBox::wheelEvent(QWheelEvent *event)
{
    // The wheel passing over the field never changes the weeks.
    event->ignore();
}

} // namespace meravel
