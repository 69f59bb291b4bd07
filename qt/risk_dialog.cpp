#include "qt/risk_dialog.h"

#include "qt/accessibility.h"
#include "qt/delivery_age_dialog.h"
#include "qt/dialog_builder.h"
#include "qt/main_icon.h"
#include "qt/risk_curve_window.h"
#include "qt/updown_spinbox.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace meravel {

CRiskDialog::CRiskDialog(QWidget *parent)
    : QDialog(parent)
    , m_hIcon(LoadMainIcon())
    , m_calculator(*this, *this)
{
    const res::DialogTemplate &dialog = res::kMainDialog;
    setObjectName(QStringLiteral("IDD_MAIN"));
    setWindowTitle(QString::fromUtf8(dialog.caption));
    // A fixed-size window with its own task-bar entry, a minimise button and
    // no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(DialogFont(dialog));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(CreateMenuBar());
    layout->addWidget(client);

    const QHash<int, QWidget *> controls = BuildDialogControls(client, dialog);
    m_comboFormula = Control<QComboBox>(controls, IDC_FORMULA);
    // The wheel over the list changes the formula only where the focus is.
    m_comboFormula->installEventFilter(this);
    m_pAge = Control<QLineEdit>(controls, IDC_AGE);
    m_pTermRisk = Control<QLineEdit>(controls, IDC_TERM_RISK);
    m_pGestRisk = Control<QLineEdit>(controls, IDC_GEST_RISK);
    m_pWeeks = Control<UpDownSpinBox>(controls, IDC_WEEKS);
    m_pAdvice = Control<QLineEdit>(controls, IDC_ADVICE);
    m_pStatus = Control<QLabel>(controls, IDC_STATUS);
    m_pAnnouncer = new Announcer(this);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(kStatusMilliseconds);
    connect(&m_statusTimer, &QTimer::timeout, m_pStatus, &QLabel::clear);
    // The weeks spin's range and position are the calculator's.
    m_pWeeks->SetState(&m_calculator.WeeksSpin());

    for (const char *entry : res::kFormulaEntries)
        m_comboFormula->addItem(QString::fromUtf8(entry));

    connect(m_pAge, &QLineEdit::textChanged, this, [this] { m_calculator.OnChangeAge(); });
    connect(m_comboFormula, &QComboBox::currentIndexChanged, this, [this] { m_calculator.OnSelchangeFormula(); });
    connect(m_pWeeks->Field(), &QLineEdit::textChanged, this, [this] { m_calculator.OnChangeWeeks(); });
    connect(m_pWeeks, &UpDownSpinBox::stepped, this, [this](int delta) { m_calculator.OnSpinStep(delta); });

    OnInitDialog();
}

CRiskDialog::~CRiskDialog() = default;

QMenuBar *CRiskDialog::CreateMenuBar()
{
    const res::DialogTemplate &dialog = res::kMainDialog;
    auto *menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("IDR_MAIN_MENU"));
    for (const res::MenuPopup &popup : dialog.menus) {
        QMenu *menu = menuBar->addMenu(QString::fromUtf8(popup.title));
        for (const res::MenuItem &item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf8(item.text));
            action->setObjectName(QString::fromLatin1(item.name));
            // Every shortcut of the table, F1 and Ctrl+Q included: the menu
            // shows it beside the item.
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { m_calculator.OnCommand(id); });
            if (item.shortcut && Calculator::WorksFromEveryWindow(id))
                m_sharedActions.append(action);
        }
    }
    return menuBar;
}

void CRiskDialog::ShareCommands(QWidget &window) const
{
    // An action's shortcut works in the active window of any widget it is
    // added to.
    window.addActions(m_sharedActions);
}

void CRiskDialog::OnInitDialog()
{
    // X11 and Wayland window managers own the window menu, so there is no
    // About item to add to it: the About box is reached through Options >
    // Infos and F1.
    setWindowIcon(m_hIcon);
    m_calculator.InitInputs();
    // The first key typed replaces the opening age.
    m_pAge->setFocus(Qt::OtherFocusReason);
    m_pAge->selectAll();
}

void CRiskDialog::keyPressEvent(QKeyEvent *event)
{
    // The window has no default button: Enter, wherever it is pressed, is the
    // OK command.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_calculator.OnCommand(IDOK);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CRiskDialog::eventFilter(QObject *watched, QEvent *event)
{
    // As on Windows, the wheel turns the formula list only when the list has
    // the focus: the formula never changes under a pointer passing by while
    // the user types the age.
    if (watched == m_comboFormula && event->type() == QEvent::Wheel && !m_comboFormula->hasFocus()) {
        event->ignore();
        return true;
    }
    // The first exposure: by now the window manager has put its frame around
    // the window, and its size is known.
    if (m_bCentring && watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        m_bCentring = false;
        windowHandle()->removeEventFilter(this);
        CentreFrame();
    }
    return QDialog::eventFilter(watched, event);
}

void CRiskDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || testAttribute(Qt::WA_Moved))
        return;
    // Centred as well as can be before the frame exists, then again once
    // the window manager has framed it.
    CentreFrame();
    if (windowHandle()) {
        m_bCentring = true;
        windowHandle()->installEventFilter(this);
    }
}

void CRiskDialog::CentreFrame()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void CRiskDialog::ReadFields(FormTexts &texts)
{
    texts.m_strAge = m_pAge->text().toStdString();
    texts.m_strTermRisk = m_pTermRisk->text().toStdString();
    texts.m_strGestRisk = m_pGestRisk->text().toStdString();
    texts.m_strWeeks = m_pWeeks->Field()->text().toStdString();
    texts.m_strAdvice = m_pAdvice->text().toStdString();
}

void CRiskDialog::SetFieldText(QLineEdit *field, const std::string &text)
{
    // An unchanged field keeps its caret, selection and undo history.
    const QString value = FromUtf8(text);
    if (field->text() != value)
        field->setText(value);
}

void CRiskDialog::WriteFields(const FormTexts &texts)
{
    SetFieldText(m_pAge, texts.m_strAge);
    SetFieldText(m_pTermRisk, texts.m_strTermRisk);
    SetFieldText(m_pGestRisk, texts.m_strGestRisk);
    SetFieldText(m_pWeeks->Field(), texts.m_strWeeks);
    SetFieldText(m_pAdvice, texts.m_strAdvice);
}

int CRiskDialog::FormulaSelection()
{
    return m_comboFormula->currentIndex();
}

void CRiskDialog::SelectFormula(int index)
{
    m_comboFormula->setCurrentIndex(index);
}

void CRiskDialog::SetUpWeeksSpin(int, int, int)
{
    // The arrows read the range and the position from the calculator.
}

void CRiskDialog::EndAccepted()
{
    accept();
}

void CRiskDialog::RunAboutBox()
{
    Q_EMIT aboutRequested();
}

CalendarDate CRiskDialog::Today()
{
    const QDate today = QDate::currentDate();
    return {today.year(), today.month(), today.day()};
}

std::optional<DeliveryAgeCheck> CRiskDialog::RunDeliveryAge(const DeliveryAgeDates &opening)
{
    CDeliveryAgeDialog dates(this, opening);
    ShareCommands(dates);
    if (dates.exec() != QDialog::Accepted)
        return std::nullopt;
    return dates.Check();
}

void CRiskDialog::TypeOver(QLineEdit *field, const std::string &text)
{
    field->selectAll();
    field->insert(FromUtf8(text));
}

void CRiskDialog::TypeAge(const std::string &text)
{
    TypeOver(m_pAge, text);
}

void CRiskDialog::TypeWeeks(const std::string &text)
{
    TypeOver(m_pWeeks->Field(), text);
}

bool CRiskDialog::CopyToClipboard(const std::string &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QString summary = FromUtf8(text);
    clipboard->setText(summary);
    // Where the platform has no clipboard, or another program holds it, the
    // text does not come back.
    return clipboard->text() == summary;
}

void CRiskDialog::Beep()
{
    QApplication::beep();
}

void CRiskDialog::Announce(const std::string &text)
{
    m_pAnnouncer->Announce(FromUtf8(text));
}

void CRiskDialog::ShowStatus(const std::string &text)
{
    m_pStatus->setText(FromUtf8(text));
    m_statusTimer.start();
    Announce(text);
}

void CRiskDialog::ShowRiskCurve()
{
    if (!m_pRiskCurve) {
        m_pRiskCurve = new CRiskCurveWindow(this, m_calculator);
        ShareCommands(*m_pRiskCurve);
    }
    m_pRiskCurve->show();
    m_pRiskCurve->raise();
    m_pRiskCurve->activateWindow();
}

} // namespace meravel
