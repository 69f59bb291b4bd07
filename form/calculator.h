#pragma once

// The calculator's behaviour, decided once for both front ends: which
// recalculation follows each event of the window, the commands of its menus,
// keys and system menu and what each does, and who hears that the figures
// changed. A front end shows the fields and runs the windows; it hands every
// event and command here and never decides one itself.
//
//   age edited (typed, pasted, undone) -> OnChangeAge        -> term, then gestational figure
//   formula chosen                     -> OnSelchangeFormula -> term, then gestational figure
//   weeks edited                       -> OnChangeWeeks      -> gestational figure
//   spin step                          -> OnSpinStep         -> the weeks field, gestational figure
//   a command's identifier             -> OnCommand          -> see below
//
// Each recalculation ends by telling the figures' listeners (the risk curve)
// that the figures changed, and a screen reader what changed (the figures as
// shown, and the formula when it was chosen; the window's platform says it
// without moving the focus). Notifications raised while the form writes into
// the window are the window's own: they change nothing.
//
// Commands, from the menu bar, the accelerator keys, F1 and the system menu:
//   IDOK, ID_MENU_QUIT (Enter, Quitter) -> read all, the window ends accepted
//   ID_MENU_INFO, ID_HELP, IDM_ABOUT_SYS -> the About box
//   ID_TOOLS_DELIVERY_AGE -> the dates' window, opening around today; its age
//                            is typed into the age field, and today's whole
//                            weeks of amenorrhoea, when from 1 to 42, into
//                            the weeks field, so both recalculate
//   ID_TOOLS_COPY_SUMMARY -> the summary for the patient record to the
//                            clipboard, confirmed on the status line; a beep
//                            and a word there when the clipboard refuses it
//   ID_TOOLS_RISK_CURVE   -> the risk curve window
// Only ID_TOOLS_COPY_SUMMARY's keys work in every window of the program (the
// About box and the tools' windows too): it changes nothing there and opens
// nothing over them (WorksFromEveryWindow). F1 is the calculator's alone: in
// the other windows it does nothing.

#include "form/delivery_age.h"
#include "form/risk_curve.h"
#include "form/risk_form.h"

#include <optional>
#include <string>
#include <vector>

namespace meravel {

// How long a message stays on the status line.
inline constexpr int kStatusMilliseconds = 5000;

// What the calculator asks of the window it is shown in, beyond its fields.
class CalculatorWindow
{
public:
    virtual ~CalculatorWindow() = default;

    // Ends the window's modal run, accepted (IDOK).
    virtual void EndAccepted() = 0;
    // Runs the About box over the window.
    virtual void RunAboutBox() = 0;
    // Today's date, by the computer's clock and time zone.
    virtual CalendarDate Today() = 0;
    // Runs the dates' window opening on these dates; the core's check of
    // the dates it ended on with OK, or nothing when it was cancelled.
    virtual std::optional<DeliveryAgeCheck> RunDeliveryAge(const DeliveryAgeDates &opening) = 0;
    // Replace the whole age field's, or weeks field's, text as if typed: the
    // field's change notification recalculates, and the user can undo it.
    virtual void TypeAge(const std::string &text) = 0;
    virtual void TypeWeeks(const std::string &text) = 0;
    // Puts the text on the clipboard; false when the clipboard refused it.
    virtual bool CopyToClipboard(const std::string &text) = 0;
    // The platform's warning sound.
    virtual void Beep() = 0;
    // Tells a screen reader, without moving the focus.
    virtual void Announce(const std::string &text) = 0;
    // Shows the text on the window's status line for kStatusMilliseconds,
    // and tells a screen reader.
    virtual void ShowStatus(const std::string &text) = 0;
    // Opens the risk curve window, or brings it to the front.
    virtual void ShowRiskCurve() = 0;
};

// Told after every recalculation.
class FiguresListener
{
public:
    virtual ~FiguresListener() = default;
    virtual void OnFiguresChanged() = 0;
};

class Calculator
{
public:
    // `fields` and `window` are the same window in the front ends.
    Calculator(FormPlatform &fields, CalculatorWindow &window);

    // The opening inputs and their figures (age 25, Cuckle, 2 weeks).
    void InitInputs();

    void OnChangeAge();
    void OnSelchangeFormula();
    void OnChangeWeeks();
    // A step of the weeks spin by delta, for a spin control the program
    // moves itself: the weeks field shows the new position (from the weeks
    // typed, or from the last position when the text holds none), within 1
    // to 42, and the gestational figure follows.
    void OnSpinStep(int delta);
    // The same in two halves, for a spin control that moves by itself and
    // then notifies: the position a step by delta reaches (the control is to
    // move there), then, once it has moved, the field and the figure.
    int OnDeltaposWeeks(int delta);
    void OnVScroll();

    // Carries out the command; false when the identifier is not one of the
    // calculator's commands.
    bool OnCommand(int id);
    // True for the commands whose keys the front ends pass on from every
    // window of the program, not only from the calculator's.
    static bool WorksFromEveryWindow(int id);

    // The summary for the patient record, of what the window shows now.
    std::string Summary();
    // What the risk curve shows: the selected formula and the age as typed.
    RiskCurveState CurveState();

    const FormTexts &Texts() const { return m_form.Texts(); }
    const UpDownState &WeeksSpin() const { return m_form.WeeksSpin(); }
    bool IsExchanging() const { return m_form.IsExchanging(); }
    RiskForm &Form() { return m_form; }

    void AddListener(FiguresListener *listener);
    void RemoveListener(FiguresListener *listener);

private:
    // `chosenFormula`: named when it was just chosen.
    void NotifyFiguresChanged(bool termChanged, const std::string &chosenFormula = {});
    void OnOK();
    void OnToolsDeliveryAge();
    void OnToolsCopySummary();

    FormPlatform &m_fields;
    CalculatorWindow &m_window;
    RiskForm m_form;
    std::vector<FiguresListener *> m_listeners;
    // What the screen reader was last told of the figures.
    std::string m_strSpoken;
};

} // namespace meravel
