#pragma once

// The mother's age at the expected date of delivery, from two dates, and the
// term reached today: the dialog template IDD_DELIVERY_AGE, modal over the
// calculator and centred on it. The dates are shown day/month/year whatever
// the locale; it opens on the dates the calculator gives it. At each change of
// either date the core checks them (CheckDeliveryAge): the fields show the age
// and the term, the messages say why the age is refused and why the weeks
// will not be written, and OK is enabled only for an accepted age.
//
//   OK, Enter            IDOK     -> the check is kept for the calculator
//   Annuler, Escape      IDCANCEL -> nothing changes

#include "form/delivery_age.h"
#include "win32/dialog.h"

namespace meravel {

class CDeliveryAgeDialog : public CDialog
{
public:
    CDeliveryAgeDialog(HWND owner, const DeliveryAgeDates &opening);

    // After IDOK: the core's check of the dates accepted, which says what
    // the calculator's fields take.
    const DeliveryAgeCheck &Check() const { return m_check; }

protected:
    BOOL OnInitDialog() override;
    void OnNotify(int id, NMHDR *header) override;
    void OnOK() override;

private:
    void SetUpDatePicker(int id, const CalendarDate &date);
    CalendarDate PickedDate(int id) const;
    void OnDateTimeChange();

    DeliveryAgeDates m_opening;
    DeliveryAgeCheck m_check;
    // Tells a screen reader why the dates are refused, when it appears.
    HWND m_hAnnouncer = nullptr;
};

} // namespace meravel
