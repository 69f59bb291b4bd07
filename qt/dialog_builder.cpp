#include "qt/dialog_builder.h"

#include "qt/accessibility.h"
#include "qt/template_layout.h"
#include "qt/updown_spinbox.h"
#include "res/resource.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

namespace meravel {

namespace {

using res::ControlKind;
using res::DialogControl;

// Windows' MulDiv: the product over the divisor, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

Qt::Alignment HorizontalAlignment(unsigned style)
{
    if (style & res::kAlignCenter)
        return Qt::AlignHCenter;
    if (style & res::kAlignRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QWidget *MakeEdit(QWidget *parent, const DialogControl &control)
{
    auto *edit = new QLineEdit(parent);
    edit->setAlignment(HorizontalAlignment(control.style) | Qt::AlignVCenter);
    edit->setReadOnly(control.style & res::kReadOnly);
    edit->setFrame(control.style & res::kBorder);
    if (control.style & res::kDigitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

// A field with an up-down control at its right edge: one spin box.
QWidget *MakeSpinBox(QWidget *parent, const DialogControl &control)
{
    auto *spin = new UpDownSpinBox(parent);
    spin->setAlignment(HorizontalAlignment(control.style) | Qt::AlignVCenter);
    spin->setFrame(control.style & res::kBorder);
    return spin;
}

QWidget *MakeLabel(QWidget *parent, const DialogControl &control)
{
    auto *label = new QLabel(QString::fromUtf8(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // A one-line label inside an edge has little room to spare above and
    // below its text: centre it there too.
    const bool edged = control.style & (res::kSunkenEdge | res::kStaticEdge);
    const bool centred = edged || (control.style & res::kCenterVertically);
    label->setAlignment(HorizontalAlignment(control.style) | (centred ? Qt::AlignVCenter : Qt::AlignTop));
    if (edged) {
        // The style's own edge: a plain sunken panel is drawn in the
        // palette's light and dark, which some styles (Adwaita-HighContrast)
        // make the window's own colour, and the edge vanishes.
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QWidget *MakeGroupBox(QWidget *parent, const DialogControl &control)
{
    auto *group = new QGroupBox(QString::fromUtf8(control.text), parent);
    group->setFocusPolicy(Qt::NoFocus);
    return group;
}

QWidget *MakeIcon(QWidget *parent, const QIcon &icon)
{
    auto *label = new QLabel(parent);
    label->setPixmap(icon.pixmap(QSize(32, 32)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget *MakeRule(QWidget *parent)
{
    auto *rule = new QFrame(parent);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return rule;
}

QWidget *MakePushButton(QWidget *parent, const DialogControl &control)
{
    auto *button = new QPushButton(QString::fromUtf8(control.text), parent);
    button->setDefault(control.style & res::kDefaultButton);
    button->setAutoDefault(control.style & res::kDefaultButton);
    return button;
}

// Whether the desktop chose the font's size (see DialogFont).
bool IsDesktopFontSize(const QFont &font)
{
    const bool standIn = font.family() == QLatin1String("Sans Serif") && font.pointSizeF() == 9.0;
    return font.pointSizeF() > 0 && !standIn;
}

} // namespace

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int letters
        = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (letters / 26 + 1) / 2;
    m_nBaseY = metrics.height();
}

int DialogUnits::X(int units) const
{
    return MulDiv(units, m_nBaseX, 4);
}

int DialogUnits::Y(int units) const
{
    return MulDiv(units, m_nBaseY, 8);
}

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const
{
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

QFont DialogFont(const res::DialogTemplate &dialog)
{
    // The template's font is a Windows one: looking it up on Linux would
    // only cost start-up time before falling back.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (!IsDesktopFontSize(font))
        font.setPointSize(dialog.pointSize);
    return font;
}

QHash<int, QWidget *> BuildDialogControls(QWidget *client, const res::DialogTemplate &dialog)
{
    InstallAccessibility();
    auto *layout = new TemplateLayout(client, dialog);
    const std::span<const DialogControl> controls = dialog.controls;

    // The group boxes first, behind everything else, in the order of the
    // first control inside each (so that a screen reader's review meets them
    // as the Tab key does): each control is then made inside the group box
    // around it.
    QHash<const DialogControl *, QWidget *> made;
    std::function<QWidget *(const DialogControl &)> parentOf = [&](const DialogControl &control) -> QWidget * {
        const DialogControl *group = TemplateLayout::GroupAround(dialog, control);
        if (!group)
            return client;
        if (!made.contains(group))
            made.insert(group, MakeGroupBox(parentOf(*group), *group));
        return made.value(group);
    };
    for (const DialogControl &control : controls)
        parentOf(control);
    for (const DialogControl &control : controls) {
        if (control.kind == ControlKind::GroupBox && !made.contains(&control))
            made.insert(&control, MakeGroupBox(parentOf(control), control));
    }

    QHash<int, QWidget *> byId;
    QWidget *lastTabStop = nullptr;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const DialogControl &control = controls[i];
        QWidget *parent = parentOf(control);
        QWidget *widget = made.value(&control);
        const bool spinAfter = i + 1 < controls.size() && controls[i + 1].kind == ControlKind::UpDown
            && (controls[i + 1].style & res::kAutoBuddy);
        switch (control.kind) {
        case ControlKind::Edit:
            widget = spinAfter ? MakeSpinBox(parent, control) : MakeEdit(parent, control);
            break;
        case ControlKind::ComboBox:
            widget = new QComboBox(parent);
            break;
        case ControlKind::UpDown:
            // Part of the spin box made for the field before it.
            if (controls[i - 1].id != IDC_STATIC)
                byId.insert(control.id, byId.value(controls[i - 1].id));
            continue;
        case ControlKind::GroupBox:
            break;
        case ControlKind::Label:
            widget = MakeLabel(parent, control);
            break;
        case ControlKind::Icon:
            widget = MakeIcon(parent, client->window()->windowIcon());
            break;
        case ControlKind::Rule:
            widget = MakeRule(parent);
            break;
        case ControlKind::PushButton:
            widget = MakePushButton(parent, control);
            break;
        case ControlKind::DatePicker: {
            auto *date = new QDateEdit(parent);
            date->setCalendarPopup(true);
            // Day, month, year whatever the desktop's settings.
            date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
            widget = date;
            break;
        }
        case ControlKind::Plot:
            widget = new ChartWidget(parent);
            break;
        }

        if (*control.objectName)
            widget->setObjectName(QString::fromLatin1(control.objectName));
        if (*control.accessibleName)
            widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
        if (*control.description)
            widget->setAccessibleDescription(QString::fromUtf8(control.description));
        if (control.style & res::kTabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (lastTabStop)
                QWidget::setTabOrder(lastTabStop, widget);
            lastTabStop = widget;
        } else if (control.kind != ControlKind::Edit) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (control.id != IDC_STATIC)
            byId.insert(control.id, widget);
        made.insert(&control, widget);
        layout->Add(control, widget);
    }

    // Each label names its field for screen readers (and moves the focus to
    // it with its mnemonic, where it has one).
    for (const DialogControl &control : controls) {
        if (control.labelFor == 0)
            continue;
        if (auto *label = qobject_cast<QLabel *>(made.value(&control)))
            label->setBuddy(byId.value(control.labelFor));
    }
    return byId;
}

QHash<int, QWidget *> BuildDialog(
    QDialog *window, const res::DialogTemplate &dialog, const char *objectName, const QIcon &icon)
{
    window->setObjectName(QString::fromLatin1(objectName));
    window->setWindowTitle(QString::fromUtf8(dialog.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
    if (dialog.style & res::kDialogMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
    window->setWindowIcon(icon);

    auto *client = new QWidget(window);
    client->setFont(DialogFont(dialog));
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(client);
    return BuildDialogControls(client, dialog);
}

} // namespace meravel
