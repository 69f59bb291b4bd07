#include "win32/delivery_age_dialog.h"

#include "res/resource.h"

namespace meravel {

namespace {

constexpr int kYearsBeforeToday = 30; // the date of birth it opens on
constexpr int kDaysAfterToday = 140;  // the delivery it opens on: 20 weeks

// Whole days added to a date, through the file time's 100 ns ticks.
SYSTEMTIME AddDays(const SYSTEMTIME &date, int days)
{
    constexpr ULONGLONG kTicksPerDay = 24ULL * 60 * 60 * 10'000'000;
    FILETIME fileTime{};
    ::SystemTimeToFileTime(&date, &fileTime);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = fileTime.dwLowDateTime;
    ticks.HighPart = fileTime.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(days) * kTicksPerDay;
    fileTime.dwLowDateTime = ticks.LowPart;
    fileTime.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME out{};
    ::FileTimeToSystemTime(&fileTime, &out);
    return out;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

CDeliveryAgeDialog::CDeliveryAgeDialog(HWND owner)
    : CDialog(IDD_DELIVERY_AGE, owner)
{
}

BOOL CDeliveryAgeDialog::OnInitDialog()
{
    CenterWindow();

    // Today's date, at midnight.
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;

    SYSTEMTIME birth = today;
    birth.wYear = static_cast<WORD>(today.wYear - kYearsBeforeToday);
    if (birth.wMonth == 2 && birth.wDay == 29 && !IsLeapYear(birth.wYear))
        birth.wDay = 28;
    SetUpDatePicker(IDC_BIRTH_DATE, birth);
    SetUpDatePicker(IDC_DELIVERY_DATE, AddDays(today, kDaysAfterToday));

    // Setting the dates raises no change notification.
    OnDateTimeChange();
    // The focus goes to the date of birth, the first tab stop.
    return TRUE;
}

void CDeliveryAgeDialog::SetUpDatePicker(int id, const SYSTEMTIME &date)
{
    HWND picker = ::GetDlgItem(m_hWnd, id);
    // Day, month, year whatever the user's locale says.
    ::SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
}

CalendarDate CDeliveryAgeDialog::PickedDate(int id) const
{
    SYSTEMTIME date{};
    if (::SendMessageW(::GetDlgItem(m_hWnd, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) != GDT_VALID)
        return {0, 0, 0}; // not a day: the core refuses it
    return {date.wYear, date.wMonth, date.wDay};
}

bool CDeliveryAgeDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR *)
{
    if (message != WM_NOTIFY)
        return false;
    const auto *header = reinterpret_cast<const NMHDR *>(lParam);
    if (header->code == DTN_DATETIMECHANGE && (header->idFrom == IDC_BIRTH_DATE || header->idFrom == IDC_DELIVERY_DATE))
        OnDateTimeChange();
    return false;
}

void CDeliveryAgeDialog::OnDateTimeChange()
{
    m_check = CheckDeliveryAge(PickedDate(IDC_BIRTH_DATE), PickedDate(IDC_DELIVERY_DATE));
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_AGE, ToUtf16(m_check.ageText).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_MESSAGE, ToUtf16(m_check.message).c_str());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), m_check.accepted);
}

void CDeliveryAgeDialog::OnOK()
{
    // Enter reaches here even while the OK button is disabled.
    if (!m_check.accepted) {
        ::MessageBeep(MB_OK);
        return;
    }
    CDialog::OnOK();
}

} // namespace meravel
