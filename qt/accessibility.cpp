#include "qt/accessibility.h"

#include "form/updown.h"
#include "qt/updown_control.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace meravel {

namespace {

using Relations = QList<QPair<QAccessibleInterface *, QAccessible::Relation>>;

// The client widget's property that asks for the interfaces below.
constexpr char kMarked[] = "meravelFieldAccessibility";

bool IsMarked(const QWidget *widget)
{
    return widget && widget->property(kMarked).toBool();
}

bool IsField(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget);
}

// The spin arrows tied to this field, or nullptr.
UpDownControl *SpinOf(const QWidget *field)
{
    if (!field->parentWidget())
        return nullptr;
    for (QObject *child : field->parentWidget()->children()) {
        auto *spin = qobject_cast<UpDownControl *>(child);
        if (spin && spin->Buddy() == field)
            return spin;
    }
    return nullptr;
}

// The same with the owner's range set: the spin button has a value.
UpDownControl *SpinWithValue(const QWidget *field)
{
    UpDownControl *spin = SpinOf(field);
    return spin && spin->State() ? spin : nullptr;
}

// Where a field lies among its siblings, its spin arrows included.
QRect FieldRect(const QWidget *field)
{
    QRect rect = field->geometry();
    if (const UpDownControl *spin = SpinOf(field))
        rect |= spin->geometry();
    return rect;
}

// The frames (group boxes with a title) drawn around a sibling, innermost first.
QList<QGroupBox *> FramesAround(const QWidget *widget)
{
    QList<QGroupBox *> frames;
    if (!widget->parentWidget())
        return frames;
    const QPoint centre = widget->geometry().center();
    for (QObject *child : widget->parentWidget()->children()) {
        auto *group = qobject_cast<QGroupBox *>(child);
        if (group && group != widget && !group->title().isEmpty() && group->geometry().contains(centre))
            frames.append(group);
    }
    std::sort(frames.begin(), frames.end(),
        [](const QGroupBox *a, const QGroupBox *b) { return a->width() * a->height() < b->width() * b->height(); });
    return frames;
}

// The gap between two rectangles, squared; 0 when they touch or overlap.
long long GapSquared(const QRect &a, const QRect &b)
{
    const long long dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    const long long dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return dx * dx + dy * dy;
}

// The titles of the frames around a field label it, outermost first, as they
// read from the top of the window.
Relations FrameRelations(const QWidget *field, QAccessible::Relation match)
{
    Relations relations;
    if (!(match & QAccessible::Label))
        return relations;
    const QList<QGroupBox *> frames = FramesAround(field);
    for (auto it = frames.crbegin(); it != frames.crend(); ++it) {
        if (QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(*it))
            relations.append({frame, QAccessible::Label});
    }
    return relations;
}

// A one-line field: Qt's line edit interface, labelled by its frames too, and
// a spin button when spin arrows are tied to it.
class FieldAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface,
                        public QAccessibleValueInterface
{
public:
    explicit FieldAccessible(QLineEdit *edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
    }

    QLineEdit *Edit() const { return static_cast<QLineEdit *>(widget()); }

    QAccessible::Role role() const override
    {
        return SpinOf(Edit()) ? QAccessible::SpinBox : QAccessible::EditableText;
    }

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
        state.passwordEdit = Edit()->echoMode() != QLineEdit::Normal;
        state.selectableText = true;
        return state;
    }

    // The arrows belong to the spin button: it covers them too.
    QRect rect() const override
    {
        QRect rect = QAccessibleWidget::rect();
        if (const UpDownControl *spin = SpinOf(Edit()); spin && spin->isVisible())
            rect |= QRect(spin->mapToGlobal(QPoint(0, 0)), spin->size());
        return rect;
    }

    Relations relations(QAccessible::Relation match) const override
    {
        return FrameRelations(Edit(), match) + QAccessibleWidget::relations(match);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        if (t == QAccessible::ValueInterface && SpinWithValue(Edit()))
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Actions: a spin button also steps up and down.
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (SpinOf(Edit()))
            names << increaseAction() << decreaseAction();
        return names;
    }

    void doAction(const QString &actionName) override
    {
        UpDownControl *spin = SpinOf(Edit());
        if (spin && actionName == increaseAction())
            spin->Step(+1);
        else if (spin && actionName == decreaseAction())
            spin->Step(-1);
        else
            QAccessibleWidget::doAction(actionName);
    }

    // QAccessibleValueInterface: the spin's position within the owner's range.
    QVariant currentValue() const override
    {
        const UpDownControl *spin = SpinWithValue(Edit());
        return spin ? QVariant(spin->Value()) : QVariant();
    }

    void setCurrentValue(const QVariant &value) override
    {
        UpDownControl *spin = SpinWithValue(Edit());
        bool ok = false;
        const int target = value.toInt(&ok);
        if (spin && ok && target != spin->Value())
            spin->Step(target - spin->Value());
    }

    QVariant maximumValue() const override
    {
        const UpDownControl *spin = SpinWithValue(Edit());
        return spin ? QVariant(spin->State()->Upper()) : QVariant();
    }

    QVariant minimumValue() const override
    {
        const UpDownControl *spin = SpinWithValue(Edit());
        return spin ? QVariant(spin->State()->Lower()) : QVariant();
    }

    QVariant minimumStepSize() const override { return 1; }

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
        return QAccessibleTextInterface::textAtOffset(Offset(offset), boundaryType, startOffset, endOffset);
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

    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
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

// A drop-down list to choose from: named by its accessible name, its choice
// being its value; its one child the list that drops down.
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
        if (t == QAccessible::Value)
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

    Relations relations(QAccessible::Relation match) const override
    {
        return FrameRelations(Combo(), match) + QAccessibleWidget::relations(match);
    }

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

// The marked client: its children but the spin arrows, which belong to their
// field's spin button.
class ClientAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(Children().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QAccessibleInterface *> children = Children();
        return index >= 0 && index < children.size() ? children.at(index) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return int(Children().indexOf(const_cast<QAccessibleInterface *>(child)));
    }

private:
    QList<QAccessibleInterface *> Children() const
    {
        QList<QAccessibleInterface *> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface *child = QAccessibleWidget::child(i);
            const auto *spin = child ? qobject_cast<const UpDownControl *>(child->object()) : nullptr;
            if (child && !(spin && spin->Buddy()))
                children.append(child);
        }
        return children;
    }
};

QAccessibleInterface *FieldFactory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("QWidget") && IsMarked(widget))
        return new ClientAccessible(widget);
    if (!IsMarked(widget->parentWidget()))
        return nullptr;
    if (auto *edit = qobject_cast<QLineEdit *>(widget); edit && className == QLatin1String("QLineEdit"))
        return new FieldAccessible(edit);
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && className == QLatin1String("QComboBox"))
        return new ListAccessible(combo);
    return nullptr;
}

} // namespace

void EnableFieldAccessibility(QWidget *client)
{
    QAccessible::installFactory(FieldFactory);
    client->setProperty(kMarked, true);
}

void TieLabelsToFields(QWidget *client)
{
    QList<QWidget *> fields;
    QList<QLabel *> labels;
    for (QObject *child : client->children()) {
        if (auto *label = qobject_cast<QLabel *>(child); label && !label->text().isEmpty() && !label->buddy())
            labels.append(label);
        else if (auto *widget = qobject_cast<QWidget *>(child); widget && IsField(widget))
            fields.append(widget);
    }
    for (QLabel *label : std::as_const(labels)) {
        const QList<QGroupBox *> frames = FramesAround(label);
        QGroupBox *frame = frames.value(0);
        QWidget *nearest = nullptr;
        long long best = std::numeric_limits<long long>::max();
        for (QWidget *field : std::as_const(fields)) {
            if (FramesAround(field).value(0) != frame)
                continue;
            const long long gap = GapSquared(label->geometry(), FieldRect(field));
            if (gap < best) {
                best = gap;
                nearest = field;
            }
        }
        if (nearest)
            label->setBuddy(nearest);
    }
}

} // namespace meravel
