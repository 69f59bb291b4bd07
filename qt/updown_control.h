#pragma once

// The spin (up-down) arrows at the right edge of a digits-only field. The
// arrows never take the keyboard focus; held down, they repeat. The Up and
// Down keys in the buddy field step too. Each step is reported by stepped();
// the owner moves the position (UpDownState) and writes it into the field.
//
// For assistive tools the buddy and the arrows are one spin button
// (qt/accessibility.h): its value is the position a step starts from, within
// the owner's range, and each step is announced as a new value.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace meravel {

class UpDownState;

class UpDownControl : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget *parent = nullptr);

    // Places the arrows at the buddy's right edge, narrows the buddy by their
    // width, and takes its Up and Down keys.
    void AttachBuddy(QLineEdit *buddy, int width);
    QLineEdit *Buddy() const { return m_pBuddy; }

    // The owner's position and range, read (never moved) for the spin
    // button's value; nullptr until the owner sets it.
    void SetState(const UpDownState *state) { m_pState = state; }
    const UpDownState *State() const { return m_pState; }
    // The position a step starts from: the buddy's text when it is a whole
    // number within the range, otherwise the position as it last stood.
    int Value() const;
    // A step by delta, as the arrows and the Up and Down keys make it: reported
    // by stepped(), then announced to assistive tools as the new value.
    void Step(int delta);

Q_SIGNALS:
    // +1 for up, -1 for down.
    void stepped(int delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *m_pUp;
    QToolButton *m_pDown;
    QLineEdit *m_pBuddy = nullptr;
    const UpDownState *m_pState = nullptr;
};

} // namespace meravel
