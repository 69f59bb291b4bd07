#include "qt/dialog_builder.h"

#include "qt/template_layout.h"
#include "qt/updown_control.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>
#include <QValidator>
#include <QWidget>

#include <algorithm>
#include <map>
#include <optional>

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

// Typed and pasted text alike: decimal digits 0 to 9 or nothing.
class DigitsValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        const bool digits = std::all_of(
            input.cbegin(), input.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
        return digits ? Acceptable : Invalid;
    }
};

Qt::Alignment HorizontalAlignment(unsigned style)
{
    if (style & res::kAlignCenter)
        return Qt::AlignHCenter;
    if (style & res::kAlignRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QWidget *MakeEdit(QWidget *client, const DialogControl &control)
{
    auto *edit = new QLineEdit(client);
    edit->setAlignment(HorizontalAlignment(control.style) | Qt::AlignVCenter);
    edit->setReadOnly(control.style & res::kReadOnly);
    edit->setFrame(control.style & res::kBorder);
    if (control.style & res::kDigitsOnly)
        edit->setValidator(new DigitsValidator(edit));
    return edit;
}

QWidget *MakeLabel(QWidget *client, const DialogControl &control)
{
    auto *label = new QLabel(QString::fromUtf8(control.text), client);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // A one-line label inside an edge has little room to spare above and
    // below its text: centre it there too.
    const bool edged = control.style & (res::kSunkenEdge | res::kStaticEdge);
    const bool centred = edged || (control.style & res::kCenterVertically);
    label->setAlignment(HorizontalAlignment(control.style) | (centred ? Qt::AlignVCenter : Qt::AlignTop));
    if (edged) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QWidget *MakeGroupBox(QWidget *client, const DialogControl &control)
{
    auto *group = new QGroupBox(QString::fromUtf8(control.text), client);
    // A frame drawn behind the fields it surrounds, never in their way.
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    group->setFocusPolicy(Qt::NoFocus);
    return group;
}

QWidget *MakeIcon(QWidget *client, const QIcon &icon)
{
    auto *label = new QLabel(client);
    label->setPixmap(icon.pixmap(QSize(32, 32)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget *MakeRule(QWidget *client)
{
    auto *rule = new QFrame(client);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return rule;
}

QWidget *MakePushButton(QWidget *client, const DialogControl &control)
{
    auto *button = new QPushButton(QString::fromUtf8(control.text), client);
    button->setDefault(control.style & res::kDefaultButton);
    button->setAutoDefault(control.style & res::kDefaultButton);
    return button;
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
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    fallback.setPointSize(dialog.pointSize);
    return fallback;
}

QHash<int, QWidget *> BuildDialogControls(QWidget *client, const res::DialogTemplate &dialog)
{
    const DialogUnits units(client->font());
    auto *layout = new TemplateLayout(client, dialog);

    QHash<int, QWidget *> byId;
    QList<QWidget *> groups;
    QWidget *previous = nullptr;
    QWidget *lastTabStop = nullptr;
    for (const DialogControl &control : dialog.controls) {
        QWidget *widget = nullptr;
        bool attached = false;
        const QRect rect = units.Rect(control.x, control.y, control.cx, control.cy);
        switch (control.kind) {
        case ControlKind::Edit:
            widget = MakeEdit(client, control);
            widget->setGeometry(rect);
            break;
        case ControlKind::ComboBox: {
            // The template's height is that of the dropped list; the closed
            // box takes the height its font needs.
            auto *combo = new QComboBox(client);
            combo->setEditable(false);
            widget = combo;
            widget->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
            break;
        }
        case ControlKind::UpDown: {
            auto *updown = new UpDownControl(client);
            widget = updown;
            if (auto *buddy = qobject_cast<QLineEdit *>(previous); buddy && (control.style & res::kAutoBuddy)) {
                updown->AttachBuddy(buddy, rect.width());
                attached = true;
            } else
                widget->setGeometry(rect);
            break;
        }
        case ControlKind::GroupBox:
            widget = MakeGroupBox(client, control);
            widget->setGeometry(rect);
            groups.append(widget);
            break;
        case ControlKind::Label:
            widget = MakeLabel(client, control);
            widget->setGeometry(rect);
            break;
        case ControlKind::Icon:
            widget = MakeIcon(client, client->window()->windowIcon());
            widget->setGeometry(rect.x(), rect.y(), 32, 32);
            break;
        case ControlKind::Rule:
            widget = MakeRule(client);
            widget->setGeometry(rect.x(), rect.y(), rect.width(), std::max(2, rect.height()));
            break;
        case ControlKind::PushButton:
            widget = MakePushButton(client, control);
            widget->setGeometry(rect);
            break;
        case ControlKind::DatePicker: {
            auto *date = new QDateEdit(client);
            date->setCalendarPopup(true);
            // Day, month, year whatever the desktop's settings.
            date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
            widget = date;
            widget->setGeometry(rect);
            break;
        }
        case ControlKind::Plot:
            // The window draws it.
            widget = new QWidget(client);
            widget->setGeometry(rect);
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
        if (control.id != -1)
            byId.insert(control.id, widget);
        layout->Add(control, widget);
        if (attached)
            layout->AttachToPrevious();
        previous = widget;
    }
    // Frames go behind everything else, as on the original dialog.
    for (QWidget *group : groups)
        group->lower();
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
