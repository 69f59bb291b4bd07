#include "win32/risk_curve_window.h"

#include "res/dialog_templates.h"
#include "res/resource.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace meravel {

namespace {

constexpr COLORREF kSelectedColour = RGB(0, 51, 153); // the stressed curve and the mark
constexpr COLORREF kOtherColour = RGB(160, 160, 160); // the other formula's curve
constexpr COLORREF kReferenceColour = RGB(192, 0, 0); // the line of 1/250 and its label
constexpr COLORREF kGridColour = RGB(228, 228, 228);  // the lines of the ticks across the plot

int Pixel(double position)
{
    return static_cast<int>(std::lround(position));
}

// A GDI object selected into a device context for the lifetime of a scope,
// and deleted afterwards when it was made for it.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object, bool owned = true)
        : m_dc(dc)
        , m_object(object)
        , m_previous(::SelectObject(dc, object))
        , m_owned(owned)
    {
    }
    ~Selection()
    {
        ::SelectObject(m_dc, m_previous);
        if (m_owned)
            ::DeleteObject(m_object);
    }
    Selection(const Selection &) = delete;
    Selection &operator=(const Selection &) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_previous;
    bool m_owned;
};

SIZE TextSize(HDC dc, const std::wstring &text)
{
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::wstring &text)
{
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void FillRect(HDC dc, const RECT &rect, int colourIndex)
{
    ::FillRect(dc, &rect, ::GetSysColorBrush(colourIndex));
}

// Sizes taken from the dialog's font, so that the plot scales with it.
struct Metrics
{
    int lineHeight; // a line of text
    int charWidth;  // an average character
    int gap;        // between a label and what it labels
    int tick;       // a tick's length
    int thinPen;
    int thickPen;
    int dotRadius;
};

Metrics MeasureFont(HDC dc)
{
    TEXTMETRICW text{};
    ::GetTextMetricsW(dc, &text);
    Metrics m{};
    m.lineHeight = text.tmHeight;
    m.charWidth = text.tmAveCharWidth;
    m.gap = std::max(2, m.charWidth / 2);
    m.tick = std::max(3, m.lineHeight / 3);
    m.thinPen = std::max(1, (m.lineHeight + 6) / 13);
    m.thickPen = 2 * m.thinPen;
    m.dotRadius = std::max(3, m.lineHeight / 4);
    return m;
}

// The plot area inside `bounds`: room on the left for the widest odds label
// and its tick, above for the odds axis title (and half a line for the top
// odds label), below for the age labels and the age axis
// title, on the right for half the last age label.
PlotArea AreaInside(HDC dc, const RECT &bounds, const RiskCurvePlot &labels, const Metrics &m)
{
    int widestOdds = 0;
    for (const PlotTick &tick : labels.oddsTicks)
        widestOdds = std::max(widestOdds, static_cast<int>(TextSize(dc, ToUtf16(tick.label)).cx));
    int widestAge = 0;
    for (const PlotTick &tick : labels.ageTicks)
        widestAge = std::max(widestAge, static_cast<int>(TextSize(dc, ToUtf16(tick.label)).cx));

    PlotArea area{};
    area.left = bounds.left + m.charWidth + widestOdds + m.gap + m.tick;
    area.top = bounds.top + m.gap + m.lineHeight + m.gap + m.lineHeight / 2;
    area.right = bounds.right - m.charWidth - widestAge / 2;
    area.bottom = bounds.bottom - (m.tick + m.gap + m.lineHeight + m.gap + m.lineHeight + m.gap);
    return area;
}

std::vector<POINT> Polyline(const std::vector<PlotPoint> &points)
{
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const PlotPoint &point : points)
        out.push_back({Pixel(point.x), Pixel(point.y)});
    return out;
}

void DrawCurve(HDC dc, const std::vector<PlotPoint> &points, int width, COLORREF colour)
{
    const Selection pen(dc, ::CreatePen(PS_SOLID, width, colour));
    const std::vector<POINT> line = Polyline(points);
    ::Polyline(dc, line.data(), static_cast<int>(line.size()));
}

// The mark's label beside its dot, where it stays inside the plot: above on
// the left first (the curves rise to the right, so that corner is clear),
// then below on the right, above on the right, below on the left.
RECT MarkLabelRect(const RECT &area, POINT dot, SIZE label, const Metrics &m)
{
    const int offset = m.dotRadius + m.gap;
    const std::array<POINT, 4> corners = {{
        {dot.x - offset - label.cx, dot.y - offset - label.cy},
        {dot.x + offset, dot.y + offset},
        {dot.x + offset, dot.y - offset - label.cy},
        {dot.x - offset - label.cx, dot.y + offset},
    }};
    for (const POINT &corner : corners) {
        if (corner.x >= area.left + 1 && corner.y >= area.top + 1 && corner.x + label.cx <= area.right - 1
            && corner.y + label.cy <= area.bottom - 1)
            return {corner.x, corner.y, corner.x + label.cx, corner.y + label.cy};
    }
    const int x = std::clamp(static_cast<int>(corners[0].x), static_cast<int>(area.left + 1),
        static_cast<int>(std::max(area.left + 1, area.right - 1 - label.cx)));
    const int y = std::clamp(static_cast<int>(corners[0].y), static_cast<int>(area.top + 1),
        static_cast<int>(std::max(area.top + 1, area.bottom - 1 - label.cy)));
    return {x, y, x + label.cx, y + label.cy};
}

void DrawPlot(HDC dc, const RECT &bounds, const RiskCurvePlot &plot, const Metrics &m)
{
    const RECT area = {Pixel(plot.area.left), Pixel(plot.area.top), Pixel(plot.area.right), Pixel(plot.area.bottom)};
    FillRect(dc, bounds, COLOR_BTNFACE);
    FillRect(dc, area, COLOR_WINDOW);
    ::SetBkMode(dc, TRANSPARENT);

    // The ticks' lines across the plot.
    {
        const Selection pen(dc, ::CreatePen(PS_SOLID, 1, kGridColour));
        for (const PlotTick &tick : plot.oddsTicks)
            Line(dc, area.left, Pixel(tick.position), area.right, Pixel(tick.position));
        for (const PlotTick &tick : plot.ageTicks)
            Line(dc, Pixel(tick.position), area.top, Pixel(tick.position), area.bottom);
    }

    // The reference line, dashed, its label above its left end.
    {
        const int y = Pixel(plot.referenceY);
        const Selection pen(dc, ::CreatePen(PS_DASH, 1, kReferenceColour));
        Line(dc, area.left, y, area.right, y);
        const std::wstring label = ToUtf16(plot.referenceLabel);
        ::SetTextColor(dc, kReferenceColour);
        Text(dc, area.left + m.gap, y - 1 - TextSize(dc, label).cy, label);
    }

    // The curves, the selected one last, over the other.
    const bool cuckleSelected = plot.selected == RiskFormula::Cuckle;
    DrawCurve(dc, cuckleSelected ? plot.hecht : plot.cuckle, m.thinPen, kOtherColour);
    DrawCurve(dc, cuckleSelected ? plot.cuckle : plot.hecht, m.thickPen, kSelectedColour);

    // The frame, the ticks and their labels.
    const COLORREF textColour = ::GetSysColor(COLOR_BTNTEXT);
    {
        const Selection pen(dc, ::CreatePen(PS_SOLID, 1, textColour));
        const Selection brush(dc, ::GetStockObject(NULL_BRUSH), false);
        ::Rectangle(dc, area.left, area.top, area.right + 1, area.bottom + 1);
        for (const PlotTick &tick : plot.oddsTicks)
            Line(dc, area.left - m.tick, Pixel(tick.position), area.left, Pixel(tick.position));
        for (const PlotTick &tick : plot.ageTicks)
            Line(dc, Pixel(tick.position), area.bottom, Pixel(tick.position), area.bottom + m.tick);
    }
    ::SetTextColor(dc, textColour);
    for (const PlotTick &tick : plot.oddsTicks) {
        const std::wstring label = ToUtf16(tick.label);
        const SIZE size = TextSize(dc, label);
        Text(dc, area.left - m.tick - m.gap - size.cx, Pixel(tick.position) - size.cy / 2, label);
    }
    const int ageLabelsTop = area.bottom + m.tick + m.gap;
    for (const PlotTick &tick : plot.ageTicks) {
        const std::wstring label = ToUtf16(tick.label);
        Text(dc, Pixel(tick.position) - TextSize(dc, label).cx / 2, ageLabelsTop, label);
    }

    // The axis titles: the ages' under their labels, centred; the odds' above
    // the plot, on the left (the dialog's bitmap font cannot be turned).
    const std::wstring ageTitle = ToUtf16(plot.ageAxisTitle);
    Text(dc, (area.left + area.right - TextSize(dc, ageTitle).cx) / 2, ageLabelsTop + m.lineHeight + m.gap, ageTitle);
    Text(dc, bounds.left + m.charWidth, bounds.top + m.gap, ToUtf16(plot.oddsAxisTitle));

    // The legend, in the plot's top left corner, which the curves never
    // reach: each formula's name after a stroke of its curve's pen, the
    // selected one's in bold.
    {
        LOGFONTW boldFace{};
        ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof boldFace, &boldFace);
        boldFace.lfWeight = FW_BOLD;
        HFONT bold = ::CreateFontIndirectW(&boldFace);
        const int stroke = 3 * m.charWidth;
        int widestName = 0;
        for (const char *entry : res::kFormulaEntries) {
            const Selection face(dc, bold, false);
            widestName = std::max(widestName, static_cast<int>(TextSize(dc, ToUtf16(entry)).cx));
        }
        const int rows = static_cast<int>(res::kFormulaEntries.size());
        const RECT box = {area.left + m.charWidth, area.top + m.lineHeight / 2,
            area.left + m.charWidth + m.gap + stroke + m.gap + widestName + m.charWidth,
            area.top + m.lineHeight / 2 + m.gap + rows * m.lineHeight + m.gap};
        FillRect(dc, box, COLOR_WINDOW);
        {
            const Selection pen(dc, ::CreatePen(PS_SOLID, 1, kGridColour));
            const Selection brush(dc, ::GetStockObject(NULL_BRUSH), false);
            ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
        }
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        for (int i = 0; i < rows; ++i) {
            const bool selected = i == static_cast<int>(plot.selected);
            const int top = box.top + m.gap + i * m.lineHeight;
            const int x = box.left + m.gap;
            {
                const Selection pen(dc,
                    ::CreatePen(
                        PS_SOLID, selected ? m.thickPen : m.thinPen, selected ? kSelectedColour : kOtherColour));
                Line(dc, x, top + m.lineHeight / 2, x + stroke, top + m.lineHeight / 2);
            }
            const Selection face(dc, selected ? bold : ::GetCurrentObject(dc, OBJ_FONT), false);
            Text(dc, x + stroke + m.gap, top, ToUtf16(res::kFormulaEntries[static_cast<size_t>(i)]));
        }
        ::DeleteObject(bold);
    }

    // The mark: a dot on the selected curve and its label on a clear ground.
    if (plot.mark) {
        const POINT dot = {Pixel(plot.mark->x), Pixel(plot.mark->y)};
        {
            const Selection pen(dc, ::CreatePen(PS_SOLID, 1, kSelectedColour));
            const Selection brush(dc, ::CreateSolidBrush(kSelectedColour));
            ::Ellipse(dc, dot.x - m.dotRadius, dot.y - m.dotRadius, dot.x + m.dotRadius + 1, dot.y + m.dotRadius + 1);
        }
        const std::wstring label = ToUtf16(plot.markLabel);
        SIZE size = TextSize(dc, label);
        size.cx += 2 * m.gap;
        const RECT box = MarkLabelRect(area, dot, size, m);
        FillRect(dc, box, COLOR_WINDOW);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        Text(dc, box.left + m.gap, box.top, label);
    }
}

// The plot's description does not depend on where it is drawn.
constexpr PlotArea kAnyArea = {0.0, 0.0, 1.0, 1.0};

} // namespace

CRiskCurveWindow::CRiskCurveWindow(HWND owner, Calculator &calculator)
    : CDialog(IDD_RISK_CURVE, owner)
    , m_calculator(calculator)
{
}

CRiskCurveWindow::~CRiskCurveWindow()
{
    Close();
}

void CRiskCurveWindow::Show()
{
    if (IsOpen()) {
        if (::IsIconic(m_hWnd))
            ::ShowWindow(m_hWnd, SW_RESTORE);
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    m_state = m_calculator.CurveState();
    if (Create()) {
        m_calculator.AddListener(this);
        ::ShowWindow(m_hWnd, SW_SHOW);
    }
}

void CRiskCurveWindow::Close()
{
    m_calculator.RemoveListener(this);
    if (IsOpen())
        ::DestroyWindow(m_hWnd);
}

void CRiskCurveWindow::OnFiguresChanged()
{
    const RiskCurveState state = m_calculator.CurveState();
    if (!IsOpen() || state == m_state)
        return;
    m_state = state;
    UpdateDescription();
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_RISK_CURVE), nullptr, FALSE);
}

bool CRiskCurveWindow::PreTranslateMessage(MSG *msg)
{
    return IsOpen() && ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CRiskCurveWindow::OnInitDialog()
{
    PlaceBesideOwner();
    UpdateDescription();
    // The focus goes to Fermer, the only tab stop.
    return TRUE;
}

bool CRiskCurveWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result)
{
    if (message == WM_DRAWITEM && wParam == IDC_RISK_CURVE) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        *result = TRUE;
        return true;
    }
    return false;
}

void CRiskCurveWindow::OnOK()
{
    Close();
}

void CRiskCurveWindow::OnCancel()
{
    Close();
}

void CRiskCurveWindow::PlaceBesideOwner()
{
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner || ::IsIconic(owner)) {
        CenterWindow();
        return;
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    RECT beside{};
    ::GetWindowRect(owner, &beside);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT &work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;

    // On the right of the calculator, on its left, below, above: kept on the
    // screen, the place that hides the least of the calculator.
    const std::array<POINT, 4> places = {{
        {beside.right, beside.top},
        {beside.left - width, beside.top},
        {beside.left, beside.bottom},
        {beside.left, beside.top - height},
    }};
    POINT best{};
    long long leastHidden = -1;
    for (const POINT &place : places) {
        const int x = std::clamp(static_cast<int>(place.x), static_cast<int>(work.left),
            static_cast<int>(std::max(work.left, work.right - width)));
        const int y = std::clamp(static_cast<int>(place.y), static_cast<int>(work.top),
            static_cast<int>(std::max(work.top, work.bottom - height)));
        const long long hiddenWidth = std::max(
            0L, std::min(beside.right, static_cast<LONG>(x + width)) - std::max(beside.left, static_cast<LONG>(x)));
        const long long hiddenHeight = std::max(
            0L, std::min(beside.bottom, static_cast<LONG>(y + height)) - std::max(beside.top, static_cast<LONG>(y)));
        const long long hidden = hiddenWidth * hiddenHeight;
        if (leastHidden < 0 || hidden < leastHidden) {
            leastHidden = hidden;
            best = {x, y};
        }
    }
    ::SetWindowPos(m_hWnd, nullptr, best.x, best.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRiskCurveWindow::UpdateDescription()
{
    // What a screen reader says for the curve: the static's text, which it
    // does not draw.
    HWND curve = ::GetDlgItem(m_hWnd, IDC_RISK_CURVE);
    const std::string description = MakeRiskCurvePlot(kAnyArea, m_state.formula, m_state.ageText).description;
    if (WindowTextUtf8(curve) != description)
        ::SetWindowTextW(curve, ToUtf16(description).c_str());
}

void CRiskCurveWindow::Draw(const DRAWITEMSTRUCT &item)
{
    RECT bounds{};
    ::GetClientRect(item.hwndItem, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0)
        return;

    // Drawn off screen, then copied at once: no flicker as the age is typed.
    HDC dc = ::CreateCompatibleDC(item.hDC);
    {
        const Selection bitmap(dc, ::CreateCompatibleBitmap(item.hDC, width, height));
        const Selection font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), false);
        const Metrics metrics = MeasureFont(dc);
        const PlotArea area
            = AreaInside(dc, bounds, MakeRiskCurvePlot(kAnyArea, m_state.formula, m_state.ageText), metrics);
        DrawPlot(dc, bounds, MakeRiskCurvePlot(area, m_state.formula, m_state.ageText), metrics);
        ::BitBlt(item.hDC, bounds.left, bounds.top, width, height, dc, 0, 0, SRCCOPY);
    }
    ::DeleteDC(dc);
}

} // namespace meravel
