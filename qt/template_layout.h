#pragma once

// The layout of a window built from its template: each control at its
// template rectangle, converted to pixels with the dialog font's metrics,
// then room made for what the style in use needs.

#include "qt/dialog_builder.h"
#include "res/dialog_templates.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <algorithm>
#include <map>
#include <optional>

namespace meravel {

using res::ControlKind;
using res::DialogControl;

// Closed, a drop-down list is about as high as a one-line field; the
// template's height for it is that of the dropped list.
constexpr int kClosedListUnits = 12;

// Places the controls at their template rectangles and then makes room for
// the style in use, which the template cannot know: a group box's title above
// its frame (Fusion) or its contents indented (Adwaita), fields and lists
// higher or wider than on Windows, a bold group title. Room is made by
// inserting space at template coordinates: at a group's top or left edge for
// its title or indent, at its bottom or right edge when a control or its title
// would cross it, under a control that grew. Everything beyond such a line
// moves by the space inserted there, so rows and columns stay lined up; the
// window grows instead of anything being clipped. A label beside a field sits
// on the field's text baseline. Recomputed whenever the style, the font or a
// control's size hint changes.
class TemplateLayout : public QLayout
{
public:
    TemplateLayout(QWidget *client, const res::DialogTemplate &dialog)
        : QLayout(client)
        , m_dialog(dialog)
    {
        setContentsMargins(0, 0, 0, 0);
        setSizeConstraint(QLayout::SetFixedSize);
    }

    ~TemplateLayout() override { qDeleteAll(m_items); }

    void Add(const DialogControl &control, QWidget *widget)
    {
        m_controls.append(&control);
        m_items.append(new QWidgetItem(widget));
        m_buddies.append(-1);
    }

    // The last control added is an up-down control at the right edge of the
    // field added before it.
    void AttachToPrevious() { m_buddies.last() = int(m_items.size()) - 2; }

    QSize sizeHint() const override { return Computed().size; }
    QSize minimumSize() const override { return Computed().size; }
    QSize maximumSize() const override { return Computed().size; }
    void invalidate() override
    {
        m_computed.reset();
        QLayout::invalidate();
    }
    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        const Placement &placement = Computed();
        for (qsizetype i = 0; i < m_items.size(); ++i)
            m_items[i]->widget()->setGeometry(placement.rects[i]);
    }
    void addItem(QLayoutItem *item) override { m_items.append(item); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override
    {
        // Only when a control is deleted: it leaves the table too.
        if (index < 0 || index >= m_items.size())
            return nullptr;
        m_controls.removeAt(index);
        m_buddies.removeAt(index);
        for (int &buddy : m_buddies)
            buddy = buddy == index ? -1 : (buddy > index ? buddy - 1 : buddy);
        m_computed.reset();
        return m_items.takeAt(index);
    }
    int count() const override { return int(m_items.size()); }

private:
    struct Placement
    {
        QList<QRect> rects;
        QSize size;
    };

    // Space inserted at template coordinates: every coordinate beyond a line
    // moves by the space inserted there.
    struct Lines
    {
        std::map<int, int> space;
        int Map(int units, int pixels) const
        {
            for (const auto &[line, extra] : space) {
                if (line < units)
                    pixels += extra;
            }
            return pixels;
        }
    };

    QWidget *Widget(qsizetype i) const { return m_items[i]->widget(); }

    // The template's height of a control as it shows closed.
    static int UnitsHigh(const DialogControl &control)
    {
        return control.kind == ControlKind::ComboBox ? std::min(control.cy, kClosedListUnits) : control.cy;
    }

    static bool Inside(const DialogControl &inner, const DialogControl &outer)
    {
        return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx
            && inner.y + UnitsHigh(inner) <= outer.y + outer.cy;
    }

    static QStyleOptionGroupBox GroupOption(const QGroupBox *group, QSize size)
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

    // The height a one-line field needs to show its text whole: the
    // template's, unless the style's padding leaves too little room for a line.
    static int FieldHeight(const QLineEdit *edit, int width, int height)
    {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = QRect(0, 0, width, height);
        option.lineWidth
            = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        option.state |= QStyle::State_Sunken;
        const QRect text = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        // QLineEdit keeps a pixel above and below its text.
        return text.height() - 2 >= edit->fontMetrics().height() ? height : std::max(height, edit->sizeHint().height());
    }

    // The closed list with its longest entry whole, as QComboBox measures it
    // (its own size hint is kept from before the entries were added).
    static QSize ClosedListSize(const QComboBox *combo)
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

    // Where the field draws its text's baseline, from its top.
    static int FieldBaseline(const QLineEdit *edit, const QRect &rect)
    {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = QRect(QPoint(0, 0), rect.size());
        option.lineWidth
            = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        option.state |= QStyle::State_Sunken;
        const QRect text = edit->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                               .marginsRemoved(edit->textMargins());
        const QFontMetrics metrics = edit->fontMetrics();
        // As QLineEdit centres a line vertically.
        return text.y() + (text.height() - metrics.height() + 1) / 2 + metrics.ascent();
    }

    const Placement &Computed() const
    {
        if (!m_computed)
            m_computed = Compute();
        return *m_computed;
    }

    Placement Compute() const
    {
        const DialogUnits units(parentWidget()->font());
        const qsizetype n = m_items.size();
        const int padX = units.X(2);
        const int padY = units.Y(2);

        // Heights and widths the style needs beyond the template's.
        QList<int> heights(n), minWidths(n, 0);
        Lines across, down;
        for (qsizetype i = 0; i < n; ++i) {
            const DialogControl &control = *m_controls[i];
            const int unitsHigh = UnitsHigh(control);
            int height = units.Y(control.cy);
            if (auto *combo = qobject_cast<QComboBox *>(Widget(i))) {
                const QSize closed = ClosedListSize(combo);
                height = closed.height();
                minWidths[i] = closed.width();
            } else if (auto *edit = qobject_cast<QLineEdit *>(Widget(i))) {
                height = FieldHeight(edit, units.X(control.cx), height);
            } else if (qobject_cast<QDateEdit *>(Widget(i))) {
                height = std::max(height, Widget(i)->minimumSizeHint().height());
            } else if (control.kind == ControlKind::Icon) {
                height = 32;
            } else if (control.kind == ControlKind::Rule) {
                height = std::max(2, height);
            }
            heights[i] = height;
            if (control.kind != ControlKind::GroupBox && m_buddies[i] < 0 && height > units.Y(unitsHigh)) {
                int &extra = down.space[control.y + unitsHigh - 1];
                extra = std::max(extra, height - units.Y(unitsHigh));
            }
        }

        auto place = [&](qsizetype i) {
            const DialogControl &c = *m_controls[i];
            const int left = across.Map(c.x, units.X(c.x));
            const int top = down.Map(c.y, units.Y(c.y));
            // The template's size, and any room inserted within it.
            const int width = std::max(minWidths[i], units.X(c.cx) + across.Map(c.x + c.cx, 0) - across.Map(c.x, 0));
            if (c.kind == ControlKind::GroupBox)
                return QRect(left, top, width, units.Y(c.cy) + down.Map(c.y + c.cy, 0) - down.Map(c.y, 0));
            if (c.kind == ControlKind::Icon)
                return QRect(left, top, 32, 32);
            return QRect(left, top, width, heights[i]);
        };
        QList<QRect> rects(n);
        auto placeAll = [&] {
            for (qsizetype i = 0; i < n; ++i)
                rects[i] = place(i);
            // An up-down control takes the right end of its field.
            for (qsizetype i = 0; i < n; ++i) {
                if (const int buddy = m_buddies[i]; buddy >= 0) {
                    const QRect field = rects[buddy];
                    const int width = units.X(m_controls[i]->cx);
                    rects[buddy] = QRect(field.x(), field.y(), field.width() - width, field.height());
                    rects[i] = QRect(field.x() + field.width() - width, field.y(), width, field.height());
                }
            }
        };

        // Each group's contents inside its content area, its title within its
        // frame: room is added until every group has it.
        for (int pass = 0; pass < 8; ++pass) {
            placeAll();
            std::map<int, int> moreAcross, moreDown;
            auto need = [](std::map<int, int> &more, int line, int pixels) {
                if (pixels > 0)
                    more[line] = std::max(more[line], pixels);
            };
            for (qsizetype g = 0; g < n; ++g) {
                auto *group = qobject_cast<QGroupBox *>(Widget(g));
                if (!group)
                    continue;
                const DialogControl &frame = *m_controls[g];
                const QRect box = rects[g];
                const QStyleOptionGroupBox option = GroupOption(group, box.size());
                const QRect content
                    = group->style()
                          ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, group)
                          .translated(box.topLeft())
                          .adjusted(padX, padY, -padX, -padY);
                for (qsizetype i = 0; i < n; ++i) {
                    if (i == g || m_controls[i]->kind == ControlKind::GroupBox || !Inside(*m_controls[i], frame))
                        continue;
                    need(moreAcross, frame.x, content.left() - rects[i].left());
                    need(moreDown, frame.y, content.top() - rects[i].top());
                    need(moreAcross, frame.x + frame.cx - 1, rects[i].right() - content.right());
                    need(moreDown, frame.y + frame.cy - 1, rects[i].bottom() - content.bottom());
                }
                // The title as the style draws it (bold in some), measured
                // where it has all the room it wants.
                const QStyleOptionGroupBox wide = GroupOption(group, QSize(box.width() * 4, box.height()));
                const QRect title
                    = group->style()->subControlRect(QStyle::CC_GroupBox, &wide, QStyle::SC_GroupBoxLabel, group);
                if (!title.isEmpty())
                    need(moreAcross, frame.x + frame.cx - 1,
                        title.right() + 1 + std::max(0, title.left()) - box.width());
            }
            if (moreAcross.empty() && moreDown.empty())
                break;
            for (const auto &[line, extra] : moreAcross)
                across.space[line] += extra;
            for (const auto &[line, extra] : moreDown)
                down.space[line] += extra;
        }
        placeAll();

        // A label beside a one-line field sits on the field's text baseline.
        for (qsizetype i = 0; i < n; ++i) {
            const DialogControl &label = *m_controls[i];
            if (label.kind != ControlKind::Label
                || (label.style & (res::kCenterVertically | res::kSunkenEdge | res::kStaticEdge)))
                continue;
            qsizetype nearest = -1;
            int distance = 0;
            for (qsizetype j = 0; j < n; ++j) {
                const DialogControl &field = *m_controls[j];
                if (field.kind != ControlKind::Edit || label.y < field.y || label.y >= field.y + field.cy)
                    continue;
                const int gap = std::max(label.x - (field.x + field.cx), field.x - (label.x + label.cx));
                if (gap >= 0 && (nearest < 0 || gap < distance)) {
                    nearest = j;
                    distance = gap;
                }
            }
            if (nearest < 0)
                continue;
            auto *edit = static_cast<QLineEdit *>(Widget(nearest));
            const int baseline = rects[nearest].top() + FieldBaseline(edit, rects[nearest]);
            rects[i].moveTop(baseline - Widget(i)->fontMetrics().ascent() - Widget(i)->contentsRect().top());
        }

        // The client keeps the template's margin below and beside the lowest
        // and rightmost controls.
        QSize size(across.Map(m_dialog.cx, units.X(m_dialog.cx)), down.Map(m_dialog.cy, units.Y(m_dialog.cy)));
        for (const QRect &rect : rects) {
            size.setWidth(std::max(size.width(), rect.right() + 1 + padX));
            size.setHeight(std::max(size.height(), rect.bottom() + 1 + padY));
        }
        return {rects, size};
    }

    const res::DialogTemplate &m_dialog;
    QList<const DialogControl *> m_controls;
    QList<QLayoutItem *> m_items;
    QList<int> m_buddies;
    mutable std::optional<Placement> m_computed;
};

} // namespace meravel
