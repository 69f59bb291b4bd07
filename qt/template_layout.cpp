#include "qt/template_layout.h"

#include "qt/dialog_builder.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSpinBox>
#include <QWidget>

#include <algorithm>

namespace meravel {

namespace {

using res::ControlKind;
using res::DialogControl;

// Closed, a drop-down list is about as high as a one-line field; the
// template's height for it is that of the dropped list.
constexpr int kClosedListUnits = 12;
// Room is added to the groups until each has what it needs; a few passes do.
constexpr int kRoomPasses = 8;

// The template's height of a control as it shows closed.
int UnitsHigh(const DialogControl &control)
{
    return control.kind == ControlKind::ComboBox ? std::min(control.cy, kClosedListUnits) : control.cy;
}

bool Inside(const DialogControl &inner, const DialogControl &outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx
        && inner.y + UnitsHigh(inner) <= outer.y + outer.cy;
}

QStyleOptionGroupBox GroupOption(const QGroupBox *group, QSize size)
{
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.rect = QRect(QPoint(0, 0), size);
    option.text = group->title();
    option.textAlignment = group->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame;
    if (!group->title().isEmpty())
        option.subControls |= QStyle::SC_GroupBoxLabel;
    return option;
}

// Where a one-line field shows its text, within a field of this size.
QRect LineEditContents(const QLineEdit *edit, QSize size)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = QRect(QPoint(0, 0), size);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    return edit->style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
        .marginsRemoved(edit->textMargins());
}

// Where a spin box shows its text, within a spin box of this size.
QRect SpinBoxContents(const QAbstractSpinBox *box, QSize size)
{
    // A date field with a calendar is drawn as an editable drop-down list,
    // and places its text where the list would.
    if (const auto *date = qobject_cast<const QDateTimeEdit *>(box); date && date->calendarPopup()) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.rect = QRect(QPoint(0, 0), size);
        option.editable = true;
        option.subControls = QStyle::SC_ComboBoxEditField;
        return box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    }
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.rect = QRect(QPoint(0, 0), size);
    option.frame = box->hasFrame();
    option.buttonSymbols = box->buttonSymbols();
    option.subControls
        = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    return box->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, box);
}

// The height a one-line field needs to show its text whole: the template's,
// unless the style's padding leaves too little room for a line.
int FieldHeight(const QWidget *field, int width, int height)
{
    QRect text;
    if (const auto *edit = qobject_cast<const QLineEdit *>(field))
        text = LineEditContents(edit, QSize(width, height));
    else if (const auto *box = qobject_cast<const QAbstractSpinBox *>(field))
        text = SpinBoxContents(box, QSize(width, height));
    // QLineEdit keeps a pixel above and below its text.
    text.adjust(0, 1, 0, -1);
    return text.height() >= field->fontMetrics().height() ? height : std::max(height, field->sizeHint().height());
}

// Where a one-line field, or a spin box's field, draws its text's baseline,
// from its top.
int FieldBaseline(const QWidget *field, QSize size)
{
    QRect text;
    if (const auto *edit = qobject_cast<const QLineEdit *>(field))
        text = LineEditContents(edit, size);
    else if (const auto *box = qobject_cast<const QAbstractSpinBox *>(field))
        text = SpinBoxContents(box, size); // its line edit has no frame nor margins
    const QFontMetrics metrics = field->fontMetrics();
    // As QLineEdit centres a line vertically.
    return text.y() + (text.height() - metrics.height() + 1) / 2 + metrics.ascent();
}

// The closed list with its longest entry whole, as QComboBox measures it
// (its own size hint is kept from before the entries were added).
QSize ClosedListSize(const QComboBox *combo)
{
    const QFontMetrics metrics = combo->fontMetrics();
    int widest = combo->count() ? 0 : 7 * metrics.horizontalAdvance(QLatin1Char('x'));
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, metrics.boundingRect(combo->itemText(i)).width());
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.currentText = combo->currentText();
    return combo->style()->sizeFromContents(
        QStyle::CT_ComboBox, &option, QSize(widest, std::max(metrics.height(), 14) + 2), combo);
}

} // namespace

int TemplateLayout::Lines::Map(int units, int pixels) const
{
    for (const auto &[line, extra] : space) {
        if (line < units)
            pixels += extra;
    }
    return pixels;
}

TemplateLayout::TemplateLayout(QWidget *client, const res::DialogTemplate &dialog)
    : QLayout(client)
    , m_dialog(dialog)
{
    setContentsMargins(0, 0, 0, 0);
    setSizeConstraint(QLayout::SetFixedSize);
}

TemplateLayout::~TemplateLayout()
{
    qDeleteAll(m_items);
}

const DialogControl *TemplateLayout::GroupAround(const res::DialogTemplate &dialog, const DialogControl &control)
{
    const DialogControl *around = nullptr;
    for (const DialogControl &group : dialog.controls) {
        if (group.kind != ControlKind::GroupBox || &group == &control || !Inside(control, group))
            continue;
        if (!around || group.cx * group.cy < around->cx * around->cy)
            around = &group;
    }
    return around;
}

void TemplateLayout::Add(const DialogControl &control, QWidget *widget)
{
    m_controls.append(&control);
    m_items.append(new QWidgetItem(widget));
}

void TemplateLayout::invalidate()
{
    m_computed.reset();
    QLayout::invalidate();
}

void TemplateLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const Placement &placement = Computed();
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        QRect place = placement.rects[i];
        // In a group box's coordinates for its children.
        for (qsizetype j = 0; j < m_items.size(); ++j) {
            if (Widget(j) == Widget(i)->parentWidget())
                place.translate(-placement.rects[j].topLeft());
        }
        Widget(i)->setGeometry(place);
    }
}

QLayoutItem *TemplateLayout::takeAt(int index)
{
    // Only when a control is deleted: it leaves the table too.
    if (index < 0 || index >= m_items.size())
        return nullptr;
    m_controls.removeAt(index);
    m_computed.reset();
    return m_items.takeAt(index);
}

const TemplateLayout::Placement &TemplateLayout::Computed() const
{
    if (!m_computed)
        m_computed = Compute();
    return *m_computed;
}

TemplateLayout::Placement TemplateLayout::Compute() const
{
    const DialogUnits units(parentWidget()->font());
    Lines across, down;
    const Needs needs = MeasureControls(units, down);
    QList<QRect> rects = Place(units, needs, across, down);
    for (int pass = 0; pass < kRoomPasses && MakeRoomInGroups(units, rects, across, down); ++pass)
        rects = Place(units, needs, across, down);
    SitLabelsOnBaselines(rects);
    return {rects, ClientSize(units, rects, across, down)};
}

// Heights and widths the style needs beyond the template's; room below a
// control that grew.
TemplateLayout::Needs TemplateLayout::MeasureControls(const DialogUnits &units, Lines &down) const
{
    const qsizetype n = m_items.size();
    Needs needs{QList<int>(n), QList<int>(n, 0)};
    for (qsizetype i = 0; i < n; ++i) {
        const DialogControl &control = *m_controls[i];
        int height = units.Y(control.cy);
        if (auto *combo = qobject_cast<QComboBox *>(Widget(i))) {
            const QSize closed = ClosedListSize(combo);
            height = closed.height();
            needs.minWidths[i] = closed.width();
        } else if (qobject_cast<QDateEdit *>(Widget(i))) {
            height = std::max(height, Widget(i)->minimumSizeHint().height());
        } else if (qobject_cast<QLineEdit *>(Widget(i)) || qobject_cast<QAbstractSpinBox *>(Widget(i))) {
            height = FieldHeight(Widget(i), units.X(control.cx), height);
        } else if (control.kind == ControlKind::Label) {
            // The text whole, within the style's edge: the template's 8 units
            // are a line of its Windows font, a line of some fonts takes a
            // pixel or two more, and some styles' edges take more room than
            // a sunken edge.
            height = std::max(height, Widget(i)->heightForWidth(units.X(control.cx)));
        } else if (control.kind == ControlKind::Icon) {
            height = 32;
        } else if (control.kind == ControlKind::Rule) {
            height = std::max(2, height);
        }
        needs.heights[i] = height;
        const int unitsHigh = UnitsHigh(control);
        if (control.kind != ControlKind::GroupBox && height > units.Y(unitsHigh)) {
            int &extra = down.space[control.y + unitsHigh - 1];
            extra = std::max(extra, height - units.Y(unitsHigh));
        }
    }
    return needs;
}

// Every control at its template rectangle, moved and widened by the room
// inserted before and within it.
QList<QRect> TemplateLayout::Place(
    const DialogUnits &units, const Needs &needs, const Lines &across, const Lines &down) const
{
    QList<QRect> rects(m_items.size());
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const DialogControl &c = *m_controls[i];
        const int left = across.Map(c.x, units.X(c.x));
        const int top = down.Map(c.y, units.Y(c.y));
        const int width = std::max(needs.minWidths[i], units.X(c.cx) + across.Map(c.x + c.cx, 0) - across.Map(c.x, 0));
        if (c.kind == ControlKind::GroupBox)
            rects[i] = QRect(left, top, width, units.Y(c.cy) + down.Map(c.y + c.cy, 0) - down.Map(c.y, 0));
        else if (c.kind == ControlKind::Icon)
            rects[i] = QRect(left, top, 32, 32);
        else
            rects[i] = QRect(left, top, width, needs.heights[i]);
    }
    return rects;
}

// Each group's contents inside its content area and its title within its
// frame; true when room had to be added for that.
bool TemplateLayout::MakeRoomInGroups(
    const DialogUnits &units, const QList<QRect> &rects, Lines &across, Lines &down) const
{
    const int padX = units.X(2);
    const int padY = units.Y(2);
    std::map<int, int> moreAcross, moreDown;
    auto need = [](std::map<int, int> &more, int line, int pixels) {
        if (pixels > 0)
            more[line] = std::max(more[line], pixels);
    };
    for (qsizetype g = 0; g < m_items.size(); ++g) {
        auto *group = qobject_cast<QGroupBox *>(Widget(g));
        if (!group)
            continue;
        const DialogControl &frame = *m_controls[g];
        const QRect box = rects[g];
        const QStyleOptionGroupBox option = GroupOption(group, box.size());
        const QRect content = group->style()
                                  ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, group)
                                  .translated(box.topLeft())
                                  .adjusted(padX, padY, -padX, -padY);
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (i == g || m_controls[i]->kind == ControlKind::GroupBox || !Inside(*m_controls[i], frame))
                continue;
            need(moreAcross, frame.x, content.left() - rects[i].left());
            need(moreDown, frame.y, content.top() - rects[i].top());
            need(moreAcross, frame.x + frame.cx - 1, rects[i].right() - content.right());
            need(moreDown, frame.y + frame.cy - 1, rects[i].bottom() - content.bottom());
        }
        // The title as the style draws it (bold in some), measured where it
        // has all the room it wants.
        const QStyleOptionGroupBox wide = GroupOption(group, QSize(box.width() * 4, box.height()));
        const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &wide, QStyle::SC_GroupBoxLabel, group);
        if (!title.isEmpty())
            need(moreAcross, frame.x + frame.cx - 1, title.right() + 1 + std::max(0, title.left()) - box.width());
    }
    for (const auto &[line, extra] : moreAcross)
        across.space[line] += extra;
    for (const auto &[line, extra] : moreDown)
        down.space[line] += extra;
    return !moreAcross.empty() || !moreDown.empty();
}

// A label beside a one-line field or a date field, on the same template
// row, sits on the field's text baseline.
void TemplateLayout::SitLabelsOnBaselines(QList<QRect> &rects) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const DialogControl &label = *m_controls[i];
        if (label.kind != ControlKind::Label
            || (label.style & (res::kCenterVertically | res::kSunkenEdge | res::kStaticEdge)))
            continue;
        qsizetype nearest = -1;
        int distance = 0;
        for (qsizetype j = 0; j < m_items.size(); ++j) {
            const DialogControl &field = *m_controls[j];
            const bool oneLine = field.kind == ControlKind::Edit || field.kind == ControlKind::DatePicker;
            if (!oneLine || label.y < field.y || label.y >= field.y + field.cy)
                continue;
            const int gap = std::max(label.x - (field.x + field.cx), field.x - (label.x + label.cx));
            if (gap >= 0 && (nearest < 0 || gap < distance)) {
                nearest = j;
                distance = gap;
            }
        }
        if (nearest < 0)
            continue;
        const int baseline = rects[nearest].top() + FieldBaseline(Widget(nearest), rects[nearest].size());
        rects[i].moveTop(baseline - Widget(i)->fontMetrics().ascent() - Widget(i)->contentsRect().top());
    }
}

// The client keeps the template's margin below and beside the lowest and
// rightmost controls.
QSize TemplateLayout::ClientSize(
    const DialogUnits &units, const QList<QRect> &rects, const Lines &across, const Lines &down) const
{
    const int padX = units.X(2);
    const int padY = units.Y(2);
    QSize size(across.Map(m_dialog.cx, units.X(m_dialog.cx)), down.Map(m_dialog.cy, units.Y(m_dialog.cy)));
    for (const QRect &rect : rects) {
        size.setWidth(std::max(size.width(), rect.right() + 1 + padX));
        size.setHeight(std::max(size.height(), rect.bottom() + 1 + padY));
    }
    return size;
}

} // namespace meravel
