#pragma once

// Places a window's controls at their template rectangles, in dialog units
// converted with the dialog font's metrics, and then makes room for what the
// style in use needs, which the template cannot know: a group box's title
// above its frame (Fusion) or its contents indented (Adwaita), fields and
// lists higher or wider than on Windows, a bold group title.
//
// Room is made by inserting space at template coordinates: at a group's top
// or left edge for its title or indent, at its bottom or right edge when a
// control or its title would cross it, under a control that grew. Everything
// beyond such a line moves by the space inserted there, so rows and columns
// stay lined up; the window grows instead of anything being clipped. A label
// beside a one-line field or a date field sits on the field's text baseline.
// Recomputed whenever the style, the font or a control's size hint changes.
//
// A control inside a group box is the group box's child (so that the group's
// title labels it for screen readers): it is placed in the group's
// coordinates.

#include "res/dialog_templates.h"

#include <QLayout>
#include <QList>
#include <QRect>
#include <QSize>

#include <map>
#include <optional>

namespace meravel {

class DialogUnits;

class TemplateLayout : public QLayout
{
public:
    TemplateLayout(QWidget *client, const res::DialogTemplate &dialog);
    ~TemplateLayout() override;

    // The control's widget, a child of the client or of the group box around
    // the control.
    void Add(const res::DialogControl &control, QWidget *widget);

    // The innermost group box whose frame holds the control, by their
    // template rectangles; nullptr for none.
    static const res::DialogControl *GroupAround(const res::DialogTemplate &dialog, const res::DialogControl &control);

    QSize sizeHint() const override { return Computed().size; }
    QSize minimumSize() const override { return Computed().size; }
    QSize maximumSize() const override { return Computed().size; }
    void invalidate() override;
    void setGeometry(const QRect &rect) override;
    void addItem(QLayoutItem *item) override { m_items.append(item); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    int count() const override { return int(m_items.size()); }

private:
    // Space inserted at template coordinates: every coordinate beyond a line
    // moves by the space inserted there.
    struct Lines
    {
        std::map<int, int> space;
        int Map(int units, int pixels) const;
    };

    struct Placement
    {
        QList<QRect> rects; // in the client's coordinates
        QSize size;
    };

    // The pixels each control needs beyond its template size.
    struct Needs
    {
        QList<int> heights;
        QList<int> minWidths;
    };

    QWidget *Widget(qsizetype i) const { return m_items[i]->widget(); }
    const Placement &Computed() const;
    Placement Compute() const;

    // The passes of Compute, in order.
    Needs MeasureControls(const DialogUnits &units, Lines &down) const;
    QList<QRect> Place(const DialogUnits &units, const Needs &needs, const Lines &across, const Lines &down) const;
    bool MakeRoomInGroups(const DialogUnits &units, const QList<QRect> &rects, Lines &across, Lines &down) const;
    void SitLabelsOnBaselines(QList<QRect> &rects) const;
    QSize ClientSize(const DialogUnits &units, const QList<QRect> &rects, const Lines &across, const Lines &down) const;

    const res::DialogTemplate &m_dialog;
    QList<const res::DialogControl *> m_controls;
    QList<QLayoutItem *> m_items;
    mutable std::optional<Placement> m_computed;
};

} // namespace meravel
