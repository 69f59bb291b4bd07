#pragma once

// The calculator's state and its two recalculations, independent of any
// window. The form keeps one text value per field and the weeks spin's
// position; the window (or a test double) moves the texts to and from its
// fields through FormPlatform, always all fields at once, and answers the one
// direct question: which formula is selected.
//
//   age edit or formula change -> ComputeTermRisk -> ComputeGestationalRisk
//   weeks edited or spin step  -> ComputeGestationalRisk
//
// The gestational figure is for the weeks on screen: when the weeks field
// holds no whole number from 1 to 42 ("", "0", "50"), it is left empty, and
// the spin keeps the last position it took up.
//
// While the form writes into the window (write all, the list's selection, the
// spin's set-up), IsExchanging() is true: the change notifications the window
// raises meanwhile are its own, not the user's, and start no recalculation.

#include "form/updown.h"

#include <string>

namespace meravel {

// The form's text values, one per field, UTF-8.
struct FormTexts
{
    std::string m_strAge;      // IDC_AGE: the mother's age as typed, in years
    std::string m_strTermRisk; // IDC_TERM_RISK: "0.07% soit 1/1408", or "Erreur"
    std::string m_strGestRisk; // IDC_GEST_RISK: "1/309", or empty
    std::string m_strWeeks;    // IDC_WEEKS: the weeks field, as typed
    std::string m_strAdvice;   // IDC_ADVICE: the advice line, or empty

    bool operator==(const FormTexts &) const = default;
};

// What the form needs of the window it lives in.
class FormPlatform
{
public:
    virtual ~FormPlatform() = default;

    // Read all: each field's current text into its text value.
    virtual void ReadFields(FormTexts &texts) = 0;
    // Write all: each text value into its field. A field whose text already
    // equals its value is left untouched, and the change notifications raised
    // meanwhile start no recalculation.
    virtual void WriteFields(const FormTexts &texts) = 0;

    // The formula list's selected index, -1 when nothing is selected.
    virtual int FormulaSelection() = 0;
    // Selects an entry without raising a selection-change notification.
    virtual void SelectFormula(int index) = 0;

    // Sets the spin control's range and position, without raising a spin
    // notification. The form then writes the position into the weeks field.
    virtual void SetUpWeeksSpin(int lower, int upper, int position) = 0;
};

class RiskForm
{
public:
    explicit RiskForm(FormPlatform &platform);

    // Opening inputs: weeks 2 (range 1 to 42), Cuckle, age "25"; then the
    // figures for them.
    void InitInputs();
    // Age and formula to the term figure and the advice line, then the
    // gestational figure. An age outside 18 to 45 shows "Erreur".
    void ComputeTermRisk();
    // Weeks to the gestational figure, for the current age and formula;
    // none for an invalid age or a weeks text outside 1 to 42.
    void ComputeGestationalRisk();

    // After a step of the spin: the weeks field shows its position, also at
    // an end of the range where the step did not move it, and also over text
    // it could not take up.
    void ShowWeeksPosition();

    // Data exchange over all fields: read (true) or write (false).
    void UpdateData(bool saveAndValidate);
    // True while the form writes into the window.
    bool IsExchanging() const { return m_bExchanging; }

    const FormTexts &Texts() const { return m_texts; }
    // The weeks spin: its range, and the position a step starts from.
    UpDownState &WeeksSpin() { return m_spinWeeks; }
    const UpDownState &WeeksSpin() const { return m_spinWeeks; }

private:
    FormPlatform &m_platform;
    FormTexts m_texts;
    UpDownState m_spinWeeks;
    bool m_bExchanging = false;
};

} // namespace meravel
