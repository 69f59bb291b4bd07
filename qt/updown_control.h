#pragma once

// The spin (up-down) arrows at the right edge of a digits-only field. The
// arrows never take the keyboard focus; held down, they repeat. The Up and
// Down keys in the buddy field step too. Each step is reported by stepped();
// the owner moves the position (UpDownState) and writes it into the field.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace meravel {

class UpDownControl : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget *parent = nullptr);

    // Places the arrows at the buddy's right edge, narrows the buddy by their
    // width, and takes its Up and Down keys.
    void AttachBuddy(QLineEdit *buddy, int width);
    QLineEdit *Buddy() const { return m_pBuddy; }

Q_SIGNALS:
    // +1 for up, -1 for down.
    void stepped(int delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *m_pUp;
    QToolButton *m_pDown;
    QLineEdit *m_pBuddy = nullptr;
};

} // namespace meravel
