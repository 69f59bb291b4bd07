#include "win32/risk_curve_window.h"

#include "form/window_placement.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "win32/accessible.h"

#include <cmath>
#include <variant>
#include <vector>

namespace meravel {

namespace {

// A rectangle's edge, between pixels.
int Edge(double position)
{
    return static_cast<int>(std::lround(position));
}

// The pixel under a point of a line: GDI draws through pixels' centres.
int Pixel(double position)
{
    return static_cast<int>(std::floor(position));
}

Rgb SystemColour(int index)
{
    const COLORREF colour = ::GetSysColor(index);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
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

// The dialog's font and its bold face, for the core's layout.
class FontMeasure : public TextMeasure
{
public:
    FontMeasure(HDC dc, HFONT normal, HFONT bold)
        : m_dc(dc)
        , m_normal(normal)
        , m_bold(bold)
    {
        const Selection face(dc, normal, false);
        ::GetTextMetricsW(dc, &m_metrics);
    }

    double Width(const std::string &text, bool bold) const override
    {
        const Selection face(m_dc, bold ? m_bold : m_normal, false);
        const std::wstring wide = ToUtf16(text);
        SIZE size{};
        ::GetTextExtentPoint32W(m_dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size.cx;
    }
    double LineHeight() const override { return m_metrics.tmHeight; }
    double AverageCharWidth() const override { return m_metrics.tmAveCharWidth; }
    // TrueType and vector fonts turn; bitmap fonts, such as the dialogs'
    // MS Sans Serif, do not.
    bool CanRotate() const override { return (m_metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0; }

private:
    HDC m_dc;
    HFONT m_normal;
    HFONT m_bold;
    TEXTMETRICW m_metrics{};
};

// Paints the core's items, as they come, in the system colours' roles.
class ItemPainter
{
public:
    ItemPainter(HDC dc, HFONT normal, HFONT bold)
        : m_dc(dc)
        , m_normal(normal)
        , m_bold(bold)
        , m_colours({SystemColour(COLOR_BTNFACE), SystemColour(COLOR_BTNTEXT), SystemColour(COLOR_WINDOW),
              SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_HIGHLIGHT)})
    {
        ::SetBkMode(dc, TRANSPARENT);
    }

    void operator()(const FillItem &item)
    {
        const RECT rect = Rect(item.rect);
        HBRUSH brush = ::CreateSolidBrush(Colour(item.colour));
        ::FillRect(m_dc, &rect, brush);
        ::DeleteObject(brush);
    }

    void operator()(const LineItem &item)
    {
        const Selection pen(m_dc, Pen(item.colour, item.width, item.round, item.dash));
        std::vector<POINT> points;
        for (const PlotPoint &point : item.points)
            points.push_back({Pixel(point.x), Pixel(point.y)});
        ::Polyline(m_dc, points.data(), static_cast<int>(points.size()));
    }

    void operator()(const TextItem &item)
    {
        const std::wstring text = ToUtf16(item.text);
        RECT box = Rect(item.box);
        ::SetTextColor(m_dc, Colour(item.colour));
        if (!item.upright) {
            const Selection face(m_dc, item.bold ? m_bold : m_normal, false);
            const UINT across = item.align == TextAlign::Left ? DT_LEFT
                : item.align == TextAlign::Centre             ? DT_CENTER
                                                              : DT_RIGHT;
            ::DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &box,
                across | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
            return;
        }
        // Turned a quarter turn anticlockwise: the text's top faces the
        // box's left edge, and it reads from the bottom up.
        LOGFONTW turned{};
        ::GetObjectW(item.bold ? m_bold : m_normal, sizeof turned, &turned);
        turned.lfEscapement = turned.lfOrientation = 900;
        const Selection face(m_dc, ::CreateFontIndirectW(&turned));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(m_dc, &metrics);
        const int x = (box.left + box.right - metrics.tmHeight) / 2;
        const int y = item.align == TextAlign::Left ? box.bottom
            : item.align == TextAlign::Centre       ? (box.top + box.bottom) / 2
                                                    : box.top;
        const UINT along = item.align == TextAlign::Left ? TA_LEFT
            : item.align == TextAlign::Centre            ? TA_CENTER
                                                         : TA_RIGHT;
        const UINT previous = ::SetTextAlign(m_dc, along | TA_TOP);
        ::TextOutW(m_dc, x, y, text.c_str(), static_cast<int>(text.size()));
        ::SetTextAlign(m_dc, previous);
    }

    void operator()(const DotItem &item)
    {
        const Selection pen(m_dc, Pen(item.outline, item.outlineWidth, true, 0));
        const Selection brush(m_dc, ::CreateSolidBrush(Colour(item.fill)));
        ::Ellipse(m_dc, Edge(item.centre.x - item.radius), Edge(item.centre.y - item.radius),
            Edge(item.centre.x + item.radius), Edge(item.centre.y + item.radius));
    }

private:
    COLORREF Colour(ColourRole role) const
    {
        const Rgb colour = m_colours[role];
        return RGB(colour.red, colour.green, colour.blue);
    }

    static RECT Rect(const PlotRect &rect)
    {
        return {Edge(rect.left), Edge(rect.top), Edge(rect.right), Edge(rect.bottom)};
    }

    // A pen of any width, dashed or not, with the ends and joins asked for.
    HPEN Pen(ColourRole colour, double width, bool round, double dash) const
    {
        const LOGBRUSH brush{BS_SOLID, Colour(colour), 0};
        const DWORD dashes[] = {static_cast<DWORD>(dash), static_cast<DWORD>(dash)};
        const DWORD style = PS_GEOMETRIC | (dash > 0 ? PS_USERSTYLE : PS_SOLID)
            | (round ? PS_ENDCAP_ROUND | PS_JOIN_ROUND : PS_ENDCAP_FLAT | PS_JOIN_MITER);
        return ::ExtCreatePen(
            style, static_cast<DWORD>(std::lround(width)), &brush, dash > 0 ? 2 : 0, dash > 0 ? dashes : nullptr);
    }

    HDC m_dc;
    HFONT m_normal;
    HFONT m_bold;
    PlotColours m_colours;
};

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
    // A screen reader describes the plot as it stands when asked.
    AccessibleFacts plot = FactsOf(*res::DialogTemplateById(IDD_RISK_CURVE)->controls.begin());
    plot.describe = [this] { return ToUtf16(RiskCurveDescription(m_state)); };
    SetAccessibleFacts(::GetDlgItem(m_hWnd, IDC_RISK_CURVE), std::move(plot));
    UpdateDescription();
    // The focus goes to Fermer, the default button.
    ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
    return FALSE;
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
    RECT calculator{};
    ::GetWindowRect(owner, &calculator);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const auto screen = [](const RECT &rect) { return ScreenRect{rect.left, rect.top, rect.right, rect.bottom}; };
    const BesidePlacement place = PlaceBeside(
        screen(calculator), window.right - window.left, window.bottom - window.top, screen(monitor.rcWork));
    if (place.owner != screen(calculator))
        ::SetWindowPos(
            owner, nullptr, place.owner.left, place.owner.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(
        m_hWnd, nullptr, place.window.left, place.window.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRiskCurveWindow::UpdateDescription()
{
    // The caption under the plot; a screen reader asks the plot for its
    // description.
    ::SetDlgItemTextW(m_hWnd, IDC_RISK_CURVE_CAPTION, ToUtf16(RiskCurveCaption(m_state)).c_str());
    ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, ::GetDlgItem(m_hWnd, IDC_RISK_CURVE), OBJID_CLIENT, CHILDID_SELF);
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
        auto *font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        LOGFONTW face{};
        ::GetObjectW(font, sizeof face, &face);
        face.lfWeight = FW_BOLD;
        HFONT bold = ::CreateFontIndirectW(&face);
        const RiskCurvePicture picture = LayOutRiskCurve(
            {0, 0, static_cast<double>(width), static_cast<double>(height)}, FontMeasure(dc, font, bold), m_state);
        ItemPainter paint(dc, font, bold);
        for (const PlotItem &plotItem : picture.items)
            std::visit(paint, plotItem);
        ::DeleteObject(bold);
        // Where the keyboard is, for those who see.
        if (item.itemState & ODS_FOCUS) {
            RECT focus = bounds;
            ::InflateRect(&focus, -1, -1);
            ::DrawFocusRect(dc, &focus);
        }
        ::BitBlt(item.hDC, bounds.left, bounds.top, width, height, dc, 0, 0, SRCCOPY);
    }
    ::DeleteDC(dc);
}

} // namespace meravel
