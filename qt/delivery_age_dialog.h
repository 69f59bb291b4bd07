#pragma once

// The mother's age at the expected date of delivery, from two dates, built
// from the IDD_DELIVERY_AGE layout table. Each change of either date asks the
// core (CheckDeliveryAge) for the age and shows it, or shows why the dates are
// refused; OK, the default button, is enabled only for an accepted age. It
// opens on the dates the calculator gives it.
//
//   either date changed -> OnChangeDate -> the age, the message, OK enabled
//   OK, Enter           -> accepted: AgeText() is for the calculator's age field
//   Annuler, Escape     -> rejected

#include "form/delivery_age.h"

#include <QDialog>

#include <string>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace meravel {

class CDeliveryAgeDialog : public QDialog
{
    Q_OBJECT

public:
    CDeliveryAgeDialog(QWidget *parent, const DeliveryAgeDates &opening);

    // The age at the delivery date, "36.52", as the age field reads it; empty
    // while the dates are refused.
    const std::string &AgeText() const { return m_strAgeText; }

private:
    void OnChangeDate();

    QDateEdit *m_pBirthDate = nullptr;
    QDateEdit *m_pDeliveryDate = nullptr;
    QLineEdit *m_pAge = nullptr;
    QLabel *m_pMessage = nullptr;
    QPushButton *m_pOK = nullptr;
    std::string m_strAgeText;
};

} // namespace meravel
