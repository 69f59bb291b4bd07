#include "win32/risk_dialog.h"

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "win32/about_dialog.h"
#include "win32/accessible.h"
#include "win32/delivery_age_dialog.h"
#include "win32/dpi.h"
#include "win32/risk_curve_window.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace meravel {

namespace {

// Clears the status line.
constexpr UINT_PTR kStatusTimer = 1;

// Puts UTF-16 text on the clipboard; false when the clipboard is busy or
// out of memory.
bool CopyTextToClipboard(HWND owner, const std::wstring &text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void *data = ::GlobalLock(memory);
    if (!data) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(data, text.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    // The clipboard owns the memory once it has taken it.
    const bool copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    if (!copied)
        ::GlobalFree(memory);
    return copied;
}

} // namespace

CRiskDialog::CRiskDialog(HWND parent)
    : CDialog(IDD_MAIN, parent)
    , m_calculator(*this, *this)
    , m_hAccelerators(::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS)))
{
    if (!m_hAccelerators)
        return;
    std::vector<ACCEL> shared(static_cast<size_t>(::CopyAcceleratorTableW(m_hAccelerators, nullptr, 0)));
    shared.resize(
        static_cast<size_t>(::CopyAcceleratorTableW(m_hAccelerators, shared.data(), static_cast<int>(shared.size()))));
    std::erase_if(shared, [](const ACCEL &key) { return !Calculator::WorksFromEveryWindow(key.cmd); });
    if (!shared.empty())
        m_hSharedAccelerators = ::CreateAcceleratorTableW(shared.data(), static_cast<int>(shared.size()));
}

// Out of line, where the curve window's class is complete.
CRiskDialog::~CRiskDialog()
{
    if (m_hSharedAccelerators)
        ::DestroyAcceleratorTable(m_hSharedAccelerators);
    for (HICON icon : {m_hIcon, m_hSmallIcon}) {
        if (icon)
            ::DestroyIcon(icon);
    }
}

BOOL CRiskDialog::OnInitDialog()
{
    HWND formula = Item(IDC_FORMULA);
    for (const char *entry : res::kFormulaEntries)
        ::SendMessageW(formula, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToUtf16(entry).c_str()));

    AddAboutItemToSystemMenu();
    SetIcons();

    // For the lifetime of the window (WM_DESTROY unhooks it): every dialog
    // loop of the thread, this window's and those of the dialogs over it.
    m_hMessageFilter
        = ::SetWindowsHookExW(WH_MSGFILTER, &CRiskDialog::MessageFilterProc, nullptr, ::GetCurrentThreadId());

    // What a screen reader is told without moving the focus: a control of no
    // size, named by the text, which raises an alert.
    m_hAnnouncer = CreateAnnouncer(m_hWnd);
    // The formula chosen, and where a step of the weeks starts from, are the
    // list's and the spin's values.
    if (AccessibleFacts *formula = AccessibleFactsOf(Item(IDC_FORMULA)))
        formula->value = [this] {
            const int index = FormulaSelection();
            return index >= 0 && index < static_cast<int>(res::kFormulaEntries.size())
                ? ToUtf16(res::kFormulaEntries[static_cast<size_t>(index)])
                : std::wstring();
        };
    if (AccessibleFacts *spin = AccessibleFactsOf(Item(IDC_WEEKS_SPIN)))
        spin->value = [this] { return std::to_wstring(m_calculator.WeeksSpin().PositionFor(ItemText(IDC_WEEKS))); };

    m_calculator.InitInputs();
    // The dialog manager gives the focus to the age field, "25" selected:
    // the first key typed replaces it.
    return TRUE;
}

void CRiskDialog::AddAboutItemToSystemMenu()
{
    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!systemMenu)
        return;
    wchar_t text[128] = {};
    if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUT_ITEM, text, static_cast<int>(std::size(text))) > 0) {
        ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUT_SYS, text);
    }
}

void CRiskDialog::SetIcons()
{
    // The sizes Windows asks for at this DPI: 32 and 16 pixels at 96 DPI,
    // 40 and 20 at 120, 48 and 24 at 144, 64 and 32 at 192.
    HICON big = LoadMainIcon(SystemMetricForDpi(SM_CXICON, Dpi()));
    HICON small = LoadMainIcon(SystemMetricForDpi(SM_CXSMICON, Dpi()));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    // No longer shown.
    for (HICON icon : {m_hIcon, m_hSmallIcon}) {
        if (icon)
            ::DestroyIcon(icon);
    }
    m_hIcon = big;
    m_hSmallIcon = small;
}

void CRiskDialog::OnDpiChanged()
{
    SetIcons();
}

bool CRiskDialog::OnCommand(int code, int id)
{
    if (id == IDC_AGE && code == EN_CHANGE) {
        m_calculator.OnChangeAge();
        return true;
    }
    if (id == IDC_WEEKS && code == EN_CHANGE) {
        m_calculator.OnChangeWeeks();
        return true;
    }
    if (id == IDC_FORMULA && code == CBN_SELCHANGE) {
        m_calculator.OnSelchangeFormula();
        return true;
    }
    // From the menu (0) or the accelerator table (1).
    return (code == 0 || code == 1) && m_calculator.OnCommand(id);
}

void CRiskDialog::OnNotify(int id, NMHDR *header)
{
    if (id != IDC_WEEKS_SPIN || header->code != UDN_DELTAPOS)
        return;
    // The step starts from the position the weeks text gives, or from the
    // last one when that text is not a number of weeks; the control moves
    // exactly there.
    auto *change = reinterpret_cast<NMUPDOWN *>(header);
    change->iDelta = m_calculator.OnDeltaposWeeks(change->iDelta) - change->iPos;
}

bool CRiskDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result)
{
    switch (message) {
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == Item(IDC_WEEKS_SPIN))
            m_calculator.OnVScroll();
        return false;
    case WM_SYSCOMMAND:
        // The About item; minimise, move, close and the rest are the
        // platform's own.
        return (wParam & 0xFFF0) == IDM_ABOUT_SYS && m_calculator.OnCommand(IDM_ABOUT_SYS);
    case WM_HELP:
        // F1 in this window or its menu: the windows it owns keep theirs.
        return m_calculator.OnCommand(ID_HELP);
    case WM_PAINT:
        return OnPaint();
    case WM_TIMER:
        if (wParam != kStatusTimer)
            return false;
        ::KillTimer(m_hWnd, kStatusTimer);
        ::SetDlgItemTextW(m_hWnd, IDC_STATUS, L"");
        return true;
    case WM_QUERYDRAGICON:
        // The cursor while the minimised window is dragged.
        *result = reinterpret_cast<INT_PTR>(m_hIcon);
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    default:
        return false;
    }
}

bool CRiskDialog::OnPaint()
{
    if (!::IsIconic(m_hWnd))
        return false;
    // Where the platform paints a minimised window itself, the icon is drawn
    // centred in it.
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = SystemMetricForDpi(SM_CXICON, Dpi());
    const int iconHeight = SystemMetricForDpi(SM_CYICON, Dpi());
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return true;
}

void CRiskDialog::EndAccepted()
{
    CloseCurve();
    CDialog::OnOK();
}

void CRiskDialog::RunAboutBox()
{
    CAboutDialog about(m_hWnd);
    about.DoModal();
}

CalendarDate CRiskDialog::Today()
{
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    return {today.wYear, today.wMonth, today.wDay};
}

std::optional<DeliveryAgeCheck> CRiskDialog::RunDeliveryAge(const DeliveryAgeDates &opening)
{
    CDeliveryAgeDialog dialog(m_hWnd, opening);
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return dialog.Check();
}

void CRiskDialog::TypeOver(int id, const std::string &text)
{
    // Typed over the whole field, outside the form's writes: the field's
    // change notification recalculates, and Ctrl+Z brings the former text
    // back (WM_SETTEXT would empty the undo buffer).
    ::SendMessageW(Item(id), EM_SETSEL, 0, -1);
    ::SendMessageW(Item(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToUtf16(text).c_str()));
}

void CRiskDialog::TypeAge(const std::string &text)
{
    TypeOver(IDC_AGE, text);
}

void CRiskDialog::TypeWeeks(const std::string &text)
{
    TypeOver(IDC_WEEKS, text);
}

bool CRiskDialog::CopyToClipboard(const std::string &text)
{
    return CopyTextToClipboard(m_hWnd, ToUtf16(text));
}

void CRiskDialog::Beep()
{
    ::MessageBeep(MB_ICONWARNING);
}

void CRiskDialog::Announce(const std::string &text)
{
    meravel::Announce(m_hAnnouncer, text);
}

void CRiskDialog::ShowStatus(const std::string &text)
{
    ::SetDlgItemTextW(m_hWnd, IDC_STATUS, ToUtf16(text).c_str());
    ::SetTimer(m_hWnd, kStatusTimer, kStatusMilliseconds, nullptr);
    Announce(text);
}

void CRiskDialog::ShowRiskCurve()
{
    if (!m_curve)
        m_curve = std::make_unique<CRiskCurveWindow>(m_hWnd, m_calculator);
    m_curve->Show();
}

LRESULT CALLBACK CRiskDialog::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX) {
        auto *msg = reinterpret_cast<MSG *>(lParam);
        HWND root = msg->hwnd ? ::GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
        // The calculator is the message's window, or owns it.
        auto *calculator = dynamic_cast<CRiskDialog *>(CDialog::FromHandle(root));
        if (!calculator && root)
            calculator = dynamic_cast<CRiskDialog *>(CDialog::FromHandle(::GetWindow(root, GW_OWNER)));
        if (calculator && calculator->PreTranslateMessage(root, msg))
            return TRUE;
    }
    // No hook handle needed: the thread's hook chain is the system's.
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CRiskDialog::PreTranslateMessage(HWND root, MSG *msg)
{
    if (m_bFiltering)
        return false;
    if (root == m_hWnd)
        return m_hAccelerators && ::TranslateAcceleratorW(m_hWnd, m_hAccelerators, msg);
    // A window it owns: the command goes to that window, which passes it on.
    if (m_hSharedAccelerators && ::TranslateAcceleratorW(root, m_hSharedAccelerators, msg))
        return true;
    if (m_curve && m_curve->IsOpen() && root == m_curve->GetSafeHwnd()) {
        m_bFiltering = true;
        const bool handled = m_curve->PreTranslateMessage(msg);
        m_bFiltering = false;
        return handled;
    }
    return false;
}

void CRiskDialog::OnOK()
{
    m_calculator.OnCommand(IDOK);
}

void CRiskDialog::OnCancel()
{
    CloseCurve();
    CDialog::OnCancel();
}

void CRiskDialog::CloseCurve()
{
    if (m_curve)
        m_curve->Close();
}

void CRiskDialog::OnDestroy()
{
    CloseCurve();
    if (m_hMessageFilter) {
        ::UnhookWindowsHookEx(m_hMessageFilter);
        m_hMessageFilter = nullptr;
    }
}

void CRiskDialog::ReadFields(FormTexts &texts)
{
    texts.m_strAge = ItemText(IDC_AGE);
    texts.m_strTermRisk = ItemText(IDC_TERM_RISK);
    texts.m_strGestRisk = ItemText(IDC_GEST_RISK);
    texts.m_strWeeks = ItemText(IDC_WEEKS);
    texts.m_strAdvice = ItemText(IDC_ADVICE);
}

void CRiskDialog::SetItemText(int id, const std::string &text)
{
    // An unchanged field keeps its caret, selection and undo.
    if (ItemText(id) != text)
        ::SetDlgItemTextW(m_hWnd, id, ToUtf16(text).c_str());
}

void CRiskDialog::WriteFields(const FormTexts &texts)
{
    SetItemText(IDC_AGE, texts.m_strAge);
    SetItemText(IDC_TERM_RISK, texts.m_strTermRisk);
    SetItemText(IDC_GEST_RISK, texts.m_strGestRisk);
    SetItemText(IDC_WEEKS, texts.m_strWeeks);
    SetItemText(IDC_ADVICE, texts.m_strAdvice);
}

int CRiskDialog::FormulaSelection()
{
    return static_cast<int>(::SendMessageW(Item(IDC_FORMULA), CB_GETCURSEL, 0, 0));
}

void CRiskDialog::SelectFormula(int index)
{
    ::SendMessageW(Item(IDC_FORMULA), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CRiskDialog::SetUpWeeksSpin(int lower, int upper, int position)
{
    HWND spin = Item(IDC_WEEKS_SPIN);
    ::SendMessageW(spin, UDM_SETBASE, 10, 0);
    ::SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    // The control writes the position into the weeks field.
    ::SendMessageW(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

} // namespace meravel
