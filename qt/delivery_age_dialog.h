#pragma once

// The mother's age at the expected date of delivery, from two dates, and the
// term reached today, built from the IDD_DELIVERY_AGE layout table. Each
// change of either date asks the core (CheckDeliveryAge) for the age and the
// term and shows them, or shows why the dates are refused and why the weeks
// will not be written; OK, the default button, is enabled only for an
// accepted age. It opens on the dates the calculator gives it.
//
//   either date changed -> OnChangeDate -> the age, the term, the messages, OK enabled
//   OK, Enter           -> accepted: Check() says what the calculator's fields take
//   Annuler, Escape     -> rejected

#include "form/delivery_age.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace meravel {

class Announcer;

class CDeliveryAgeDialog : public QDialog
{
    Q_OBJECT

public:
    CDeliveryAgeDialog(QWidget *parent, const DeliveryAgeDates &opening);

    // The core's check of the dates shown.
    const DeliveryAgeCheck &Check() const { return m_check; }

private:
    void OnChangeDate();

    CalendarDate m_today;
    QDateEdit *m_pBirthDate = nullptr;
    QDateEdit *m_pDeliveryDate = nullptr;
    QLineEdit *m_pAge = nullptr;
    QLineEdit *m_pTerm = nullptr;
    QLabel *m_pMessage = nullptr;
    QLabel *m_pWeeksMessage = nullptr;
    QPushButton *m_pOK = nullptr;
    // Tells a screen reader why the dates are refused, when it appears.
    Announcer *m_pAnnouncer = nullptr;
    DeliveryAgeCheck m_check;
};

} // namespace meravel
