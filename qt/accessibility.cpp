#include "qt/accessibility.h"

#include "qt/dialog_builder.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QValidator>
#include <cstdio>

namespace meravel {

namespace {

// A drop-down list to choose from: named by its accessible name, its choice
// being its value; its one child the list that drops down. Orca reads no
// value of Qt's lists: the choice is its description too, which Orca says
// when the list gets the focus.
class ListAccessible : public QAccessibleWidget
{
public:
    explicit ListAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QComboBox *Combo() const { return static_cast<QComboBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || t == QAccessible::Description)
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }

    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == Combo()->view() ? 0 : -1;
    }

    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
        } else if (Combo()->view()->isVisible()) {
            Combo()->hidePopup();
        } else {
            Combo()->showPopup();
        }
    }
};

// A one-line field, as Qt's own interface gives it, but for two faults of
// Qt's: the text's attributes are reported as empty runs, which makes Orca
// read a field's text without its last character ("1/140" for "1/1408"); and
// asking for the word or the sentence at the end of the text never returns.
class LineAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface
{
public:
    explicit LineAccessible(QLineEdit *edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
    }

    QLineEdit *Edit() const { return static_cast<QLineEdit *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value && Edit()->echoMode() == QLineEdit::Normal)
            return Edit()->text();
        return QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        QString value = text;
        int position = 0;
        if (Edit()->isReadOnly()
            || (Edit()->validator() && Edit()->validator()->validate(value, position) != QValidator::Acceptable))
            return;
        Edit()->setText(value);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Edit()->isReadOnly();
        state.readOnly = Edit()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !Edit()->hasSelectedText())
            return;
        *startOffset = Edit()->selectionStart();
        *endOffset = *startOffset + int(Edit()->selectedText().size());
    }

    int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }

    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            Edit()->deselect();
    }

    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            Edit()->setSelection(startOffset, endOffset - startOffset);
    }

    int cursorPosition() const override { return Edit()->cursorPosition(); }
    void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }

    QString text(int startOffset, int endOffset) const override
    {
        if (startOffset > endOffset || Edit()->echoMode() != QLineEdit::Normal)
            return QString();
        return Edit()->text().mid(startOffset, endOffset - startOffset);
    }

    QString textBeforeOffset(
        int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const override
    {
        return QAccessibleTextInterface::textBeforeOffset(Offset(offset), boundaryType, startOffset, endOffset);
    }

    QString textAfterOffset(
        int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const override
    {
        return QAccessibleTextInterface::textAfterOffset(Offset(offset), boundaryType, startOffset, endOffset);
    }

    QString textAtOffset(
        int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset, int *endOffset) const override
    {
        offset = Offset(offset);
        const int length = characterCount();
        // One line holds the whole text, the end of it included.
        if (boundaryType == QAccessible::LineBoundary || boundaryType == QAccessible::ParagraphBoundary
            || boundaryType == QAccessible::NoBoundary) {
            const bool within = offset >= 0 && offset <= length;
            *startOffset = within ? 0 : -1;
            *endOffset = within ? length : -1;
            return within ? text(0, length) : QString();
        }
        // Nothing at or past the end: Qt would look for the word there for
        // ever.
        if (offset < 0 || offset >= length) {
            *startOffset = *endOffset = -1;
            return QString();
        }
        return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
    }

    int characterCount() const override { return int(Edit()->text().size()); }

    // From the caret's rectangle and the text's advances, in screen
    // coordinates.
    QRect characterRect(int offset) const override
    {
        const QString all = Edit()->text();
        if (offset < 0 || offset >= all.size() || Edit()->echoMode() != QLineEdit::Normal)
            return QRect();
        const QFontMetrics metrics(Edit()->font());
        const QRect caret = Edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + metrics.horizontalAdvance(all.left(offset))
            - metrics.horizontalAdvance(all.left(Edit()->cursorPosition()));
        const QRect local(x, caret.y(), metrics.horizontalAdvance(all.mid(offset, 1)), metrics.height());
        return QRect(Edit()->mapToGlobal(local.topLeft()), local.size());
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        Edit()->setCursorPosition(endIndex);
        Edit()->setCursorPosition(startIndex);
    }

    // A field's text has no attributes: one run covers it all.
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        const int length = characterCount();
        const bool within = offset >= 0 && offset <= length;
        *startOffset = within ? 0 : -1;
        *endOffset = within ? length : -1;
        return QString();
    }

    // QAccessibleEditableTextInterface: as if typed, the validator deciding.
    void deleteText(int startOffset, int endOffset) override
    {
        setText(QAccessible::Value, Edit()->text().remove(startOffset, endOffset - startOffset));
    }

    void insertText(int offset, const QString &text) override
    {
        setText(QAccessible::Value, Edit()->text().insert(offset, text));
    }

    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        setText(QAccessible::Value, Edit()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    // -2 is the caret's offset.
    int Offset(int offset) const { return offset == -2 ? cursorPosition() : offset; }
};

// An announcement: a notification named by its text.
class AnnouncerAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(Announcer *announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<Announcer *>(widget())->Text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (auto *chart = qobject_cast<ChartWidget *>(object))
        return new QAccessibleWidget(chart, QAccessible::Chart);
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new AnnouncerAccessible(announcer);
    if (auto *combo = qobject_cast<QComboBox *>(object); combo && className == QLatin1String("QComboBox"))
        return new ListAccessible(combo);
    if (auto *edit = qobject_cast<QLineEdit *>(object); edit && className == QLatin1String("QLineEdit"))
        return new LineAccessible(edit);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // On X11, a window of its own, out of sight: Orca then says the
    // notification alone, not the title of the window around it. Wayland
    // lets no program place a window: there it is a control of no size.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput
            | Qt::X11BypassWindowManagerHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        // Not the program's name, which tells its main window.
        setWindowTitle(QStringLiteral("Meravel : annonces"));
        setGeometry(-10, -10, 1, 1);
    } else {
        setGeometry(0, 0, 0, 0);
    }
}

void Announcer::Announce(const QString &text)
{
    // A notification that appears is read out. Its window is shown with the
    // first one, not before: shown empty as a window opens, it would be read
    // out empty.
    m_text = text;
    if (isWindow() && !isVisible()) {
        show();
        return;
    }
    QAccessibleEvent appears(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&appears);
}

void InstallAccessibility()
{
    // Qt keeps one of each factory.
    QAccessible::installFactory(Factory);
}

} // namespace meravel
