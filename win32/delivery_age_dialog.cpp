#include "win32/delivery_age_dialog.h"

#include "res/resource.h"
#include "win32/accessible.h"

namespace meravel {

CDeliveryAgeDialog::CDeliveryAgeDialog(HWND owner, const DeliveryAgeDates &opening)
    : CDialog(IDD_DELIVERY_AGE, owner)
    , m_opening(opening)
{
}

BOOL CDeliveryAgeDialog::OnInitDialog()
{
    CenterWindow();
    m_hAnnouncer = CreateAnnouncer(m_hWnd);
    SetUpDatePicker(IDC_BIRTH_DATE, m_opening.birth);
    SetUpDatePicker(IDC_DELIVERY_DATE, m_opening.delivery);
    // A screen reader reads each date as it is shown.
    for (const int id : {IDC_BIRTH_DATE, IDC_DELIVERY_DATE}) {
        HWND picker = ::GetDlgItem(m_hWnd, id);
        if (AccessibleFacts *facts = AccessibleFactsOf(picker))
            facts->value = [picker] { return ToUtf16(WindowTextUtf8(picker)); };
    }

    // Setting the dates raises no change notification.
    OnDateTimeChange();
    // The focus goes to the date of birth, the first tab stop.
    return TRUE;
}

void CDeliveryAgeDialog::SetUpDatePicker(int id, const CalendarDate &day)
{
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(day.year);
    date.wMonth = static_cast<WORD>(day.month);
    date.wDay = static_cast<WORD>(day.day);
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

void CDeliveryAgeDialog::OnNotify(int id, NMHDR *header)
{
    if (header->code == DTN_DATETIMECHANGE && (id == IDC_BIRTH_DATE || id == IDC_DELIVERY_DATE))
        OnDateTimeChange();
}

void CDeliveryAgeDialog::OnDateTimeChange()
{
    const DeliveryAgeCheck before = m_check;
    m_check = CheckDeliveryAge(PickedDate(IDC_BIRTH_DATE), PickedDate(IDC_DELIVERY_DATE), m_opening.today);
    if (const std::string told = NewMessages(before, m_check); !told.empty())
        Announce(m_hAnnouncer, told);
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_AGE, ToUtf16(m_check.ageText).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_TERM, ToUtf16(m_check.term.text).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_MESSAGE, ToUtf16(m_check.message).c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_DELIVERY_WEEKS_MESSAGE, ToUtf16(m_check.term.message).c_str());
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
