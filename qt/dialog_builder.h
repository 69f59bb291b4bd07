#pragma once

// Builds a window's controls from its layout table (res/dialog_templates.h):
// converts dialog units to pixels with the dialog font's own metrics, creates
// one widget per control in template order, sets texts, alignments, focus and
// tab order, and ties each up-down control to the field before it.

#include "res/dialog_templates.h"

#include <QFont>
#include <QHash>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <string>

class QDialog;
class QIcon;
class QWidget;

namespace meravel {

// An area the window draws itself (the risk curve): a chart for screen
// readers, which reach it by Tab when the table makes it a tab stop.
class ChartWidget : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
};

// Dialog units to pixels, as Windows maps them: the horizontal base unit is
// the average width of the 52 Latin letters, the vertical one the font height.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont &font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int cx, int cy) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};

// The desktop's general font (the font of GNOME's or KDE's settings, through
// Qt's platform theme), at its own size: the layout is in dialog units, so
// the windows grow with it. At the template's size (8 points) where the
// desktop gives no size: a font sized in pixels, or Qt's stand-in for a
// desktop that names no font ("Sans Serif" at 9 points, from the generic
// platform theme, the KDE one without a font setting, and the offscreen
// platform). The template's family is a Windows one and is never used.
QFont DialogFont(const res::DialogTemplate &dialog);

// Creates the template's controls as children of client, sized to the
// template, and returns them by identifier (statics are not in the map).
QHash<int, QWidget *> BuildDialogControls(QWidget *client, const res::DialogTemplate &dialog);

// A secondary window from its template: its object name, title, frame (a
// caption, a close button and the template's minimise button; fixed size),
// icon, then its controls in a client area of the dialog font. Returns the
// controls by identifier.
QHash<int, QWidget *> BuildDialog(
    QDialog *window, const res::DialogTemplate &dialog, const char *objectName, const QIcon &icon);

// The core's UTF-8 text for a widget.
inline QString FromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The control with this identifier, of the kind the window expects. A layout
// without it would leave the window without a field: the program stops.
template <typename Widget> Widget *Control(const QHash<int, QWidget *> &controls, int id)
{
    auto *widget = qobject_cast<Widget *>(controls.value(id));
    if (!widget)
        qFatal("a window's layout has no control %d of the expected kind", id);
    return widget;
}

} // namespace meravel
