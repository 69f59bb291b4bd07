#pragma once

// A digits-only field with spin arrows at its right edge, as one spin box.
// The text is the user's: it may hold "0", "50" or nothing, and stays as
// typed. Each step (the arrows, held or clicked, the Up and Down keys, or a
// screen reader's request) is reported by stepped(); the owner moves the
// position by the core's rule (UpDownState) and writes it into the field.
//
// Its value, minimum and maximum are the core's: the position a step starts
// from and the range. Qt's own spin-box accessibility reads them, so a screen
// reader gets a spin button with a value, a range and the text; each step is
// announced as a new value.

#include <QAbstractSpinBox>

class QLineEdit;

namespace meravel {

class UpDownState;

class UpDownSpinBox : public QAbstractSpinBox
{
    Q_OBJECT
    // Read by name by Qt's spin-box accessibility.
    Q_PROPERTY(int value READ Value WRITE SetValue)
    Q_PROPERTY(int minimum READ Minimum)
    Q_PROPERTY(int maximum READ Maximum)
    Q_PROPERTY(int stepSize READ StepSize)

public:
    explicit UpDownSpinBox(QWidget *parent = nullptr);

    // The owner's position and range, read (never moved) here; nothing
    // until the owner sets it.
    void SetState(const UpDownState *state) { m_pState = state; }
    // The field inside, where the text is typed.
    QLineEdit *Field() const { return lineEdit(); }

    int Value() const;
    // Steps to the value, from Value().
    void SetValue(int value);
    int Minimum() const;
    int Maximum() const;
    int StepSize() const { return 1; }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &position) const override;

Q_SIGNALS:
    // +1 for up, -1 for down.
    void stepped(int delta);

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    const UpDownState *m_pState = nullptr;
};

} // namespace meravel
