#pragma once

// The mother's age at the expected date of delivery, from two dates: the
// dialog template IDD_DELIVERY_AGE, modal over the calculator and centred on
// it. The dates are shown day/month/year whatever the locale; it opens on the
// dates the calculator gives it. At each change of either date the core checks them
// (CheckDeliveryAge): the age field shows the age, the message says why it is
// refused, and OK is enabled only for an accepted age.
//
//   OK, Enter            IDOK     -> the age is kept for the calculator
//   Annuler, Escape      IDCANCEL -> nothing changes

#include "form/delivery_age.h"
#include "win32/dialog.h"

#include <string>

namespace meravel {

class CDeliveryAgeDialog : public CDialog
{
public:
    CDeliveryAgeDialog(HWND owner, const DeliveryAgeDates &opening);

    // After IDOK: the accepted age, as the calculator's age field reads it
    // ("36.52").
    const std::string &AgeText() const { return m_check.ageText; }

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
};

} // namespace meravel
