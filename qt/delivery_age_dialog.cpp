#include "qt/delivery_age_dialog.h"

#include "qt/accessibility.h"
#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace meravel {

namespace {

CalendarDate FromQDate(const QDate &date)
{
    return {date.year(), date.month(), date.day()};
}

QDate ToQDate(const CalendarDate &date)
{
    return QDate(date.year, date.month, date.day);
}

} // namespace

CDeliveryAgeDialog::CDeliveryAgeDialog(QWidget *parent, const DeliveryAgeDates &opening)
    : QDialog(parent)
    , m_today(opening.today)
{
    const QHash<int, QWidget *> controls = BuildDialog(
        this, res::kDeliveryAgeDialog, "IDD_DELIVERY_AGE", parent ? parent->windowIcon() : LoadMainIcon());
    m_pBirthDate = Control<QDateEdit>(controls, IDC_BIRTH_DATE);
    m_pDeliveryDate = Control<QDateEdit>(controls, IDC_DELIVERY_DATE);
    m_pAge = Control<QLineEdit>(controls, IDC_DELIVERY_AGE);
    m_pTerm = Control<QLineEdit>(controls, IDC_DELIVERY_TERM);
    m_pMessage = Control<QLabel>(controls, IDC_DELIVERY_MESSAGE);
    m_pWeeksMessage = Control<QLabel>(controls, IDC_DELIVERY_WEEKS_MESSAGE);
    m_pOK = Control<QPushButton>(controls, IDOK);
    auto *cancel = Control<QPushButton>(controls, IDCANCEL);
    m_pAnnouncer = new Announcer(this);

    m_pBirthDate->setDate(ToQDate(opening.birth));
    m_pDeliveryDate->setDate(ToQDate(opening.delivery));

    connect(m_pBirthDate, &QDateEdit::dateChanged, this, &CDeliveryAgeDialog::OnChangeDate);
    connect(m_pDeliveryDate, &QDateEdit::dateChanged, this, &CDeliveryAgeDialog::OnChangeDate);
    connect(m_pOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    OnChangeDate();
    m_pBirthDate->setFocus(Qt::OtherFocusReason);
}

void CDeliveryAgeDialog::OnChangeDate()
{
    const DeliveryAgeCheck before = m_check;
    m_check = CheckDeliveryAge(FromQDate(m_pBirthDate->date()), FromQDate(m_pDeliveryDate->date()), m_today);
    if (const std::string told = NewMessages(before, m_check); !told.empty())
        m_pAnnouncer->Announce(FromUtf8(told));
    m_pAge->setText(FromUtf8(m_check.ageText));
    m_pTerm->setText(FromUtf8(m_check.term.text));
    m_pMessage->setText(FromUtf8(m_check.message));
    m_pWeeksMessage->setText(FromUtf8(m_check.term.message));
    // Enter on a refused pair of dates does nothing: the default button is
    // disabled, and the message says why.
    m_pOK->setEnabled(m_check.accepted);
}

} // namespace meravel
