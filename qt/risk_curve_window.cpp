#include "qt/risk_curve_window.h"

#include "form/risk_curve.h"
#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace meravel {

namespace {

// A colour between two of the palette's: `weight` of `a`, the rest of `b`.
// Taken between the text and the background colours, it gives a grey that
// reads the same way in a light and a dark palette.
QColor Mix(const QColor &a, const QColor &b, double weight)
{
    const auto channel
        = [weight](int x, int y) { return static_cast<int>(std::lround(x * weight + y * (1.0 - weight))); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

QPolygonF Polyline(const std::vector<PlotPoint> &points)
{
    QPolygonF polyline;
    polyline.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint &point : points)
        polyline << QPointF(point.x, point.y);
    return polyline;
}

// The lengths the plot is drawn with, all from the font, so that it scales
// with the dialog font like the rest of the window.
struct Spacing
{
    explicit Spacing(const QFontMetricsF &metrics)
        : line(metrics.height())
        , pad(std::round(metrics.averageCharWidth()))
        , gap(std::max(2.0, std::round(metrics.averageCharWidth() / 2)))
        , tick(std::max(3.0, std::round(metrics.height() / 3)))
    {
    }

    double line; // one line of text
    double pad;  // between the widget's edges and the texts
    double gap;  // between a tick and its label, a label and a title
    double tick; // a tick mark's length
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
    auto *close = Control<QPushButton>(controls, IDCANCEL);
    m_pPlot->installEventFilter(this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    close->setFocus(Qt::OtherFocusReason);
    // One window at a time: the calculator opens a new one once this one is
    // closed, whichever way.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);

    if (owner)
        PlaceBeside(owner);
    m_calculator.AddListener(this);
    OnFiguresChanged();
}

CRiskCurveWindow::~CRiskCurveWindow()
{
    m_calculator.RemoveListener(this);
}

void CRiskCurveWindow::PlaceBeside(const QWidget *owner)
{
    // The curve follows what is typed in the calculator: side by side, both
    // stay in view. On a screen too narrow for that, on the side with more
    // room, against the screen's edge, covering as little of the calculator
    // as it can.
    adjustSize();
    const QScreen *screen = owner->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect calculator = owner->frameGeometry();
    const int frame = std::max(0, calculator.width() - owner->width());
    const int outerWidth = width() + frame;
    const int outerHeight = height() + std::max(0, calculator.height() - owner->height());
    const int spacing = 8;
    const int roomRight = available.right() - calculator.right();
    const int roomLeft = calculator.left() - available.left();
    int x = roomRight >= roomLeft ? calculator.right() + 1 + spacing : calculator.left() - spacing - outerWidth;
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - outerWidth));
    const int y = std::clamp(
        calculator.top(), available.top(), std::max(available.top(), available.bottom() + 1 - outerHeight));
    move(x, y);
}

void CRiskCurveWindow::OnFiguresChanged()
{
    const RiskCurveState state = m_calculator.CurveState();
    if (state == m_state && !m_pPlot->accessibleDescription().isEmpty())
        return;
    m_state = state;
    const RiskCurvePlot plot = MakePlot();
    m_pPlot->setAccessibleDescription(FromUtf8(plot.description));
    m_pPlot->update();
}

PlotArea CRiskCurveWindow::PlotAreaFor(const RiskCurvePlot &labels) const
{
    const QFontMetricsF metrics(m_pPlot->font());
    const Spacing spacing(metrics);
    double oddsLabels = 0;
    for (const PlotTick &tick : labels.oddsTicks)
        oddsLabels = std::max(oddsLabels, metrics.horizontalAdvance(FromUtf8(tick.label)));
    const double lastAgeLabel
        = labels.ageTicks.empty() ? 0 : metrics.horizontalAdvance(FromUtf8(labels.ageTicks.back().label));

    // Left: the odds title turned upright, the tick labels, the ticks.
    // Below: the ticks, the age labels, the age title. Above and on the
    // right: half a label, where the end ticks' labels stand out.
    const QRectF rect = m_pPlot->rect();
    return {
        rect.left() + spacing.pad + spacing.line + spacing.gap + oddsLabels + spacing.gap + spacing.tick,
        rect.top() + spacing.pad + spacing.line / 2,
        rect.right() + 1 - spacing.pad - std::max(lastAgeLabel / 2, spacing.gap),
        rect.bottom() + 1 - spacing.pad - spacing.line - spacing.gap - spacing.line - spacing.gap - spacing.tick,
    };
}

RiskCurvePlot CRiskCurveWindow::MakePlot() const
{
    // The labels do not depend on the area: a first plot gives them, the
    // margins are measured on them, then the plot is made for the area left.
    const RiskCurvePlot labels = MakeRiskCurvePlot({0, 0, 1, 1}, m_state.formula, m_state.ageText);
    return MakeRiskCurvePlot(PlotAreaFor(labels), m_state.formula, m_state.ageText);
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
    const RiskCurvePlot plot = MakePlot();
    const QRectF area(QPointF(plot.area.left, plot.area.top), QPointF(plot.area.right, plot.area.bottom));

    QPainter painter(m_pPlot);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = m_pPlot->font();
    const QFontMetricsF metrics(font);
    const Spacing spacing(metrics);

    // Colours from the palette: text on the plot's background, the grid and
    // the other curve between the two, the marks in the highlight colour.
    const QPalette &palette = m_pPlot->palette();
    const QColor background = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::Text);
    const QColor labelInk = palette.color(QPalette::WindowText);
    const QColor grid = Mix(ink, background, 0.14);
    const QColor frame = Mix(ink, background, 0.45);
    const QColor otherCurve = Mix(ink, background, 0.45);
    const QColor accent = palette.color(QPalette::Highlight);

    painter.fillRect(area, background);

    // The grid, at every tick.
    painter.setPen(QPen(grid, 1));
    for (const PlotTick &tick : plot.oddsTicks)
        painter.drawLine(QPointF(area.left(), tick.position), QPointF(area.right(), tick.position));
    for (const PlotTick &tick : plot.ageTicks)
        painter.drawLine(QPointF(tick.position, area.top()), QPointF(tick.position, area.bottom()));

    // Ticks and their labels: the odds on the left, the ages below.
    painter.setPen(QPen(frame, 1));
    painter.drawRect(area);
    for (const PlotTick &tick : plot.oddsTicks)
        painter.drawLine(QPointF(area.left() - spacing.tick, tick.position), QPointF(area.left(), tick.position));
    for (const PlotTick &tick : plot.ageTicks)
        painter.drawLine(QPointF(tick.position, area.bottom()), QPointF(tick.position, area.bottom() + spacing.tick));
    painter.setPen(labelInk);
    const double oddsLabelRight = area.left() - spacing.tick - spacing.gap;
    for (const PlotTick &tick : plot.oddsTicks) {
        const QRectF box(0, tick.position - spacing.line / 2, oddsLabelRight, spacing.line);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, FromUtf8(tick.label));
    }
    const double ageLabelTop = area.bottom() + spacing.tick + spacing.gap;
    for (const PlotTick &tick : plot.ageTicks) {
        const QString label = FromUtf8(tick.label);
        const double width = metrics.horizontalAdvance(label);
        painter.drawText(QRectF(tick.position - width, ageLabelTop, 2 * width, spacing.line), Qt::AlignCenter, label);
    }

    // The axis titles: the ages' centred under their labels, the odds' turned
    // upright along the left edge, centred on the plot's height.
    const QRectF ageTitle(area.left(), ageLabelTop + spacing.line + spacing.gap, area.width(), spacing.line);
    painter.drawText(ageTitle, Qt::AlignCenter, FromUtf8(plot.ageAxisTitle));
    painter.save();
    painter.translate(spacing.pad, area.center().y());
    painter.rotate(-90);
    painter.drawText(
        QRectF(-area.height() / 2, 0, area.height(), spacing.line), Qt::AlignCenter, FromUtf8(plot.oddsAxisTitle));
    painter.restore();

    // Inside the plot from here on.
    painter.save();
    painter.setClipRect(area);

    // The reference line, dashed, its label above its left end where the
    // curves, far below at young ages, leave room.
    QPen dashed(accent, 1.5, Qt::DashLine);
    dashed.setCapStyle(Qt::FlatCap);
    painter.setPen(dashed);
    painter.drawLine(QPointF(area.left(), plot.referenceY), QPointF(area.right(), plot.referenceY));
    painter.setPen(ink);
    painter.drawText(
        QRectF(area.left() + spacing.pad, plot.referenceY - spacing.line - 1, area.width() / 2, spacing.line),
        Qt::AlignLeft | Qt::AlignBottom, FromUtf8(plot.referenceLabel));

    // The other formula thin and grey, the selected one over it, thick, in
    // the text colour.
    const bool cuckleSelected = plot.selected == RiskFormula::Cuckle;
    const QPen selectedPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen otherPen(otherCurve, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(otherPen);
    painter.drawPolyline(Polyline(cuckleSelected ? plot.hecht : plot.cuckle));
    painter.setPen(selectedPen);
    painter.drawPolyline(Polyline(cuckleSelected ? plot.cuckle : plot.hecht));

    // Which curve is which, in the empty top left corner: the formulas'
    // names as the calculator's list shows them, the selected one in bold.
    {
        QFont bold = font;
        bold.setBold(true);
        const double sample = 2 * spacing.line;
        double namesWidth = 0;
        for (const char *name : res::kFormulaEntries)
            namesWidth = std::max(namesWidth, QFontMetricsF(bold).horizontalAdvance(QString::fromUtf8(name)));
        const QRectF box(area.left() + spacing.pad, area.top() + spacing.pad,
            spacing.gap + sample + spacing.gap + namesWidth + spacing.gap,
            spacing.gap + static_cast<double>(res::kFormulaEntries.size()) * spacing.line + spacing.gap);
        painter.setPen(QPen(grid, 1));
        painter.setBrush(background);
        painter.drawRect(box);
        painter.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i < res::kFormulaEntries.size(); ++i) {
            const bool selected = static_cast<int>(i) == static_cast<int>(plot.selected);
            const double y = box.top() + spacing.gap + static_cast<double>(i) * spacing.line;
            painter.setPen(selected ? selectedPen : otherPen);
            painter.drawLine(QPointF(box.left() + spacing.gap, y + spacing.line / 2),
                QPointF(box.left() + spacing.gap + sample, y + spacing.line / 2));
            painter.setPen(ink);
            painter.setFont(selected ? bold : font);
            painter.drawText(QRectF(box.left() + spacing.gap + sample + spacing.gap, y, namesWidth, spacing.line),
                Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(res::kFormulaEntries[i]));
        }
        painter.setFont(font);
    }

    // The calculator's age: a dot on the selected curve and its label, above
    // and to the left of it, where the rising curve leaves room; moved inside
    // the plot where it would leave it.
    if (plot.mark) {
        const QPointF dot(plot.mark->x, plot.mark->y);
        const double radius = std::max(3.5, spacing.line / 3);
        painter.setPen(QPen(background, 1.5));
        painter.setBrush(accent);
        painter.drawEllipse(dot, radius, radius);
        painter.setBrush(Qt::NoBrush);

        const QString label = FromUtf8(plot.markLabel);
        const QSizeF size(metrics.horizontalAdvance(label) + 2 * spacing.gap, spacing.line);
        QRectF box(QPointF(dot.x() - radius - size.width(), dot.y() - radius - size.height()), size);
        if (box.left() < area.left() + spacing.gap)
            box.moveLeft(dot.x() + radius);
        if (box.top() < area.top() + spacing.gap)
            box.moveTop(dot.y() + radius);
        box.moveLeft(std::clamp(box.left(), area.left() + spacing.gap, area.right() - spacing.gap - box.width()));
        QColor veil = background;
        veil.setAlphaF(0.85f);
        painter.fillRect(box, veil);
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, label);
    }
    painter.restore();
}

} // namespace meravel
