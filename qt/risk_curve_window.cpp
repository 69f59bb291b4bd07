#include "qt/risk_curve_window.h"

#include "form/risk_curve.h"
#include "form/window_placement.h"
#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <variant>

namespace meravel {

namespace {

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

// The plot widget's font, for the core's layout.
class FontMeasure : public TextMeasure
{
public:
    explicit FontMeasure(const QFont &font)
        : m_normal(font)
        , m_bold(Bold(font))
    {
    }

    double Width(const std::string &text, bool bold) const override
    {
        return (bold ? m_bold : m_normal).horizontalAdvance(FromUtf8(text));
    }
    double LineHeight() const override { return m_normal.height(); }
    double AverageCharWidth() const override { return m_normal.averageCharWidth(); }
    // QPainter turns any font.
    bool CanRotate() const override { return true; }

private:
    QFontMetricsF m_normal;
    QFontMetricsF m_bold;
};

QRectF ToRect(const PlotRect &rect)
{
    return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

ScreenRect ToScreen(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

Rgb ToRgb(const QColor &colour)
{
    return {colour.red(), colour.green(), colour.blue()};
}

// Paints the core's items, as they come.
class ItemPainter
{
public:
    ItemPainter(QPainter &painter, const QPalette &palette, const QFont &font)
        : m_painter(painter)
        , m_colours({ToRgb(palette.color(QPalette::Active, QPalette::Window)),
              ToRgb(palette.color(QPalette::Active, QPalette::WindowText)),
              ToRgb(palette.color(QPalette::Active, QPalette::Base)),
              ToRgb(palette.color(QPalette::Active, QPalette::Text)),
              ToRgb(palette.color(QPalette::Active, QPalette::Highlight))})
        , m_font(font)
        , m_bold(Bold(font))
    {
    }

    void operator()(const FillItem &item) { m_painter.fillRect(ToRect(item.rect), Colour(item.colour)); }

    void operator()(const LineItem &item)
    {
        QPen pen(Colour(item.colour), item.width, Qt::SolidLine, item.round ? Qt::RoundCap : Qt::FlatCap,
            item.round ? Qt::RoundJoin : Qt::MiterJoin);
        if (item.dash > 0)
            pen.setDashPattern({item.dash / item.width, item.dash / item.width});
        m_painter.setPen(pen);
        QPolygonF polyline;
        for (const PlotPoint &point : item.points)
            polyline << QPointF(point.x, point.y);
        m_painter.drawPolyline(polyline);
    }

    void operator()(const TextItem &item)
    {
        const Qt::Alignment across = item.align == TextAlign::Left ? Qt::AlignLeft
            : item.align == TextAlign::Centre                      ? Qt::AlignHCenter
                                                                   : Qt::AlignRight;
        QRectF box = ToRect(item.box);
        m_painter.save();
        if (item.upright) {
            m_painter.translate(box.center());
            m_painter.rotate(-90);
            box = QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width());
        }
        m_painter.setPen(Colour(item.colour));
        m_painter.setFont(item.bold ? m_bold : m_font);
        m_painter.drawText(box, static_cast<int>(across | Qt::AlignVCenter | Qt::TextDontClip), FromUtf8(item.text));
        m_painter.restore();
    }

    void operator()(const DotItem &item)
    {
        m_painter.setPen(QPen(Colour(item.outline), item.outlineWidth));
        m_painter.setBrush(Colour(item.fill));
        m_painter.drawEllipse(QPointF(item.centre.x, item.centre.y), item.radius, item.radius);
        m_painter.setBrush(Qt::NoBrush);
    }

private:
    QColor Colour(ColourRole role) const
    {
        const Rgb colour = m_colours[role];
        return QColor(colour.red, colour.green, colour.blue);
    }

    QPainter &m_painter;
    PlotColours m_colours;
    QFont m_font;
    QFont m_bold;
};

} // namespace

CRiskCurveWindow::CRiskCurveWindow(QWidget *owner, Calculator &calculator)
    : QDialog(owner)
    , m_calculator(calculator)
{
    const QHash<int, QWidget *> controls
        = BuildDialog(this, res::kRiskCurveDialog, "IDD_RISK_CURVE", owner ? owner->windowIcon() : LoadMainIcon());
    setModal(false);
    m_pPlot = Control<QWidget>(controls, IDC_RISK_CURVE);
    m_pCaption = Control<QLabel>(controls, IDC_RISK_CURVE_CAPTION);
    auto *close = Control<QPushButton>(controls, IDCANCEL);
    m_pPlot->installEventFilter(this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    close->setFocus(Qt::OtherFocusReason);
    // One window at a time: the calculator opens a new one once this one is
    // closed, whichever way.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);

    if (owner)
        PlaceBesideOwner(owner);
    m_calculator.AddListener(this);
    OnFiguresChanged();
}

CRiskCurveWindow::~CRiskCurveWindow()
{
    m_calculator.RemoveListener(this);
}

void CRiskCurveWindow::PlaceBesideOwner(QWidget *owner)
{
    // On Wayland no program places its windows: move() does nothing there,
    // and the compositor puts the curve where its own rules say.
    adjustSize();
    const QScreen *screen = owner->screen();
    if (!screen)
        return;
    // Not shown yet, this window has no frame: it will have the calculator's.
    const QRect calculator = owner->frameGeometry();
    const QSize outer = size() + calculator.size() - owner->size();
    const BesidePlacement place
        = PlaceBeside(ToScreen(calculator), outer.width(), outer.height(), ToScreen(screen->availableGeometry()));
    // A top-level widget moves by its frame's corner.
    if (place.owner != ToScreen(calculator))
        owner->move(place.owner.left, place.owner.top);
    move(place.window.left, place.window.top);
}

void CRiskCurveWindow::OnFiguresChanged()
{
    const RiskCurveState state = m_calculator.CurveState();
    if (state == m_state && !m_pPlot->accessibleDescription().isEmpty())
        return;
    m_state = state;
    m_pPlot->setAccessibleDescription(FromUtf8(RiskCurveDescription(m_state)));
    m_pCaption->setText(FromUtf8(RiskCurveCaption(m_state)));
    m_pPlot->update();
}

bool CRiskCurveWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pPlot && event->type() == QEvent::Paint) {
        PaintPlot();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CRiskCurveWindow::PaintPlot()
{
    const QFont font = m_pPlot->font();
    const QRectF bounds = m_pPlot->rect();
    const RiskCurvePicture picture
        = LayOutRiskCurve({bounds.left(), bounds.top(), bounds.right(), bounds.bottom()}, FontMeasure(font), m_state);
    QPainter painter(m_pPlot);
    painter.setRenderHint(QPainter::Antialiasing);
    ItemPainter paint(painter, m_pPlot->palette(), font);
    for (const PlotItem &item : picture.items)
        std::visit(paint, item);
    // Where the keyboard is, for those who see.
    if (m_pPlot->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(m_pPlot);
        focus.rect = m_pPlot->rect().adjusted(1, 1, -1, -1);
        m_pPlot->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, m_pPlot);
    }
}

} // namespace meravel
